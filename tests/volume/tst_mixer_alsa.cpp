// The ALSA mixer device against the PulseAudio null sink that scripts/test-pulse.sh starts.
#include "support/fakedialogs.h"
#include "support/fakemixer.h"

#include "support/pactl.h"
#include "volume/clsvolume.h"
#include "volume/mixer_alsa.h"
#include "volume/volumeposition.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <alsa/asoundlib.h>

namespace {

// Far longer than a write takes (about 11 ms through the pulse plugin), for a loaded machine.
constexpr int SettleMs = 3000;

// The raw volume of every channel of "Volume: front-left: 30000 / 46% / …, front-right: …".
QList<int> channelVolumes(const QString &text) {
    QList<int> out;
    static const QRegularExpression re(QStringLiteral(":\\s*(\\d+)\\s*/"));
    for (auto it = re.globalMatch(text.section(QLatin1Char('\n'), 0, 0)); it.hasNext();)
        out << it.next().captured(1).toInt();
    return out;
}

// A PulseAudio server of the test's own on a private socket, which the test may stop and
// start again without disturbing the shared one.
class PrivateServer {
public:
    explicit PrivateServer(const QString &dir) : m_dir(dir) {
        QFile conf(dir + QStringLiteral("/pa.conf"));
        conf.open(QIODevice::WriteOnly);
        conf.write("load-module module-native-protocol-unix socket=" + socket().toLocal8Bit() +
                   "\nload-module module-null-sink sink_name=private_null\nset-default-sink private_null\n");
        QDir(dir).mkpath(QStringLiteral("rt"));
    }
    ~PrivateServer() { stop(); }
    QString socket() const { return m_dir + QStringLiteral("/native"); }
    QString server() const { return QStringLiteral("unix:") + socket(); }

    bool start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_dir + QStringLiteral("/rt"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("pulseaudio"),
                        {QStringLiteral("-n"), QStringLiteral("-F"), m_dir + QStringLiteral("/pa.conf"),
                         QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                         QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-level=0")});
        if (!m_process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100; ++i) {  // the server takes a moment to listen
            if (!pactl({QStringLiteral("-s"), server(), QStringLiteral("info")}).isEmpty())
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QString m_dir;
    QProcess m_process;
};

}  // namespace

class TstMixerAlsa : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (pactl({QStringLiteral("info")}).isEmpty()) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("no PulseAudio server: scripts/test-pulse.sh starts one");
            QSKIP("no PulseAudio server: run scripts/test-pulse.sh first");
        }
    }
    // ALSA keeps its configuration between opens, including whether the pulse plugin was
    // made the default; every case starts from the files again.
    void init() {
        qunsetenv("PULSE_SERVER");
        snd_config_update_free_global();
    }
    void cleanupTestCase() {
        qunsetenv("PULSE_SERVER");
        pactl({QStringLiteral("set-sink-volume"), QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("65536")});
        pactl({QStringLiteral("set-source-volume"), QStringLiteral("@DEFAULT_SOURCE@"), QStringLiteral("65536")});
    }

    void rangesAreRead() {
        auto mixer = makeAlsaMixer();
        QVERIFY(mixer->open());
        QCOMPARE(mixer->openError(), 0);
        const MixerDevice::Line speaker = mixer->speaker(), mic = mixer->microphone();
        QVERIFY(speaker.present);
        QCOMPARE(speaker.min, 0L);
        QCOMPARE(speaker.max, 65536L);
        QVERIFY(mic.present);
        QCOMPARE(mic.min, 0L);
        QCOMPARE(mic.max, 65536L);
    }

