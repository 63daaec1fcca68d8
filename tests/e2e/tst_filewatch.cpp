// Files changed under the running program, as a synchronised folder or a share changes them:
// the whole main window on the simulated clock, the watch's looks settled every second.
#include "app/form1.h"
#include "core/filewatch.h"
#include "editor/lstcfg.h"
#include "editor/weekdaypanel.h"
#include "housekeeping/autoshutdown.h"
#include "randommusic/libraryeditor.h"
#include "randommusic/libraryfiles.h"
#include "support/listfiles.h"
#include "support/recordedlog.h"
#include "support/testenv.h"
#include "support/testfiles.h"
#include "ui/flexgrid.h"
#include "ui/slider.h"
#include "volume/form2.h"

#include <QtTest>

#include <cstdio>

namespace {
const QDate Monday(2026, 12, 7);

QByteArray listBytes(const QList<ScheduleItem> &items) {
    QByteArray bytes;
    for (const ScheduleItem &i : items)
        bytes += i.toRecord();
    return bytes;
}

// As Syncthing and most editors save: a new file renamed over the old one.
void replaceByRename(const QString &path, const QByteArray &bytes) {
    writeBytes(path + ".sync-tmp", bytes);
    QCOMPARE(std::rename(QFile::encodeName(path + ".sync-tmp"), QFile::encodeName(path)), 0);
}

}  // namespace

class TestFileWatch : public QObject {
    Q_OBJECT

    // Seconds pass as the event loop would see them: the clock, then the watch's look.
    static void run(TestEnv &env, Form1 &form, const QTime &until) {
        while (env.clock->now().time() < until) {
            env.clock->advance(1000);
            form.fileWatch().settle();
        }
    }
    static int count(const QStringList &lines, const QString &part) { return int(lines.filter(part).size()); }

private slots:
    // The looks come back from their thread through the event loop alone, driven here without
    // sleeping: every change is taken, whenever the loop gets to run.
    void looksComeBackThroughTheEventLoop() {
        TestEnv env;
        RecordedLog asRun;
        const QString path = env.path("Volume.cfg");
        writeBytes(path, "1");
        FileWatch watch(*env.clock, asRun);
        int taken = 0;
        watch.add({QStringLiteral("音量设置"), [path] { return path; }, [&] { ++taken; }});
        watch.start();
        for (int round = 1; round <= 200; ++round) {
            writeBytes(path, QByteArray(round % 2 ? 2 : 3, 'x'));
            for (int second = 0; second < 5 && taken < round; ++second) {
                env.clock->advance(1000);
                for (int pass = 0; pass < 1000000 && watch.looking(); ++pass)
                    QCoreApplication::processEvents();
            }
            QCOMPARE(taken, round);
        }
    }

    // Today's list replaced in the second after it was loaded, then again while its first item
    // is already found due, then gone for a while, then rewritten in place: the due item plays once, the changed one at
    // its new time, the removed one never, and a missing file leaves the list as it was.
    void todaysListFollowsTheDisk() {
        TestEnv env(QDateTime(Monday, QTime(9, 59, 40)));
        auto log = std::make_unique<RecordedLog>();
        RecordedLog &asRun = *log;
        env.services.asRun = std::move(log);
        const QString list = env.path("day.lst");
        writeList(list,
                  {item("10:00:00", "上课", "00:00:05", "/s/a.wav"), item("10:00:30", "下课", "00:00:05", "/s/b.wav")});
        Form1 form(env.services);
        form.Frame1->Text5->setText(list);
        env.clock->advance(1000);  // loaded at this tick; replaced before the watch's first look
        replaceByRename(list, listBytes({item("10:00:00", "上课", "00:00:05", "/s/a.wav"),
                                         item("10:00:30", "下课", "00:00:05", "/s/b.wav"),
                                         item("09:59:50", "预备", "00:00:05", "/s/p.wav")}));
        run(env, form, QTime(9, 59, 57));
        QCOMPARE(form.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("√"));

        replaceByRename(list, listBytes({item("09:00:00", "早读", "00:00:05", "/s/x.wav"),
                                         item("10:00:00", "上课", "00:00:05", "/s/a.wav"),
                                         item("10:00:20", "下课", "00:00:05", "/s/c.wav")}));
        run(env, form, QTime(10, 0, 1));
        QCOMPARE(form.MSFlexGrid1->Rows(), 4);  // taken within the seconds before the bell
        QCOMPARE(form.MSFlexGrid1->TextMatrix(1, 0), QString());
        QCOMPARE(form.MSFlexGrid1->TextMatrix(2, 0), QStringLiteral("√"));
        run(env, form, QTime(10, 1));
        QCOMPARE(env.timeline.filter("mci file=").join(','),
                 "09:59:51 mci file=/s/p.wav,10:00:01 mci file=/s/a.wav,10:00:21 mci file=/s/c.wav");
        QCOMPARE(count(asRun.lines, "今日列表已在磁盘上被更改，已采用新内容：" + list), 2);

        QVERIFY(QFile::remove(list));
        run(env, form, QTime(10, 1, 5));
        QCOMPARE(form.MSFlexGrid1->Rows(), 4);
        QCOMPARE(count(asRun.lines, "今日列表暂时不存在或无法读取，仍按原有内容"), 1);
        writeBytes(list, listBytes({item("10:05:00", "午间", "00:00:05", "/s/d.wav")}));
        run(env, form, QTime(10, 1, 10));
        QCOMPARE(form.MSFlexGrid1->Rows(), 2);
        QCOMPARE(form.MSFlexGrid1->TextMatrix(1, 4), "/s/d.wav");
    }

