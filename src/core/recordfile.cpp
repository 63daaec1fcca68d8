// Fixed-size record access and whole-file replacement.
#include "core/recordfile.h"

#include "core/filesignature.h"
#include "core/regularfile.h"

#include <fcntl.h>
#include <unistd.h>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <limits>

RecordFile::RecordFile(const QString &path, int recordSize) : m_path(path), m_recordSize(recordSize) {}

Result RecordFile::openForReading(Missing missing) {
    regularfile::Fault fault;
    Result opened = regularfile::open(m_path, &m_file, &fault);
    if (!opened && fault == regularfile::Fault::Missing) {
        if (missing == Missing::ReadAsEmpty)
            return Result::success();  // not open: no records, nothing created
        // O_EXCL: whatever appeared at the path meanwhile is left as it is and reported below.
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return Result::failure(qt_error_string(errno));
        if (fd >= 0) {
            ::close(fd);
            ownwrites::note(m_path);
            opened = regularfile::open(m_path, &m_file);
        }
    }
    m_open = opened.ok();
    return opened;
}

int RecordFile::countFor(qint64 length, int recordSize) {
    const qint64 whole = length / recordSize;
    const qint64 rest = length % recordSize;
    const qint64 twice = rest * 2;
    const qint64 n = twice > recordSize || (twice == recordSize && (whole % 2) == 1) ? whole + 1 : whole;
    return int(std::min<qint64>(n, std::numeric_limits<int>::max()));
}

int RecordFile::count() const { return countFor(length(), m_recordSize); }

QByteArray RecordFile::read(int n) {
    QByteArray bytes;
    if (m_open && n >= 1 && m_file.seek(qint64(n - 1) * m_recordSize))
        bytes = m_file.read(m_recordSize);
    if (bytes.size() < m_recordSize)
        bytes.append(QByteArray(m_recordSize - bytes.size(), '\0'));
    return bytes;
}

QByteArray RecordFile::readAll(qint64 maxBytes) {
    return m_open ? regularfile::readStart(m_file, maxBytes) : QByteArray();
}

QByteArray recordAt(const QByteArray &all, int n, int recordSize) {
    QByteArray bytes = all.mid(qsizetype(n - 1) * recordSize, recordSize);
    if (bytes.size() < recordSize)
        bytes.append(QByteArray(recordSize - bytes.size(), '\0'));
    return bytes;
}

namespace {
ReplaceFileProbe &replaceProbe() {
    static ReplaceFileProbe probe;
    return probe;
}
}  // namespace

void setReplaceFileProbe(ReplaceFileProbe probe) { replaceProbe() = std::move(probe); }

Result replaceFile(const QString &path, const QByteArray &bytes) {
    // Renaming over a file needs only a writable folder; a file the operator made read-only
    // must stay as it is all the same, and so must a pipe or anything else put in its place.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile())
        return Result::failure(regularfile::notAFile());
    if (existing.exists() && !existing.isWritable())
        return Result::failure(QStringLiteral("the file is read-only"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Result::failure(file.errorString());
    // Two parts, so that a test can stop the write with half of the bytes in the temporary file.
    const qint64 total = bytes.size();
    for (const qint64 written : {total / 2, total}) {
        const qint64 from = file.pos();
        if (file.write(bytes.constData() + from, written - from) != written - from || !file.flush()) {
            const QString why = file.errorString();
            file.cancelWriting();
            return Result::failure(why);
        }
        if (const ReplaceFileProbe &probe = replaceProbe(); probe && !probe(path, written, total)) {
            file.cancelWriting();
            return Result::failure(QStringLiteral("the write stopped after %1 of %2 bytes").arg(written).arg(total));
        }
    }
    if (!file.commit())
        return Result::failure(file.errorString());
    ownwrites::note(path);
    return Result::success();
}

Result readWholeFile(const QString &path, QByteArray *bytes, qint64 maxBytes) {
    bytes->clear();
    RecordFile file(path, 1);
    if (Result r = file.openForReading(); !r)
        return r;
    *bytes = file.readAll(maxBytes);
    return Result::success();
}
