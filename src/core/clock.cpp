// Clock helpers, Timer and the real clock.
#include "core/clock.h"

#include "core/logging.h"

#include <QSocketNotifier>
#include <QTimer>

#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

qint64 nextSecondTick(qint64 epochMs, int intervalMs) {
    const qint64 step = std::max(1, intervalMs / 1000) * qint64(1000);
    // Floor division, so that a moment before the epoch (a clock set far back) still rounds down.
    const qint64 current = epochMs >= 0 ? epochMs / step : -((-epochMs + step - 1) / step);
    return (current + 1) * step + SecondTickDelayMs;
}

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

void Timer::setAlignedToSecond(bool on) {
    if (on == m_alignedToSecond)
        return;
    m_alignedToSecond = on;
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

namespace {

qint64 wallClockMs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

bool g_wallClockAlarmFails = false;

// Sets the timerfd to go off at the absolute time given, and at once if the clock is set.
bool setWallClockAlarm(int fd, const itimerspec &at) {
    if (g_wallClockAlarmFails) {
        errno = ENOMEM;
        return false;
    }
    return timerfd_settime(fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &at, nullptr) == 0;
}

}  // namespace

void setWallClockAlarmFails(bool fail) { g_wallClockAlarmFails = fail; }

// Fires a timer just after each second of the wall clock begins. A timerfd on CLOCK_REALTIME
// with an absolute deadline goes off when the wall clock reaches the deadline however it got
// there, and at once when the clock is set (TFD_TIMER_CANCEL_ON_SET): after a step forward it
// does not sleep through the seconds the step skipped, after a step back it does not wait for
// the old second to come round again. Each firing sets the next deadline from the clock as it
// then reads, so nothing accumulates over months. Where no timerfd can be made, or the next
// deadline cannot be set on it, a QTimer counts to the next second instead and the alignment
// follows a step at the next tick; the deadline is tried on the timerfd again at each tick.
class SecondAlarm : public QObject {
public:
    explicit SecondAlarm(Timer *timer) : m_timer(timer) {
        m_fallback = new QTimer(this);
        m_fallback->setSingleShot(true);
        m_fallback->setTimerType(Qt::PreciseTimer);
        connect(m_fallback, &QTimer::timeout, this, &SecondAlarm::tick);
        m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
        if (m_fd >= 0) {
            m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
            connect(m_notifier, &QSocketNotifier::activated, this, &SecondAlarm::wake);
        } else {
            qCWarning(lcClock) << "no wall-clock alarm (" << std::strerror(errno) << "): the second tick counts time";
        }
    }
    ~SecondAlarm() override {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    void start() {
        const qint64 now = wallClockMs();
        const qint64 next = nextSecondTick(now, m_timer->interval());
        if (m_fd >= 0) {
            itimerspec nextTick{};
            nextTick.it_value.tv_sec = time_t(next / 1000);
            nextTick.it_value.tv_nsec = long(next % 1000) * 1000000;
            if (setWallClockAlarm(m_fd, nextTick)) {
                m_alarmFailing = false;
                m_notifier->setEnabled(true);
                return;
            }
            // Tried again at every tick; said once, not every second for as long as it lasts.
            if (!std::exchange(m_alarmFailing, true))
                qCWarning(lcClock) << "cannot set the wall-clock alarm (" << std::strerror(errno)
                                   << "): the second tick counts time until it can";
            m_notifier->setEnabled(false);
        }
        m_fallback->start(int(next - now));
    }

    void stop() {
        m_fallback->stop();
        if (m_fd < 0)
            return;
        const itimerspec off{};
        timerfd_settime(m_fd, 0, &off, nullptr);
        m_notifier->setEnabled(false);
    }

private:
    void wake() {
        std::uint64_t expirations = 0;
        if (::read(m_fd, &expirations, sizeof expirations) < 0 && errno != ECANCELED)
            return;  // nothing to read after all
        // The deadline has passed or the clock was set: either way a tick is due now, and the
        // next one follows the clock as it now reads.
        tick();
    }
    // The next deadline is set before the tick runs, as the tick may disable its own timer.
    void tick() {
        start();
        m_timer->fire();
    }

    Timer *m_timer;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_fallback = nullptr;
    bool m_alarmFailing = false;
};

RealClock::~RealClock() {
    qDeleteAll(m_timers);
    qDeleteAll(m_alarms);
}

void RealClock::arm(Timer *timer) {
    if (timer->isAlignedToSecond()) {
        SecondAlarm *&a = m_alarms[timer];
        if (!a)
            a = new SecondAlarm(timer);
        a->start();
        return;
    }
    QTimer *&t = m_timers[timer];
    if (!t) {
        t = new QTimer;
        // The playback delays count from the tick that started them: keep them precise.
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
    if (SecondAlarm *a = m_alarms.value(timer))
        a->stop();
}

void RealClock::forget(Timer *timer) {
    delete m_timers.take(timer);
    delete m_alarms.take(timer);
}
