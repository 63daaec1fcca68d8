// A whole school day on the simulated clock: the main window with fake players and mixer.
#include "app/form1.h"
#include "broadcast/playbackengine.h"
#include "editor/weekdaypanel.h"
#include "support/listfiles.h"
#include "support/testenv.h"
#include "ui/flexgrid.h"
#include "ui/slider.h"
#include "volume/form2.h"

#include <QtTest>

namespace {
const QDate Sunday(2026, 12, 6), Monday(2026, 12, 7);
}

class TestSchoolDay : public QObject {
    Q_OBJECT

    static QStringList between(const QStringList &timeline, const QString &from, const QString &to) {
        QStringList out;
        for (const QString &e : timeline)
            if (e.left(8) >= from && e.left(8) <= to)
                out << e;
        return out;
    }

private slots:
    // Monday; Text5 names list L; an item of L starts at 08:00:00, plays a WAV file for 30 s.
    void theTracedMonday() {
        TestEnv env(QDateTime(Sunday, QTime(22, 0)));
        writeList(env.path("L.lst"), {item("08:00:00", "第一节", "00:00:30", "/bells/start.wav")});
        Form1 form(env.services);
        form.Frame1->Text5->setText(env.path("L.lst"));
        form.form2().Slider1->setValue(8191);
        env.timeline.clear();

        env.clock->advanceTo(QDateTime(Monday, QTime(0, 0, 1)));
        QCOMPARE(form.todayList.path, env.path("L.lst"));  // loaded by the first tick after midnight
        env.clock->advanceTo(QDateTime(Monday, QTime(7, 59, 55)));
        QVERIFY(env.timeline.isEmpty());
        env.clock->advanceTo(QDateTime(Monday, QTime(7, 59, 56)));
        QCOMPARE(form.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("√"));
        QCOMPARE(env.beeps, 1);
        QVERIFY(!form.Timer11->isEnabled());

        env.clock->advanceTo(QDateTime(Monday, QTime(12, 0)));
        QCOMPARE(env.timeline, QStringList({
                                   "07:59:56 mp3 Stop",
                                   "08:00:01 volume 49152",  // (32767 - 8191) * 2
                                   "08:00:01 mci stop",
                                   "08:00:01 mci close",
                                   "08:00:01 mp3 Stop",
                                   "08:00:01 mci file=/bells/start.wav",
                                   "08:00:01 mci open",
                                   "08:00:01 mci type=WaveAudio",
                                   "08:00:01 mci play",
                                   "08:00:32 mci stop",
                                   "08:00:32 mci close",
                               }));
        QVERIFY(form.Timer11->isEnabled());
        QCOMPARE(env.beeps, 1);  // skipped afterwards because of its mark
    }

    // A school morning of bells, an MP3 announcement and two items within one start delay.
    void aMorningOfMixedItems() {
        TestEnv env(QDateTime(Monday, QTime(6, 0)));
        writeList(env.path("day.lst"), {item("07:30:00", "晨读", "00:00:10", "/s/morning.mid"),
                                        item("07:45:00", "通知", QStringLiteral("播完"), "/s/news.mp3"),
                                        item("08:00:00", "上课", "00:00:05", "/s/bell.wav"),
                                        item("08:00:03", "上课2", "00:00:05", "/s/bell2.wav"),
                                        item("00:00:00", "午夜", "00:00:05", "/s/never.wav")});
        Form1 form(env.services);
        form.Frame1->Option1->setChecked(true);
        form.Frame1->Text23->setText(env.path("day.lst"));
        env.clock->advanceTo(QDateTime(Monday, QTime(12, 0)));

        // The synthesiser is made ready when the MIDI item falls due, and for it alone.
        QCOMPARE(env.timeline.filter("prepare MIDI"), QStringList{"07:29:56 prepare MIDI"});
        const QStringList midi = between(env.timeline, "07:29:56", "07:30:20");
        QVERIFY(midi.contains("07:30:01 mci type=Sequencer"));
        QVERIFY(midi.contains("07:30:12 mci stop"));  // 10 s play length: the eleventh second

        const QStringList mp3 = between(env.timeline, "07:44:56", "07:46:00");
        QVERIFY(mp3.contains("07:45:02 mp3 Open=/s/news.mp3"));
        QVERIFY(mp3.contains("07:45:02 mp3 Play"));
        QVERIFY(!mp3.join(' ').contains("mci"));

        // Found due at 07:59:56 and 07:59:59, both marked; the start delay of the first plays
        // the second item's file at 08:00:01 with the second's length.
        const QStringList bells = between(env.timeline, "07:59:56", "08:00:30");
        QVERIFY(bells.contains("08:00:01 mci file=/s/bell2.wav"));
        QVERIFY(!bells.join(' ').contains("/s/bell.wav"));
        QVERIFY(bells.contains("08:00:07 mci stop"));
        QCOMPARE(form.MSFlexGrid1->TextMatrix(3, 0), QStringLiteral("√"));
        QCOMPARE(form.MSFlexGrid1->TextMatrix(4, 0), QStringLiteral("√"));
        QCOMPARE(form.MSFlexGrid1->TextMatrix(5, 0), QString());  // midnight never starts
        QCOMPARE(env.beeps, 4);
    }

    // A missing sound file: nothing plays, the length counter still sends its stop, and the
    // next item plays normally. (The real players' failure is tested with the players.)
    void theDayGoesOnAfterAMissingFile() {
        TestEnv env(QDateTime(Monday, QTime(8, 59, 50)));
        writeList(env.path("day.lst"), {item("09:00:00", "x", "00:00:02", "/nowhere/missing.wav"),
                                        item("09:01:00", "y", "00:00:02", "/s/ok.wav")});
        Form1 form(env.services);
        form.Frame1->Text5->setText(env.path("day.lst"));
        env.clock->advanceTo(QDateTime(Monday, QTime(9, 2)));
        const QStringList first = between(env.timeline, "09:00:00", "09:00:59");
        QVERIFY(first.contains("09:00:04 mci stop"));
        QVERIFY(env.timeline.contains("09:01:01 mci file=/s/ok.wav"));
        QVERIFY(env.timeline.contains("09:01:04 mci stop"));
    }
};

QTEST_MAIN(TestSchoolDay)
#include "tst_schoolday.moc"
