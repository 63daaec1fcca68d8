// Filling today's grid from list items.
#include "broadcast/todaylist.h"

#include "core/timetext.h"
#include "ui/flexgrid.h"

namespace todaygrid {

QString playedMark() { return QStringLiteral("√"); }

void show(FlexGrid &grid, TodayList &list, const QList<ScheduleItem> &items) {
    const int n = std::min<int>(int(items.size()), TodayList::Capacity);
    grid.setRows(n + 1);
    list.items.clear();
    list.items.reserve(n);
    FlexGridModel *cells = grid.cells();
    for (int i = 1; i <= n; ++i) {
        const ScheduleItem &it = items[i - 1];
        cells->setRowTexts(i, {cells->text(i, MarkColumn), timetext::shortTime(it.StartTime), it.ItemName,
                               timetext::lengthText(it.PlayLength), it.SoundFile});
        list.items.append({it.StartTime, it.PlayLength, it.SoundFile, it.ItemName});
    }
}

int clearMarks(FlexGrid &grid) {
    int cleared = 0;
    for (int r = 1; r < grid.Rows(); ++r) {
        cleared += isMarked(grid, r) ? 1 : 0;
        grid.setTextMatrix(r, MarkColumn, QString());
    }
    return cleared;
}

bool isMarked(const FlexGrid &grid, int row) { return grid.TextMatrix(row, MarkColumn) == playedMark(); }

}  // namespace todaygrid
