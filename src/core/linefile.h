// Text files of CR LF lines: Volume.cfg, qc.cfg.
#pragma once
#include "core/result.h"

#include <QString>
#include <QStringList>

namespace linefile {

// Volume.cfg holds thirteen short lines and qc.cfg one: no more of a file than this is read.
constexpr qint64 MaxFileBytes = 64 * 1024;

// The lines of a file, without their ends (CR LF or a lone LF); lines are GBK text. A missing
// file is created empty, as for every configuration file; a read-only file reads as usual.
// Fails when an existing file cannot be read or is no regular file.
Result read(const QString &path, QStringList *lines);

// The lines of a file's bytes, as read() gives them.
QStringList parse(const QByteArray &bytes);

// Writes the lines, each ended by CR LF, replacing the file whole.
Result write(const QString &path, const QStringList &lines);

}  // namespace linefile
