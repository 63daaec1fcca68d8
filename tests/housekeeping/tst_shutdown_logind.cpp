// The real logind requester and sleep guard against a private bus that this test starts, where
// a stand-in login manager records each PowerOff and refuses it when told to, and hands out
// sleep inhibitors as the ends of pipes whose other end it keeps. The system bus of the
// machine is never reached: the requester finds the private bus through
// DBUS_SYSTEM_BUS_ADDRESS, which points nowhere until the private bus is up.
#include "app/form1.h"
#include "core/asrunlogfile.h"
#include "housekeeping/autoshutdown.h"
#include "housekeeping/housekeepingrules.h"
#include "housekeeping/shutdown_logind.h"
#include "housekeeping/sleepguard_logind.h"
#include "support/testenv.h"
#include "support/testfiles.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

const QByteArray Nowhere = "unix:path=/nonexistent/tollmere-test-bus";

// org.freedesktop.login1.Manager on /org/freedesktop/login1, as far as a power-off goes.
class StandInLogind : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    struct Call {
        bool interactive;
        QString at;  // simulated time of day when it arrived
    };
    QList<Call> calls;
    bool refuse = false;
    SimClock *clock = nullptr;
    struct Inhibitor {
        QStringList asked;  // what, who, why, mode
        int kept;           // the pipe's read end: hung up once every holder has closed its end
    };
    QList<Inhibitor> inhibitors;

public slots:
    void PowerOff(bool interactive) {
        calls << Call{interactive, clock ? clock->now().toString("HH:mm:ss") : QString()};
        if (refuse)
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Not allowed by the stand-in"));
    }
    // Answered after every call sent before it on the same connection has arrived.
    void Flush() {}
    QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who, const QString &why, const QString &mode) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return {};
        inhibitors << Inhibitor{{what, who, why, mode}, ends[0]};
        const QDBusUnixFileDescriptor held(ends[1]);  // a copy of its own goes with the answer
        ::close(ends[1]);
        return held;
    }
};

// Every holder of the inhibitor has closed it: the pipe has no writer left.
bool hungUp(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP);
}

// Runs the event loop until done, or for ten seconds at most. No sleeping: what is awaited
// happens on the bus, in another process or on Qt's D-Bus thread.
bool spin(const std::function<bool()> &done) {
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents();
    return done();
}

// Waits until every PowerOff the requester has sent so far has reached the stand-in: a bus
// delivers a connection's messages in the order they were sent.
void flush() {
    QDBusConnection requester(QStringLiteral("tollmere-logind"));
    if (!requester.isConnected())
        return;  // nothing was ever sent
    const QDBusMessage reply =
        requester.call(QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                      "org.freedesktop.login1.Manager", "Flush"),
                       QDBus::BlockWithGui, 5000);
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
}

QByteArray shutdownAt17() {
    QByteArray b(10, '\0');
    qToLittleEndian<qint16>(-1, b.data());
    qToLittleEndian<double>(17 * 3600 / 86400.0, b.data() + 2);
    return b;
}

// A Form1 at 18:00 with the real requester and automatic shutdown on at 17:00:00: the
// countdown starts at 18:00:05 and reaches its tenth tick at 18:00:15.
struct Rig {
    TestEnv env{QDateTime(QDate(2026, 12, 7), QTime(18, 0))};
    std::unique_ptr<Form1> form;
    explicit Rig(StandInLogind &standIn) {
        QFile f(env.path("ClsTime.Cfg"));
        if (f.open(QIODevice::WriteOnly))
            f.write(shutdownAt17());
        f.close();
        env.services.shutdown = makeLogindShutdown();
        env.shutdown = nullptr;
        standIn.clock = env.clock;
        form = std::make_unique<Form1>(env.services);
    }
    AutoShutdown &s() { return form->autoShutdown(); }
};

}  // namespace

