// The five ways the program uses a list file; each opens, works and closes within one call.
#pragma once
#include "core/recordfile.h"
#include "core/result.h"
#include "core/scheduleitem.h"

#include <QList>
#include <QString>

namespace ScheduleListFile {

constexpr int MaxItems = 32766;

// Every call says whether it worked and, if not, why the file could not be used. Opening a
// path that does not exist creates it empty; only the calls that write open the file for
// writing. Anything but a regular file (a folder, a pipe, a device) cannot be used.

using Missing = RecordFile::Missing;

// The items a list file's bytes hold, as load() reads them.
QList<ScheduleItem> parse(const QByteArray &bytes);

// Load: the items in file order (a partial last record reads with zeros for its missing bytes),
// at most maxItems: no more of the file is read, however long it is.
// The scheduler reads with ReadAsEmpty: it looks at whatever path a text box holds, even one
// still being typed, and must not leave empty files behind wherever that points.
Result load(const QString &path, QList<ScheduleItem> *items, Missing missing = Missing::Create,
            int maxItems = MaxItems);
// Count only, from the file's length.
Result count(const QString &path, int *n);
// Append as record count + 1. Appending and overwriting refuse a file of more than MaxItems
// items: they write the file whole, and would otherwise have to read all of it.
Result append(const QString &path, const ScheduleItem &item);
// Overwrite record r (from 1).
Result overwrite(const QString &path, int r, const ScheduleItem &item);
// Rewrite the whole file with these items. The new contents are written in full before
// they replace the old file, so a failed write leaves the old list untouched.
Result rewrite(const QString &path, const QList<ScheduleItem> &items);

}  // namespace ScheduleListFile
