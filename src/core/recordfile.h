// Files of fixed-size records: list files, LstCfg.Cfg, the group settings, ClsTime.Cfg.
#pragma once
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// Opened for one event and closed again. Opening creates a missing file empty, as every
// configuration and list file is meant to exist once the program has looked at it.
class RecordFile {
public:
    RecordFile(const QString &path, int recordSize);

    // False when the path cannot be opened or created; error() says why.
    bool open(QIODevice::OpenMode mode = QIODevice::ReadWrite);
    QString error() const { return m_file.errorString(); }

    qint64 length() const { return m_file.size(); }
    // Length / record size, to the nearest whole number, an exact half to the even neighbour.
    int count() const;
    static int countFor(qint64 length, int recordSize);

    // Record n (from 1). Bytes the file does not hold read as zeros, so a partial last
    // record keeps what it has and a record past the end is all zeros.
    QByteArray read(int n);
    // The whole file, for readers of many records.
    QByteArray readAll();
    bool write(int n, const QByteArray &record);

private:
    QFile m_file;
    int m_recordSize;
};

// Record n of a buffer read whole, padded with zeros like RecordFile::read.
QByteArray recordAt(const QByteArray &all, int n, int recordSize);

// Replaces a whole file with the given bytes through a temporary file renamed over it, so
// a crash or a full disk leaves either the old file or the new one, never half of one.
// Returns an empty text on success, else the reason.
QString replaceFile(const QString &path, const QByteArray &bytes);
