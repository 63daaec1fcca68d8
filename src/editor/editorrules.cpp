// Row texts, sort keys and the state table of the schedule editor.
#include "editor/editorrules.h"

#include "core/cleanfield.h"
#include "core/timetext.h"

#include <algorithm>
#include <utility>
#include <vector>

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
    return itemFromRow(at(StartColumn), at(NameColumn), at(LengthColumn), at(FileColumn));
}

ScheduleItem itemFromRow(const QString &start, const QString &name, const QString &length, const QString &file) {
    return {timetext::parse(start).value_or(0), name, timetext::parse(length).value_or(0), file};
}

QString listSortKey(const QString &startText, int row) { return startText + QLatin1Char('|') + QString::number(row); }

namespace {

// A sort key "start|row" compared as if it were built, without building it: at 32766 rows
// the strings would cost more than the sort.
struct KeyView {
    const QString *start;
    char digits[12];
    int digitCount;
    int row;

    int size() const { return int(start->size()) + 1 + digitCount; }
    char16_t at(int i) const {
        const int n = int(start->size());
        if (i < n)
            return start->at(i).unicode();
        if (i == n)
            return u'|';
        return char16_t(digits[i - n - 1]);
    }
};

bool keyLess(const KeyView &a, const KeyView &b) {
    const int n = std::min(a.size(), b.size());
    for (int i = 0; i < n; ++i) {
        const char16_t x = a.at(i), y = b.at(i);
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

}  // namespace

QList<int> sortedRows(const QStringList &startTexts) {
    std::vector<KeyView> keys(size_t(startTexts.size()));
    for (int i = 0; i < startTexts.size(); ++i) {
        KeyView &k = keys[size_t(i)];
        k.start = &startTexts[i];
        k.row = i + 1;
        const QByteArray digits = QByteArray::number(k.row);
        k.digitCount = int(digits.size());
        std::copy(digits.begin(), digits.end(), k.digits);
    }
    std::sort(keys.begin(), keys.end(), keyLess);
    QList<int> rows;
    rows.reserve(qsizetype(keys.size()));
    for (const KeyView &k : keys)
        rows.append(k.row);
    return rows;
}

StateView stateView(State state) {
    const QString open = QStringLiteral("打开文件"), close = QStringLiteral("关闭文件");
    const QString add = QStringLiteral("添加"), modify = QStringLiteral("修改"), del = QStringLiteral("删除");
    const QString ok = QStringLiteral("OK");
    switch (state) {
    case State::Closed: return {open, add, modify, del, true, true, true, true, true, false, true, 0};
    case State::Open: return {close, add, modify, del, true, true, true, true, true, false, true, 0};
    case State::Adding: return {close, ok, modify, del, false, true, false, false, false, true, true, 7};
    case State::Modifying: return {close, add, ok, del, false, false, true, false, false, true, false, 8};
    case State::Deleting: return {close, add, modify, ok, false, false, false, true, false, true, false, 9};
    }
    return {};
}

}  // namespace editorrules
