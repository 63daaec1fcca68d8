// logind's PowerOff, without asking the user (interactive = false): the PC is unattended.
#include "housekeeping/shutdown_logind.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace {

class LogindShutdown : public ShutdownRequester {
public:
    bool requestPowerOff() override {
        QDBusInterface manager(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                               QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
        if (!manager.isValid())
            return false;
        const QDBusReply<void> reply = manager.call(QStringLiteral("PowerOff"), false);
        return reply.isValid();
    }
};

}  // namespace

std::unique_ptr<ShutdownRequester> makeLogindShutdown() { return std::make_unique<LogindShutdown>(); }
