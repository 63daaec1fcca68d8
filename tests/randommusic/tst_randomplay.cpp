// Random music on the whole main window and the simulated clock: the window of a group, the
// libraries' volumes, an MP3 pick, and a bell that plays out in the middle of the music.
#include "app/form1.h"
#include "broadcast/player_gst.h"
#include "editor/weekdaypanel.h"
#include "randommusic/libraryfiles.h"
#include "randommusic/musicrules.h"
#include "support/listfiles.h"
#include "support/testenv.h"
#include "ui/slider.h"
#include "volume/form2.h"

#include <QtTest>

namespace {

const QDate Monday(2026, 12, 7);

int hms(int h, int m, int s) { return h * 3600 + m * 60 + s; }

void writeLibrary(const TestEnv &env, int n, const std::array<PlayGroup, 4> &groups, const QStringList &songs) {
    QFile sjbf(env.path(QStringLiteral("Sjbf%1.dat").arg(n)));
    QVERIFY(sjbf.open(QIODevice::WriteOnly));
    sjbf.write(libraryfiles::groupSettingsBytes(groups));
    QFile sjFile(env.path(QStringLiteral("SjFile%1.dat").arg(n)));
    QVERIFY(sjFile.open(QIODevice::WriteOnly));
    sjFile.write(libraryfiles::bytesFromSongs(songs));
}

PlayGroup monday(int start, int stop) { return PlayGroup{start, stop, {1, 0, 0, 0, 0, 0, 0}}; }

QStringList between(const QStringList &timeline, const QString &from, const QString &to) {
    QStringList out;
    for (const QString &e : timeline)
        if (e.left(8) >= from && e.left(8) <= to)
            out << e;
    return out;
}

// The start of a WAV song or bell at the given time and volume.
QStringList wavStart(const QString &at, int volume, const QString &file) {
    QStringList steps = {"volume " + QString::number(volume),
                         "mci stop",
                         "mci close",
                         "mp3 Stop",
                         "mci file=" + file,
                         "mci open",
                         "mci type=WaveAudio",
                         "mci play"};
    for (QString &s : steps)
        s.prepend(at + QLatin1Char(' '));
    return steps;
}

}  // namespace

class TestRandomPlay : public QObject {
    Q_OBJECT

private slots:
    // 08:00:00 to 08:30:00 on Mondays; the check runs every six seconds from 07:59:00, so one
    // falls on the start exactly and one on the stop. A song holds the next checks back
    // until its player reports it done.
    void aWindowOnMonday() {
        TestEnv env(QDateTime(Monday, QTime(7, 59)));
        env.mci->reportsDone = true;
        writeLibrary(env, 0, {monday(hms(8, 0, 0), hms(8, 30, 0))}, {"/m/a.wav", "/m/b.wav", "/m/c.wav"});
        Form1 form(env.services);
        form.form2().Slider2[0]->setValue(16383);  // (32767 - 16383) * 2 = 32768
        env.timeline.clear();

        env.clock->advanceTo(QDateTime(Monday, QTime(8, 0, 0)));
        QVERIFY(env.timeline.isEmpty());
        env.clock->advanceTo(QDateTime(Monday, QTime(8, 0, 6)));
        const QString first = env.mci->fileName();
        QCOMPARE(env.timeline, wavStart("08:00:06", 32768, first));
        COMPARE_TURNING(form.Label26->text(), musicrules::playingText(first));
        QCOMPARE(form.playback.PlayerBusy, 1);
        QCOMPARE(form.libraries.PlayHistoryCount, 1);

        env.clock->advanceTo(QDateTime(Monday, QTime(8, 0, 20)));  // two checks while it plays
        QCOMPARE(env.timeline.size(), 8);
        QCOMPARE(form.libraries.PlayHistoryCount, 1);
        env.mci->finishPlaying();
        QCOMPARE(form.playback.PlayerBusy, 0);
        env.clock->advanceTo(QDateTime(Monday, QTime(8, 0, 24)));
        QVERIFY(env.mci->fileName() != first);  // the history keeps the last pick away
        QCOMPARE(between(env.timeline, "08:00:24", "08:00:24").size(), 8);

        // Songs of three seconds to the end of the window.
        while (env.clock->now().time() < QTime(8, 29, 57)) {
            env.clock->advance(3000);
            env.mci->finishPlaying();
            env.clock->advance(3000);
        }
        QVERIFY(between(env.timeline, "08:29:54", "08:29:54").contains("08:29:54 mci play"));
        env.mci->finishPlaying();
        env.clock->advanceTo(QDateTime(Monday, QTime(9, 0)));
        QVERIFY(between(env.timeline, "08:29:55", "09:00:00").isEmpty());
    }