    // Each settings file changed on disk is in force within five seconds; while its panel is
    // open the change waits, the operator is told, and a save from the panel wins, never read
    // back as someone else's change.
    void settingsFollowTheDisk() {
        TestEnv env(QDateTime(Monday, QTime(8, 0)));
        auto log = std::make_unique<RecordedLog>();
        RecordedLog &asRun = *log;
        env.services.asRun = std::move(log);
        Form1 form(env.services);
        struct Case {
            QString file;
            QByteArray bytes;
            std::function<bool()> taken;
        };
        WeekdayListConfig lists;
        lists.DayPaths[1] = "/srv/monday.lst";
        const QList<Case> cases = {
            {QStringLiteral("LstCfg.Cfg"), lists.toRecord(),
             [&] { return form.Frame1->Text5->text() == "/srv/monday.lst"; }},
            {"Volume.cfg", QByteArray("1000\r\n").repeated(13), [&] { return form.form2().Slider1->value() == 1000; }},
            {"Holidays.txt", QByteArray("2026-12-08 休息\r\n"),
             [&] { return form.holidays().follows(Monday.addDays(1)) == DayOff; }},
            {"ClsTime.Cfg", QByteArray::fromHex("FFFF555555555555E53F"),
             [&] { return form.autoShutdown().ShutdownTime == 16 * 3600; }},
            {"SjFile1.dat", libraryfiles::bytesFromSongs({"/m/new.mp3"}),
             [&] { return form.libraries.library[1].songs() == QStringList{"/m/new.mp3"}; }},
        };
        QTime t(8, 0);
        for (const Case &c : cases) {
            replaceByRename(env.path(c.file), c.bytes);
            run(env, form, t = t.addSecs(5));
            QVERIFY2(c.taken(), qPrintable(c.file));
        }
        QCOMPARE(count(asRun.lines, "已在磁盘上被更改，已采用新内容"), cases.size());

        form.Command28->click();  // the volume dialog open
        writeBytes(env.path("Volume.cfg"), QByteArray("2000\r\n").repeated(13));
        run(env, form, t = t.addSecs(5));
        QCOMPARE(form.form2().Slider1->value(), 1000);
        QCOMPARE(env.dialogs->messages.size(), 1);
        QVERIFY(env.dialogs->messages[0].text.startsWith("音量设置已被别处修改"));
        form.form2().Slider1->setValue(3000);
        form.form2().Command11->click();  // "保存": the operator's values win
        form.form2().Command1->click();
        run(env, form, t = t.addSecs(5));
        QCOMPARE(form.form2().Slider1->value(), 3000);
        QCOMPARE(bytesOf(env.path("Volume.cfg")).left(6), "3000\r\n");
        QCOMPARE(count(asRun.lines, "已在磁盘上被更改，已采用新内容"), cases.size());
    }
};

QTEST_MAIN(TestFileWatch)
#include "tst_filewatch.moc"
