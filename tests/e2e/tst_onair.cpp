// The real program on air: the main window with the GStreamer players and the ALSA mixer,
// playing into the PulseAudio null sink that scripts/test-pulse.sh starts, whose monitor
// the test records to hear when sound starts and stops.
#include "app/form1.h"
#include "broadcast/beep_gst.h"
#include "broadcast/player_gst.h"
#include "editor/weekdaypanel.h"
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

// Records the null sink's monitor as 8 kHz mono and keeps, per 50 ms, whether it was loud.
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
        for (const auto &[at, loud] : m_chunks) {
            if (at < from)
                continue;
            if (loud && !wasLoud)
                starts << at;
            wasLoud = loud;
        }
        return starts;
    }
    // The first moment after `from` (ms) at which sound was heard, or -1.
    qint64 soundStartsAfter(qint64 from) const {
        for (const auto &[at, loud] : m_chunks)
            if (at >= from && loud)
                return at;
        return -1;
    }
    // The first moment after `from` at which a run of quiet began that lasted 300 ms.
    qint64 silenceStartsAfter(qint64 from) const {
        qint64 quietSince = -1;
        for (const auto &[at, loud] : m_chunks) {
            if (at < from)
                continue;
            if (loud) {
                quietSince = -1;
            } else {
                if (quietSince < 0)
                    quietSince = at;
                if (at - quietSince >= 300)
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
            for (int i = 0; i < chunkBytes / 2; ++i)
                sum += double(s[i]) * s[i];
            const double rms = std::sqrt(sum / (chunkBytes / 2));
            m_chunks.append({now(), rms > 8});  // the null sink is silent as exact zeros
            m_pending.remove(0, chunkBytes);
        }
    }

    QProcess m_process;
    QElapsedTimer m_clock;
    QByteArray m_pending;
    QList<std::pair<qint64, bool>> m_chunks;
};

}  // namespace

class TestOnAir : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

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

        Services services;
        services.clock = std::make_unique<RealClock>();
        services.mci = makeGstMciPlayer(QStringLiteral("pulsesink"));
        services.mp3 = makeGstMp3Player(QStringLiteral("pulsesink"));
        services.mixer = makeAlsaMixer();
        services.shutdown = std::make_unique<FakeShutdown>();
        auto dialogs = std::make_unique<FakeDialogs>();
        FakeDialogs *shownDialogs = dialogs.get();
        services.dialogs = std::move(dialogs);
        services.beep = [] {};
        services.quit = [] {};
        services.appDir = m_dir.path() + QLatin1Char('/');

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
        const QString volume = pactl({QStringLiteral("get-sink-volume"), QString::fromLatin1(NullSink)});
        QVERIFY2(volume.contains(QStringLiteral("49152")), qPrintable(volume));
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
