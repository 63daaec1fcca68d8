// The simulated clock's timer queue.
#include "support/simclock.h"

QDateTime SimClock::nextDue(Timer *timer) const {
    if (m_followsSeconds && timer->isAlignedToSecond())
        return QDateTime::fromMSecsSinceEpoch(nextSecondTick(m_now.toMSecsSinceEpoch(), timer->interval()));
    return m_now.addMSecs(timer->interval() > 0 ? timer->interval() : 1);
}

void SimClock::arm(Timer *timer) {
    m_due[timer] = nextDue(timer);
    m_order[timer] = m_seq++;
}

void SimClock::step(qint64 ms) {
    m_now = m_now.addMSecs(ms);
    m_steppedMs += ms;
    for (auto it = m_due.begin(); it != m_due.end(); ++it) {
        if (m_followsSeconds && it.key()->isAlignedToSecond())
            it.value() = m_now;
        else
            it.value() = it.value().addMSecs(ms);
    }
    advance(0);
}

void SimClock::disarm(Timer *timer) {
    m_due.remove(timer);
    m_order.remove(timer);
}

void SimClock::advance(qint64 ms) {
    const QDateTime end = m_now.addMSecs(ms);
    for (;;) {
        Timer *next = nullptr;
        for (auto it = m_due.cbegin(); it != m_due.cend(); ++it) {
            if (it.value() > end)
                continue;
            if (!next || it.value() < m_due[next] || (it.value() == m_due[next] && m_order[it.key()] < m_order[next]))
                next = it.key();
        }
        if (!next)
            break;
        m_now = m_due[next];
        m_due[next] = nextDue(next);
        m_order[next] = m_seq++;
        next->fire();
    }
    m_now = end;
}
