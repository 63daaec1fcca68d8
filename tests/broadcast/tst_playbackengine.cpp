// The playback engine and manual control on the whole main window, with fake players.
#include "app/form1.h"
#include "broadcast/mcicontrol.h"
#include "broadcast/playbackengine.h"
#include "editor/weekdaypanel.h"
#include "support/listfiles.h"
#include "support/testenv.h"
#include "ui/flexgrid.h"

#include <QtTest>

namespace {
const QDate Monday(2026, 12, 7);
const QString Sp10 = QString(10, QChar(0x3000));
const QString Sp14 = QString(14, QChar(0x3000));
}  // namespace

class TestPlaybackEngine : public QObject {
    Q_OBJECT

    struct Rig {
        TestEnv env;
        std::unique_ptr<Form1> form;
        Rig(const QTime &start, const QList<ScheduleItem> &items) : env(QDateTime(Monday, start)) {
            writeList(env.path("monday.lst"), items);
            form = std::make_unique<Form1>(env.services);
            form->Frame1->Text5->setText(env.path("monday.lst"));
            form->show();
        }
        void runTo(const QTime &t) { env.clock->advanceTo(QDateTime(Monday, t)); }
        FlexGrid &grid() { return *form->MSFlexGrid1; }
        void clickRow(int row) {
            const QRect r = grid().visualRect(grid().cells()->index(row - 1, 2));
            QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, r.center());
        }
        void doubleClickRow(int row) {
            const QRect r = grid().visualRect(grid().cells()->index(row - 1, 2));
            QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, r.center());
            QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, r.center());
        }
    };

