// The as-run log's files: a file a day by the clock, old ones removed, and a folder that cannot be written.
#include "core/asrunlogfile.h"
#include "support/simclock.h"

#include <QtTest>

namespace {

QByteArray bytesOf(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void touch(const QString &path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

}  // namespace

class TestAsRunLogFile : public QObject {
    Q_OBJECT
private slots:
    // Each line goes to the file of its own date, also across midnight; files more than 60
    // days old go at start-up, the 60th day and other files stay.
    void aFileForEachDay() {
        QTemporaryDir dir;
        const QString logs = dir.filePath("logs");
        QVERIFY(QDir().mkpath(logs));
        for (const char *name : {"2026-10-07.log", "2026-10-08.log", "notes.log"})
            touch(logs + '/' + name);
        SimClock clock(QDateTime(QDate(2026, 12, 7), QTime(23, 59, 58)));
        AsRunLogFile log(logs, clock);
        log.record(QStringLiteral("开始播放 定时 /s/铃声.wav 音量 49152"));
        clock.advance(3000);
        log.record(QStringLiteral("到时"));
        log.flush();
        QCOMPARE(bytesOf(logs + "/2026-12-07.log"),
                 QStringLiteral("23:59:58 开始播放 定时 /s/铃声.wav 音量 49152\n").toUtf8());
        QCOMPARE(bytesOf(logs + "/2026-12-08.log"), QStringLiteral("00:00:01 到时\n").toUtf8());
        QVERIFY(!QFile::exists(logs + "/2026-10-07.log"));
        QVERIFY(QFile::exists(logs + "/2026-10-08.log"));
        QVERIFY(QFile::exists(logs + "/notes.log"));
        QCOMPARE(log.linesLost(), 0);
    }

    // A file where the folder should be: lines are dropped and counted, nothing waits or
    // fails; once the way is clear the next lines are written.
    void aFileWhereTheFolderShouldBe() {
        QTemporaryDir dir;
        const QString logs = dir.filePath("logs");
        touch(logs);
        SimClock clock;
        AsRunLogFile log(logs, clock);
        log.record(QStringLiteral("a"));
        log.record(QStringLiteral("b"));
        log.flush();
        QCOMPARE(log.linesLost(), 2);
        QVERIFY(QFile::remove(logs));
        log.record(QStringLiteral("c"));
        log.flush();
        QCOMPARE(log.linesLost(), 2);
        QCOMPARE(bytesOf(logs + "/2026-12-07.log"), QByteArray("07:00:00 c\n"));
    }
};

QTEST_GUILESS_MAIN(TestAsRunLogFile)
#include "tst_asrunlogfile.moc"