    // Slider positions through clsVolume, as the volume dialog sends them.
    void speakerVolumeReachesTheSink_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("sinkVolume");
        QTest::newRow("top") << 0 << 65534;
        QTest::newRow("middle") << 16384 << 32766;
        QTest::newRow("bottom of the pulse range") << 32768 << 0;
    }
    void speakerVolumeReachesTheSink() {
        QFETCH(int, position);
        QFETCH(int, sinkVolume);
        auto mixer = makeAlsaMixer();
        FakeDialogs dialogs;
        clsVolume volume(mixer.get(), &dialogs);
        volume.meOpenMixer();
        QCOMPARE(volume.prMixerErr(), 0);
        QCOMPARE(volume.prSpeakerMaxVolume() / 2, 32768);
        volume.prSpeakerVolume(VolumeForPosition(position));
        QVERIFY(volume.meSettle(SettleMs));
        const QList<int> channels =
            channelVolumes(pactl({QStringLiteral("get-sink-volume"), QStringLiteral("@DEFAULT_SINK@")}));
        QVERIFY(!channels.isEmpty());
        for (int v : channels)
            QCOMPARE(v, sinkVolume);
    }

    // The volume dialog writes on every slider step. A drag must not wait for the sound server
    // at each step (a hundred direct writes take over a second), the steps are coalesced, and
    // the card ends at the value the slider stopped at.
    void burstOfChangesIsCoalesced() {
        auto mixer = makeAlsaMixer();
        FakeDialogs dialogs;
        clsVolume volume(mixer.get(), &dialogs);
        volume.meOpenMixer();
        QCOMPARE(volume.prMixerErr(), 0);
        QCOMPARE(alsamixer::writesMade(*mixer), 0);
        QElapsedTimer t;
        t.start();
        for (int i = 1; i <= 100; ++i)
            volume.prSpeakerVolume(10000 + i * 100);
        const qint64 burstMs = t.elapsed();
        QVERIFY(volume.meSettle(SettleMs));
        QCOMPARE(volume.prSpeakerVolume(), 20000);
        const QList<int> channels =
            channelVolumes(pactl({QStringLiteral("get-sink-volume"), QStringLiteral("@DEFAULT_SINK@")}));
        QVERIFY(!channels.isEmpty());
        for (int v : channels)
            QCOMPARE(v, 20000);
        const qint64 writes = alsamixer::writesMade(*mixer);
        QVERIFY2(writes >= 1 && writes <= 20, qPrintable(QString::number(writes)));
        QVERIFY2(burstMs < 500, qPrintable(QString::number(burstMs)));
        QVERIFY(volume.meSettle(0));  // nothing more to wait for
    }

    // Closing the program right after a change still leaves the card at that value.
    void closingSendsTheLastValue() {
        {
            auto mixer = makeAlsaMixer();
            QVERIFY(mixer->open());
            QVERIFY(mixer->setSpeaker(11111));
            QVERIFY(mixer->setSpeaker(23456));
        }
        const QList<int> channels =
            channelVolumes(pactl({QStringLiteral("get-sink-volume"), QStringLiteral("@DEFAULT_SINK@")}));
        QVERIFY(!channels.isEmpty());
        for (int v : channels)
            QCOMPARE(v, 23456);
    }

    void microphoneVolumeReachesTheSource() {
        auto mixer = makeAlsaMixer();
        QVERIFY(mixer->open());
        QVERIFY(mixer->setMicrophone(20000));
        QVERIFY(mixer->settle(SettleMs));
        const QList<int> channels =
            channelVolumes(pactl({QStringLiteral("get-source-volume"), QStringLiteral("@DEFAULT_SOURCE@")}));
        QVERIFY(!channels.isEmpty());
        for (int v : channels)
            QCOMPARE(v, 20000);
    }

    // The program runs for months; a sound server that restarts under it must not leave it
    // without volume control.
    void serverRestartIsSurvived() {
        QTemporaryDir dir(QStringLiteral("/tmp/tollmere-pa-XXXXXX"));
        PrivateServer server(dir.path());
        QVERIFY(server.start());
        qputenv("PULSE_SERVER", server.server().toLocal8Bit());
        auto mixer = makeAlsaMixer();
        QVERIFY(mixer->open());
        QVERIFY(mixer->setSpeaker(20000));
        QVERIFY(mixer->settle(SettleMs));
        server.stop();
        QVERIFY(server.start());
        QVERIFY(mixer->setSpeaker(30000));
        QVERIFY(mixer->settle(SettleMs));
        const QList<int> channels =
            channelVolumes(pactl({QStringLiteral("-s"), server.server(), QStringLiteral("get-sink-volume"),
                                  QStringLiteral("@DEFAULT_SINK@")}));
        QVERIFY(!channels.isEmpty());
        for (int v : channels)
            QCOMPARE(v, 30000);
        // Gone for good: the value is taken for sending, but never arrives; the caller is
        // not held up and nothing crashes.
        server.stop();
        QVERIFY(mixer->setSpeaker(40000));
        QVERIFY(!mixer->settle(SettleMs));
    }

    void noServerIsAnOpenErrorNotACrash() {
        qputenv("PULSE_SERVER", "unix:/nonexistent/tollmere/native");
        auto mixer = makeAlsaMixer();
        FakeDialogs dialogs;
        clsVolume volume(mixer.get(), &dialogs);
        volume.meOpenMixer();
        QVERIFY(volume.prMixerErr() != 0);
        QCOMPARE(volume.prSpeakerMaxVolume(), 0);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.first().text, QStringLiteral("Could not open the mixer."));
        volume.prSpeakerVolume(1000);
        QCOMPARE(volume.prSpeakerVolume(), 1000);
    }

    void unknownCardIsAnOpenError() {
        auto mixer = makeAlsaMixer(QStringLiteral("hw:97"));
        QVERIFY(!mixer->open());
        QVERIFY(mixer->openError() < 0);
        QVERIFY(!mixer->setSpeaker(100));
        QVERIFY(mixer->settle(0));  // nothing was taken, nothing to wait for
    }
};

QTEST_GUILESS_MAIN(TstMixerAlsa)
#include "tst_mixer_alsa.moc"
