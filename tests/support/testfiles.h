// Reading and writing whole files in tests.
#pragma once
#include "core/gbk.h"

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

// head, then as many "a" as make the path that many GBK bytes long, then tail.
inline QString pathOfBytes(const QString &head, int bytes, const QString &tail) {
    return head + QString(bytes - gbk::encode(head + tail).size(), QLatin1Char('a')) + tail;
}
