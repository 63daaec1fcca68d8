// List file access over the record-file helper.
#include "core/schedulelistfile.h"

#include "core/recordfile.h"

#include <QFile>

namespace ScheduleListFile {

namespace {
constexpr int R = ScheduleItem::RecordSize;
}

Result load(const QString &path, QList<ScheduleItem> *items, Missing missing) {
    items->clear();
    RecordFile file(path, R);
    if (missing == Missing::ReadAsEmpty && !QFile::exists(path))
        return Result::success();
    if (Result r = file.openForReading(); !r)
        return r;
    *items = parse(file.readAll());
    return Result::success();
}

QList<ScheduleItem> parse(const QByteArray &bytes) {
    const int n = RecordFile::countFor(bytes.size(), R);
    QList<ScheduleItem> items;
    items.reserve(n);
    for (int i = 1; i <= n; ++i)
        items.append(ScheduleItem::fromRecord(recordAt(bytes, i, R)));
    return items;
}

Result count(const QString &path, int *n) {
    *n = 0;
    RecordFile file(path, R);
    if (Result r = file.openForReading(); !r)
        return r;
    *n = file.count();
    return Result::success();
}

Result append(const QString &path, const ScheduleItem &item) {
    RecordFile file(path, R);
    if (Result r = file.openForWriting(); !r)
        return r;
    return file.write(file.count() + 1, item.toRecord());
}

Result overwrite(const QString &path, int r, const ScheduleItem &item) {
    RecordFile file(path, R);
    if (Result opened = file.openForWriting(); !opened)
        return opened;
    return file.write(r, item.toRecord());
}

Result rewrite(const QString &path, const QList<ScheduleItem> &items) {
    QByteArray bytes;
    bytes.reserve(qsizetype(items.size()) * R);
    for (const ScheduleItem &item : items)
        bytes += item.toRecord();
    return replaceFile(path, bytes);
}

}  // namespace ScheduleListFile
