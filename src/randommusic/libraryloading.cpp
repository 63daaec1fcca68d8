// The libraries' files read into memory, the editor's fields left to the editor.
#include "randommusic/libraryloading.h"

#include "core/filesignature.h"
#include "core/recordfile.h"
#include "core/regularfile.h"
#include "randommusic/libraryfiles.h"
#include "randommusic/logging.h"

#include <QFile>

namespace libraryloading {

std::optional<std::array<PlayGroup, 4>> readGroups(const QString &appDir, int n) {
    const QString path = libraryfiles::groupSettingsPath(appDir, n);
    RecordFile file(path, libraryfiles::RecordSize);
    if (const Result opened = file.openForReading(); !opened)
        qCWarning(lcMusic) << "cannot read" << path << opened.reason();
    if (file.length() == 0)
        return std::nullopt;
    std::array<PlayGroup, 4> groups{};
    // A record the file holds only in part reads its missing bytes as zeros.
    for (int g = 0; g < libraryfiles::GroupCount; ++g)
        groups[std::size_t(g)] = libraryfiles::groupFromRecord(file.read(g + 1));
    return groups;
}

QStringList readSongs(const QString &appDir, int n) {
    const QString path = libraryfiles::songListPath(appDir, n);
    QFile file;
    regularfile::Fault fault;
    if (const Result opened = regularfile::open(path, &file, &fault); !opened) {
        if (fault != regularfile::Fault::Missing)
            qCWarning(lcMusic) << "cannot read" << path << opened.reason();
        return {};
    }
    if (file.size() == 0) {
        if (!QFile::remove(path))
            qCWarning(lcMusic) << "cannot delete the empty song list" << path;
        ownwrites::note(path);
        return {};
    }
    // Enough for every song there is room for; a longer file is damaged anyway.
    const QByteArray bytes =
        regularfile::readStart(file, qint64(MusicLibrary::MaxSongs) * (libraryfiles::MaxLineBytes + 2));
    int skipped = 0;
    QStringList songs = libraryfiles::songsFromBytes(bytes, &skipped);
    if (skipped > 0)
        qCWarning(lcMusic) << path << ":" << skipped << "empty or overlong lines passed over";
    if (!file.atEnd())
        qCWarning(lcMusic) << path << "holds more than there is room for; its start is taken";
    return songs;
}

void load(const QString &appDir, int n, MusicLibrary &library) {
    if (const auto groups = readGroups(appDir, n))
        library.groups = *groups;
    library.setSongs(readSongs(appDir, n));
}

void loadAll(const QString &appDir, MusicLibraries &libraries) {
    for (int n = MusicLibraries::Count - 1; n >= 0; --n)
        load(appDir, n, libraries.library[std::size_t(n)]);
    libraries.CurrentLibrary = 0;
}

}  // namespace libraryloading
