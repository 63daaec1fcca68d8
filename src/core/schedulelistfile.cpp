// List file access over the record-file helper.
#include "core/schedulelistfile.h"

#include "core/recordfile.h"

#include <QFile>

namespace ScheduleListFile {

namespace {
constexpr int R = ScheduleItem::RecordSize;
}

QString load(const QString &path, QList<ScheduleItem> *items, Missing missing) {
    items->clear();
    RecordFile file(path, R);
    if (missing == Missing::ReadAsEmpty && !QFile::exists(path))
        return {};
    if (!file.open(missing == Missing::Create ? QIODevice::ReadWrite : QIODevice::ReadOnly))
        return file.error();
    const int n = file.count();
    const QByteArray all = file.readAll();
    items->reserve(n);
    for (int i = 1; i <= n; ++i)
        items->append(ScheduleItem::fromRecord(recordAt(all, i, R)));
    return {};
}

QString count(const QString &path, int *n) {
    RecordFile file(path, R);
    if (!file.open())
        return file.error();
    *n = file.count();
    return {};
}

QString append(const QString &path, const ScheduleItem &item) {
    RecordFile file(path, R);
    if (!file.open())
        return file.error();
    if (!file.write(file.count() + 1, item.toRecord()))
        return file.error();
    return {};
}

QString overwrite(const QString &path, int r, const ScheduleItem &item) {
    RecordFile file(path, R);
    if (!file.open())
        return file.error();
    if (!file.write(r, item.toRecord()))
        return file.error();
    return {};
}

QString rewrite(const QString &path, const QList<ScheduleItem> &items) {
    QByteArray bytes;
    bytes.reserve(qsizetype(items.size()) * R);
    for (const ScheduleItem &item : items)
        bytes += item.toRecord();
    return replaceFile(path, bytes);
}

}  // namespace ScheduleListFile
