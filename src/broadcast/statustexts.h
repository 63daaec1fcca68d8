// The texts of the two status lines. Each ends in a run of ideographic spaces so that the
// sideways scrolling leaves a gap between repeats.
#pragma once
#include <QString>

namespace statustexts {

// "播放文件：" + path + 10 ideographic spaces.
QString playingFile(const QString &path);
// "开播时间：" + start + "　播放时间：" + length + 10 spaces, or "…播完" + 14 spaces.
QString startAndLength(int start, int playLength);
// As above with "　歌曲长度：" + song length between the two.
QString startSongAndLength(int start, int songLength, int playLength);

// The weekday names, 1 = Sunday … 7 = Saturday.
QString weekdayName(int weekday);

}  // namespace statustexts
