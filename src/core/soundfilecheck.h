// soundfilecheck: whether a sound file is there and looks like one the players can play.
#pragma once
#include <QByteArrayView>
#include <QString>

namespace soundfilecheck {

// The first bytes of a WAV (RIFF … WAVE), MIDI (MThd) or MP3 file (an ID3 tag or an MPEG
// audio frame's sync). The players decide by the content, not by the name.
bool looksPlayable(QByteArrayView head);

// Empty when the file exists and its first bytes look playable; otherwise, in the operator's
// words, why it will not play. Reads at most a few bytes and never changes the file.
QString problem(const QString &path);

}  // namespace soundfilecheck
