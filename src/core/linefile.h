// Text files of CR LF lines: the song lists, Volume.cfg, qc.cfg.
#pragma once
#include <QString>
#include <QStringList>

namespace linefile {

// The lines of a file, without their ends (CR LF or a lone LF). A missing file is created
// empty, as for every configuration file. Lines are GBK text.
// Returns false when the file can neither be read nor created.
bool read(const QString &path, QStringList *lines, QString *error = nullptr);

// Writes the lines, each ended by CR LF, replacing the file whole.
bool write(const QString &path, const QStringList &lines, QString *error = nullptr);

}  // namespace linefile
