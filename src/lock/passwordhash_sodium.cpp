// The password hash through libsodium's crypto_pwhash_str with Argon2id.
#include "lock/passwordhash.h"

#include <sodium.h>

namespace passwordhash {

namespace {

bool ready() {
    static const bool initialised = sodium_init() >= 0;
    return initialised;
}

}  // namespace

QByteArray make(const QString &password) {
    if (!ready())
        return {};
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, utf8.constData(), utf8.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                              crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13) != 0)
        return {};
    return QByteArray(out);
}

bool matches(const QByteArray &stored, const QString &password) {
    if (!isWellFormed(stored))
        return false;
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(stored.constData(), utf8.constData(), utf8.size()) == 0;
}

// libsodium reads the whole text, costs, salt and hash, to say whether it would need a new
// hash: a text cut short or changed by hand is refused there.
bool isWellFormed(const QByteArray &stored) {
    return ready() && stored.startsWith("$argon2id$") && stored.size() < qsizetype(crypto_pwhash_STRBYTES) &&
           !stored.contains('\0') &&
           crypto_pwhash_str_needs_rehash(stored.constData(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                          crypto_pwhash_MEMLIMIT_INTERACTIVE) >= 0;
}

QByteArray fromFileBytes(const QByteArray &bytes) {
    const QByteArray stored = bytes.left(MaxFileBytes).trimmed();
    return isWellFormed(stored) ? stored : QByteArray();
}

}  // namespace passwordhash
