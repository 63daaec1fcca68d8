// List file access over the record-file helper.
#include "core/schedulelistfile.h"

#include "core/recordfile.h"

#include <algorithm>

namespace ScheduleListFile {

namespace {
constexpr int R = ScheduleItem::RecordSize;
}

Result load(const QString &path, QList<ScheduleItem> *items, Missing missing, int maxItems) {
    items->clear();
    RecordFile file(path, R);
    if (Result r = file.openForReading(missing); !r)
        return r;
    *items = parse(file.readAll(qint64(std::clamp(maxItems, 0, MaxItems)) * R));
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

namespace {

// The bytes the list file holds now, for a change that then replaces it whole.
Result currentBytes(const QString &path, QByteArray *bytes) {
    RecordFile file(path, R);
    if (Result r = file.openForReading(); !r)
        return r;
    if (file.length() > qint64(MaxItems) * R)
        return Result::failure(QStringLiteral("列表文件超过 %1 项").arg(MaxItems));
    *bytes = file.readAll(qint64(MaxItems) * R);
    return Result::success();
}

}  // namespace

// Adding and modifying change one record, but the file is still written whole and then
// swapped in: a crash or a full disk in the middle leaves the list as it was, never a list
// with a broken record. The bytes are those of writing the record in place.
Result append(const QString &path, const ScheduleItem &item) {
    QByteArray bytes;
    if (Result r = currentBytes(path, &bytes); !r)
        return r;
    const qsizetype n = RecordFile::countFor(bytes.size(), R);
    bytes = bytes.leftJustified(n * R, '\0', true) + item.toRecord();
    return replaceFile(path, bytes);
}

Result overwrite(const QString &path, int r, const ScheduleItem &item) {
    if (r < 1)
        return Result::failure(QStringLiteral("no record %1").arg(r));
    QByteArray bytes;
    if (Result read = currentBytes(path, &bytes); !read)
        return read;
    const qsizetype at = qsizetype(r - 1) * R;
    if (bytes.size() < at + R)
        bytes = bytes.leftJustified(at + R, '\0');
    bytes.replace(at, R, item.toRecord());
    return replaceFile(path, bytes);
}

Result rewrite(const QString &path, const QList<ScheduleItem> &items) {
    QByteArray bytes;
    bytes.reserve(qsizetype(items.size()) * R);
    for (const ScheduleItem &item : items)
        bytes += item.toRecord();
    return replaceFile(path, bytes);
}

}  // namespace ScheduleListFile
