// The five ways the program uses a list file; each opens, works and closes within one call.
#pragma once
#include "core/scheduleitem.h"

#include <QList>
#include <QString>

namespace ScheduleListFile {

constexpr int MaxItems = 32766;

// Every call returns an empty text on success, else why the file could not be used.
// Opening a path that does not exist creates it empty.

enum class Missing { Create, ReadAsEmpty };

// Load: every item in file order (a partial last record reads with zeros for its missing bytes).
// The scheduler reads with ReadAsEmpty: it looks at whatever path a text box holds, even one
// still being typed, and must not leave empty files behind wherever that points.
QString load(const QString &path, QList<ScheduleItem> *items, Missing missing = Missing::Create);
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