private slots:
    void wavItemPlaysAndStopsAfterItsLength() {
        Rig rig(QTime(7, 59, 50), {item("08:00:00", "上课", "00:00:30", "/s/bell.wav")});
        rig.runTo(QTime(8, 0, 0));
        QVERIFY(rig.env.mci->log.isEmpty());
        rig.runTo(QTime(8, 0, 1));
        QCOMPARE(rig.env.mci->log,
                 QStringList({"stop", "close", "file=/s/bell.wav", "open", "type=WaveAudio", "play"}));
        QCOMPARE(rig.env.mp3->log, QStringList({"Stop", "Stop"}));  // the tick's and the engine's
        QVERIFY(!rig.form->Timer4->isEnabled());
        QVERIFY(rig.form->Timer5->isEnabled());
        QVERIFY(rig.form->Timer11->isEnabled());
        QVERIFY(!rig.form->Command21->isVisibleTo(rig.form.get()));
        rig.env.mci->log.clear();
        rig.runTo(QTime(8, 0, 31));
        QVERIFY(rig.env.mci->log.isEmpty());
        rig.runTo(QTime(8, 0, 32));
        QCOMPARE(rig.env.mci->log, QStringList({"stop", "close"}));
        QVERIFY(!rig.form->Timer5->isEnabled());
        QCOMPARE(rig.form->playback.PlayElapsed, 0);
        rig.runTo(QTime(9, 0, 0));
        QCOMPARE(rig.env.mci->log, QStringList({"stop", "close"}));
    }

    // The mixer sends from a thread of its own: the bell waits for the volume to reach the card.
    void theVolumeReachesTheCardBeforeTheBell() {
        Rig rig(QTime(7, 59, 50), {item("08:00:00", "上课", "00:00:30", "/s/bell.wav")});
        int settledAtVolume = -1, settledAtPlay = -1;
        rig.env.mixer->onSpeaker = [&](long) { settledAtVolume = rig.env.mixer->settleCalls; };
        rig.env.mci->onRecord = [&](const QString &e) {
            if (e == QLatin1String("mci play"))
                settledAtPlay = rig.env.mixer->settleCalls;
        };
        rig.runTo(QTime(8, 0, 1));
        QVERIFY(settledAtVolume >= 0);
        QCOMPARE(settledAtPlay, settledAtVolume + 1);
    }

    void midiToTheEndIsNeverStopped() {
        Rig rig(QTime(7, 59, 50), {item("08:00:00", "歌", QStringLiteral("播完"), "/s/song.MID")});
        rig.runTo(QTime(8, 0, 1));
        QVERIFY(rig.env.mci->log.contains("type=Sequencer"));
        rig.runTo(QTime(8, 0, 2));
        QVERIFY(!rig.form->Timer5->isEnabled());
        rig.runTo(QTime(8, 30, 0));
        QCOMPARE(rig.env.mci->log.count("stop"), 1);
    }

    void otherTypesGetNoDeviceType() {
        Rig rig(QTime(7, 59, 50), {item("08:00:00", "x", "00:00:05", "/s/a.ogg")});
        rig.runTo(QTime(8, 0, 1));
        QCOMPARE(rig.env.mci->log, QStringList({"stop", "close", "file=/s/a.ogg", "open", "play"}));
    }

    void mp3ItemReplacesARandomSong() {
        Rig rig(QTime(7, 59, 50), {item("08:00:00", "广播", "00:00:10", "/s/news.mp3")});
        // A random song plays through the MP3 button.
        rig.form->playback.CurrentFile = "/s/random.mp3";
        rig.form->Command21->show();
        rig.form->Command21->click();
        QCOMPARE(rig.form->Command21->text(), QStringLiteral("停止"));
        rig.env.mp3->log.clear();
        rig.runTo(QTime(7, 59, 56));
        QCOMPARE(rig.env.mp3->log, QStringList{"Stop"});  // the tick silences it at once
        rig.runTo(QTime(8, 0, 1));
        QCOMPARE(rig.env.mp3->log, QStringList({"Stop", "Stop"}));  // Timer4 through the button
        QCOMPARE(rig.form->Command21->text(), QStringLiteral("播放"));
        QVERIFY(rig.form->Command21->isVisibleTo(rig.form.get()));
        QVERIFY(rig.env.mci->log.isEmpty());  // the MCI player is not touched
        rig.runTo(QTime(8, 0, 2));
        QCOMPARE(rig.env.mp3->log.mid(2), QStringList({"Open=/s/news.mp3", "Play"}));
        QCOMPARE(rig.form->Command21->text(), QStringLiteral("停止"));
        QVERIFY(!rig.form->Timer10->isEnabled());
        rig.env.mp3->units = 205400;  // 3 min 25.4 s
        emit rig.env.mp3->PlaybackStarted(0);
        QCOMPARE(rig.form->Label27->text(),
                 QStringLiteral("开播时间：8:00:00　歌曲长度：0:03:25　播放时间：0:00:10") + Sp10);
        QCOMPARE(rig.form->playback.PlayerBusy, 1);
        rig.form->Label27->setText("x");
        emit rig.env.mp3->PlaybackStarted(0);
        QCOMPARE(rig.form->Label27->text(), QStringLiteral("x"));  // shown once per start
        rig.env.mp3->log.clear();
        rig.runTo(QTime(8, 0, 11));
        QVERIFY(rig.env.mp3->log.isEmpty());
        rig.runTo(QTime(8, 0, 12));  // the eleventh tick of the length counter
        QCOMPARE(rig.env.mp3->log, QStringList{"Stop"});
        QCOMPARE(rig.form->Command21->text(), QStringLiteral("停止"));
        emit rig.env.mp3->PlaybackEnded();
        QCOMPARE(rig.form->playback.PlayerBusy, 0);
    }

    void mp3ItemLeavesARandomMidiAlone() {
        Rig rig(QTime(7, 59, 50), {item("08:00:00", "广播", QStringLiteral("播完"), "/s/news.mp3")});
        rig.runTo(QTime(8, 0, 2));
        QVERIFY(rig.env.mci->log.isEmpty());
    }

    void songLengthTexts_data() {
        QTest::addColumn<double>("ms");
        QTest::addColumn<QString>("shown");
        QTest::newRow("3:25.4") << 205400.0 << "0:03:25";
        QTest::newRow("half to even, down") << 2500.0 << "0:00:02";
        QTest::newRow("half to even, up") << 3500.0 << "0:00:04";
        QTest::newRow("59.6 s rounds into the same minute") << 59600.0 << "0:00:00";
        QTest::newRow("an hour and more shows hours") << 3725000.0 << "1:02:05";
    }
    void songLengthTexts() {
        QFETCH(double, ms);
        QFETCH(QString, shown);
        Rig rig(QTime(7, 59, 50), {item("08:00:00", "a", QStringLiteral("播完"), "/s/a.mp3")});
        rig.runTo(QTime(8, 0, 2));
        rig.env.mp3->units = ms;
        emit rig.env.mp3->PlaybackStarted(0);
        QCOMPARE(rig.form->Label27->text(),
                 "开播时间：8:00:00　歌曲长度：" + shown + QStringLiteral("　播放时间：播完") + Sp14);
    }

    void playerNotificationsSetTheBusyFlag() {
        Rig rig(QTime(9, 0), {});
        emit rig.env.mci->MciPlayPressed(0);
        QCOMPARE(rig.form->playback.PlayerBusy, 1);
        emit rig.env.mci->MciDone(1);
        QCOMPARE(rig.form->playback.PlayerBusy, 0);
        rig.form->MMControl1->PlayButton->click();  // the player's own play button
        QCOMPARE(rig.form->playback.PlayerBusy, 1);
        QCOMPARE(rig.env.mci->log, QStringList{"play"});
    }

    void clickPreparesTheRowsFile() {
        Rig rig(QTime(9, 0),
                {item("08:00:00", "a", "00:00:30", "/s/a.wav"), item("10:00:00", "b", "00:00:30", "/s/b.MP3"),
                 item("11:00:00", "c", "00:00:30", "/s/c.mid")});
        rig.runTo(QTime(9, 0, 1));
        rig.clickRow(1);
        QCOMPARE(rig.env.mci->log, QStringList({"stop", "close", "type=WaveAudio", "file=/s/a.wav", "open"}));
        QCOMPARE(rig.form->Label19->text(), QStringLiteral("/s/a.wav"));
        QCOMPARE(rig.form->Label26->text(), "播放文件：/s/a.wav" + Sp10);
        QCOMPARE(rig.form->Command19->text(), QStringLiteral("停播"));
        QVERIFY(!rig.form->Command21->isVisibleTo(rig.form.get()));
        rig.env.mci->log.clear();
        rig.clickRow(2);
        QCOMPARE(rig.env.mci->log, QStringList({"stop", "close", "file=/s/b.MP3", "open"}));
        QVERIFY(rig.form->Command21->isVisibleTo(rig.form.get()));
        QCOMPARE(rig.form->playback.CurrentItem, 2);
        QCOMPARE(rig.env.mp3->log.last(), QStringLiteral("Stop"));
        // The prepared MP3 plays by hand, to its end: no length counter.
        rig.form->Command21->click();
        QCOMPARE(rig.env.mp3->log.mid(rig.env.mp3->log.size() - 2), QStringList({"Open=/s/b.MP3", "Play"}));
        QVERIFY(!rig.form->Timer5->isEnabled());
    }

    void aFilePlayedByHandPlaysToItsEnd() {
        // A scheduled item's play length must not cut the file the operator started after it.
        Rig rig(QTime(7, 59, 50),
                {item("08:00:00", "a", "00:00:30", "/s/a.wav"), item("09:00:00", "b", "播完", "/s/b.wav")});
        rig.runTo(QTime(8, 0, 10));
        QVERIFY(rig.form->Timer5->isEnabled());
        rig.clickRow(2);
        rig.form->MMControl1->PlayButton->click();
        rig.env.mci->log.clear();
        rig.runTo(QTime(8, 1, 0));
        QCOMPARE(rig.env.mci->log, QStringList());
        QVERIFY(!rig.form->Timer5->isEnabled());
    }

    // A row whose file neither player takes prepares nothing to play by hand: the timed MP3
    // item sounding goes on, and its play length still stops it.
    void clickOnAnUnplayableRowLeavesTheTimedItemItsLength() {
        Rig rig(QTime(7, 59, 50),
                {item("08:00:00", "广播", "00:00:10", "/s/news.mp3"), item("09:00:00", "x", "00:00:30", "/s/x.ogg")});
        rig.runTo(QTime(8, 0, 4));
        rig.env.mp3->log.clear();
        rig.clickRow(2);
        QVERIFY(rig.form->Timer5->isEnabled());
        rig.runTo(QTime(8, 0, 11));
        QVERIFY(rig.env.mp3->log.isEmpty());
        rig.runTo(QTime(8, 0, 12));
        QCOMPARE(rig.env.mp3->log, QStringList{"Stop"});
        QVERIFY(!rig.form->Timer5->isEnabled());
    }

    void switchingItemsOffAndOn() {
        Rig rig(QTime(9, 59, 50), {item("10:00:00", "a", "00:00:30", "/s/a.wav")});
        rig.runTo(QTime(9, 59, 51));
        rig.clickRow(1);
        rig.form->Command19->click();
        QCOMPARE(rig.grid().TextMatrix(1, 0), QStringLiteral("√"));
        QCOMPARE(rig.form->Command19->text(), QStringLiteral("恢复"));
        rig.runTo(QTime(9, 59, 56));
        QCOMPARE(rig.env.beeps, 0);  // switched off: skipped
        rig.runTo(QTime(9, 59, 57));
        rig.doubleClickRow(1);  // on again three seconds before its time
        QCOMPARE(rig.grid().TextMatrix(1, 0), QString());
        QCOMPARE(rig.form->Command19->text(), QStringLiteral("停播"));
        rig.runTo(QTime(9, 59, 58));
        QCOMPARE(rig.env.beeps, 1);
    }

    // "停播"/"恢复" brings the row to the top of the grid; a double click leaves it where it is.
    void switchingOffScrollsTheRowToTheTop() {
        QList<ScheduleItem> items;
        for (int i = 0; i < 30; ++i)
            items << item(QStringLiteral("10:%1:00").arg(i, 2, 10, QChar('0')), "x", "00:00:30", "/s/a.wav");
        Rig rig(QTime(9, 0), items);
        rig.runTo(QTime(9, 0, 1));
        QCOMPARE(rig.grid().TopRow(), 1);
        rig.doubleClickRow(3);
        QCOMPARE(rig.grid().TopRow(), 1);
        rig.form->Command19->click();
        QCOMPARE(rig.grid().TextMatrix(3, 0), QString());  // on again after the double click's "停播"
        QCOMPARE(rig.grid().TopRow(), 3);
    }

    void switchedOnAtItsTimeIsNotStartedAgain() {
        Rig rig(QTime(9, 59, 50), {item("10:00:00", "a", "00:00:30", "/s/a.wav")});
        rig.runTo(QTime(9, 59, 56));
        rig.runTo(QTime(10, 0, 0));
        rig.clickRow(1);
        QCOMPARE(rig.form->Command19->text(), QStringLiteral("恢复"));
        rig.form->Command19->click();
        rig.runTo(QTime(10, 5, 0));
        QCOMPARE(rig.env.beeps, 1);
    }

    void pathStripWhileTheButtonIsHeld() {
        Rig rig(QTime(9, 0), {item("10:00:00", "a", "00:00:30", "/s/a.wav")});
        rig.runTo(QTime(9, 0, 1));
        const QPoint at = rig.grid().visualRect(rig.grid().cells()->index(0, 1)).center();
        QTest::mousePress(rig.grid().viewport(), Qt::LeftButton, {}, at);
        QVERIFY(rig.form->Picture1->isVisible());
        QTest::mouseRelease(rig.grid().viewport(), Qt::LeftButton, {}, at);
        QVERIFY(!rig.form->Picture1->isVisible());
        rig.form->IdleTicks = 50;
        QMouseEvent move(QEvent::MouseMove, at, rig.grid().viewport()->mapToGlobal(at), Qt::NoButton, {}, {});
        QCoreApplication::sendEvent(rig.grid().viewport(), &move);
        QCOMPARE(rig.form->IdleTicks, 0);
    }

    void clickOnAnEmptyListDoesNothing() {
        Rig rig(QTime(9, 0), {});
        rig.runTo(QTime(9, 0, 1));
        QTest::mouseClick(rig.grid().viewport(), Qt::LeftButton, {}, QPoint(20, 10));
        rig.form->Command19->click();
        QVERIFY(rig.env.mci->log.isEmpty());
        QCOMPARE(rig.form->Command19->text(), QStringLiteral("停播"));
    }
};

QTEST_MAIN(TestPlaybackEngine)
#include "tst_playbackengine.moc"
