// A clock whose time only moves when the test says so; a school day passes in milliseconds.
#pragma once
#include "core/clock.h"

#include <QMap>

class SimClock : public Clock {
public:
    explicit SimClock(const QDateTime &start = QDateTime(QDate(2026, 12, 7), QTime(7, 0))) : m_now(start) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &t) { m_now = t; }
    void setTime(const QTime &t) { m_now.setTime(t); }

    // Moves time forward, firing every due timer in time order at its exact moment.
    void advance(qint64 ms);
    // Moves to the given moment (forward only).
    void advanceTo(const QDateTime &t) { advance(m_now.msecsTo(t)); }
    int armedCount() const { return int(m_due.size()); }

protected:
    void arm(Timer *timer) override;
    void disarm(Timer *timer) override;

private:
    QDateTime m_now;
    QMap<Timer *, QDateTime> m_due;
    quint64 m_seq = 0;
    QMap<Timer *, quint64> m_order;  // timers due at the same moment fire in arming order
};
