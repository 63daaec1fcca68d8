// The simulated clock's timer queue.
#include "support/simclock.h"

void SimClock::arm(Timer *timer) {
    m_due[timer] = m_now.addMSecs(timer->interval() > 0 ? timer->interval() : 1);
    m_order[timer] = m_seq++;
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
        m_due[next] = m_now.addMSecs(next->interval() > 0 ? next->interval() : 1);
        m_order[next] = m_seq++;
        next->fire();
    }
    m_now = end;
}
