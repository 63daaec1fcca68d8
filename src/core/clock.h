// Clock and Timer: every reading of the date and time and every timer goes through here,
// so the whole program can run on a simulated day.
#pragma once
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>

class Timer;

// A timer aligned to the second fires this long after its second begins: early enough that
// the clock it shows is never noticeably behind, late enough that the time it reads is
// always the new second.
constexpr int SecondTickDelayMs = 1;
// When a timer aligned to the second with this interval fires next, in ms since the epoch:
// SecondTickDelayMs after the first whole multiple of the interval (whole seconds since the
// epoch) that begins after epochMs.
qint64 nextSecondTick(qint64 epochMs, int intervalMs);

// For tests: while set, the real clock cannot set a wall-clock alarm, as when timerfd_settime
// fails, and its timers aligned to the second count time instead.
void setWallClockAlarmFails(bool fail);

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    QDate date() const { return now().date(); }
    // Whole seconds since midnight.
    int secondsOfDay() const;
    // 1 = Sunday … 7 = Saturday.
    int weekday() const;

protected:
    friend class Timer;
    // Starts a fresh interval for the timer / stops it.
    virtual void arm(Timer *timer) = 0;
    virtual void disarm(Timer *timer) = 0;
    // The timer is being destroyed.
    virtual void forget(Timer *timer) { disarm(timer); }
};

// A named timer with an interval and an enabled flag. Enabling a timer that is already
// enabled leaves its countdown running; enabling a disabled one starts a fresh interval.
class Timer : public QObject {
    Q_OBJECT
public:
    Timer(Clock &clock, const QString &name, int intervalMs, bool enabled = false, QObject *parent = nullptr);
    ~Timer() override;

    int interval() const { return m_interval; }
    void setInterval(int ms);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on);
    // Aligned to the second, the timer fires just after each second of the wall clock begins
    // (each whole multiple of its interval) instead of an interval after it was enabled, so a
    // reading of the time of day at each tick sees every second once. It stays aligned across
    // corrections of the system clock: after a step the real clock fires it at once, then
    // realigns.
    bool isAlignedToSecond() const { return m_alignedToSecond; }
    void setAlignedToSecond(bool on);

    // Called by the clock when the interval has passed.
    void fire() { emit timeout(); }

signals:
    void timeout();

private:
    Clock &m_clock;
    int m_interval;
    bool m_enabled = false;
    bool m_alignedToSecond = false;
};

// The system clock. Timers run on QTimer, which counts real time whatever the wall clock
// does; timers aligned to the second run on an alarm of the wall clock itself, which also
// goes off when the clock is set.
class RealClock : public Clock {
public:
    ~RealClock() override;
    QDateTime now() const override { return QDateTime::currentDateTime(); }

protected:
    void arm(Timer *timer) override;
    void disarm(Timer *timer) override;
    void forget(Timer *timer) override;

private:
    QHash<Timer *, class QTimer *> m_timers;
    QHash<Timer *, class SecondAlarm *> m_alarms;
};
