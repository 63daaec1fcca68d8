// The five ways the program uses a list file; each opens, works and closes within one call.
#pragma once
#include "core/scheduleitem.h"

#include <QList>
#include <QString>

namespace ScheduleListFile {

constexpr int MaxItems = 32766;

// Every call returns an empty text on success, else why the file could not be used.
// Opening a path that does not exist creates it empty.

// Load: every item in file order (a partial last record reads with zeros for its missing bytes).
QString load(const QString &path, QList<ScheduleItem> *items);
// Count only.
QString count(const QString &path, int *n);
// Append as record count + 1.
QString append(const QString &path, const ScheduleItem &item);
// Overwrite record r (from 1).
QString overwrite(const QString &path, int r, const ScheduleItem &item);
// Rewrite the whole file with these items. The new contents are written in full before
// they replace the old file, so a failed write leaves the old list untouched.
QString rewrite(const QString &path, const QList<ScheduleItem> &items);

}  // namespace ScheduleListFile
