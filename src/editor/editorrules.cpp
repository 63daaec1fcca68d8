// Row texts, sort keys and the state table of the schedule editor.
#include "editor/editorrules.h"

#include "core/cleanfield.h"
#include "core/timetext.h"

#include <algorithm>
#include <utility>

namespace editorrules {

QStringList rowTexts(const ScheduleItem &item) {
    return {timetext::twoDigitTime(item.StartTime), item.ItemName, timetext::lengthText(item.PlayLength),
            item.SoundFile};
}

QStringList newRowTexts(const ScheduleItem &item) {
    return {timetext::twoDigitTime(item.StartTime), CleanField(item.ItemName.left(ScheduleItem::NameBytes)),
            timetext::lengthText(item.PlayLength), CleanField(item.SoundFile.left(ScheduleItem::FileBytes))};
}

ScheduleItem itemFromRow(const QStringList &texts) {
    auto at = [&texts](int c) { return c < texts.size() ? texts[c] : QString(); };
    ScheduleItem item;
    item.StartTime = timetext::parse(at(StartColumn)).value_or(0);
    item.ItemName = at(NameColumn);
    item.PlayLength = timetext::parse(at(LengthColumn)).value_or(0);
    item.SoundFile = at(FileColumn);
    return item;
}

QString listSortKey(const QString &startText, int row) {
    return startText + QLatin1Char('|') + QString::number(row);
}

QList<int> sortedRows(const QStringList &startTexts) {
    QList<std::pair<QString, int>> keys;
    keys.reserve(startTexts.size());
    for (int i = 0; i < startTexts.size(); ++i)
        keys.append({listSortKey(startTexts[i], i + 1), i + 1});
    // QString orders by UTF-16 code unit, a prefix first: the character-code order the keys need.
    std::sort(keys.begin(), keys.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<int> rows;
    rows.reserve(keys.size());
    for (const auto &k : keys)
        rows.append(k.second);
    return rows;
}

StateView stateView(State state) {
    const QString open = QStringLiteral("打开文件"), close = QStringLiteral("关闭文件");
    const QString add = QStringLiteral("添加"), modify = QStringLiteral("修改"), del = QStringLiteral("删除");
    const QString ok = QStringLiteral("OK");
    switch (state) {
    case State::Closed:
        return {open, add, modify, del, true, true, true, true, true, false, true, 0};
    case State::Open:
        return {close, add, modify, del, true, true, true, true, true, false, true, 0};
    case State::Adding:
        return {close, ok, modify, del, false, true, false, false, false, true, true, 7};
    case State::Modifying:
        return {close, add, ok, del, false, false, true, false, false, true, false, 8};
    case State::Deleting:
        return {close, add, modify, ok, false, false, false, true, false, true, false, 9};
    }
    return {};
}

}  // namespace editorrules
