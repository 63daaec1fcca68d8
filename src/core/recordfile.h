// Files of fixed-size records: list files, LstCfg.Cfg, the group settings, ClsTime.Cfg.
#pragma once
#include "core/result.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <functional>

// Opened for reading for one event and closed again. Opening creates a missing file empty, as
// every configuration and list file is meant to exist once the program has looked at it; files
// are written whole through replaceFile, so a read-only file reads as usual.
class RecordFile {
public:
    RecordFile(const QString &path, int recordSize);

    // What reading does when nothing is at the path: create the file empty, or read it as
    // empty and leave nothing behind.
    enum class Missing { Create, ReadAsEmpty };

    // For reading: an existing regular file read-only, opened without ever waiting (see
    // regularfile::open). Fails when the file cannot be read or is no regular file, and when a
    // missing file cannot be created. A file is only created where nothing is, never over a
    // pipe, a dangling link or anything else that appeared there.
    Result openForReading(Missing missing = Missing::Create);

    qint64 length() const { return m_open ? m_file.size() : 0; }
    // Length / record size, to the nearest whole number, an exact half to the even neighbour.
    int count() const;
    static int countFor(qint64 length, int recordSize);

    // Record n (from 1). Bytes the file does not hold read as zeros, so a partial last
    // record keeps what it has and a record past the end is all zeros.
    QByteArray read(int n);
    // The file from its start, at most maxBytes of it: no reader takes more than its format holds.
    QByteArray readAll(qint64 maxBytes);

private:
    QString m_path;
    QFile m_file;
    int m_recordSize;
    bool m_open = false;
};

// Record n of a buffer read whole, padded with zeros like RecordFile::read.
QByteArray recordAt(const QByteArray &all, int n, int recordSize);

// Replaces a whole file with the given bytes through a temporary file renamed over it, so
// a crash or a full disk leaves either the old file or the new one, never half of one.
Result replaceFile(const QString &path, const QByteArray &bytes);

// For tests: called after each part of a replacement has gone to the temporary file (the
// first part is half of the bytes), with the bytes written so far and the total. Returning
// false fails the replacement there, as a full disk would. An empty probe is the default.
using ReplaceFileProbe = std::function<bool(const QString &path, qint64 written, qint64 total)>;
void setReplaceFileProbe(ReplaceFileProbe probe);

// Reads a small file (a configuration file), at most maxBytes from its start, creating it
// empty when missing, as RecordFile::openForReading does.
Result readWholeFile(const QString &path, QByteArray *bytes, qint64 maxBytes);
