// The settings password kept as a salted Argon2id hash, and the check of a password against it.
#pragma once
#include <QByteArray>
#include <QString>

namespace passwordhash {

// The text kept in the lock file: the algorithm, its costs, a fresh random salt and the hash,
// as libsodium's crypto_pwhash_str writes it; empty when no hash could be made. Takes a
// noticeable fraction of a second and 64 MB on purpose, so that a stolen file is slow to guess.
QByteArray make(const QString &password);
// Whether the password is the one the stored text was made from.
bool matches(const QByteArray &stored, const QString &password);
// Whether the text is a hash this program could have written.
bool isWellFormed(const QByteArray &stored);

// A hash takes some 100 bytes; the lock file's reader takes no more than this.
constexpr qint64 MaxFileBytes = 256;
// The hash the lock file's bytes hold, without the line break and spaces around it; empty when
// they hold none this program could have written.
QByteArray fromFileBytes(const QByteArray &bytes);

}  // namespace passwordhash
