// Status line texts.
#include "broadcast/statustexts.h"

#include "core/timetext.h"

namespace statustexts {

namespace {

QString ideographicSpaces(int n) { return QString(n, QChar(0x3000)); }

// The play length tail shared by both start lines.
QString lengthTail(int playLength) {
    if (playLength == 0)
        return QStringLiteral("　播放时间：播完") + ideographicSpaces(14);
    return QStringLiteral("　播放时间：") + timetext::shortTime(playLength) + ideographicSpaces(10);
}

}  // namespace

QString playingFile(const QString &path) { return QStringLiteral("播放文件：") + path + ideographicSpaces(10); }

QString startAndLength(int start, int playLength) {
    return QStringLiteral("开播时间：") + timetext::shortTime(start) + lengthTail(playLength);
}

QString startSongAndLength(int start, int songLength, int playLength) {
    return QStringLiteral("开播时间：") + timetext::shortTime(start) + QStringLiteral("　歌曲长度：") +
           timetext::shortTime(songLength) + lengthTail(playLength);
}

QString weekdayName(int weekday) {
    static const char *const names[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    return weekday >= 1 && weekday <= 7 ? QString::fromUtf8(names[weekday - 1]) : QString();
}

}  // namespace statustexts
