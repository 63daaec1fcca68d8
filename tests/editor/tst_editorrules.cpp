// The editor's rules without a window: sort order, row texts and the state table.
#include "editor/editorrules.h"

#include <QtTest>

using editorrules::State;

class TstEditorRules : public QObject {
    Q_OBJECT
private slots:
    void sortedRows_data();
    void sortedRows();
    void listSortKey();
    void rowTexts();
    void itemFromRow();
    void stateView_data();
    void stateView();
};

void TstEditorRules::sortedRows_data() {
    QTest::addColumn<QStringList>("starts");
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("equal times keep row order")
        << QStringList{"13:00:00", "08:05:00", "08:05:00"} << QList<int>{2, 3, 1};
    QStringList twelve(12, QStringLiteral("09:00:00"));
    twelve[1] = twelve[9] = twelve[10] = QStringLiteral("08:00:00");
    QTest::newRow("equal times in text order of row numbers")
        << twelve << QList<int>{10, 11, 2, 1, 12, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("midnight first") << QStringList{"23:59:59", "00:00:00"} << QList<int>{2, 1};
    QTest::newRow("empty") << QStringList{} << QList<int>{};
}

void TstEditorRules::sortedRows() {
    QFETCH(QStringList, starts);
    QTEST(editorrules::sortedRows(starts), "order");
}

void TstEditorRules::listSortKey() {
    QCOMPARE(editorrules::listSortKey(QStringLiteral("08:05:00"), 12), QStringLiteral("08:05:00|12"));
}

void TstEditorRules::rowTexts() {
    const ScheduleItem item{0, QStringLiteral("早操"), 300, QStringLiteral("/s/a.wav")};
    QCOMPARE(editorrules::rowTexts(item), (QStringList{"00:00:00", QStringLiteral("早操"), "0:05:00", "/s/a.wav"}));
    const ScheduleItem toEnd{8 * 3600 + 300, QStringLiteral("  ABCDEFGHIJKLMNOPQRSTUVWXYZ"), 0,
                             QStringLiteral(" ") + QString(120, QLatin1Char('p'))};
    QCOMPARE(editorrules::newRowTexts(toEnd),
             (QStringList{"08:05:00", "ABCDEFGHIJKLMNOPQR", QStringLiteral("播完"), QString(99, QLatin1Char('p'))}));
}

void TstEditorRules::itemFromRow() {
    QCOMPARE(editorrules::itemFromRow({"08:05:00", "A", QStringLiteral("播完"), "/a.mp3"}),
             (ScheduleItem{8 * 3600 + 300, "A", 0, "/a.mp3"}));
    QCOMPARE(editorrules::itemFromRow({"13:00:00", "B", "0:00:30", "/b.mid"}),
             (ScheduleItem{13 * 3600, "B", 30, "/b.mid"}));
}

void TstEditorRules::stateView_data() {
    QTest::addColumn<State>("state");
    QTest::addColumn<QStringList>("captions");  // Command6, 7, 8, 9
    QTest::addColumn<QString>("enabled");       // 6 7 8 9 13 5 grid, as 1/0
    QTest::addColumn<int>("defaultButton");
    QTest::newRow("closed") << State::Closed << QStringList{"打开文件", "添加", "修改", "删除"} << "1111101" << 0;
    QTest::newRow("open") << State::Open << QStringList{"关闭文件", "添加", "修改", "删除"} << "1111101" << 0;
    QTest::newRow("adding") << State::Adding << QStringList{"关闭文件", "OK", "修改", "删除"} << "0100011" << 7;
    QTest::newRow("modifying") << State::Modifying << QStringList{"关闭文件", "添加", "OK", "删除"} << "0010010" << 8;
    QTest::newRow("deleting") << State::Deleting << QStringList{"关闭文件", "添加", "修改", "OK"} << "0001010" << 9;
}

void TstEditorRules::stateView() {
    QFETCH(State, state);
    const editorrules::StateView v = editorrules::stateView(state);
    QTEST((QStringList{v.command6, v.command7, v.command8, v.command9}), "captions");
    QString flags;
    for (bool b : {v.command6Enabled, v.command7Enabled, v.command8Enabled, v.command9Enabled, v.command13Enabled,
                   v.command5Enabled, v.gridEnabled})
        flags += b ? QLatin1Char('1') : QLatin1Char('0');
    QTEST(flags, "enabled");
    QTEST(v.defaultButton, "defaultButton");
}

QTEST_GUILESS_MAIN(TstEditorRules)
#include "tst_editorrules.moc"
