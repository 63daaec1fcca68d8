// The main window's start-up and exit.
#include "app/form1.h"
#include "editor/lstcfg.h"
#include "editor/scheduleeditor.h"
#include "editor/weekdaypanel.h"
#include "support/listfiles.h"
#include "support/testenv.h"
#include "ui/dialogs_qt.h"
#include "ui/flexgrid.h"
#include "ui/slider.h"
#include "volume/form2.h"

#include <QMessageBox>
#include <QtTest>

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void startsCompactWithBothGridsPrepared() {
        TestEnv env;
        Form1 form(env.services);
        QCOMPARE(form.height(), 3240 / 15);
        QCOMPARE(form.width(), 10440 / 15);
        FlexGrid &g = *form.MSFlexGrid1;
        QCOMPARE(g.Rows(), 1);
        QCOMPARE(g.Cols(), 5);
        const QStringList headers = {"", "开播时间", "项目名称", "播放时间", "播放文件"};
        for (int c = 0; c < 5; ++c)
            QCOMPARE(g.TextMatrix(0, c), headers[c]);
        const double w = g.WidthTwips();
        QCOMPARE(g.ColWidth(0), int(std::lround(w / 20)));
        QCOMPARE(g.ColWidth(2), int(std::lround(w * 5 / 27)));
        QCOMPARE(g.ColWidth(4), int(std::lround(w * (1 - 1.0 / 20 - 15.0 / 27) - 100)));
        QVERIFY(!form.Command21->isVisibleTo(&form));
        QVERIFY(!form.Picture1->isVisibleTo(&form));
        QVERIFY(form.Timer1->isEnabled());
        QVERIFY(!form.Timer4->isEnabled());
        QVERIFY(form.todayList.path.isEmpty());
    }

    void firstStartInAnEmptyFolder() {
        TestEnv env;
        Form1 form(env.services);
        QVERIFY(form.Frame1->Option2->isChecked());
        QVERIFY(form.Frame1->Text4->text().isEmpty() && form.Frame1->Text23->text().isEmpty());
        QVERIFY(!form.Frame1->Command11->isEnabled());
        QVERIFY(!form.Frame1->Text23->isEnabled());
        QVERIFY(form.Frame1->Text7->isEnabled());
    }

    void weekdayConfigurationIsReadAtStartUp_data() {
        QTest::addColumn<QByteArray>("flag");
        QTest::addColumn<bool>("sameEveryDay");
        QTest::newRow("FFFF selects every day") << QByteArray("\xFF\xFF", 2) << true;
        QTest::newRow("0000 selects per weekday") << QByteArray("\x00\x00", 2) << false;
        QTest::newRow("0001 selects per weekday") << QByteArray("\x01\x00", 2) << false;
    }
    void weekdayConfigurationIsReadAtStartUp() {
        QFETCH(QByteArray, flag);
        QFETCH(bool, sameEveryDay);
        TestEnv env;
        WeekdayListConfig c;
        c.DayPaths[3] = QStringLiteral("/lists/星期三.lst");
        c.EveryDayPath = QStringLiteral("  /lists/every.lst ");
        QByteArray record = c.toRecord();
        record.replace(0, 2, flag);
        QFile f(env.path("LstCfg.Cfg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(record);
        f.close();
        Form1 form(env.services);
        QCOMPARE(form.Frame1->Option1->isChecked(), sameEveryDay);
        QCOMPARE(form.Frame1->Text7->text(), QStringLiteral("/lists/星期三.lst"));
        QCOMPARE(form.Frame1->Text23->text(), QStringLiteral("/lists/every.lst"));
        QCOMPARE(form.Frame1->Text23->isEnabled(), sameEveryDay);
        QVERIFY(!form.Frame1->Command11->isEnabled());
    }

    void damagedConfigurationStillStarts() {
        TestEnv env;
        QFile f(env.path("LstCfg.Cfg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(37, char(0xFE)));  // short, and not valid text
        f.close();
        Form1 form(env.services);
        QVERIFY(form.Frame1->Option2->isChecked());
        QVERIFY(!form.Frame1->Command11->isEnabled());
    }

    void theVolumeDialogTakesTheMainWindowsPlace() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        form.Command28->click();
        QVERIFY(!form.isVisible());
        QVERIFY(form.form2().isVisible());
        form.form2().Command1->click();  // "关闭" without changes asks nothing
        QVERIFY(env.dialogs->messages.isEmpty());
        QVERIFY(form.isVisible());
        QVERIFY(!form.form2().isVisible());
    }

    void startUpSetsTheSpeakerAndTheSliderRanges() {
        TestEnv env;
        env.mixer->speakerLine = {true, 0, 65536};
        env.mixer->micLine = {true, 0, 40000};
        Form1 form(env.services);
        QCOMPARE(env.mixer->speakerWrites.value(0), 16384L);  // max / 4
        QCOMPARE(form.form2().Slider1->maximum(), 32768);
        QCOMPARE(form.form2().Slider2[11]->maximum(), 20000);
        QCOMPARE(form.form2().Slider1->pageStep(), 1000);
    }

    // A PC whose sound server starts after the program: the real message box stands over the
    // main window, and the bells ring while nobody has come to click it.
    void noMixerIsSaidWithoutStoppingTheBells() {
        TestEnv env;
        env.mixer->opens = false;
        env.services.dialogs = makeQtDialogs();
        writeList(env.path("today.lst"), {item("07:00:10", "铃声", "00:00:05", "/bells/a.wav")});
        // Events handled before the window is built mean start-up waited in a box of its own.
        bool built = false, heldUp = false;
        QTimer::singleShot(0, this, [&] {
            if (built)
                return;
            heldUp = true;
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        Form1 form(env.services);
        built = true;
        QVERIFY(!heldUp);
        form.show();
        QMessageBox *box = nullptr;
        QTRY_VERIFY((box = form.findChild<QMessageBox *>()) && box->isVisible());
        QCOMPARE(box->text(), QStringLiteral("Could not open the mixer."));
        QCOMPARE(box->windowTitle(), QStringLiteral("Volume Control"));
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));

        form.Frame1->Option1->setChecked(true);
        form.Frame1->Text23->setText(env.path("today.lst"));
        env.clock->advance(30 * 1000);
        QCOMPARE(form.Label1->text(), QStringLiteral("7:00:30"));
        QCOMPARE(env.beeps, 1);
        QVERIFY(box->isVisible());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        QTRY_VERIFY(!form.findChild<QMessageBox *>());  // gone, not just hidden
    }

    void anOpenListDisablesExitAndTheListPanel() {
        TestEnv env;
        writeList(env.path("edit.lst"), {item("08:00:00", "a", "00:00:30", "a.wav")});
        Form1 form(env.services);
        form.todayList.path = QStringLiteral("/lists/today.lst");
        env.dialogs->chosenFiles.enqueue(env.path("edit.lst"));
        form.Frame2->Command6->click();
        QVERIFY(!form.Command1->isEnabled());
        QVERIFY(!form.Command2->isEnabled());
        QVERIFY(!form.Frame1->isEnabled());
        form.Frame2->Command6->click();  // close: the list goes into today's grid
        QVERIFY(form.Command1->isEnabled() && form.Command2->isEnabled() && form.Frame1->isEnabled());
        QCOMPARE(form.Label28->text(), QStringLiteral("列表文件：/lists/today.lst"));
        QCOMPARE(form.MSFlexGrid1->TextMatrix(1, 4), QStringLiteral("a.wav"));
        QCOMPARE(form.todayList.path, QStringLiteral("/lists/today.lst"));
    }

    void windowHeights() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        form.Command2->click();
        QCOMPARE(form.height(), 6165 / 15);
        form.Frame1->Command4->click();
        QCOMPARE(form.height(), 9150 / 15);
        form.Command2->click();
        QCOMPARE(form.height(), 6165 / 15);
        form.Frame1->Command3->click();
        QCOMPARE(form.height(), 3240 / 15);
    }

    void holdingTheListLabelShowsItsFullText() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        form.Label28->setText(QStringLiteral("列表文件：/a/very/long/path/to/the/monday.lst"));
        QTest::mousePress(form.Label28, Qt::LeftButton);
        QVERIFY(form.Picture1->isVisible());
        QCOMPARE(form.Label19->text(), form.Label28->text());
        QTest::mouseRelease(form.Label28, Qt::LeftButton);
        QVERIFY(!form.Picture1->isVisible());
    }

    void exitClosesThePlayerAndEnds_data() {
        QTest::addColumn<bool>("byWindowManager");  // Alt+F4 or a close button instead of "退出"
        QTest::addColumn<bool>("listOpen");         // "退出" is disabled while a list is edited
        QTest::newRow("退出") << false << false;
        QTest::newRow("window manager") << true << false;
        QTest::newRow("window manager, list open") << true << true;
    }
    void exitClosesThePlayerAndEnds() {
        QFETCH(bool, byWindowManager);
        QFETCH(bool, listOpen);
        TestEnv env;
        Form1 form(env.services);
        form.show();
        if (listOpen) {
            env.dialogs->chosenFiles.enqueue(env.path("edit.lst"));
            form.Frame2->Command6->click();
        }
        if (byWindowManager)
            form.close();
        else
            form.Command1->click();
        QCOMPARE(env.mci->log, listOpen ? QStringList() : QStringList{"Close"});
        QCOMPARE(env.quits, listOpen ? 0 : 1);
        if (byWindowManager)
            QCOMPARE(form.isVisible(), listOpen);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
