// CleanField: the one clean-up applied to every fixed-width text read from a file.
#pragma once
#include <QString>

// Removes every character below code 32 (the zero bytes of a never-written field among them)
// and trims leading and trailing spaces (U+0020 only; ideographic spaces are text).
QString CleanField(const QString &text);
