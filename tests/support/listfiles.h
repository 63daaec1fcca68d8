// Writing list files for tests.
#pragma once
#include "core/schedulelistfile.h"

#include <QtTest>

inline ScheduleItem item(const QString &start, const QString &name, const QString &length, const QString &file) {
    return *ScheduleItem::fromTexts(start, name, length, file);
}

inline void writeList(const QString &path, const QList<ScheduleItem> &items) {
    QVERIFY(ScheduleListFile::rewrite(path, items).ok());
}
