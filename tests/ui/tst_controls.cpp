// The grid, the file dialog wrappers and the status line: the behaviours the panels rely on.
#include "support/fakedialogs.h"
#include "ui/commondialog.h"
#include "ui/flexgrid.h"
#include "ui/marquee.h"
#include "ui/statusline.h"

#include <QtTest>

class TestControls : public QObject {
    Q_OBJECT

    static QPoint cellCentre(FlexGrid &g, int row, int col) {
        return g.visualRect(g.cells()->index(row - 1, col)).center();
    }

private slots:
    void rowsKeepTheirCells() {
        FlexGrid g(3);
        QCOMPARE(g.Rows(), 2);  // header and one empty row
        g.setRows(4);
        g.setTextMatrix(0, 1, "head");
        g.setTextMatrix(3, 2, "x");
        g.setTextMatrix(1, 0, "√");
        g.setRows(2);
        QCOMPARE(g.TextMatrix(1, 0), QStringLiteral("√"));
        g.setRows(5);
        QCOMPARE(g.TextMatrix(3, 2), QString());  // added rows are empty
        QCOMPARE(g.TextMatrix(0, 1), QStringLiteral("head"));
        QCOMPARE(g.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("head"));
        g.setRows(1);
        QCOMPARE(g.Row(), 0);                     // no data rows: no current item
        QCOMPARE(g.TextMatrix(7, 9), QString());  // outside the grid reads empty
        g.setTextMatrix(7, 9, "ignored");
    }

    void clicksAndDoubleClicks() {
        FlexGrid g(3);
        g.resize(300, 200);
        g.setRows(4);
        g.show();
        QStringList seen;
        connect(&g, &FlexGrid::Click, [&] { seen << QStringLiteral("click %1").arg(g.Row()); });
        connect(&g, &FlexGrid::DblClick, [&] { seen << QStringLiteral("dbl %1").arg(g.Row()); });
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCentre(g, 3, 1));
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCentre(g, 2, 0));
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, cellCentre(g, 2, 0));
        QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, cellCentre(g, 2, 0));
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, QPoint(5, 190));  // below the rows
        // Other buttons neither click nor choose a row, so a command on the current row
        // still acts on the row the fields were taken from.
        QTest::mouseClick(g.viewport(), Qt::RightButton, {}, cellCentre(g, 3, 1));
        QTest::mouseDClick(g.viewport(), Qt::RightButton, {}, cellCentre(g, 1, 1));
        QCOMPARE(seen, QStringList({"click 3", "click 2", "dbl 2"}));
        QCOMPARE(g.Row(), 2);
        QCOMPARE(g.selectionModel()->selectedRows(), QModelIndexList{g.cells()->index(1, 0)});
    }

    void selectingAndScrollingARow() {
        FlexGrid g(5);
        g.resize(300, 120);
        g.setRows(200);
        g.show();
        g.setRow(150);
        g.setCol(0);
        g.setColSel(4);
        g.setTopRow(150);
        QCOMPARE(g.Row(), 150);
        QCOMPARE(g.TopRow(), 150);
        const QModelIndexList sel = g.selectionModel()->selectedIndexes();
        QCOMPARE(sel.size(), 5);
        QCOMPARE(sel.first().row(), 149);
        g.setRow(0);  // as every reload leaves it: no item chosen, and none drawn chosen
        QCOMPARE(g.Row(), 0);
        QVERIFY(g.selectionModel()->selectedIndexes().isEmpty());
        QVERIFY(!g.currentIndex().isValid());
    }

    void fileDialogSettingsPersistAndCancelChangesNothing() {
        FakeDialogs dialogs;
        CommonDialog d(dialogs, nullptr);
        d.Filter = "列表文件|*.lst";
        d.FileName = "/school/*.lst";
        d.DefaultExt = ".lst";
        QVERIFY(!d.ShowOpen());  // cancelled
        QCOMPARE(d.FileName, QStringLiteral("/school/*.lst"));
        dialogs.chosenFiles.enqueue(QStringLiteral("/school/monday.lst"));
        QVERIFY(d.ShowSave());
        QCOMPARE(d.FileName, QStringLiteral("/school/monday.lst"));
        QCOMPARE(dialogs.fileRequests.last().filter, QStringLiteral("列表文件|*.lst"));  // kept from before
        QCOMPARE(dialogs.fileRequests.last().defaultExt, QStringLiteral(".lst"));
    }

    void multipleSelectionIsOneText() {
        FakeDialogs dialogs;
        CommonDialog d(dialogs, nullptr);
        d.MultiSelect = true;
        dialogs.chosenFileLists.enqueue(QStringList{"/music/a.mp3", "/music/b.mp3"});
        QVERIFY(d.ShowOpen());
        QCOMPARE(d.FileName, QStringLiteral("/music a.mp3 b.mp3"));
        dialogs.chosenFileLists.enqueue(QStringList{"/music/c.mp3"});
        QVERIFY(d.ShowOpen());
        QCOMPARE(d.FileName, QStringLiteral("/music/c.mp3"));
    }

    // A line turned step by step is drawn from its strip; it must look as the same text laid
    // out afresh, whatever the step (a wrong offset shows whole characters shifted).
    void aTurnedStatusLineLooksAsItsText() {
        auto make = [](const QString &text) {
            auto *line = new StatusLine(text);
            line->resize(200, 24);
            line->setIndent(2);
            line->setAutoFillBackground(true);
            return std::unique_ptr<StatusLine>(line);
        };
        auto turning = make(QStringLiteral("播放文件：/s/钟声𠀀.wav") + QString(10, QChar(0x3000)));
        for (int step = 1; step <= 20; ++step) {
            turning->grab();  // drawn at every step, as the timer does
            turning->setText(marquee::turnedLeft(turning->text()));
            const QImage a = turning->grab().toImage(), b = make(turning->text())->grab().toImage();
            // Glyphs may land a pixel apart where a fresh layout rounds otherwise; a wrong step
            // moves them by a whole character.
            int differing = 0;
            for (int y = 0; y < a.height(); ++y)
                for (int x = 1; x + 1 < a.width(); ++x) {
                    bool near = false;
                    for (int dx : {-1, 0, 1})
                        near = near || qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x + dx, y))) <= 96;
                    differing += !near;
                }
            QVERIFY2(differing < a.width() * a.height() / 100,
                     qPrintable(QStringLiteral("step %1: %2 pixels differ").arg(step).arg(differing)));
        }
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
