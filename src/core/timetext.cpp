// Time texts and the OLE-date conversion.
#include "core/timetext.h"

#include <QStringList>
#include <cmath>

namespace timetext {

QString playToEnd() { return QStringLiteral("播完"); }

static QString format(int seconds, int hourWidth) {
    seconds = ((seconds % SecondsPerDay) + SecondsPerDay) % SecondsPerDay;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, hourWidth, 10, QLatin1Char('0'))
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString shortTime(int seconds) { return format(seconds, 1); }
QString twoDigitTime(int seconds) { return format(seconds, 2); }
QString lengthText(int seconds) { return seconds == 0 ? playToEnd() : shortTime(seconds); }

std::optional<int> parse(const QString &text) {
    const QString t = text.trimmed();
    if (t == playToEnd())
        return 0;
    const QStringList parts = t.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return std::nullopt;
    int v[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        v[i] = parts[i].toInt(&ok);
        if (!ok || parts[i].isEmpty() || parts[i].size() > 2 || v[i] < 0)
            return std::nullopt;
    }
    if (v[0] > 23 || v[1] > 59 || v[2] > 59)
        return std::nullopt;
    return v[0] * 3600 + v[1] * 60 + v[2];
}

double toOle(int seconds) { return double(seconds) / SecondsPerDay; }

int fromOle(double value) {
    if (!std::isfinite(value))
        return 0;
    const double fraction = std::fabs(value - std::trunc(value));
    auto s = static_cast<long long>(std::llround(fraction * SecondsPerDay));
    return int(s % SecondsPerDay);
}

}  // namespace timetext
