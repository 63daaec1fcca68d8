// The real program on air: the main window with the GStreamer players and the ALSA mixer,
// playing into the PulseAudio null sink that scripts/test-pulse.sh starts, whose monitor
// the test records to hear when sound starts and stops.
#include "app/form1.h"
#include "broadcast/beep_gst.h"
#include "broadcast/player_gst.h"
#include "editor/weekdaypanel.h"
#include "randommusic/libraryfiles.h"
#include "support/fakes.h"
#include "support/listfiles.h"
#include "support/pactl.h"
#include "support/testsounds.h"
#include "ui/flexgrid.h"
#include "ui/slider.h"
#include "volume/form2.h"
#include "volume/mixer_alsa.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace {

const char *NullSink = "tollmere_null";

// Records the null sink's monitor as 8 kHz mono and keeps, per 50 ms, whether it was loud and
// how often it crossed zero, which tells a 440 Hz tone (44 crossings) from an 880 Hz one (88).
class MonitorRecorder {
public:
    bool start() {
        m_clock.start();
        m_process.start(QStringLiteral("parec"),
                        {QStringLiteral("-d"), QString::fromLatin1(NullSink) + QStringLiteral(".monitor"),
                         QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                         QStringLiteral("--rate=8000"), QStringLiteral("--latency-msec=20"), QStringLiteral("--raw")});
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { read(); });
        return m_process.waitForStarted(5000);
    }
    ~MonitorRecorder() {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
    qint64 now() const { return m_clock.elapsed(); }
    // The moments at which sound began after `from`, each after at least 50 ms of quiet.
    QList<qint64> soundsAfter(qint64 from) const {
        QList<qint64> starts;
        bool wasLoud = false;
        for (const Chunk &c : m_chunks) {
            if (c.at < from)
                continue;
            if (c.loud && !wasLoud)
                starts << c.at;
            wasLoud = c.loud;
        }
        return starts;
    }
    // The first moment after `from` (ms) at which sound was heard, or -1.
    qint64 soundStartsAfter(qint64 from) const {
        for (const Chunk &c : m_chunks)
            if (c.at >= from && c.loud)
                return c.at;
        return -1;
    }
    // The first moment after `from` at which three chunks in a row are of the kind ('L', 'H').
    qint64 toneStartsAfter(QChar kind, qint64 from) const {
        int run = 0;
        for (int i = 0; i < m_chunks.size(); ++i) {
            if (m_chunks[i].at < from)
                continue;
            run = kindOf(m_chunks[i]) == kind ? run + 1 : 0;
            if (run == 3)
                return m_chunks[i - 2].at;
        }
        return -1;
    }
    // What sounded, a character per 50 ms from `from` to `to`: '-' quiet, 'L' a 440 Hz tone,
    // 'H' an 880 Hz tone, '?' anything else (a change from one to the other).
    QString trace(qint64 from, qint64 to) const {
        QString t;
        for (const Chunk &c : m_chunks)
            if (c.at >= from && c.at <= to)
                t += kindOf(c);
        return t;
    }
    // The first moment after `from` at which a run of quiet began that lasted 300 ms.
    qint64 silenceStartsAfter(qint64 from) const {
        qint64 quietSince = -1;
        for (const Chunk &c : m_chunks) {
            if (c.at < from)
                continue;
            if (c.loud) {
                quietSince = -1;
            } else {
                if (quietSince < 0)
                    quietSince = c.at;
                if (c.at - quietSince >= 300)
                    return quietSince;
            }
        }
        return -1;
    }

private:
    void read() {
        m_pending += m_process.readAllStandardOutput();
        constexpr int chunkBytes = 8000 / 20 * 2;  // 50 ms
        while (m_pending.size() >= chunkBytes) {
            const auto *s = reinterpret_cast<const qint16 *>(m_pending.constData());
            double sum = 0;
            int crossings = 0;
            for (int i = 0; i < chunkBytes / 2; ++i) {
                sum += double(s[i]) * s[i];
                if (i > 0 && (s[i - 1] < 0) != (s[i] < 0))
                    ++crossings;
            }
            const double rms = std::sqrt(sum / (chunkBytes / 2));
            m_chunks.append({now(), rms > 8, crossings});  // the null sink is silent as exact zeros
            m_pending.remove(0, chunkBytes);
        }
    }

    QProcess m_process;
    QElapsedTimer m_clock;
    QByteArray m_pending;
    struct Chunk {
        qint64 at;
        bool loud;
        int crossings;
    };
    QList<Chunk> m_chunks;

    static QChar kindOf(const Chunk &c) {
        if (!c.loud)
            return QLatin1Char('-');
        if (c.crossings >= 34 && c.crossings <= 54)
            return QLatin1Char('L');
        if (c.crossings >= 78 && c.crossings <= 98)
            return QLatin1Char('H');
        return QLatin1Char('?');
    }
};

}  // namespace

