// The one-second tick on the whole main window: today's list, the due scan, the displays.
#include "app/form1.h"
#include "broadcast/statustexts.h"
#include "editor/weekdaypanel.h"
#include "housekeeping/form3.h"
#include "support/listfiles.h"
#include "support/recordedlog.h"
#include "support/testenv.h"
#include "support/testfiles.h"
#include "ui/flexgrid.h"

#include <QtTest>

namespace {
const QDate Sunday(2026, 12, 6), Monday(2026, 12, 7), Saturday(2026, 12, 12);
}

class TestSchedulerTick : public QObject {
    Q_OBJECT

    // A Form1 on a simulated clock, Monday's list (Text5) = the given items.
    struct Rig {
        TestEnv env;
        std::unique_ptr<Form1> form;
        // followsSeconds: Timer1 keeps to the wall clock's seconds as on the real clock.
        // holidays: the calendar's file as start-up finds it.
        Rig(const QDateTime &start, const QList<ScheduleItem> &monday, bool followsSeconds = false,
            const QByteArray &holidays = {})
            : env(start) {
            env.clock->setFollowsSeconds(followsSeconds);
            writeList(env.path("monday.lst"), monday);
            if (!holidays.isEmpty()) {
                QFile f(env.path("Holidays.txt"));
                QVERIFY(f.open(QIODevice::WriteOnly) && f.write(holidays) == holidays.size());
            }
            form = std::make_unique<Form1>(env.services);
            form->Frame1->Text5->setText(env.path("monday.lst"));
        }
        FlexGrid &grid() { return *form->MSFlexGrid1; }
        bool marked(int row) { return grid().TextMatrix(row, 0) == QStringLiteral("√"); }
        void runTo(const QTime &t) { env.clock->advanceTo(QDateTime(env.clock->date(), t)); }
        // Sunday … the given weekday each get a list of their own, "sun.lst" with earlyAndLate("sun").
        void listPerWeekday(int upTo = 7) {
            for (int weekday = 1; weekday <= upTo; ++weekday) {
                const QString name = QStringList{"sun", "mon", "tue", "wed", "thu", "fri", "sat"}[weekday - 1];
                writeList(env.path(name + ".lst"), earlyAndLate(name));
                form->Frame1->dayText(weekday)->setText(env.path(name + ".lst"));
            }
        }
    };

    // A bell at 00:00:03 and one at 23:59:58, named after the list ("mon-early.wav").
    static QList<ScheduleItem> earlyAndLate(const QString &name) {
        return {item("00:00:03", "early", "00:00:02", name + "-early.wav"),
                item("23:59:58", "late", "00:00:02", name + "-late.wav")};
    }

    static QList<ScheduleItem> bellAtEight() { return {item("08:00:00", "上课", "00:00:30", "/sounds/bell.wav")}; }

private slots:
    void firstTickLoadsTodaysList() {
        Rig rig(QDateTime(Monday, QTime(6, 0)), bellAtEight());
        QCOMPARE(rig.grid().Rows(), 1);
        rig.env.clock->advance(1000);
        QCOMPARE(rig.grid().Rows(), 2);
        QCOMPARE(rig.form->todayList.path, rig.env.path("monday.lst"));
        QCOMPARE(rig.form->Label28->text(), "列表文件：" + rig.env.path("monday.lst"));
        QCOMPARE(rig.grid().TextMatrix(1, 1), QStringLiteral("8:00:00"));
        QCOMPARE(rig.grid().TextMatrix(1, 2), QStringLiteral("上课"));
        QCOMPARE(rig.grid().TextMatrix(1, 3), QStringLiteral("0:00:30"));
        QCOMPARE(rig.grid().TextMatrix(1, 4), QStringLiteral("/sounds/bell.wav"));
        QCOMPARE(rig.form->todayList.count(), 1);
    }

