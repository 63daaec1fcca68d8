// The five ways the program uses a list file; each opens, works and closes within one call.
#pragma once
#include "core/result.h"
#include "core/scheduleitem.h"

#include <QList>
#include <QString>

namespace ScheduleListFile {

constexpr int MaxItems = 32766;

// Every call says whether it worked and, if not, why the file could not be used. Opening a
// path that does not exist creates it empty; only the calls that write open the file for writing.

enum class Missing { Create, ReadAsEmpty };

// The items a list file's bytes hold, as load() reads them.
QList<ScheduleItem> parse(const QByteArray &bytes);

// Load: every item in file order (a partial last record reads with zeros for its missing bytes).
// The scheduler reads with ReadAsEmpty: it looks at whatever path a text box holds, even one
// still being typed, and must not leave empty files behind wherever that points.
Result load(const QString &path, QList<ScheduleItem> *items, Missing missing = Missing::Create);
// Count only.
Result count(const QString &path, int *n);
// Append as record count + 1.
Result append(const QString &path, const ScheduleItem &item);
// Overwrite record r (from 1).
Result overwrite(const QString &path, int r, const ScheduleItem &item);
// Rewrite the whole file with these items. The new contents are written in full before
// they replace the old file, so a failed write leaves the old list untouched.
Result rewrite(const QString &path, const QList<ScheduleItem> &items);

}  // namespace ScheduleListFile
