// The as-run log's copy in a real system journal: a journald of the test's own, in a private
// mount namespace, so that nothing of the machine's journal is read or touched. It needs root
// (as CI runs) and the package systemd; where either is missing it is skipped, saying why.
#include "core/asrunlogfile.h"
#include "core/asrunlogjournal.h"
#include "support/simclock.h"
#include "support/testfiles.h"

#include <QtTest>

#include <cerrno>
#include <cstring>

#include <sched.h>
#include <sys/mount.h>

namespace {
const QString Namespace = QStringLiteral("tollmeretest");
}  // namespace

class TestAsRunLogJournal : public QObject {
    Q_OBJECT
    QProcess m_journald;

    // journalctl on the test's journal; its output.
    QByteArray journalctl(const QStringList &args) {
        QProcess p;
        p.start(QStringLiteral("journalctl"), QStringList{"--namespace=" + Namespace, "--no-pager"} + args);
        if (!p.waitForFinished(10000) || p.exitCode() != 0)
            qWarning() << "journalctl" << args << p.readAllStandardError();
        return p.readAllStandardOutput();
    }

private slots:
    void initTestCase() {
        const QString journald = QFile::exists("/lib/systemd/systemd-journald") ? "/lib/systemd/systemd-journald"
                                                                                : "/usr/lib/systemd/systemd-journald";
        if (!QFile::exists(journald) || QStandardPaths::findExecutable("journalctl").isEmpty())
            QSKIP("systemd-journald and journalctl are not installed (Debian package systemd)");
        // From here on this thread, and the threads and processes it starts, see a /run of
        // their own: the journald below, its sockets and its files are the test's alone.
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", "/run", "tmpfs", 0, "mode=0755") != 0)
            QSKIP(qPrintable(QStringLiteral("no private mount namespace for a journald of the test's own (%1); "
                                            "the test needs root, as CI runs it")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
        // In memory only, and its own messages on its standard error, never in the kernel's log.
        QVERIFY(QDir().mkpath("/run/systemd/journald@" + Namespace + ".conf.d"));
        writeBytes("/run/systemd/journald@" + Namespace + ".conf.d/test.conf",
                   "[Journal]\nStorage=volatile\nForwardToWall=no\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("SYSTEMD_LOG_TARGET", "console");
        m_journald.setProcessEnvironment(env);
        m_journald.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_journald.setProgram(journald);
        m_journald.setArguments({Namespace});
    }

    // Where no journal runs, an entry goes nowhere and the day's file keeps its line. Then a
    // journald starts: the next entries arrive with their fields, and the file has every line.
    void fieldsArriveInTheJournal() {
        QTemporaryDir dir;
        SimClock clock;
        AsRunLogFile log(dir.filePath("logs"), clock);
        auto *journal = new AsRunLogJournal(QStringLiteral("/srv/广播/"));
        log.alsoTo(std::unique_ptr<AsRunLog>(journal));
        const AsRunEntry start = asrun::started(asrun::Start::Scheduled, "/s/铃声.wav", 49152, "第一节", 8 * 3600);
        log.record(start);
        journal->flush();

        m_journald.start();
        const QString socket = "/run/systemd/journal." + Namespace + "/socket";
        for (QDeadlineTimer d(10000); !QFile::exists(socket) && !d.hasExpired();)
            QThread::msleep(20);
        if (!QFile::exists(socket))
            QSKIP("the test's journald did not start (its messages are above)");
        // Where libsystemd sends: the test's journald.
        QVERIFY(QFile::link("journal." + Namespace, "/run/systemd/journal"));
        clock.advance(1000);
        log.record(start);
        log.record(asrun::cut("/s/铃声.wav", asrun::byOperator()));
        journal->flush();
        log.flush();
        QCOMPARE(journal->entriesLost(), 0);
        QCOMPARE(bytesOf(dir.filePath("logs/2026-12-07.log")),
                 QStringLiteral("07:00:00 开始播放 定时 /s/铃声.wav 音量 49152\n"
                                "07:00:01 开始播放 定时 /s/铃声.wav 音量 49152\n"
                                "07:00:01 播放结束 /s/铃声.wav 被操作员停止\n")
                     .toUtf8());

        journalctl({"--sync"});  // what journald has received is in its files
        QStringList fields;
        for (const QByteArray &line : journalctl({"-t", "tollmere", "-o", "json"}).split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            for (auto it = o.begin(); it != o.end(); ++it)
                if (it.key().startsWith("TOLLMERE_") || it.key() == "MESSAGE" || it.key() == "PRIORITY")
                    fields << it.key() + '=' + it.value().toString();
        }
        QCOMPARE(fields, (QStringList{"MESSAGE=开始播放 定时 /s/铃声.wav 音量 49152", "PRIORITY=6",
                                      "TOLLMERE_EVENT=start", "TOLLMERE_FILE=/s/铃声.wav", "TOLLMERE_FOLDER=/srv/广播/",
                                      "TOLLMERE_ITEM=第一节", "TOLLMERE_PLANNED_SECOND=28800", "TOLLMERE_VOLUME=49152",
                                      "MESSAGE=播放结束 /s/铃声.wav 被操作员停止", "PRIORITY=6", "TOLLMERE_EVENT=end",
                                      "TOLLMERE_FILE=/s/铃声.wav", "TOLLMERE_FOLDER=/srv/广播/"}));
    }

    void cleanupTestCase() {
        m_journald.terminate();
        m_journald.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TestAsRunLogJournal)
#include "tst_asrunlogjournal.moc"
