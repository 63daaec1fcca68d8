// GBK (code page 936) text, the encoding of every fixed-width text field in our files.
#pragma once
#include <QByteArray>
#include <QString>

namespace gbk {

// Encodes text; a character GBK cannot hold becomes "?".
QByteArray encode(const QString &text);

// Decodes bytes; a byte sequence that is not GBK becomes "?" and decoding goes on. clean,
// when given, says whether every byte was part of a character.
QString decode(const QByteArray &bytes, bool *clean = nullptr);

// The fixed-width field of width n: at most n characters, padded with spaces to n,
// encoded, and cut to n bytes. A double-byte character that would be split by the cut
// is left out and its first byte written as a space, so a field never ends in half a character.
QByteArray encodeField(const QString &text, int n);

}  // namespace gbk
