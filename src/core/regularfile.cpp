// Non-blocking opening of regular files through their descriptor.
#include "core/regularfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace regularfile {

namespace {

Result fail(Fault why, const QString &reason, Fault *fault) {
    if (fault)
        *fault = why;
    return Result::failure(reason);
}

Result failWithErrno(int error, Fault *fault) {
    // Opening a socket fails with ENXIO: it is there, but it is no file.
    const Fault why = error == ENOENT ? Fault::Missing : error == ENXIO ? Fault::NotAFile : Fault::Unreadable;
    return fail(why, why == Fault::NotAFile ? notAFile() : qt_error_string(error), fault);
}

}  // namespace

QString notAFile() { return QStringLiteral("这不是一个文件"); }

Result open(const QString &path, QFile *file, Fault *fault) {
    if (fault)
        *fault = Fault::None;
    const QByteArray name = QFile::encodeName(path);
    // A look first, so that a device is not even opened (opening some has effects of its own).
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return failWithErrno(errno, fault);
    if (!S_ISREG(st.st_mode))
        return fail(Fault::NotAFile, notAFile(), fault);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failWithErrno(errno, fault);
    // What counts is what was opened: the path may have been swapped since the look.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(Fault::NotAFile, notAFile(), fault);
    }
    // A regular file never waits; the flag goes so that the reads are the ordinary ones.
    if (const int flags = ::fcntl(fd, F_GETFL); flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(Fault::Unreadable, file->errorString(), fault);
    }
    return Result::success();
}

QByteArray readStart(QFile &file, qint64 maxBytes) {
    if (!file.isOpen() || !file.seek(0))
        return {};
    return file.read(std::min(file.size(), maxBytes));
}

}  // namespace regularfile
