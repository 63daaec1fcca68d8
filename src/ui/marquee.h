// Texts that scroll sideways in a fixed strip by turning, one character a step.
#pragma once
#include <QString>

namespace marquee {

// The text turned left by one character: all of it but the first character, then the first.
// A character written as two UTF-16 units moves as one, so a rare character in a file name
// never shows as two broken halves.
inline QString turnedLeft(const QString &text) {
    if (text.size() < 2)
        return text;
    const qsizetype first = text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate() ? 2 : 1;
    return text.mid(first) + text.left(first);
}

}  // namespace marquee
