// Reading a library's two files into memory without the library editor: at start-up, and when
// someone else changes them before the editor has been opened.
#pragma once
#include "randommusic/musiclibrary.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace libraryloading {

// Library n's group settings file, created empty when missing: its four groups, or nothing
// where it holds no settings (empty, or unreadable).
std::optional<std::array<PlayGroup, 4>> readGroups(const QString &appDir, int n);
// Library n's songs as its song list file gives them. An empty file is deleted: an empty
// library keeps no song list.
QStringList readSongs(const QString &appDir, int n);
// Both files into library n: the groups where the file holds any, the songs always (which
// forgets its play history, as any new song table does).
void load(const QString &appDir, int n, MusicLibrary &library);
// Start-up: library 2, 1, then 0; library 0 is the one the editor shows.
void loadAll(const QString &appDir, MusicLibraries &libraries);

}  // namespace libraryloading
