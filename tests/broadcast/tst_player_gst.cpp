// Tests of the GStreamer players: real WAV, MIDI and MP3 playback into a clock-synchronised fakesink.
#include "broadcast/player_gst.h"
#include "support/testsounds.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {
const QString Sink = QStringLiteral("fakesink");
constexpr int Timeout = 8000;
}  // namespace

class TestPlayerGst : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // The usual sequence the program sends to play a file.
    static void mciPlay(GstMciPlayer &p, const QString &file, const QString &type) {
        p.setCommand(QStringLiteral("stop"));
        p.setCommand(QStringLiteral("close"));
        p.setFileName(file);
        p.setCommand(QStringLiteral("open"));
        p.setDeviceType(type);
        p.setCommand(QStringLiteral("play"));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(TestSounds::writeWav(path("bell.wav"), 500));
        QVERIFY(TestSounds::writeWav(path("long.wav"), 1000));
        QVERIFY(TestSounds::writeWav(path(QStringLiteral("上课铃.wav")), 500));
        QVERIFY(TestSounds::writeMidi(path("tune.mid"), 500));
        // 1.5 s keeps the encoder's start delay and last-frame padding (about 50 ms) within 5 %.
        QVERIFY(TestSounds::writeMp3(path("song.mp3"), 1500));
        QVERIFY(TestSounds::writeGarbage(path("garbage.wav")));
        QVERIFY(TestSounds::writeGarbage(path("garbage.mp3")));
        QVERIFY(TestSounds::writeTruncatedWav(path("truncated.wav")));
        QVERIFY(TestSounds::writeWav(path("short.wav"), 100));
        QVERIFY(TestSounds::writeMidi(path("short.mid"), 100));
        QVERIFY(TestSounds::writeMp3(path("short.mp3"), 200));
        QFile empty(path("empty.wav"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
    }

    void mciPlaysToTheEnd_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("lengthMs");
        QTest::newRow("wav") << "bell.wav"
                             << "WaveAudio" << 500;
        QTest::newRow("midi") << "tune.mid"
                              << "Sequencer" << 500;
        QTest::newRow("wav with a Chinese name") << QStringLiteral("上课铃.wav") << "WaveAudio" << 500;
    }
    void mciPlaysToTheEnd() {
        QFETCH(QString, file);
        QFETCH(QString, type);
        QFETCH(int, lengthMs);
        if (type == "Sequencer")
            QVERIFY2(!GstPlaybin::soundFontPath().isEmpty(), "no General MIDI soundfont installed");
        GstMciPlayer p(Sink);
        QSignalSpy done(&p, &MciPlayer::MciDone);
        QSignalSpy pressed(&p, &MciPlayer::MciPlayPressed);
        std::atomic<bool> sounded{false};
        p.playbin().armFirstBufferObserver([&] { sounded = true; });

        QElapsedTimer t;
        t.start();
        mciPlay(p, path(file), type);
        QCOMPARE(done.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, Timeout);
        QVERIFY2(t.elapsed() >= lengthMs * 8 / 10, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(done.at(0).at(0).toInt(), int(GstMciPlayer::NotifySuccessful));
        QVERIFY(sounded);
        QCOMPARE(p.fileName(), path(file));
        QCOMPARE(p.deviceType(), type);

        // The file stays open and went back to its start: it plays again, the whole length.
        t.restart();
        p.setCommand(QStringLiteral("play"));
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, Timeout);
        QVERIFY2(t.elapsed() >= lengthMs * 8 / 10, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(done.at(1).at(0).toInt(), int(GstMciPlayer::NotifySuccessful));
        QCOMPARE(pressed.count(), 0);
    }

    // A player prepared for MIDI synthesises it with a soundfont loaded beforehand and keeps it loaded
    // from one file to the next, through a stop in the middle; other files still go through
    // playbin. A damaged MIDI file fails alone: the synthesiser is made afresh and MIDI plays on.
    void preparedPlayerPlaysMidiThroughItsSynthesiser() {
        QFile broken(path("broken.mid"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray("MThd\0\0\0\6") + QByteArray(200, '\x7f'));
        broken.close();
        GstMciPlayer p(Sink);
        p.prepare();      // at start-up: GStreamer alone
        p.prepareMidi();  // a MIDI item due: the synthesiser as well
        QTRY_VERIFY_WITH_TIMEOUT(p.playbin().midiSynthReady(), Timeout);
        QSignalSpy done(&p, &MciPlayer::MciDone);
        const QStringList files = {"tune.mid", "tune.mid", "bell.wav", "tune.mid", "broken.mid", "tune.mid"};
        for (int i = 0; i < files.size(); ++i) {
            if (files[i] == "broken.mid") {
                mciPlay(p, path(files[i]), "Sequencer");
                QVERIFY(p.playbin().loadedInSynth());
                QTRY_COMPARE_WITH_TIMEOUT(done.count(), i + 1, Timeout);
                QCOMPARE(done.last().at(0).toInt(), int(GstMciPlayer::NotifyFailure));
                QTRY_VERIFY_WITH_TIMEOUT(p.playbin().midiSynthReady(), Timeout);
                continue;
            }
            std::atomic<bool> sounded{false};
            p.playbin().armFirstBufferObserver([&] { sounded = true; });
            QElapsedTimer t;
            t.start();
            mciPlay(p, path(files[i]), files[i].endsWith("mid") ? "Sequencer" : "WaveAudio");
            QCOMPARE(p.playbin().loadedInSynth(), files[i].endsWith("mid"));
            if (i == 1) {  // cut short: the next file still plays
                QTRY_VERIFY_WITH_TIMEOUT(sounded, Timeout);
                p.setCommand(QStringLiteral("stop"));
                QCOMPARE(done.count(), i + 1);
                QCOMPARE(done.last().at(0).toInt(), int(GstMciPlayer::NotifyAborted));
                continue;
            }
            QTRY_COMPARE_WITH_TIMEOUT(done.count(), i + 1, Timeout);
            QCOMPARE(done.last().at(0).toInt(), int(GstMciPlayer::NotifySuccessful));
            QVERIFY(sounded);
            QVERIFY2(t.elapsed() >= 400, qPrintable(files[i] + ": " + QString::number(t.elapsed())));
        }
        QVERIFY(p.playbin().midiSynthReady());
    }

    // A notice crosses from GStreamer's threads to the UI thread, whether the event loop runs its
    // passes back to back (a busy program) or sleeps until an event wakes it (an idle one):
    // every play of many short ones, of each kind, must end with its notice, a failed one's too.
    void everyShortPlayEndsWithItsNotice() {
        QVERIFY2(!GstPlaybin::soundFontPath().isEmpty(), "no General MIDI soundfont installed");
        GstMciPlayer mci(Sink);
        GstMp3Player mp3(Sink);
        mci.prepareMidi();  // MIDI through the synthesiser's own pipeline and bus
        QTRY_VERIFY_WITH_TIMEOUT(mci.playbin().midiSynthReady(), Timeout);
        QSignalSpy done(&mci, &MciPlayer::MciDone);
        QSignalSpy ended(&mp3, &Mp3Player::PlaybackEnded);
        struct Play {
            const char *file;
            int code;  // the MciDone expected; 0 for the MP3 player
        };
        const Play plays[] = {{"short.wav", GstMciPlayer::NotifySuccessful},
                              {"short.mid", GstMciPlayer::NotifySuccessful},
                              {"garbage.wav", GstMciPlayer::NotifyFailure},
                              {"short.mp3", 0},
                              {"garbage.mp3", 0}};
        for (int round = 1; round <= 12; ++round) {
            for (const Play &play : plays) {
                QSignalSpy &notices = play.code ? done : ended;
                const qsizetype before = notices.count();
                const QByteArray file(play.file);
                if (play.code) {
                    mciPlay(mci, path(play.file), file.endsWith(".mid") ? "Sequencer" : "WaveAudio");
                } else {
                    mp3.Open(path(play.file), QString());
                    mp3.Play();
                }
                const auto pass = round % 2 ? QEventLoop::AllEvents : QEventLoop::WaitForMoreEvents;
                QTimer giveUp;  // wakes the loop, too, should the notice never come
                giveUp.setSingleShot(true);
                giveUp.start(3000);
                while (notices.count() == before && giveUp.isActive())
                    QCoreApplication::processEvents(pass);
                QVERIFY2(notices.count() == before + 1,
                         qPrintable(QStringLiteral("round %1: %2 never ended").arg(round).arg(play.file)));
                if (play.code)
                    QCOMPARE(done.last().at(0).toInt(), play.code);
                else
                    QCOMPARE(mp3.playFailure().isEmpty(), file.startsWith("short"));
            }
        }
    }

    void mciCutShort_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("replayCode");
        QTest::newRow("stop keeps the file") << "stop" << int(GstMciPlayer::NotifySuccessful);
        QTest::newRow("close releases it") << "close" << int(GstMciPlayer::NotifyFailure);
        QTest::newRow("Close at exit") << "Close" << int(GstMciPlayer::NotifyFailure);
        QTest::newRow("open takes the file again") << "open" << int(GstMciPlayer::NotifySuccessful);
    }
    void mciCutShort() {
        QFETCH(QString, command);
        QFETCH(int, replayCode);
        GstMciPlayer p(Sink);
        QSignalSpy done(&p, &MciPlayer::MciDone);
        mciPlay(p, path("long.wav"), "WaveAudio");
        QTRY_VERIFY_WITH_TIMEOUT(p.playbin().isPlaying(), Timeout);

        p.setCommand(command);
        QCOMPARE(done.count(), 1);  // at once, before the command returns
        QCOMPARE(done.at(0).at(0).toInt(), int(GstMciPlayer::NotifyAborted));
        QTest::qWait(1300);  // longer than the rest of the file: no late end is reported
        QCOMPARE(done.count(), 1);

        // Nothing plays now, so these are quiet.
        p.setCommand(QStringLiteral("stop"));
        p.setCommand(QStringLiteral("pause"));
        QCOMPARE(done.count(), 1);

        QElapsedTimer t;
        t.start();
        p.setCommand(QStringLiteral("play"));
        QCOMPARE(done.count(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, Timeout);
        QCOMPARE(done.at(1).at(0).toInt(), replayCode);
        if (replayCode == GstMciPlayer::NotifySuccessful)  // from the start, not where it stopped
            QVERIFY2(t.elapsed() >= 800, qPrintable(QString::number(t.elapsed())));
    }

    void mciPauseHoldsPlayback() {
        GstMciPlayer p(Sink);
        QSignalSpy done(&p, &MciPlayer::MciDone);
        QElapsedTimer t;
        t.start();
        mciPlay(p, path("bell.wav"), "WaveAudio");
        QTRY_VERIFY_WITH_TIMEOUT(p.playbin().isPlaying(), Timeout);
        p.setCommand(QStringLiteral("pause"));
        QTest::qWait(1000);
        QCOMPARE(done.count(), 0);
        p.setCommand(QStringLiteral("play"));
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, Timeout);
        QCOMPARE(done.at(0).at(0).toInt(), int(GstMciPlayer::NotifySuccessful));
        QVERIFY2(t.elapsed() >= 1400, qPrintable(QString::number(t.elapsed())));
    }

    void mciUnplayable_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("waitBeforePlay");
        QTest::newRow("missing file") << "nothere.wav" << true << 0;
        QTest::newRow("garbage, played at once") << "garbage.wav" << true << 0;
        QTest::newRow("garbage, played after its failure") << "garbage.wav" << true << 1000;
        QTest::newRow("empty file") << "empty.wav" << true << 0;
        QTest::newRow("a folder") << "." << true << 0;
        QTest::newRow("no file name") << "" << true << 0;
        QTest::newRow("never opened") << "bell.wav" << false << 0;
    }
    void mciUnplayable() {
        QFETCH(QString, file);
        QFETCH(bool, open);
        QFETCH(int, waitBeforePlay);
        GstMciPlayer p(Sink);
        QSignalSpy done(&p, &MciPlayer::MciDone);
        p.setFileName(file.isEmpty() ? QString() : path(file));
        if (open)
            p.setCommand(QStringLiteral("open"));
        p.setDeviceType(QStringLiteral("WaveAudio"));
        QTest::qWait(waitBeforePlay);
        QCOMPARE(done.count(), 0);  // a failed open alone is not a finished playback
        p.setCommand(QStringLiteral("play"));
        QCOMPARE(done.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, Timeout);
        QCOMPARE(done.at(0).at(0).toInt(), int(GstMciPlayer::NotifyFailure));
        p.setCommand(QStringLiteral("stop"));
        p.setCommand(QStringLiteral("close"));
        QTest::qWait(300);
        QCOMPARE(done.count(), 1);
    }

    // A header that promises more than the file holds: whatever the decoder makes of it, the
    // playback ends and says so exactly once.
    void mciTruncatedWavEnds() {
        GstMciPlayer p(Sink);
        QSignalSpy done(&p, &MciPlayer::MciDone);
        mciPlay(p, path("truncated.wav"), "WaveAudio");
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, Timeout);
        QTest::qWait(300);
        QCOMPARE(done.count(), 1);
    }

    // The missing output is found when the first file is opened, not when the player is made.
    void mciWithoutItsAudioOutput() {
        GstMciPlayer p(QStringLiteral("nosuchaudiosink"));
        QVERIFY(!p.playbin().isBuilt());
        QSignalSpy done(&p, &MciPlayer::MciDone);
        mciPlay(p, path("bell.wav"), "WaveAudio");
        QVERIFY(p.playbin().isBuilt());
        QVERIFY(!p.playbin().sinkReady());
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, Timeout);
        QCOMPARE(done.at(0).at(0).toInt(), int(GstMciPlayer::NotifyFailure));
    }

    // Start-up makes both players; GStreamer and the pipelines wait for the first file, and
    // the commands start-up and exit send before then do not bring them in.
    void pipelineIsMadeAtFirstOpen() {
        GstMciPlayer mci(Sink);
        GstMp3Player mp3(Sink);
        mci.setCommand(QStringLiteral("stop"));
        mci.setCommand(QStringLiteral("close"));
        mci.setFileName(path("bell.wav"));
        mci.setDeviceType(QStringLiteral("WaveAudio"));
        mp3.Stop();
        QVERIFY(!mci.playbin().isBuilt());
        QVERIFY(!mp3.playbin().isBuilt());
        QCOMPARE(mci.playbin().durationMs(), std::nullopt);

        QSignalSpy done(&mci, &MciPlayer::MciDone);
        mci.setCommand(QStringLiteral("open"));
        QVERIFY(mci.playbin().isBuilt());
        QVERIFY(mci.playbin().isLoaded());
        mci.setCommand(QStringLiteral("play"));
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, Timeout);
        QCOMPARE(done.at(0).at(0).toInt(), int(GstMciPlayer::NotifySuccessful));

        QSignalSpy ended(&mp3, &Mp3Player::PlaybackEnded);
        QCOMPARE(mp3.Open(path("song.mp3"), QString()), int(GstMp3Player::OpenOk));
        QVERIFY(mp3.playbin().isBuilt());
        mp3.Play();
        mp3.Stop();
        QCOMPARE(ended.count(), 1);
        mci.setCommand(QStringLiteral("Close"));
    }

    void mp3PlaysToTheEndWithItsDuration() {
        std::unique_ptr<Mp3Player> p = makeGstMp3Player(Sink);
        auto *gp = static_cast<GstMp3Player *>(p.get());
        QSignalSpy started(p.get(), &Mp3Player::PlaybackStarted);
        QSignalSpy ended(p.get(), &Mp3Player::PlaybackEnded);
        std::atomic<bool> sounded{false};
        gp->playbin().armFirstBufferObserver([&] { sounded = true; });

        QCOMPARE(p->Open(path("song.mp3"), QString()), 0);
        QElapsedTimer t;
        t.start();
        p->Play();
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, Timeout);
        QCOMPARE(ended.count(), 0);
        const double seconds = p->DurationUnits() * p->UnitMs() / 1000.0;
        QVERIFY2(qAbs(seconds - 1.5) <= 1.5 * 0.05, qPrintable(QString::number(seconds)));
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, Timeout);
        QVERIFY2(t.elapsed() >= 1200, qPrintable(QString::number(t.elapsed())));
        QVERIFY(sounded);
        QTest::qWait(200);
        QCOMPARE(started.count(), 1);
        QCOMPARE(ended.count(), 1);

        // Played again, it starts over and reports both notifications again.
        p->Play();
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 2, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, Timeout);
    }

    void mp3CutShort_data() {
        QTest::addColumn<bool>("byOpen");
        QTest::newRow("Stop") << false;
        QTest::newRow("Open of the next song") << true;
    }
    void mp3CutShort() {
        QFETCH(bool, byOpen);
        GstMp3Player p(Sink);
        QSignalSpy started(&p, &Mp3Player::PlaybackStarted);
        QSignalSpy ended(&p, &Mp3Player::PlaybackEnded);
        p.Stop();  // nothing plays: harmless and quiet
        QCOMPARE(ended.count(), 0);

        QCOMPARE(p.Open(path("song.mp3"), QString()), 0);
        p.Play();
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, Timeout);
        if (byOpen)
            QCOMPARE(p.Open(path("song.mp3"), QString()), 0);
        else
            p.Stop();
        QCOMPARE(ended.count(), 1);
        p.Stop();
        QTest::qWait(1700);  // past the song's end
        QCOMPARE(ended.count(), 1);
        QCOMPARE(started.count(), 1);
    }

    void mp3Unplayable_data() {
        QTest::addColumn<QString>("sink");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("status");
        QTest::newRow("missing file") << Sink << "nothere.mp3" << int(GstMp3Player::OpenNoFile);
        QTest::newRow("garbage") << Sink << "garbage.mp3" << int(GstMp3Player::OpenOk);
        QTest::newRow("empty file") << Sink << "empty.wav" << int(GstMp3Player::OpenOk);
        QTest::newRow("no audio output") << "nosuchaudiosink"
                                         << "song.mp3" << int(GstMp3Player::OpenNoOutput);
    }
    void mp3Unplayable() {
        QFETCH(QString, sink);
        QFETCH(QString, file);
        QFETCH(int, status);
        GstMp3Player p(sink);
        QSignalSpy started(&p, &Mp3Player::PlaybackStarted);
        QSignalSpy ended(&p, &Mp3Player::PlaybackEnded);
        QCOMPARE(p.Open(path(file), QString()), status);
        p.Play();
        QCOMPARE(ended.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, Timeout);
        p.Stop();
        QTest::qWait(300);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(started.count(), 0);
        QCOMPARE(p.DurationUnits(), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestPlayerGst)
#include "tst_player_gst.moc"
