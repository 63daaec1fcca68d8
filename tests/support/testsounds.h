// Sounds for tests: the program's own sound writers, and files that must fail to play.
#pragma once
#include "demo/soundfiles.h"

namespace TestSounds {
using namespace SoundFiles;

// A WAV whose header promises a second of sound but whose data stops after the header.
bool writeTruncatedWav(const QString &path);
// Bytes that no decoder recognises.
bool writeGarbage(const QString &path, int bytes = 4096);
}  // namespace TestSounds
