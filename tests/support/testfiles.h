// Reading and writing whole files in tests.
#pragma once
#include <QFile>
#include <QtTest>

// The file's bytes; empty when it cannot be read.
inline QByteArray bytesOf(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Makes the file hold exactly bytes; a file that cannot be written fails the running test.
inline void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