    void weekdayModeAgainstEveryDayMode() {
        Rig rig(QDateTime(Monday, QTime(6, 0)), bellAtEight());
        writeList(rig.env.path("every.lst"), {item("09:00:00", "a", QStringLiteral("播完"), "a.wav"),
                                              item("10:00:00", "b", QStringLiteral("播完"), "b.wav")});
        rig.form->Frame1->Text23->setText(rig.env.path("every.lst"));
        rig.form->Frame1->Text4->setText(rig.env.path("every.lst"));  // Sunday's box is not looked at
        rig.env.clock->advance(1000);
        QCOMPARE(rig.form->todayList.count(), 1);
        rig.form->Frame1->Option1->setChecked(true);
        rig.env.clock->advance(1000);
        QCOMPARE(rig.form->todayList.count(), 2);
        QCOMPARE(rig.grid().TextMatrix(2, 3), QStringLiteral("播完"));
    }

    void emptyPathKeepsTheListAndMissingFileEmptiesIt() {
        Rig rig(QDateTime(Monday, QTime(6, 0)), bellAtEight());
        rig.env.clock->advance(1000);
        rig.form->Frame1->Text5->setText(QString());
        rig.env.clock->advance(1000);
        QCOMPARE(rig.form->todayList.count(), 1);
        QCOMPARE(rig.form->Label28->text(), "列表文件：" + rig.env.path("monday.lst"));
        rig.form->Frame1->Text5->setText(rig.env.path("gone.lst"));
        rig.env.clock->advance(1000);
        QCOMPARE(rig.form->todayList.count(), 0);
        QCOMPARE(rig.grid().Rows(), 1);
        QVERIFY(!QFile::exists(rig.env.path("gone.lst")));
    }

    void dueItemIsMarkedAnnouncedAndHandedOver() {
        Rig rig(QDateTime(Monday, QTime(7, 59, 50)), bellAtEight());
        QList<QTime> timer4Fired;
        connect(rig.form->Timer4, &Timer::timeout, [&] { timer4Fired << rig.env.clock->now().time(); });
        rig.runTo(QTime(7, 59, 55));
        QVERIFY(!rig.marked(1));
        QVERIFY(!rig.form->Timer4->isEnabled());
        rig.runTo(QTime(7, 59, 56));
        QVERIFY(rig.marked(1));
        COMPARE_TURNING(rig.form->Label26->text(), "播放文件：/sounds/bell.wav" + QString(10, QChar(0x3000)));
        COMPARE_TURNING(rig.form->Label27->text(), "开播时间：8:00:00　播放时间：0:00:30" + QString(10, QChar(0x3000)));
        QCOMPARE(rig.env.beeps, 1);
        QCOMPARE(rig.env.mp3->log, QStringList{"Stop"});
        QVERIFY(rig.form->Timer4->isEnabled());
        QVERIFY(!rig.form->Timer11->isEnabled());
        QCOMPARE(rig.form->playback.CurrentItem, 1);
        QCOMPARE(rig.form->playback.CurrentFile, QStringLiteral("/sounds/bell.wav"));
        QCOMPARE(rig.form->playback.CurrentPlayLength, 30);
        QCOMPARE(rig.grid().Row(), 1);
        rig.runTo(QTime(8, 0, 5));
        QCOMPARE(rig.env.beeps, 1);  // later ticks skip the marked item
        QCOMPARE(timer4Fired.value(0), QTime(8, 0, 1));
    }

