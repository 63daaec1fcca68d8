// A sound file's type: the last three characters of its path in upper case.
#pragma once
#include <QString>

inline QString fileType(const QString &path) { return path.right(3).toUpper(); }

// A file the MCI player plays as "Sequencer", through the MIDI synthesiser.
inline bool isMidiType(const QString &path) { return fileType(path) == QLatin1String("MID"); }
