// Fixed-size record access and whole-file replacement.
#include "core/recordfile.h"

#include <QSaveFile>

RecordFile::RecordFile(const QString &path, int recordSize) : m_file(path), m_recordSize(recordSize) {}

bool RecordFile::open(QIODevice::OpenMode mode) { return m_file.open(mode); }

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
    if (n >= 1 && m_file.seek(qint64(n - 1) * m_recordSize))
        bytes = m_file.read(m_recordSize);
    if (bytes.size() < m_recordSize)
        bytes.append(QByteArray(m_recordSize - bytes.size(), '\0'));
    return bytes;
}

QByteArray RecordFile::readAll() {
    m_file.seek(0);
    return m_file.readAll();
}

bool RecordFile::write(int n, const QByteArray &record) {
    if (n < 1 || !m_file.seek(qint64(n - 1) * m_recordSize))
        return false;
    QByteArray bytes = record.left(m_recordSize);
    if (bytes.size() < m_recordSize)
        bytes.append(QByteArray(m_recordSize - bytes.size(), '\0'));
    return m_file.write(bytes) == m_recordSize && m_file.flush();
}

QByteArray recordAt(const QByteArray &all, int n, int recordSize) {
    QByteArray bytes = all.mid(qsizetype(n - 1) * recordSize, recordSize);
    if (bytes.size() < recordSize)
        bytes.append(QByteArray(recordSize - bytes.size(), '\0'));
    return bytes;
}

QString replaceFile(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