class TstShutdownLogind : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QCOMPARE(qgetenv("DBUS_SYSTEM_BUS_ADDRESS"), Nowhere);  // set by main, before anything ran
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("dbus-daemon is missing: scripts/packages.sh --tests installs it");
            QSKIP("dbus-daemon is missing: install the package dbus-daemon");
        }
        QVERIFY(m_dir.isValid());
        QFile conf(m_dir.filePath("bus.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                                  " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                  "<busconfig>\n"
                                  "  <type>session</type>\n"
                                  "  <listen>unix:path=%1</listen>\n"
                                  "  <auth>EXTERNAL</auth>\n"
                                  "  <policy context=\"default\">\n"
                                  "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                  "    <allow eavesdrop=\"true\"/>\n"
                                  "    <allow own=\"*\"/>\n"
                                  "  </policy>\n"
                                  "</busconfig>\n")
                       .arg(m_dir.filePath("bus"))
                       .toUtf8());
        conf.close();
        m_daemon.start(daemon, {"--config-file=" + conf.fileName(), "--nofork", "--nopidfile", "--print-address"});
        QVERIFY2(m_daemon.waitForStarted(5000), qPrintable(m_daemon.errorString()));
        QVERIFY(m_daemon.waitForReadyRead(5000));
        const QByteArray address = m_daemon.readLine().trimmed();
        QVERIFY2(address.startsWith("unix:path=" + m_dir.filePath("bus").toUtf8()), address.constData());
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);

        QDBusConnection standIn = QDBusConnection::connectToBus(QString::fromUtf8(address), "stand-in");
        QVERIFY2(standIn.isConnected(), qPrintable(standIn.lastError().message()));
        QVERIFY(standIn.registerObject("/org/freedesktop/login1", &m_logind, QDBusConnection::ExportAllSlots));
        QVERIFY(standIn.registerService("org.freedesktop.login1"));
    }

    void cleanupTestCase() {
        QDBusConnection::disconnectFromBus("stand-in");
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            m_daemon.waitForFinished(5000);
        }
    }

    void init() {
        m_logind.calls.clear();
        m_logind.refuse = false;
    }

    void onePowerOffAtTheTenthTickNoneWhenCancelled() {
        Rig r(m_logind);
        r.env.clock->advance(5000);
        QVERIFY(r.s().Frame4->isVisibleTo(r.form.get()));
        r.env.clock->advance(8000);  // " 2"
        r.s().Command17->click();
        r.env.clock->advance(5000);  // a new countdown from 18:00:18
        QVERIFY(r.s().Frame4->isVisibleTo(r.form.get()));
        r.env.clock->advance(9000);
        flush();
        QCOMPARE(m_logind.calls.size(), 0);
        r.env.clock->advance(1000);  // the tenth tick
        flush();
        QCOMPARE(m_logind.calls.size(), 1);
        QCOMPARE(m_logind.calls[0].interactive, false);
        QCOMPARE(m_logind.calls[0].at, QStringLiteral("18:00:28"));
        QCOMPARE(r.s().Label23->text(), QStringLiteral("主机将在 1 秒钟后自动关机!"));
    }

    void aRefusalIsReportedAsRefused() {
        m_logind.refuse = true;
        Rig r(m_logind);
        r.env.clock->advance(15000);
        QTRY_COMPARE(r.s().Label23->text(), housekeepingrules::refusedText());
        QCOMPARE(m_logind.calls.size(), 1);
        QVERIFY(!r.s().Timer3->isEnabled());
        QVERIFY(r.form->Timer1->isEnabled());
    }

    // While the program runs it holds logind's inhibitor against sleep; a suspend shows in the
    // as-run log on waking, with its length; the hold ends with the program.
    void sleepIsHeldOffAndASuspendLogged() {
        qint64 suspended = 5000;  // before the program started
        TestEnv env;
        auto log = std::make_unique<AsRunLogFile>(env.path("logs"), *env.clock);
        AsRunLogFile &file = *log;
        env.services.asRun = std::move(log);
        env.services.sleepGuard = makeLogindSleepGuard([&] { return suspended; });
        QSignalSpy held(env.services.sleepGuard.get(), &SleepGuard::held);
        QSignalSpy woke(env.services.sleepGuard.get(), &SleepGuard::woke);
        auto form = std::make_unique<Form1>(env.services);
        QVERIFY(spin([&] { return !held.isEmpty(); }));
        QCOMPARE(held[0][0].toBool(), true);
        QCOMPARE(m_logind.inhibitors.size(), 1);
        QCOMPARE(m_logind.inhibitors[0].asked, QStringList({"sleep:idle", "Tollmere", "定时广播运行中", "block"}));
        const int kept = m_logind.inhibitors[0].kept;
        QVERIFY(!hungUp(kept));

        suspended += (2 * 86400 + 3723) * 1000LL;
        for (bool start : {true, false}) {
            QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/login1",
                                                             "org.freedesktop.login1.Manager", "PrepareForSleep");
            signal << start;
            QVERIFY(QDBusConnection("stand-in").send(signal));
        }
        QVERIFY(spin([&] { return !woke.isEmpty(); }));
        file.flush();
        const QString day = QString::fromUtf8(bytesOf(env.path("logs/2026-12-07.log")));
        QCOMPARE(day.split('\n').filter(QStringLiteral("休眠")),
                 QStringList{QStringLiteral("07:00:00 电脑从休眠中唤醒，休眠了 2 天 1:02:03")});
        QVERIFY(!hungUp(kept));

        form.reset();
        env.services.sleepGuard.reset();
        QVERIFY(spin([&] { return hungUp(kept); }));
        ::close(kept);
    }

    void aBusThatHasGoneIsARefusal() {
        cleanupTestCase();
        std::unique_ptr<ShutdownRequester> requester = makeLogindShutdown();
        QSignalSpy answers(requester.get(), &ShutdownRequester::answered);
        requester->requestPowerOff();
        QVERIFY(!answers.isEmpty() || answers.wait(15000));
        QCOMPARE(answers.size(), 1);
        QCOMPARE(answers[0][0].toBool(), false);
        QVERIFY(!answers[0][1].toString().isEmpty());
    }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    StandInLogind m_logind;
};

int main(int argc, char **argv) {
    // Before Qt or anything else could look for the system bus: never the machine's own.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", Nowhere);
    QApplication app(argc, argv);
    TstShutdownLogind test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shutdown_logind.moc"