class TestOnAir : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    // The real clock, players and mixer; messages are only recorded, and nothing shuts down.
    static Services onAirServices(const QString &appDir, FakeDialogs **shown) {
        Services services;
        services.clock = std::make_unique<RealClock>();
        services.mci = makeGstMciPlayer(QStringLiteral("pulsesink"));
        services.mp3 = makeGstMp3Player(QStringLiteral("pulsesink"));
        services.mixer = makeAlsaMixer();
        services.shutdown = std::make_unique<FakeShutdown>();
        auto dialogs = std::make_unique<FakeDialogs>();
        *shown = dialogs.get();
        services.dialogs = std::move(dialogs);
        services.beep = [] {};
        services.quit = [] {};
        services.appDir = appDir + QLatin1Char('/');
        return services;
    }

    static QString sinkVolume() { return pactl({QStringLiteral("get-sink-volume"), QString::fromLatin1(NullSink)}); }

private slots:
    void initTestCase() {
        QVERIFY2(!pactl({QStringLiteral("info")}).isEmpty(),
                 "no PulseAudio server: start it with scripts/test-pulse.sh");
        QVERIFY2(pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")}).contains(NullSink),
                 "the null sink of scripts/test-pulse.sh is missing");
        // The players' pulsesink goes to the null sink whatever the server's default is.
        qputenv("PULSE_SINK", NullSink);
        if (QTime::currentTime() > QTime(23, 58))
            QSKIP("the schedule would run past midnight");
    }

    // A WAV item with a play length, an MP3 played to its end and a MIDI item, on the real
    // clock: each must sound 1 to 4 seconds after its start time (found due 1 to 4 seconds
    // early, started 5 seconds later; the MP3 one more second later) and stop as told.
    void theScheduleGoesOnAir() {
        const QString wav = m_dir.filePath("bell.wav"), mp3 = m_dir.filePath("news.mp3"),
                      mid = m_dir.filePath("tune.mid");
        QVERIFY(TestSounds::writeWav(wav, 10000));
        QVERIFY(TestSounds::writeMp3(mp3, 1500));
        QVERIFY(TestSounds::writeMidi(mid, 8000));

        const QTime start = QTime::currentTime();
        const int s0 = start.msecsSinceStartOfDay() / 1000 + 6;
        auto at = [&](int offset) { return QTime(0, 0).addSecs(s0 + offset).toString("HH:mm:ss"); };
        writeList(m_dir.filePath("today.lst"),
                  {item(at(0), "铃声", "00:00:02", wav), item(at(10), "通知", QStringLiteral("播完"), mp3),
                   item(at(20), "音乐", "00:00:02", mid)});

        FakeDialogs *shownDialogs = nullptr;
        Services services = onAirServices(m_dir.path(), &shownDialogs);

        MonitorRecorder recorder;
        QVERIFY(recorder.start());
        const qint64 t0 = recorder.now() + QTime::currentTime().msecsTo(QTime(0, 0).addSecs(s0));  // recorder ms at s0
        Form1 form(services);
        QVERIFY2(shownDialogs->messages.isEmpty(), "the mixer did not open");
        form.form2().Slider1->setValue(8191);  // (32767 - 8191) * 2 = 49152 = 75 %
        form.Frame1->Option1->setChecked(true);
        form.Frame1->Text23->setText(m_dir.filePath("today.lst"));

        QTest::qWait((s0 + 29) * 1000 - QTime::currentTime().msecsSinceStartOfDay());

        // Sound must begin between `from` and `to` ms after the item's start time and last
        // between `shortest` and `longest` ms.
        auto expectSound = [&](const char *what, qint64 due, qint64 from, qint64 to, qint64 shortest, qint64 longest) {
            const qint64 on = recorder.soundStartsAfter(t0 + due);
            QVERIFY2(on >= t0 + due + from && on <= t0 + due + to,
                     qPrintable(QStringLiteral("%1 began at %2 ms").arg(what).arg(on - t0 - due)));
            const qint64 lasted = recorder.silenceStartsAfter(on) - on;
            QVERIFY2(lasted >= shortest && lasted <= longest,
                     qPrintable(QStringLiteral("%1 sounded %2 ms").arg(what).arg(lasted)));
        };
        // Timed items stop at the third tick of the length counter: about three seconds.
        expectSound("WAV", 0, 800, 4500, 2400, 3600);
        expectSound("MP3", 10000, 1800, 5500, 1200, 2000);  // the whole 1.5 s file
        expectSound("MIDI", 20000, 800, 4800, 2200, 4000);
        if (QTest::currentTestFailed())
            return;

        QVERIFY(form.MSFlexGrid1->TextMatrix(1, 0) == QStringLiteral("√"));
        const QString volume = sinkVolume();
        QVERIFY2(volume.contains(QStringLiteral("49152")), qPrintable(volume));
    }

    // Random music from a window open now, a ten-second bell due inside it, and the window's
    // end: songs (440 Hz) at their group's volume, the bell (880 Hz) whole and alone at the
    // scheduled volume, the music back after it, and nothing once the window has closed.
    void randomMusicAroundABell() {
        QTemporaryDir dir;
        const QString song1 = dir.filePath("song1.wav"), song2 = dir.filePath("song2.wav"),
                      bell = dir.filePath("bell.wav");
        QVERIFY(TestSounds::writeWav(song1, 9000, 440));
        QVERIFY(TestSounds::writeWav(song2, 9000, 440));
        QVERIFY(TestSounds::writeWav(bell, 10000, 880));
        const int before = QTime::currentTime().msecsSinceStartOfDay() / 1000;
        if (before < 120 || before > 86400 - 120)
            QSKIP("the window would cross midnight");
        // Open every day from a minute ago until 28 seconds after start-up.
        const std::array<PlayGroup, 4> groups{PlayGroup{before - 60, before + 28, {1, 1, 1, 1, 1, 1, 1}}};
        QFile sjbf(dir.filePath("Sjbf0.dat")), sjFile(dir.filePath("SjFile0.dat"));
        QVERIFY(sjbf.open(QIODevice::WriteOnly) && sjFile.open(QIODevice::WriteOnly));
        sjbf.write(libraryfiles::groupSettingsBytes(groups));
        sjFile.write(libraryfiles::bytesFromSongs({song1, song2}));
        sjbf.close();
        sjFile.close();

        MonitorRecorder recorder;
        QVERIFY(recorder.start());
        FakeDialogs *shownDialogs = nullptr;
        Services services = onAirServices(dir.path(), &shownDialogs);
        Form1 form(services);
        const qint64 T = recorder.now();  // the timers start here: Timer11 at T + 6 s, T + 12 s, …
        const int t0 = QTime::currentTime().msecsSinceStartOfDay() / 1000;
        QVERIFY2(shownDialogs->messages.isEmpty(), "the mixer did not open");
        form.form2().Slider1->setValue(8191);      // the bell: (32767 - 8191) * 2 = 49152
        form.form2().Slider2[0]->setValue(24575);  // the music: 16384
        // Due at the tick of t0 + 8 s, which falls in T + 7 … T + 8 s now that the ticks follow the
        // wall clock's seconds; that switches the music check off, and the bell starts five
        // seconds later. The check comes back six seconds after the bell's start.
        writeList(dir.filePath("today.lst"),
                  {item(QTime(0, 0).addSecs(t0 + 12).toString("HH:mm:ss"), "铃声", QStringLiteral("播完"), bell)});
        form.Frame1->Option1->setChecked(true);
        form.Frame1->Text23->setText(dir.filePath("today.lst"));
        auto waitUntil = [&](qint64 ms) { QTest::qWait(int(std::max<qint64>(0, T + ms - recorder.now()))); };
        const auto why = [&](const char *what) {
            return QStringLiteral("%1; heard from start-up: %2").arg(what, recorder.trace(T, T + 40000));
        };

        waitUntil(10000);
        QVERIFY2(sinkVolume().contains(QStringLiteral("16384")), qPrintable(sinkVolume()));
        waitUntil(18000);
        QVERIFY2(sinkVolume().contains(QStringLiteral("49152")), qPrintable(sinkVolume()));
        waitUntil(29000);
        QVERIFY2(sinkVolume().contains(QStringLiteral("16384")), qPrintable(sinkVolume()));
        waitUntil(40000);

        // The first song at the first check, cut by the bell.
        const qint64 song = recorder.soundStartsAfter(T + 5000) - T;
        QVERIFY2(song >= 6000 && song <= 7500, qPrintable(why("the first song")));
        const qint64 bellOn = recorder.toneStartsAfter(QLatin1Char('H'), T) - T;
        QVERIFY2(bellOn >= 12000 && bellOn <= 14800, qPrintable(why("the bell's start")));
        const QString songTrace = recorder.trace(T + song + 200, T + bellOn - 500);
        QVERIFY2(songTrace.count(QLatin1Char('L')) >= songTrace.size() - 2, qPrintable(why("the song until the bell")));
        // The bell whole, with nothing over it, then quiet until the next check.
        const QString bellTrace = recorder.trace(T + bellOn, T + bellOn + 9500);
        QVERIFY2(bellTrace.count(QLatin1Char('H')) >= bellTrace.size() - 2, qPrintable(why("the bell")));
        const qint64 bellOff = recorder.silenceStartsAfter(T + bellOn) - T;
        QVERIFY2(bellOff >= bellOn + 9500 && bellOff <= bellOn + 10800, qPrintable(why("the bell's end")));
        // The music back at the check after the bell, to the song's end, then nothing more.
        const qint64 back = recorder.soundStartsAfter(T + bellOff) - T;
        QVERIFY2(back >= 24000 && back <= 26800, qPrintable(why("the music after the bell")));
        const QString lastTrace = recorder.trace(T + back + 200, T + back + 8500);
        QVERIFY2(lastTrace.count(QLatin1Char('L')) >= lastTrace.size() - 2, qPrintable(why("the last song")));
        const qint64 last = recorder.silenceStartsAfter(T + back) - T;
        QVERIFY2(last >= back + 8500 && recorder.soundStartsAfter(T + last) < 0, qPrintable(why("after the window")));
    }

    // Two items due on one tick: two beeps through the audio output, one after the other,
    // each soon after it was asked for; asking never holds the caller. Without an audio
    // output a beep is silent and harmless.
    void beepsSoundThroughTheAudioOutput() {
        pactl({QStringLiteral("set-sink-volume"), QString::fromLatin1(NullSink), QStringLiteral("65536")});
        MonitorRecorder recorder;
        QVERIFY(recorder.start());
        {
            GstBeep beep(QStringLiteral("pulsesink"));
            beep.prepare();
            QTest::qWait(1000);
            const qint64 asked = recorder.now();
            QElapsedTimer held;
            held.start();
            beep.beep();
            beep.beep();
            QVERIFY2(held.elapsed() < 20, qPrintable(QString::number(held.elapsed())));
            QTest::qWait(1500);
            const QList<qint64> heard = recorder.soundsAfter(asked);
            QCOMPARE(heard.size(), 2);
            QVERIFY2(heard[0] - asked <= 500, qPrintable(QString::number(heard[0] - asked)));
        }
        GstBeep none(QStringLiteral("nosuchaudiosink"));
        none.beep();
        none.beep();
    }
};

QTEST_MAIN(TestOnAir)
#include "tst_onair.moc"
