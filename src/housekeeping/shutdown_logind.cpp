// logind's PowerOff, without asking the user (interactive = false): the PC is unattended.
#include "housekeeping/shutdown_logind.h"

#include "housekeeping/logging.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

// A connection of our own rather than the process-wide system bus connection: that one,
// once lost (the bus restarted during months of running), stays lost; ours is made again.
const QString ConnectionName = QStringLiteral("tollmere-logind");
// logind answers at once; a bus that says nothing for this long counts as a refusal.
constexpr int ReplyTimeoutMs = 10000;

class LogindShutdown : public ShutdownRequester {
public:
    void requestPowerOff() override {
        QDBusConnection bus(ConnectionName);
        if (!bus.isConnected()) {
            QDBusConnection::disconnectFromBus(ConnectionName);
            bus = QDBusConnection::connectToBus(QDBusConnection::SystemBus, ConnectionName);
        }
        if (!bus.isConnected()) {
            const QString reason = QStringLiteral("no system bus: ") + bus.lastError().message();
            QDBusConnection::disconnectFromBus(ConnectionName);
            qCWarning(lcShutdown) << "power-off not requested," << reason;
            emit answered(false, reason);
            return;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
        call << false;  // interactive: no password prompt that nobody would answer
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, ReplyTimeoutMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
            w->deleteLater();
            const QDBusPendingReply<> reply = *w;
            if (reply.isError()) {
                const QString reason = reply.error().name() + QStringLiteral(": ") + reply.error().message();
                qCWarning(lcShutdown) << "power-off refused," << reason;
                emit answered(false, reason);
            } else {
                emit answered(true, QString());
            }
        });
    }
};

}  // namespace

std::unique_ptr<ShutdownRequester> makeLogindShutdown() { return std::make_unique<LogindShutdown>(); }
