// A clock whose time only moves when the test says so; a school day passes in milliseconds.
#pragma once
#include "core/clock.h"

#include <QMap>

class SimClock : public Clock {
public:
    explicit SimClock(const QDateTime &start = QDateTime(QDate(2026, 12, 7), QTime(7, 0))) : m_now(start) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &t) {
        m_steppedMs += m_now.msecsTo(t);
        m_now = t;
    }
    void setTime(const QTime &t) { set(QDateTime(m_now.date(), t)); }
    // A clock nobody sets: the time that has passed, whatever was done to the wall clock.
    qint64 steadyMs() const { return m_now.toMSecsSinceEpoch() - m_steppedMs; }

    // Moves time forward, firing every due timer in time order at its exact moment.
    void advance(qint64 ms);
    // Moves to the given moment (forward only).
    void advanceTo(const QDateTime &t) { advance(m_now.msecsTo(t)); }
    int armedCount() const { return int(m_due.size()); }

    // Timers aligned to the second (Timer::setAlignedToSecond) keep to the wall clock's seconds
    // as on the real clock only when this is on; otherwise every timer counts its interval, so
    // a test that starts on a round second sees its ticks on round seconds.
    void setFollowsSeconds(bool on) { m_followsSeconds = on; }
    // Sets the wall clock forwards or back by ms, as NTP or an operator would. Timers counting
    // an interval go on counting (they count real time); timers aligned to the second fire at
    // once and then realign, as the real clock's do.
    void step(qint64 ms);

protected:
    void arm(Timer *timer) override;
    void disarm(Timer *timer) override;

private:
    QDateTime nextDue(Timer *timer) const;

    bool m_followsSeconds = false;
    QDateTime m_now;
    qint64 m_steppedMs = 0;
    QMap<Timer *, QDateTime> m_due;
    quint64 m_seq = 0;
    QMap<Timer *, quint64> m_order;  // timers due at the same moment fire in arming order
};
