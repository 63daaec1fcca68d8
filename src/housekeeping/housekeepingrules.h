// Housekeeping's rules without widgets: the shutdown time typed, the check, the countdown
// texts, the clearing window, the clock's lines and warning.
#pragma once
#include <QString>

#include <optional>

namespace housekeepingrules {

// The shutdown time from the strip's three boxes, in seconds since midnight, or nothing when
// a box holds anything but one or two digits within its range (hours 0–23, minutes and
// seconds 0–59). An empty box, a sign, a fraction or a letter is refused like an hour of
// 24: the PC is never switched off at a time that somebody did not clearly set.
std::optional<int> shutdownTimeFromBoxes(const QString &hours, const QString &minutes, const QString &seconds);

// The five-second check: on, and the shutdown time strictly before now (whole seconds of
// the day, no date: after midnight the day starts afresh).
bool isShutdownDue(bool enabled, int shutdownTime, int now);

// The countdown panel's label before the first tick.
QString countdownDesignText();  // "主机将在    秒钟后自动关机"
// The label at a tick: 10 − counter, with a leading space when not negative.
QString countdownText(int counter);
// The label when the system would not shut down: the countdown stopped at 0, and why.
QString refusedText();

// The clearing check: now lies between the clearing time − 2 s and the clearing time, both
// included, on times of day (so the window does not reach back across midnight). A
// clearing time that is not a time of day clears nothing.
bool isClearingDue(std::optional<int> clearingTime, int now);

// The as-run line when the PC wakes from a sleep of this many milliseconds, to the nearest
// second: "电脑从休眠中唤醒，休眠了 1:02:03", with "2 天 " before a sleep of days.
QString wokeText(qint64 asleepMs);

// The as-run line of the clock's state, at start-up and at each change.
QString clockSyncText(bool synchronised);
// A step of the wall clock by stepMs (positive: forward) against the clock nobody sets: the
// as-run line, "系统时钟被调快 3.2 秒", "系统时钟被调慢 1:02:03". Nothing for a step under
// ClockStepMs, which is no step but the little the two readings lie apart (a time server
// slews the clock by half a millisecond a second at most).
constexpr qint64 ClockStepMs = 100;
std::optional<QString> clockStepText(qint64 stepMs);
// The main window's warning once the clock has gone unsynchronised for more than a day
// ("系统时钟已 3 天未与时间服务器同步…"); empty before.
QString clockWarningText(qint64 unsynchronisedMs);

}  // namespace housekeepingrules
