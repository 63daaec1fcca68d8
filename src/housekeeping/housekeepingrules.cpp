// The shutdown time check, the countdown texts, the clearing window and the wake line.
#include "housekeeping/housekeepingrules.h"

#include "core/timetext.h"

#include <algorithm>

namespace housekeepingrules {

namespace {
std::optional<int> field(const QString &text, int top) {
    if (text.isEmpty() || text.size() > 2)
        return std::nullopt;
    int v = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        v = v * 10 + (c.unicode() - '0');
    }
    if (v > top)
        return std::nullopt;
    return v;
}
}  // namespace

std::optional<int> shutdownTimeFromBoxes(const QString &hours, const QString &minutes, const QString &seconds) {
    const auto h = field(hours.trimmed(), 23), m = field(minutes.trimmed(), 59), s = field(seconds.trimmed(), 59);
    if (!h || !m || !s)
        return std::nullopt;
    return *h * 3600 + *m * 60 + *s;
}

bool isShutdownDue(bool enabled, int shutdownTime, int now) { return enabled && shutdownTime < now; }

QString countdownDesignText() { return QStringLiteral("主机将在    秒钟后自动关机"); }

QString countdownText(int counter) {
    const int left = 10 - counter;
    const QString number = left >= 0 ? QLatin1Char(' ') + QString::number(left) : QString::number(left);
    return QStringLiteral("主机将在") + number + QStringLiteral(" 秒钟后自动关机!");
}

QString refusedText() { return countdownText(10) + QStringLiteral("\n计算机未能关机，广播照常进行。"); }

bool isClearingDue(std::optional<int> clearingTime, int now) {
    return clearingTime && *clearingTime >= now && *clearingTime <= now + 2;
}

namespace {
// "1:02:03", with "2 天 " before a span of days; to the nearest second.
QString spanText(qint64 ms) {
    const qint64 seconds = (std::max<qint64>(ms, 0) + 500) / 1000;
    const qint64 days = seconds / timetext::SecondsPerDay;
    return (days > 0 ? QStringLiteral("%1 天 ").arg(days) : QString()) +
           timetext::shortTime(int(seconds % timetext::SecondsPerDay));
}
}  // namespace

QString wokeText(qint64 asleepMs) { return QStringLiteral("电脑从休眠中唤醒，休眠了 ") + spanText(asleepMs); }

QString clockSyncText(bool synchronised) {
    return synchronised ? QStringLiteral("系统时钟已与时间服务器同步")
                        : QStringLiteral("系统时钟未与时间服务器同步，各电脑的铃声可能不同时");
}

std::optional<QString> clockStepText(qint64 stepMs) {
    const qint64 size = stepMs < 0 ? -stepMs : stepMs;
    if (size < ClockStepMs)
        return std::nullopt;
    const QString how = stepMs > 0 ? QStringLiteral("调快") : QStringLiteral("调慢");
    const QString amount = size < 60000 ? QStringLiteral("%1 秒").arg(double(size) / 1000, 0, 'f', 1) : spanText(size);
    return QStringLiteral("系统时钟被%1 %2").arg(how, amount);
}

QString clockWarningText(qint64 unsynchronisedMs) {
    const qint64 day = qint64(timetext::SecondsPerDay) * 1000;
    if (unsynchronisedMs <= day)
        return {};
    return QStringLiteral("⚠ 系统时钟已 %1 天未与时间服务器同步，铃声可能与其他电脑不同时").arg(unsynchronisedMs / day);
}

}  // namespace housekeepingrules
