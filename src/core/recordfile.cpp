// Fixed-size record access and whole-file replacement.
#include "core/recordfile.h"

#include <QFileInfo>
#include <QSaveFile>

RecordFile::RecordFile(const QString &path, int recordSize) : m_file(path), m_recordSize(recordSize) {}

Result RecordFile::openForReading() {
    if (!QFileInfo::exists(m_file.fileName())) {
        if (!m_file.open(QIODevice::ReadWrite))
            return Result::failure(m_file.errorString());
        m_file.close();
    }
    m_open = m_file.open(QIODevice::ReadOnly);
    if (!m_open)
        return Result::failure(m_file.errorString());
    return Result::success();
}

Result RecordFile::openForWriting() {
    m_open = m_file.open(QIODevice::ReadWrite);
    if (!m_open)
        return Result::failure(m_file.errorString());
    return Result::success();
}

int RecordFile::countFor(qint64 length, int recordSize) {
    const qint64 whole = length / recordSize;
    const qint64 rest = length % recordSize;
    const qint64 twice = rest * 2;
    if (twice > recordSize || (twice == recordSize && (whole % 2) == 1))
        return int(whole + 1);
    return int(whole);
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

QByteArray RecordFile::readAll() {
    if (!m_open || !m_file.seek(0))
        return {};
    return m_file.readAll();
}

Result RecordFile::write(int n, const QByteArray &record) {
    if (!m_open || n < 1 || !m_file.seek(qint64(n - 1) * m_recordSize))
        return Result::failure(m_file.errorString());
    QByteArray bytes = record.left(m_recordSize);
    if (bytes.size() < m_recordSize)
        bytes.append(QByteArray(m_recordSize - bytes.size(), '\0'));
    if (m_file.write(bytes) != m_recordSize || !m_file.flush())
        return Result::failure(m_file.errorString());
    return Result::success();
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
    // must stay as it is all the same.
    if (const QFileInfo existing(path); existing.exists() && existing.isFile() && !existing.isWritable())
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
    return Result::success();
}

Result readWholeFile(const QString &path, QByteArray *bytes) {
    bytes->clear();
    RecordFile file(path, 1);
    if (Result r = file.openForReading(); !r)
        return r;
    *bytes = file.readAll();
    return Result::success();
}
