// A sound file's type: the last three characters of its path in upper case.
#pragma once
#include <QString>

inline QString fileType(const QString &path) { return path.right(3).toUpper(); }
