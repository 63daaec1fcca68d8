// The song table of a library.
#include "randommusic/musiclibrary.h"

void MusicLibrary::setSongs(const QStringList &songs) {
    m_songs = songs.size() > MaxSongs ? songs.mid(0, MaxSongs) : songs;
    forgetHistory();
}
