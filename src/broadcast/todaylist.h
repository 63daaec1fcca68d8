// Today's list: the items the scheduler scans, parallel to the rows of today's grid.
#pragma once
#include "core/filesignature.h"
#include "core/scheduleitem.h"

#include <QList>
#include <QString>

class FlexGrid;

struct TodayItem {
    int StartTime = 0;   // seconds since midnight
    int PlayLength = 0;  // 0 = to the end of the file
    QString SoundFile;   // cleaned path
    QString ItemName;
};

struct TodayList {
    // The scheduler holds this many items; a longer list file shows and plays its first 1000.
    static constexpr int Capacity = 1000;

    QList<TodayItem> items;  // item i is items[i - 1] and grid row i
    QString path;            // TodayListPath: where the loaded items came from
    // The file as it stood just before its items were read: a change that comes after it is
    // someone else's, however soon after the loading.
    FileSignature loaded;

    int count() const { return int(items.size()); }
    // Item i (from 1), or nullptr past the end.
    const TodayItem *item(int i) const { return i >= 1 && i <= count() ? &items[i - 1] : nullptr; }
};

// Today's grid column texts.
namespace todaygrid {
constexpr int MarkColumn = 0;
constexpr int StartColumn = 1;
constexpr int NameColumn = 2;
constexpr int LengthColumn = 3;
constexpr int FileColumn = 4;
QString playedMark();  // "√"

// Puts the items (at most Capacity) into today's grid and the list. Rows that remain keep
// their column 0; added rows are empty.
void show(FlexGrid &grid, TodayList &list, const QList<ScheduleItem> &items);
// Removes every played mark; returns how many there were.
int clearMarks(FlexGrid &grid);
bool isMarked(const FlexGrid &grid, int row);
}  // namespace todaygrid
