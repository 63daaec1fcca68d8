// What is playing or about to play, shared by the tick, the playback engine and manual control.
#pragma once
#include <QString>

struct PlaybackState {
    int PlayerBusy = 0;         // while either player holds a file, as its notifications and a WAV/MIDI start say
    QString CurrentFile;        // the file to play next / playing
    int CurrentItem = 0;        // the item of today's list whose times the status line shows
    int CurrentPlayLength = 0;  // seconds; 0 = to the end
    int PlayElapsed = 0;        // seconds since the engine started the item
    int SongLengthShown = 0;    // 1 once the current MP3's length is in the status line
};
