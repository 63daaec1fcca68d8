// The main window: start-up and exit, its heights, moving, the cover, the about panel, the status lines and
// the clock's warning.
#include "app/form1.h"
#include "editor/lstcfg.h"
#include "editor/scheduleeditor.h"
#include "editor/weekdaypanel.h"
#include "support/fakeclockstatus.h"
#include "support/listfiles.h"
#include "support/recordedlog.h"
#include "support/testenv.h"
#include "support/testfiles.h"
#include "ui/dialogs_qt.h"
#include "ui/flexgrid.h"
#include "ui/picturebox.h"
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

    // A PC switched off each evening whose clock went unkept yesterday morning warns at once;
    // kept again, the warning goes. A clock set back by hand, then unkept again: each in the
    // as-run log, the moment it went unkept kept for the next start.
    void clockWarningAndLines() {
        TestEnv env;
        auto status = std::make_unique<FakeClockStatus>(*env.clock);
        FakeClockStatus &clock = *status;
        env.services.clockStatus = std::move(status);
        auto log = std::make_unique<RecordedLog>();
        RecordedLog &asRun = *log;
        env.services.asRun = std::move(log);
        const QString since = env.path("logs/clock-unsynchronised-since.txt");
        QVERIFY(QDir().mkpath(env.path("logs")));
        writeBytes(since, "2026-12-06T06:59:59\n");
        clock.synchronised = false;

        Form1 form(env.services);
        QVERIFY(!form.ClockWarning->isHidden());
        QCOMPARE(form.ClockWarning->text(), "⚠ 系统时钟已 1 天未与时间服务器同步，铃声可能与其他电脑不同时");
        clock.synchronised = true;
        env.clock->advance(10000);
        QVERIFY(form.ClockWarning->isHidden());
        QVERIFY(!QFile::exists(since));
        env.clock->step(-125000);
        env.clock->advance(10000);
        clock.synchronised = false;
        env.clock->advance(10000);
        QVERIFY(form.ClockWarning->isHidden());
        QCOMPARE(bytesOf(since), "2026-12-07T06:58:25\n");
        const QStringList expected = {"系统时钟未与时间服务器同步，各电脑的铃声可能不同时",
                                      "系统时钟已与时间服务器同步", "系统时钟被调慢 0:02:05",
                                      "系统时钟未与时间服务器同步，各电脑的铃声可能不同时"};
        QCOMPARE(asRun.lines.filter("系统时钟"), expected);
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
        form.scheduleEditor().Command6->click();
        QVERIFY(!form.Command1->isEnabled());
        QVERIFY(!form.Command2->isEnabled());
        QVERIFY(!form.Frame1->isEnabled());
        form.scheduleEditor().Command6->click();  // close: the list goes into today's grid
        QVERIFY(form.Command1->isEnabled() && form.Command2->isEnabled() && form.Frame1->isEnabled());
        QCOMPARE(form.Label28->text(), QStringLiteral("列表文件：/lists/today.lst"));
        QCOMPARE(form.MSFlexGrid1->TextMatrix(1, 4), QStringLiteral("a.wav"));
        QCOMPARE(form.todayList.path, QStringLiteral("/lists/today.lst"));
    }

    void windowHeights() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        QCOMPARE(form.size(), QSize(10440 / 15, 3240 / 15));
        form.move(123, 7);
        const int screen = form.screen()->geometry().height();
        // "▼" in the main row also shrinks the full window back to the list panel.
        const QList<QPair<QPushButton *, int>> steps = {
            {form.Command2, 6165}, {form.Frame1->Command4, 9150}, {form.Command2, 6165}, {form.Frame1->Command3, 3240}};
        for (auto [button, twips] : steps) {
            button->click();
            QCOMPARE(form.height(), twips / 15);
            QCOMPARE(form.pos(), QPoint(123, (screen - twips / 15) / 2));
            // The schedule editor, made when the window first grows to show it, is there to see.
            if (twips == 9150) {
                const auto *editor = form.findChild<ScheduleEditor *>();
                QVERIFY(editor && editor->isVisible());
            }
        }
    }

    // Index n of the picture Image1 … Image6 the cover shows, 0 for none of them.
    static int shownImage(Form1 &form) {
        for (int n = 1; n <= 6; ++n)
            if (form.Picture4->pixmap().toImage() == form.Image(n).toImage())
                return n;
        return 0;
    }

    // The cover comes back after 101 idle ticks; a click hides it without resetting the count, so
    // a still mouse brings it back at the next tick, while a moving one keeps it away.
    void coverReturnsWhenNobodyIsThere() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.Picture4->isVisible());
        QCOMPARE(form.childAt(form.MSFlexGrid1->geometry().center()), form.Picture4);
        QTest::mouseClick(form.Picture4, Qt::LeftButton);
        QVERIFY(!form.Picture4->isVisible());
        env.clock->advance(100 * 200);
        QCOMPARE(form.IdleTicks, 100);
        QVERIFY(!form.Picture4->isVisible());
        env.clock->advance(200);
        QVERIFY(form.Picture4->isVisible());
        env.clock->advance(10 * 200);
        QCOMPARE(form.IdleTicks, 101);  // stands still while the cover is shown

        QTest::mouseClick(form.Picture4, Qt::LeftButton);
        env.clock->advance(200);
        QVERIFY(form.Picture4->isVisible());

        QTest::mouseClick(form.Picture4, Qt::LeftButton);
        auto moveOver = [](QWidget *w, QPoint at) {
            QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, {}, {});
            QCoreApplication::sendEvent(w, &move);
        };
        moveOver(form.MSFlexGrid1->viewport(), QPoint(20, 20));
        env.clock->advance(100 * 200);
        moveOver(&form, QPoint(10, 100));  // the background
        env.clock->advance(100 * 200);
        moveOver(&form.form2(), QPoint(300, 200));  // the volume dialog's background
        env.clock->advance(100 * 200);
        QVERIFY(!form.Picture4->isVisible());
        QCOMPARE(form.IdleTicks, 100);
        env.clock->advance(200);
        QVERIFY(form.Picture4->isVisible());
    }

    // Every 30 s the cover rings through Image1 … Image5 and comes to rest on Image6; the first
    // run after start-up shows Image6 first.
    void coverAnimation() {
        TestEnv env;
        Form1 form(env.services);
        QList<int> shown;
        connect(form.Timer8, &Timer::timeout, this, [&] { shown << shownImage(form); });
        env.clock->advance(29800);
        QCOMPARE(shown, QList<int>({6, 1, 2, 3, 4, 5, 6}));
        QVERIFY(!form.Timer8->isEnabled());
        shown.clear();
        env.clock->advance(30200);
        QCOMPARE(shown, QList<int>({1, 2, 3, 4, 5, 6}));
        QCOMPARE(form.Image(1).size(), QSize(289, 161));
    }

    void statusLinesTurn_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");  // characters, a pair of UTF-16 units counting as one
        const QString sp = QString(QChar(0x3000));
        QTest::newRow("Label26 design text") << "Label26" << QString() << 35;
        QTest::newRow("Label27 a playing text") << "Label27"
                                                << "开播时间：8:00:00" + sp.repeated(10) << 22;
        QTest::newRow("Label26 a rare character") << "Label26" << QStringLiteral("𠀀钟.wav") + sp << 7;
    }
    void statusLinesTurn() {
        QFETCH(QString, line);
        QFETCH(QString, text);
        QFETCH(int, n);
        TestEnv env;
        Form1 form(env.services);
        QCOMPARE(form.Label26->text(), QStringLiteral("Chimewood 3.0版") + QString(21, QChar(0x3000)));
        QVERIFY(form.Label27->text().endsWith(QString(40, QChar(0x3000))));
        auto *label = form.findChild<QLabel *>(line);
        if (!text.isEmpty())
            label->setText(text);
        const QString start = label->text();
        env.clock->advance(200);
        QCOMPARE(label->text(),
                 start.mid(start.at(0).isHighSurrogate() ? 2 : 1) + start.left(start.at(0).isHighSurrogate() ? 2 : 1));
        env.clock->advance((n - 2) * 200);
        QVERIFY(label->text() != start);
        env.clock->advance(200);
        QCOMPARE(label->text(), start);
    }

    // A drag by the background with any button moves the window; an edge left beyond the
    // screen's left or top comes back to 0 at the release. A click without a drag shows the
    // about panel, and a click on the panel hides it; so do the clock and the date.
    void dragAndAboutPanel() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.move(200, 100);
        const QPoint grip(10, 100);  // the background, left of the date
        QVERIFY(!form.childAt(grip));
        auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons held) {
            const QPointF local = form.mapFromGlobal(global);
            QMouseEvent e(type, local, global, button, held, {});
            QCoreApplication::sendEvent(&form, &e);
        };
        const QPoint start = form.mapToGlobal(grip);
        send(QEvent::MouseButtonPress, start, Qt::RightButton, Qt::RightButton);
        send(QEvent::MouseMove, start + QPoint(-50, -40), Qt::NoButton, Qt::RightButton);
        QCOMPARE(form.pos(), QPoint(150, 60));
        send(QEvent::MouseMove, start + QPoint(-300, -150), Qt::NoButton, Qt::RightButton);
        QCOMPARE(form.pos(), QPoint(-100, -50));
        send(QEvent::MouseButtonRelease, start + QPoint(-300, -150), Qt::RightButton, Qt::NoButton);
        QCOMPARE(form.pos(), QPoint(0, 0));
        QVERIFY(!form.Picture3->isVisible());

        form.move(200, 100);
        send(QEvent::MouseButtonPress, form.mapToGlobal(grip), Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, form.mapToGlobal(grip) + QPoint(40, 30), Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, form.mapToGlobal(grip), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(form.pos(), QPoint(240, 130));  // inside the screen: left where it was dropped
        QVERIFY(!form.Picture3->isVisible());    // a drag is no click

        for (QWidget *target : {static_cast<QWidget *>(&form), static_cast<QWidget *>(form.Label1),
                                static_cast<QWidget *>(form.Label2)}) {
            QTest::mouseClick(target, Qt::LeftButton, {}, target == &form ? grip : QPoint(5, 5));
            QVERIFY2(form.Picture3->isVisible(), qPrintable(target->objectName()));
            QTest::mouseClick(form.Picture3, Qt::LeftButton);
            QVERIFY(!form.Picture3->isVisible());
        }
    }

    void command20Minimises() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.Command20->text(), QStringLiteral("▃"));
        form.Command20->click();
        QVERIFY(form.windowState() & Qt::WindowMinimized);
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
            form.scheduleEditor().Command6->click();
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
