// The group settings records and the song list lines.
#include "randommusic/libraryfiles.h"

#include "core/gbk.h"
#include "core/timetext.h"

#include <QtEndian>
#include <cstring>

namespace libraryfiles {

QString songListPath(const QString &appDir, int library) {
    return appDir + QStringLiteral("SjFile%1.dat").arg(library);
}

QString groupSettingsPath(const QString &appDir, int library) {
    return appDir + QStringLiteral("Sjbf%1.dat").arg(library);
}

namespace {
double readDouble(const char *p) {
    const quint64 bits = qFromLittleEndian<quint64>(p);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}
void writeDouble(char *p, double v) {
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    qToLittleEndian(bits, p);
}
}  // namespace

PlayGroup groupFromRecord(const QByteArray &record) {
    QByteArray r = record.left(RecordSize);
    r.append(QByteArray(RecordSize - r.size(), '\0'));
    PlayGroup g;
    g.start = timetext::fromOle(readDouble(r.constData()));
    g.stop = timetext::fromOle(readDouble(r.constData() + 8));
    for (int d = 0; d < 7; ++d) {
        const qint16 flag = qFromLittleEndian<qint16>(r.constData() + 16 + 2 * d);
        g.days[d] = flag == 1 ? 1 : 0;
    }
    return g;
}

QByteArray recordFromGroup(const PlayGroup &group) {
    QByteArray r(RecordSize, '\0');
    writeDouble(r.data(), timetext::toOle(group.start));
    writeDouble(r.data() + 8, timetext::toOle(group.stop));
    for (int d = 0; d < 7; ++d)
        qToLittleEndian<qint16>(group.days[d], r.data() + 16 + 2 * d);
    return r;
}

QByteArray groupSettingsBytes(const std::array<PlayGroup, 4> &groups, const QByteArray &old) {
    QByteArray bytes;
    bytes.reserve(qMax<qsizetype>(GroupFileSize, old.size()));
    for (const PlayGroup &g : groups)
        bytes += recordFromGroup(g);
    if (old.size() > GroupFileSize)
        bytes += old.mid(GroupFileSize);
    return bytes;
}

QStringList songsFromBytes(const QByteArray &bytes, int *skipped) {
    QStringList songs;
    int left = 0;
    qsizetype from = 0;
    while (from < bytes.size() && songs.size() < MusicLibrary::MaxSongs) {
        qsizetype end = bytes.indexOf('\n', from);
        if (end < 0)
            end = bytes.size();
        qsizetype length = end - from;
        if (length > 0 && bytes.at(end - 1) == '\r')
            --length;
        if (length == 0 || length > MaxLineBytes)
            ++left;
        else
            songs << gbk::decode(bytes.mid(from, length));
        from = end + 1;
    }
    if (skipped)
        *skipped = left;
    return songs;
}

QByteArray bytesFromSongs(const QStringList &songs) {
    QByteArray bytes;
    for (const QString &s : songs) {
        bytes += gbk::encode(s);
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace libraryfiles
