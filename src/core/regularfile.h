// Opening a stored or chosen file for reading: regular files only, and never a wait.
#pragma once
#include "core/result.h"

#include <QFile>
#include <QString>

namespace regularfile {

// Why an open failed: nothing at the path, something that is not a regular file (a folder, a
// pipe, a socket, a device), or a file that cannot be read (no rights, a path through a file).
enum class Fault { None, Missing, NotAFile, Unreadable };

// The reason given for anything but a regular file.
QString notAFile();  // "这不是一个文件"

// Opens the file at path (through symbolic links) read-only into file, which must be closed.
// Only a regular file opens: a named pipe with no writer, a device or a socket would hold the
// program in open() or read() for ever, and a device such as /dev/zero never ends. The open
// itself cannot wait, and what was opened is checked on the descriptor, so a path swapped for
// a pipe between the look and the open is refused too. fault, when given, says why it failed.
Result open(const QString &path, QFile *file, Fault *fault = nullptr);

// At most maxBytes from the start of an open file: no reader takes more than its format holds.
QByteArray readStart(QFile &file, qint64 maxBytes);

}  // namespace regularfile
