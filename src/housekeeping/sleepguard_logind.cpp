// logind's sleep inhibitor, held by an open descriptor, and its PrepareForSleep signal.
#include "housekeeping/sleepguard_logind.h"

#include "housekeeping/logging.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>

#include <time.h>

qint64 timeSuspendedMs() {
    timespec boot{}, monotonic{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    clock_gettime(CLOCK_MONOTONIC, &monotonic);
    return qint64(boot.tv_sec - monotonic.tv_sec) * 1000 + (boot.tv_nsec - monotonic.tv_nsec) / 1000000;
}

namespace {

// A connection of its own, as the power-off request has: neither closes the other's.
const QString ConnectionName = QStringLiteral("tollmere-sleep");
const QString Service = QStringLiteral("org.freedesktop.login1");
const QString Path = QStringLiteral("/org/freedesktop/login1");
const QString Manager = QStringLiteral("org.freedesktop.login1.Manager");
constexpr int ReplyTimeoutMs = 10000;

class LogindSleepGuard : public SleepGuard {
    Q_OBJECT
public:
    explicit LogindSleepGuard(std::function<qint64()> suspended)
        : m_suspended(std::move(suspended)), m_suspendedBefore(m_suspended()) {}
    ~LogindSleepGuard() override {
        m_inhibitor = QDBusUnixFileDescriptor();  // closed: the hold ends
        QDBusConnection::disconnectFromBus(ConnectionName);
    }

    void hold() override {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SystemBus, ConnectionName);
        if (!bus.isConnected()) {
            const QString reason = QStringLiteral("no system bus: ") + bus.lastError().message();
            QDBusConnection::disconnectFromBus(ConnectionName);
            qCWarning(lcShutdown) << "sleep not held off," << reason;
            emit held(false, reason);
            return;
        }
        bus.connect(Service, Path, Manager, QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
        QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Manager, QStringLiteral("Inhibit"));
        call << QStringLiteral("sleep:idle") << QStringLiteral("Tollmere") << QStringLiteral("定时广播运行中")
             << QStringLiteral("block");
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, ReplyTimeoutMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
            w->deleteLater();
            const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
            if (reply.isError() || !reply.value().isValid()) {
                const QString reason = reply.error().name() + QStringLiteral(": ") + reply.error().message();
                qCWarning(lcShutdown) << "sleep not held off," << reason;
                emit held(false, reason);
                return;
            }
            m_inhibitor = reply.value();
            emit held(true, QString());
        });
    }

private slots:
    // Sent as the PC goes to sleep (true) and once it has woken (false).
    void prepareForSleep(bool start) {
        if (start)
            return;
        const qint64 now = m_suspended();
        const qint64 asleep = now - m_suspendedBefore;
        m_suspendedBefore = now;
        emit woke(asleep);
    }

private:
    std::function<qint64()> m_suspended;
    qint64 m_suspendedBefore;
    QDBusUnixFileDescriptor m_inhibitor;
};

}  // namespace

std::unique_ptr<SleepGuard> makeLogindSleepGuard(std::function<qint64()> suspended) {
    return std::make_unique<LogindSleepGuard>(std::move(suspended));
}

#include "sleepguard_logind.moc"