    // Every library with an open group starts a song in the same check, library 0 first, each
    // at its open group's volume; the picks share one history counter.
    void everyOpenLibraryInOneCheck() {
        TestEnv env(QDateTime(Monday, QTime(9, 59, 55)));
        const PlayGroup open = monday(hms(9, 0, 0), hms(11, 0, 0)), closed = monday(hms(12, 0, 0), hms(13, 0, 0));
        writeLibrary(env, 0, {open, closed, open, closed}, {"/0/a.wav", "/0/b.wav", "/0/c.wav"});
        writeLibrary(env, 1, {closed, open, closed, open}, {"/1/a.wav", "/1/b.wav", "/1/c.wav"});
        writeLibrary(env, 2, {closed, closed, closed, open}, {"/2/a.wav", "/2/b.wav", "/2/c.wav"});
        Form1 form(env.services);
        for (int k = 0; k < 12; ++k)
            form.form2().Slider2[k]->setValue(1000 * (k + 1));
        env.timeline.clear();
        env.clock->advance(6000);  // the first check, six seconds after start-up
        const QStringList volumes = env.timeline.filter(" volume ");
        QCOMPARE(volumes, QStringList({"10:00:01 volume 63534", "10:00:01 volume 53534", "10:00:01 volume 41534"}));
        const QStringList files = env.timeline.filter("mci file=");
        QCOMPARE(files.size(), 3);
        for (int n = 0; n < 3; ++n)
            QVERIFY(files[n].contains(QStringLiteral("file=/%1/").arg(n)));
        // Library 1's pick took the shared count to 2 = 3 − 1 and cleared its own history;
        // library 2's pick then went to position 1 again, where library 0's stays.
        QCOMPARE(form.libraries.PlayHistoryCount, 1);
        QVERIFY(form.libraries.library[0].PlayHistory[1] > 0);
        QCOMPARE(form.libraries.library[1].PlayHistory[2], 0);
        QVERIFY(form.libraries.library[2].PlayHistory[1] > 0);
    }

    void anMp3PickWhileCommand21ReadsStop() {
        TestEnv env(QDateTime(Monday, QTime(9, 59, 55)));
        writeLibrary(env, 0, {monday(hms(9, 0, 0), hms(11, 0, 0))}, {"/m/a.Mp3"});
        Form1 form(env.services);
        form.Command21->setPlaying(true);  // the last MP3 ended by itself
        env.timeline.clear();
        env.clock->advance(6000);
        QCOMPARE(env.timeline, QStringList({"10:00:01 mp3 Stop", "10:00:01 volume 65534"}));
        QCOMPARE(form.Command21->text(), QStringLiteral("播放"));
        QVERIFY(form.Command21->isVisibleTo(&form));
        env.clock->advance(1000);
        QCOMPARE(env.timeline.mid(2), QStringList({"10:00:02 mp3 Open=/m/a.Mp3", "10:00:02 mp3 Play"}));
        QCOMPARE(form.Command21->text(), QStringLiteral("停止"));
        QVERIFY(env.mci->log.isEmpty());
    }

    // Library 0's MP3 pick waits a second for its start; a WAV (or MIDI) pick of a later library
    // in the same check takes the players at once and calls that start off, so its file is
    // not handed to the MP3 player a second later and the song is heard once.
    void aWavPickCallsOffAnMp3StartOfTheSameCheck() {
        TestEnv env(QDateTime(Monday, QTime(9, 59, 55)));
        env.mci->reportsDone = true;
        writeLibrary(env, 0, {monday(hms(9, 0, 0), hms(11, 0, 0))}, {"/0/a.mp3"});
        writeLibrary(env, 1, {monday(hms(9, 0, 0), hms(11, 0, 0))}, {"/1/b.wav"});
        Form1 form(env.services);
        env.timeline.clear();
        env.clock->advance(6000);
        QCOMPARE(env.mci->playingFile(), QStringLiteral("/1/b.wav"));
        env.clock->advance(3000);
        QCOMPARE(env.timeline.filter(" mp3 "), QStringList{"10:00:01 mp3 Stop"});  // the WAV start's
        QVERIFY(!form.Command21->isVisibleTo(&form));
        QVERIFY(between(env.timeline, "10:00:02", "10:00:04").isEmpty());
    }

