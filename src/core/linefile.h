// Text files of CR LF lines: the song lists, Volume.cfg, qc.cfg.
#pragma once
#include "core/result.h"

#include <QString>
#include <QStringList>

namespace linefile {

// The lines of a file, without their ends (CR LF or a lone LF); lines are GBK text. A missing
// file is created empty, as for every configuration file; a read-only file reads as usual.
// Fails when an existing file cannot be read.
Result read(const QString &path, QStringList *lines);

// The lines of a file's bytes, as read() gives them.
QStringList parse(const QByteArray &bytes);

// Writes the lines, each ended by CR LF, replacing the file whole.
Result write(const QString &path, const QStringList &lines);

}  // namespace linefile