    // Whatever the fraction of a second the program starts at, each tick falls just after its
    // second begins; a step of the clock realigns it at once. The bell at 8:00:00 is started
    // exactly once, and plays five seconds of real time after the tick that found it due.
    void ticksKeepToTheWallClocksSeconds_data() {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QTime>("stepAt");  // none when null
        QTest::addColumn<int>("stepMs");
        QTest::addColumn<QTime>("played");  // by the wall clock
        const QTime none;
        QTest::newRow("started at x.000") << QTime(7, 59, 50, 0) << none << 0 << QTime(8, 0, 1, 1);
        QTest::newRow("started at x.500") << QTime(7, 59, 50, 500) << none << 0 << QTime(8, 0, 1, 1);
        QTest::newRow("started at x.999") << QTime(7, 59, 50, 999) << none << 0 << QTime(8, 0, 1, 1);
        QTest::newRow("3 s forward before its window")
            << QTime(7, 59, 50, 500) << QTime(7, 59, 54, 500) << 3000 << QTime(8, 0, 2, 500);
        QTest::newRow("4 s forward at the end of a second")
            << QTime(7, 59, 50, 500) << QTime(7, 59, 55, 999) << 4000 << QTime(8, 0, 4, 999);
        QTest::newRow("3 s forward after it started")
            << QTime(7, 59, 50, 500) << QTime(7, 59, 56, 500) << 3000 << QTime(8, 0, 4, 1);
        QTest::newRow("2 s back after it started")
            << QTime(7, 59, 50, 500) << QTime(7, 59, 57, 500) << -2000 << QTime(7, 59, 59, 1);
    }
    void ticksKeepToTheWallClocksSeconds() {
        QFETCH(QTime, start);
        QFETCH(QTime, stepAt);
        QFETCH(int, stepMs);
        QFETCH(QTime, played);
        Rig rig(QDateTime(Monday, start), bellAtEight(), true);
        SimClock &clock = *rig.env.clock;
        QList<QTime> ticks, timer4Fired;
        QTime landed;  // where the step put the clock: its tick falls there
        connect(rig.form->Timer1, &Timer::timeout, [&] {
            const QTime now = clock.now().time();
            if (now != landed)
                ticks << now;
        });
        connect(rig.form->Timer4, &Timer::timeout, [&] { timer4Fired << clock.now().time(); });
        if (stepAt.isValid()) {
            rig.runTo(stepAt);
            landed = stepAt.addMSecs(stepMs);
            clock.step(stepMs);
        }
        rig.runTo(QTime(8, 0, 10));
        QCOMPARE(ticks.value(0), QTime(7, 59, 51, 1));
        for (const QTime &t : ticks)
            QVERIFY2(t.msec() == SecondTickDelayMs, qPrintable(t.toString("HH:mm:ss.zzz")));
        QVERIFY(rig.marked(1));
        QCOMPARE(rig.env.beeps, 1);
        QCOMPARE(rig.env.mci->log.count(QStringLiteral("play")), 1);
        QCOMPARE(timer4Fired, QList<QTime>{played});
    }

    void playToEndAnnouncement() {
        Rig rig(QDateTime(Monday, QTime(7, 59, 50)), {item("08:00:00", "a", QStringLiteral("播完"), "a.mid")});
        rig.runTo(QTime(7, 59, 56));
        COMPARE_TURNING(rig.form->Label27->text(), "开播时间：8:00:00　播放时间：播完" + QString(14, QChar(0x3000)));
    }

    void startedTooLateMissesTheItem() {
        Rig rig(QDateTime(Monday, QTime(7, 59, 59)), bellAtEight());
        rig.runTo(QTime(8, 1, 0));
        QVERIFY(!rig.marked(1));
        QCOMPARE(rig.env.beeps, 0);
    }

    void aroundMidnight() {
        Rig rig(QDateTime(Sunday, QTime(23, 59, 50)), {item("00:00:00", "m", QStringLiteral("播完"), "m.wav"),
                                                       item("00:00:01", "a", QStringLiteral("播完"), "a.wav"),
                                                       item("00:00:04", "b", QStringLiteral("播完"), "b.wav")});
        rig.form->Frame1->Text4->setText(rig.env.path("monday.lst"));  // the same list on Sunday
        rig.env.clock->advanceTo(QDateTime(Monday, QTime(0, 0, 0)));
        QVERIFY(!rig.marked(1) && rig.marked(2) && rig.marked(3));
        rig.env.clock->advanceTo(QDateTime(Monday, QTime(0, 10)));
        QVERIFY(!rig.marked(1));  // midnight itself never starts
    }

    void aSecondItemReplacesTheFirstBeforeTheDelayEnds() {
        Rig rig(QDateTime(Monday, QTime(7, 59, 50)),
                {item("08:00:00", "a", "00:00:30", "a.wav"), item("08:00:02", "b", "00:01:00", "b.wav")});
        QList<QTime> timer4Fired;
        connect(rig.form->Timer4, &Timer::timeout, [&] {
            timer4Fired << rig.env.clock->now().time();
            rig.form->Timer4->setEnabled(false);
        });
        rig.runTo(QTime(7, 59, 58));
        QVERIFY(rig.marked(1) && rig.marked(2));
        QCOMPARE(rig.form->playback.CurrentFile, QStringLiteral("b.wav"));
        QCOMPARE(rig.form->playback.CurrentPlayLength, 60);
        rig.runTo(QTime(8, 0, 10));
        QCOMPARE(timer4Fired, QList<QTime>{QTime(8, 0, 1)});  // the first countdown went on
    }