    // A bell due in an open window: the music stops at the bell, the bell plays out with no
    // song over it, and the music comes back at the first check after it.
    void aBellInTheMiddleOfTheMusic() {
        TestEnv env(QDateTime(Monday, QTime(8, 0)));
        env.mci->reportsDone = true;
        writeLibrary(env, 0, {monday(hms(7, 0, 0), hms(9, 0, 0))}, {"/m/song.wav"});
        writeList(env.path("monday.lst"), {item("08:01:00", "铃", QStringLiteral("播完"), "/bells/bell.wav")});
        Form1 form(env.services);
        form.Frame1->Text5->setText(env.path("monday.lst"));
        form.form2().Slider1->setValue(8191);      // bell: 49152
        form.form2().Slider2[0]->setValue(24575);  // music: 16384
        env.timeline.clear();

        env.clock->advanceTo(QDateTime(Monday, QTime(8, 0, 6)));
        QVERIFY(env.mci->playing());  // the song, for longer than the bell is away
        env.clock->advanceTo(QDateTime(Monday, QTime(8, 1, 10)));
        QCOMPARE(between(env.timeline, "08:00:07", "08:01:10"),
                 QStringList{"08:00:56 mp3 Stop"} + wavStart("08:01:01", 49152, "/bells/bell.wav"));
        env.mci->finishPlaying();  // the ten-second bell has ended
        env.clock->advanceTo(QDateTime(Monday, QTime(8, 1, 13)));
        QCOMPARE(between(env.timeline, "08:01:11", "08:01:13"), wavStart("08:01:13", 16384, "/m/song.wav"));
    }

    // An MP3 item due while an announcement still sounds plays beside it; its end leaves the
    // announcement holding the players, and no song starts over it.
    void anMp3EndingBesideAnAnnouncement() {
        TestEnv env(QDateTime(Monday, QTime(8, 0, 50)));
        env.mci->reportsDone = true;
        env.mp3->reportsDone = true;
        writeLibrary(env, 0, {monday(hms(8, 1, 5), hms(9, 0, 0))}, {"/m/song.wav"});
        writeList(env.path("monday.lst"), {item("08:01:00", "通知", QStringLiteral("播完"), "/a/news.wav"),
                                           item("08:01:20", "片头", QStringLiteral("播完"), "/a/jingle.mp3")});
        Form1 form(env.services);
        form.Frame1->Text5->setText(env.path("monday.lst"));
        env.clock->advanceTo(QDateTime(Monday, QTime(8, 1, 25)));
        env.mp3->reportStarted();
        QCOMPARE(env.mci->playingFile(), QStringLiteral("/a/news.wav"));
        QCOMPARE(env.mp3->playingFile(), QStringLiteral("/a/jingle.mp3"));
        env.mp3->finishPlaying();  // the jingle has ended, the announcement goes on
        env.clock->advanceTo(QDateTime(Monday, QTime(8, 1, 45)));
        QCOMPARE(env.mci->playingFile(), QStringLiteral("/a/news.wav"));
        QCOMPARE(form.playback.PlayerBusy, 1);
        env.mci->finishPlaying();
        env.clock->advance(6000);
        QCOMPARE(env.mci->playingFile(), QStringLiteral("/m/song.wav"));
    }

    // The real player cannot play a song that is missing; it says so, and the next check
    // picks again instead of waiting for ever.
    void aMissingSongIsPassedOver() {
        TestEnv env(QDateTime(Monday, QTime(9, 59, 55)));
        env.services.mci = makeGstMciPlayer(QStringLiteral("fakesink"));
        writeLibrary(env, 0, {monday(hms(9, 0, 0), hms(11, 0, 0))}, {"/nowhere/song.wav"});
        Form1 form(env.services);
        env.clock->advance(6000);
        QCOMPARE(form.playback.PlayerBusy, 1);
        QTRY_COMPARE(form.playback.PlayerBusy, 0);
        form.Label26->clear();
        env.clock->advance(6000);
        COMPARE_TURNING(form.Label26->text(), musicrules::playingText("/nowhere/song.wav"));
    }
};

QTEST_MAIN(TestRandomPlay)
#include "tst_randomplay.moc"
