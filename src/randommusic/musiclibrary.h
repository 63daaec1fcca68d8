// The three music libraries the random music plays from: songs, four time windows, play history.
#pragma once
#include <QString>
#include <QStringList>
#include <array>

// A time window of a library. Open strictly after start and strictly before stop on a day
// whose flag is 1; a window whose start is at or after its stop never opens (00:00:00 to
// 00:00:00 is "off").
struct PlayGroup {
    int start = 0;                 // seconds since midnight
    int stop = 0;                  // seconds since midnight
    std::array<qint16, 7> days{};  // Monday … Saturday, Sunday; 1 = selected
};

struct MusicLibrary {
    static constexpr int MaxSongs = 1001;
    static constexpr int HistorySize = 1000;

    // The song table: full paths as the song list file gives them, at most MaxSongs.
    const QStringList &songs() const { return m_songs; }
    int songCount() const { return int(m_songs.size()); }
    // Replaces the song table (anything past MaxSongs is dropped) and forgets the play
    // history: remembered positions belong to the table they were picked from, and a table
    // that shrank could otherwise leave every position remembered and the pick drawing for ever.
    void setSongs(const QStringList &songs);
    // Empties positions 1 … HistorySize of this library's history.
    void forgetHistory() { PlayHistory.fill(0); }

    std::array<PlayGroup, 4> groups{};  // group 1 … 4
    // Positions 1 … HistorySize hold song position + 1 of a recent pick; 0 is empty; 0 unused.
    std::array<qint16, HistorySize + 1> PlayHistory{};

private:
    QStringList m_songs;
};

// The libraries 0, 1 and 2 ("曲库一" … "曲库三"), the one shown in the editor, and the
// history counter they share: a pick from any library advances it.
struct MusicLibraries {
    static constexpr int Count = 3;
    std::array<MusicLibrary, Count> library{};
    int CurrentLibrary = 0;
    int PlayHistoryCount = 0;
};
