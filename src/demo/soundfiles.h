// Writers of short sounds: a PCM WAV, a Standard MIDI File and an MP3, each of a given length.
#pragma once
#include <QString>

namespace SoundFiles {

// 16-bit mono PCM sine at 44.1 kHz; ms milliseconds long. False when the file cannot be written.
bool writeWav(const QString &path, int ms, int frequencyHz = 440);
// A type 0 Standard MIDI File at 120 beats a minute: one organ note (middle C unless given)
// held for ms milliseconds.
bool writeMidi(const QString &path, int ms, int note = 60);
// A 128 kbit/s constant-bitrate MP3 of a sine (44.1 kHz mono), encoded by GStreamer's
// lamemp3enc; ms is rounded down to 10 ms. Blocks until the file is written.
bool writeMp3(const QString &path, int ms, int frequencyHz = 440);

}  // namespace SoundFiles
