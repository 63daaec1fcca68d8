// Damaged sound files.
#include "support/testsounds.h"

#include <QFile>

namespace TestSounds {

bool writeTruncatedWav(const QString &path) {
    return writeWav(path, 1000) && QFile::resize(path, 44);  // the 44-byte header alone
}

bool writeGarbage(const QString &path, int bytes) {
    QByteArray b;
    quint32 x = 2463534242u;  // xorshift: the same bytes every run
    for (int i = 0; i < bytes; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b.append(char(x & 0xff));
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(b) == b.size();
}

}  // namespace TestSounds
