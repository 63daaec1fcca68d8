// SleepGuard: keeps the PC from falling asleep while the program runs, and tells when it slept anyway.
#pragma once
#include <QObject>
#include <QString>

// A school PC with the desktop's power saving on suspends after some idle minutes, and every
// bell after that is missed. While the program runs the guard asks the system to hold off
// sleep, as a media player does; the hold ends with the guard (and with the process, however
// it ends). Someone may still suspend the PC by hand: on waking, the guard says for how long.
class SleepGuard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SleepGuard() override = default;

    // Asks for the hold, without waiting: the answer comes through held().
    virtual void hold() = 0;

signals:
    // ok: the system holds off sleep for us. Otherwise reason says why not.
    void held(bool ok, const QString &reason);
    // The PC has woken after being asleep this long.
    void woke(qint64 asleepMs);
};
