// The two files of a library: its song list (SjFile n .dat) and its group settings (Sjbf n .dat).
#pragma once
#include "randommusic/musiclibrary.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace libraryfiles {

// Group settings: four records of 30 bytes, little-endian: start and stop as OLE-date
// doubles (fraction of a day), then seven 16-bit day flags Monday … Sunday.
constexpr int RecordSize = 30;
constexpr int GroupCount = 4;
constexpr int GroupFileSize = RecordSize * GroupCount;  // 120
// A saved file keeps what it held beyond the records, up to this size; a larger one is not saved over.
constexpr qint64 MaxGroupFileBytes = 64 * 1024;
// No path on this system is longer; a longer line in a song list is not a song.
constexpr int MaxLineBytes = 4096;

// AppDir + "SjFile" / "Sjbf" + the library index + ".dat".
QString songListPath(const QString &appDir, int library);
QString groupSettingsPath(const QString &appDir, int library);

// A group as its record gives it: times to the nearest second (a value that is not a number
// reads as midnight), and a day flag that is neither 0 nor 1 read as 0, not selected.
PlayGroup groupFromRecord(const QByteArray &record);
QByteArray recordFromGroup(const PlayGroup &group);
// The settings file's new content: the four records over the first 120 bytes of what the
// file held, anything the file held beyond them kept as it was.
QByteArray groupSettingsBytes(const std::array<PlayGroup, 4> &groups, const QByteArray &old = QByteArray());

// The songs of a song list file: GBK lines ended by CR LF (a lone LF or a missing end on the
// last line is taken too). Empty lines and lines longer than MaxLineBytes are passed over,
// and only the first MaxSongs songs are taken. skipped, when given, counts what was left out.
QStringList songsFromBytes(const QByteArray &bytes, int *skipped = nullptr);
// The file's content for the songs: each as GBK followed by CR LF.
QByteArray bytesFromSongs(const QStringList &songs);

}  // namespace libraryfiles