    void twoItemsAtTheSameTime() {
        Rig rig(QDateTime(Monday, QTime(7, 59, 50)),
                {item("08:00:00", "a", "00:00:30", "a.wav"), item("08:00:00", "b", QStringLiteral("播完"), "b.wav")});
        rig.runTo(QTime(7, 59, 56));
        QVERIFY(rig.marked(1) && rig.marked(2));
        QCOMPARE(rig.env.beeps, 2);
        QCOMPARE(rig.form->playback.CurrentItem, 2);
        QCOMPARE(rig.form->playback.CurrentFile, QStringLiteral("b.wav"));
    }

    void marksStayWithTheirRowsAcrossMidnight() {
        Rig rig(QDateTime(Sunday, QTime(7, 59, 50)),
                {item("08:00:00", "a", "00:00:30", "a.wav"), item("08:00:01", "b", "00:00:30", "b.wav"),
                 item("09:00:00", "c", "00:00:30", "c.wav")});
        writeList(rig.env.path("sunday.lst"),
                  {item("08:00:00", "s1", "00:00:10", "s1.wav"), item("08:00:01", "s2", "00:00:10", "s2.wav")});
        rig.form->Frame1->Text4->setText(rig.env.path("sunday.lst"));
        rig.form->form3().Check1->setChecked(false);  // no clearing of the marks at midnight
        rig.runTo(QTime(8, 0, 0));
        QVERIFY(rig.marked(1) && rig.marked(2));
        rig.env.clock->advanceTo(QDateTime(Monday, QTime(0, 0, 1)));
        QCOMPARE(rig.form->todayList.path, rig.env.path("monday.lst"));
        QCOMPARE(rig.grid().TextMatrix(1, 2), QStringLiteral("a"));
        QVERIFY(rig.marked(1) && rig.marked(2) && !rig.marked(3));
    }

    void theSamePathIsNotReloaded() {
        Rig rig(QDateTime(Sunday, QTime(23, 0)), bellAtEight());
        rig.form->Frame1->Text4->setText(rig.env.path("monday.lst"));
        rig.env.clock->advance(1000);
        writeList(rig.env.path("monday.lst"), {item("09:00:00", "changed", "00:00:10", "c.wav")});
        rig.env.clock->advanceTo(QDateTime(Monday, QTime(1, 0)));
        QCOMPARE(rig.grid().TextMatrix(1, 2), QStringLiteral("上课"));
    }

    void aLongListKeepsItsFirstThousandItems() {
        QList<ScheduleItem> many;
        for (int i = 0; i < 1200; ++i)
            many << ScheduleItem{10 * 3600 + i, QStringLiteral("i%1").arg(i), 0, "x.wav"};
        Rig rig(QDateTime(Monday, QTime(6, 0)), many);
        rig.env.clock->advance(1000);
        QCOMPARE(rig.form->todayList.count(), 1000);
        QCOMPARE(rig.grid().Rows(), 1001);
    }

