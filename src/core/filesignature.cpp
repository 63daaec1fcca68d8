// File signatures from stat(), and the record of the program's own last write of each file.
#include "core/filesignature.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <sys/stat.h>
#include <unistd.h>
#include <mutex>

FileSignature FileSignature::of(const QString &path) {
    FileSignature s;
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || ::stat(name.constData(), &st) != 0)
        return s;
    s.readable = S_ISREG(st.st_mode) && ::access(name.constData(), R_OK) == 0;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

namespace ownwrites {
namespace {

// A few dozen files at most: the settings and the lists the operator saved.
constexpr int MaxRemembered = 256;

struct Registry {
    std::mutex lock;
    QHash<QString, FileSignature> last;
};

Registry &registry() {
    static Registry r;
    return r;
}

QString key(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

void note(const QString &path) {
    const FileSignature now = FileSignature::of(path);
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    if (r.last.size() >= MaxRemembered)
        r.last.clear();  // only the last few saves matter; an older one has long been seen
    r.last.insert(key(path), now);
}

bool isOwn(const QString &path, const FileSignature &signature) {
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    const auto it = r.last.constFind(key(path));
    return it != r.last.cend() && *it == signature;
}

}  // namespace ownwrites
