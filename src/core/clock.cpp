// Clock helpers, Timer and the real clock.
#include "core/clock.h"

#include <QTimer>

int Clock::secondsOfDay() const { return now().time().msecsSinceStartOfDay() / 1000; }

int Clock::weekday() const { return date().dayOfWeek() % 7 + 1; }  // Qt: Monday 1 … Sunday 7

Timer::Timer(Clock &clock, const QString &name, int intervalMs, bool enabled, QObject *parent)
    : QObject(parent), m_clock(clock), m_interval(intervalMs) {
    setObjectName(name);
    setEnabled(enabled);
}

Timer::~Timer() { m_clock.forget(this); }

void Timer::setInterval(int ms) {
    m_interval = ms;
    if (m_enabled) {
        m_clock.disarm(this);
        m_clock.arm(this);
    }
}

void Timer::setEnabled(bool on) {
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (on)
        m_clock.arm(this);
    else
        m_clock.disarm(this);
}

RealClock::~RealClock() { qDeleteAll(m_timers); }

void RealClock::arm(Timer *timer) {
    QTimer *&t = m_timers[timer];
    if (!t) {
        t = new QTimer;
        // The one-second ticks drive the clock display and the due scan: keep them precise.
        t->setTimerType(Qt::PreciseTimer);
        QObject::connect(t, &QTimer::timeout, timer, &Timer::fire);
    }
    t->start(timer->interval());
}

// A handler often disables its own timer while the QTimer is emitting, so the QTimer is
// only stopped here and deleted when its Timer goes.
void RealClock::disarm(Timer *timer) {
    if (QTimer *t = m_timers.value(timer))
        t->stop();
}

void RealClock::forget(Timer *timer) { delete m_timers.take(timer); }