    void clockDateAndColours_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("weekday");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("Sunday is red") << Sunday << "星期日" << QColor(255, 0, 0);
        QTest::newRow("Monday is blue") << Monday << "星期一" << QColor(0, 0, 255);
        QTest::newRow("Saturday is green") << Saturday << "星期六" << QColor(0, 192, 0);
    }
    void clockDateAndColours() {
        QFETCH(QDate, date);
        QFETCH(QString, weekday);
        QFETCH(QColor, colour);
        Rig rig(QDateTime(date, QTime(9, 5, 0)), {});
        rig.env.clock->advance(1000);
        QCOMPARE(rig.form->Label1->text(), QStringLiteral("9:05:01"));
        QCOMPARE(rig.form->Label2->text(), QLocale().toString(date, QLocale::ShortFormat) + "\r\n" + weekday);
        QCOMPARE(rig.form->Label2->palette().color(QPalette::WindowText), colour);
        QCOMPARE(rig.form->tick().TodayWeekday, date.dayOfWeek() % 7 + 1);
    }

    // Every weekday has its own list, earlyAndLate() of its name. Across one midnight, the bell
    // before it and the bell after it tell which list was in force on either side; a day off
    // rings neither.
    void midnightIntoAndOutOfExceptionDays_data() {
        QTest::addColumn<QByteArray>("holidays");
        QTest::addColumn<QDate>("day");  // the day before midnight
        QTest::addColumn<QStringList>("played");
        QTest::addColumn<QString>("label");  // the weekday part of Label2 after midnight
        QTest::addColumn<QColor>("colour");
        const QByteArray makeUp = "# 调休\r\n2026-12-12 周一\r\n";
        const QByteArray off = "2026-12-09 off # 校庆\n";
        const QColor red(255, 0, 0), blue(0, 0, 255);
        QTest::newRow("into a Saturday that follows Monday")
            << makeUp << QDate(2026, 12, 11) << QStringList{"fri-late.wav", "mon-early.wav"} << "星期六（按周一）"
            << blue;
        QTest::newRow("out of it into Sunday")
            << makeUp << QDate(2026, 12, 12) << QStringList{"mon-late.wav", "sun-early.wav"} << "星期日" << red;
        QTest::newRow("into a Wednesday off")
            << off << QDate(2026, 12, 8) << QStringList{"tue-late.wav"} << "星期三（休息）" << red;
        QTest::newRow("out of it into Thursday")
            << off << QDate(2026, 12, 9) << QStringList{"thu-early.wav"} << "星期四" << blue;
        QTest::newRow("a date with no entry")
            << off << QDate(2026, 12, 10) << QStringList{"thu-late.wav", "fri-early.wav"} << "星期五" << blue;
    }
    void midnightIntoAndOutOfExceptionDays() {
        QFETCH(QByteArray, holidays);
        QFETCH(QDate, day);
        QFETCH(QStringList, played);
        QFETCH(QString, label);
        QFETCH(QColor, colour);
        Rig rig(QDateTime(day, QTime(23, 59, 40)), {}, false, holidays);
        rig.listPerWeekday();
        rig.form->form3().Check1->setChecked(false);  // marks stay across midnight as they are
        rig.env.clock->advanceTo(QDateTime(day.addDays(1), QTime(0, 0, 30)));
        QStringList files;
        for (const QString &entry : rig.env.mci->log)
            if (entry.startsWith(QStringLiteral("file=")))
                files << entry.mid(5);
        QCOMPARE(files, played);
        QCOMPARE(rig.env.beeps, played.size());
        QCOMPARE(rig.form->Label2->text(), QLocale().toString(day.addDays(1), QLocale::ShortFormat) + "\r\n" + label);
        QCOMPARE(rig.form->Label2->palette().color(QPalette::WindowText), colour);
        const bool dayOff = label.contains(QStringLiteral("休息"));
        QCOMPARE(rig.form->todayList.count(), dayOff ? 0 : 2);
        QCOMPARE(rig.grid().Rows(), dayOff ? 1 : 3);
        if (dayOff)
            QCOMPARE(rig.form->Label28->text(), QStringLiteral("列表文件：（休息）"));
        else
            QVERIFY(rig.marked(1));               // the early bell of the day's own or followed list
        QVERIFY(rig.form->Timer11->isEnabled());  // random music goes on, also on a day off
    }

    // Friday 2026-12-11 is an exam day whose list rings at 00:00:03 and 23:59:58 too. Across
    // the midnight before it or after it, the bells tell which list was in force; a list that
    // cannot serve gives way to Friday's own, and the list-file label says so.
    void midnightIntoAndOutOfASpecialDay_data() {
        QTest::addColumn<QString>("exam");  // the exam list: "bells", "empty" or "missing"
        QTest::addColumn<QDate>("day");     // the day before midnight
        QTest::addColumn<bool>("saturdayList");
        QTest::addColumn<QStringList>("played");
        QTest::addColumn<QString>("label");  // Label28 after midnight, "$" for the folder
        const QString exam = QStringLiteral("bells"),
                      fallback = QStringLiteral("，改按星期五的列表：$/fri.lst（特殊日的列表文件：$/期末 考试.lst）");
        const QDate thursday(2026, 12, 10), friday(2026, 12, 11);
        QTest::newRow("into it") << exam << thursday << true << QStringList{"thu-late.wav", "exam-early.wav"}
                                 << "列表文件：（特殊日：期末考试）$/期末 考试.lst";
        QTest::newRow("out of it") << exam << friday << true << QStringList{"exam-late.wav", "sat-early.wav"}
                                   << "列表文件：$/sat.lst";
        QTest::newRow("out of it into a Saturday without a list")
            << exam << friday << false << QStringList{"exam-late.wav", "fri-early.wav"} << "列表文件：$/fri.lst";
        QTest::newRow("into it, its list missing")
            << "missing" << thursday << true << QStringList{"thu-late.wav", "fri-early.wav"}
            << "列表文件：⚠ 特殊日（期末考试）的列表找不到" + fallback;
        QTest::newRow("into it, its list empty")
            << "empty" << thursday << true << QStringList{"thu-late.wav", "fri-early.wav"}
            << "列表文件：⚠ 特殊日（期末考试）的列表里没有项目" + fallback;
    }
    void midnightIntoAndOutOfASpecialDay() {
        QFETCH(QString, exam);
        QFETCH(QDate, day);
        QFETCH(bool, saturdayList);
        QFETCH(QStringList, played);
        QFETCH(QString, label);
        Rig rig(QDateTime(day, QTime(23, 59, 40)), {});
        const QString examPath = rig.env.path("期末 考试.lst");
        if (exam != "missing")
            writeList(examPath, exam == "bells" ? earlyAndLate("exam") : QList<ScheduleItem>{});
        rig.listPerWeekday(saturdayList ? 7 : 6);
        QVERIFY(
            rig.form->holidays().save(holidayrules::parse(("2026-12-11 " + examPath + "  # 期末考试").toUtf8())).ok());
        rig.form->form3().Check1->setChecked(false);  // marks stay across midnight as they are
        rig.env.clock->advanceTo(QDateTime(day.addDays(1), QTime(0, 0, 30)));
        QCOMPARE(rig.env.mci->log.filter(QStringLiteral("file=")).replaceInStrings("file=", ""), played);
        QCOMPARE(rig.form->Label28->text(), QString(label).replace('$', rig.env.dir.path()));
        QVERIFY(rig.marked(1));
    }

    // The exam list arrives at 09:10, after Friday's list stood in for it and rang its 09:00
    // bell in row 1: within a minute the exam list is in force, with no mark left to keep
    // its own row 1 from ringing at 09:30; the as-run log tells each choice.
    void aSpecialListCopiedInLaterRingsFromThen() {
        TestEnv env(QDateTime(QDate(2026, 12, 11), QTime(8, 59, 0)));
        auto log = std::make_unique<RecordedLog>();
        RecordedLog &asRun = *log;
        env.services.asRun = std::move(log);
        const QString fri = env.path("fri.lst"), exam = env.path("exam.lst");
        writeList(fri, {item("09:00:00", "第二节", "00:00:10", "fri.wav")});
        writeBytes(env.path("Holidays.txt"), ("2026-12-11 " + exam + " # 期末考试\r\n").toUtf8());
        Form1 form(env.services);
        form.Frame1->Text9->setText(fri);
        env.clock->advanceTo(QDateTime(env.clock->date(), QTime(9, 10, 0)));
        writeList(exam, {item("09:30:00", "考试结束", "00:00:10", "exam.wav")});
        env.clock->advanceTo(QDateTime(env.clock->date(), QTime(9, 11, 0)));
        QCOMPARE(form.Label28->text(), "列表文件：（特殊日：期末考试）" + exam);
        env.clock->advanceTo(QDateTime(env.clock->date(), QTime(9, 31, 0)));
        QCOMPARE(env.mci->log.filter(QStringLiteral("file=")), QStringList({"file=fri.wav", "file=exam.wav"}));
        QCOMPARE(asRun.lines.filter(QStringLiteral("列表")),
                 QStringList({"特殊日（期末考试）的列表 " + exam + " 找不到，改按星期五的列表播放",
                              "今日列表 " + fri + " 共 1 项",
                              "今天是特殊日（期末考试），今日列表 " + exam + " 共 1 项，已播标记清除"}));
    }

    // With 每天相同 the day after a day off names the very list that ran before it: it is
    // loaded again and rings, although its path did not change.
    void theSameListAgainAfterADayOff() {
        Rig rig(QDateTime(QDate(2026, 12, 8), QTime(23, 59, 40)), {}, false, "2026-12-09 休息\r\n");
        writeList(rig.env.path("every.lst"), {item("00:00:03", "early", "00:00:02", "early.wav")});
        rig.form->Frame1->Option1->setChecked(true);
        rig.form->Frame1->Text23->setText(rig.env.path("every.lst"));
        rig.env.clock->advanceTo(QDateTime(QDate(2026, 12, 9), QTime(0, 0, 30)));
        QCOMPARE(rig.form->todayList.count(), 0);
        rig.env.clock->step(qint64(86400 - 60) * 1000);  // the rest of the day off at once
        rig.env.clock->advanceTo(QDateTime(QDate(2026, 12, 10), QTime(0, 0, 30)));
        QCOMPARE(rig.form->todayList.path, rig.env.path("every.lst"));
        QCOMPARE(rig.env.mci->log.filter(QStringLiteral("file=")), QStringList{"file=early.wav"});
        QVERIFY(rig.marked(1));
    }

    // Lists the editor or a hand puts into today's grid on a day off are emptied again at the
    // next tick: nothing of them is started.
    void aDayOffStartsNothingAllDay() {
        Rig rig(QDateTime(Monday, QTime(7, 59, 40)), bellAtEight(), false, "2026-12-07 休息\r\n");
        rig.runTo(QTime(7, 59, 50));
        QCOMPARE(rig.form->todayList.count(), 0);
        todaygrid::show(rig.grid(), rig.form->todayList, bellAtEight());
        rig.runTo(QTime(8, 0, 30));
        QCOMPARE(rig.form->todayList.count(), 0);
        QCOMPARE(rig.env.beeps, 0);
        QVERIFY(rig.env.mci->log.isEmpty());
    }

    void iconsBlinkWhileBusy() {
        Rig rig(QDateTime(Monday, QTime(9, 0)), {});
        auto shown = [&] {
            QString s;
            for (QWidget *w : {rig.form->Image7, rig.form->Image8, rig.form->Image9, rig.form->Image10})
                s += w->isVisibleTo(rig.form.get()) ? '1' : '0';
            return s;
        };
        rig.env.clock->advance(1000);
        QCOMPARE(shown(), QStringLiteral("1001"));
        rig.form->playback.PlayerBusy = 1;
        rig.env.clock->advance(1000);
        QCOMPARE(shown(), QStringLiteral("1010"));
        rig.env.clock->advance(1000);
        QCOMPARE(shown(), QStringLiteral("0101"));
        rig.env.clock->advance(1000);
        QCOMPARE(shown(), QStringLiteral("1010"));
        rig.form->playback.PlayerBusy = 0;
        rig.env.clock->advance(1000);
        QCOMPARE(shown(), QStringLiteral("1001"));
        QCOMPARE(rig.form->tick().BlinkPhase, 0);
    }

    void unmarkedAgainBeforeItsTimeStartsAgain() {
        Rig rig(QDateTime(Monday, QTime(7, 59, 50)), bellAtEight());
        rig.runTo(QTime(7, 59, 56));
        rig.grid().setTextMatrix(1, 0, QString());
        rig.runTo(QTime(7, 59, 58));
        QCOMPARE(rig.env.beeps, 2);
        rig.grid().setTextMatrix(1, 0, QString());
        rig.runTo(QTime(8, 0, 2));
        QCOMPARE(rig.env.beeps, 3);  // only 7:59:59 could start it once more
    }
};

QTEST_MAIN(TestSchedulerTick)
#include "tst_schedulertick.moc"
