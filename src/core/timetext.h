// Times of day as whole seconds since midnight, their text forms and their file form.
#pragma once
#include <QString>
#include <optional>

namespace timetext {

constexpr int SecondsPerDay = 86400;

// The text shown for a zero play length.
QString playToEnd();  // "播完"

// "8:05:00": hour without a leading zero (grids, clock, status lines).
QString shortTime(int seconds);
// "08:05:00": two-digit hour (time entry fields, the editor grid's start column).
QString twoDigitTime(int seconds);
// A play length: its short time text, or "播完" when zero.
QString lengthText(int seconds);

// Parses "8:05:00", "08:05:00" (and "播完" as 0); whole seconds, or nothing when the text
// is not a time of day.
std::optional<int> parse(const QString &text);

// The OLE-date double of our files: seconds / 86400, whole part 0.
double toOle(int seconds);
// Back to whole seconds of the day: the nearest whole second of the fraction. A date part
// is dropped; before 1899-12-30 the fraction still counts forwards from midnight (−1.25 is
// 06:00, not 18:00); a value that is not a number reads as midnight.
int fromOle(double value);

}  // namespace timetext
