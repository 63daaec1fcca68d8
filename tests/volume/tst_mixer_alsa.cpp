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
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>

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

// A socket where a sound server would be that takes connections and never answers them, as a
// server does that hangs or is still starting. Closing it ends every connection made to it.
class SilentServer {
public:
    explicit SilentServer(const QString &path) : m_path(path) {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray p = path.toLocal8Bit();
        qstrncpy(addr.sun_path, p.constData(), sizeof addr.sun_path);
        if (::bind(m_fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(m_fd, 16) != 0)
            close();
    }
    ~SilentServer() { close(); }
    bool listening() const { return m_fd >= 0; }
    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        QFile::remove(m_path);
    }

private:
    int m_fd = -1;
    QString m_path;
};

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

QList<int> sinkChannels(const QStringList &server = {}) {
    return channelVolumes(
        pactl(server + QStringList{QStringLiteral("get-sink-volume"), QStringLiteral("@DEFAULT_SINK@")}));
}

class TstMixerAlsa : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (pactl({QStringLiteral("info")}).isEmpty()) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("no PulseAudio server: scripts/test-pulse.sh starts one");
            QSKIP("no PulseAudio server: run scripts/test-pulse.sh first");
        }
        static const QRegularExpression serverLine(QStringLiteral("Server String: (\\S+)"));
        m_server = serverLine.match(pactl({QStringLiteral("info")})).captured(1);
        if (m_server.startsWith(QLatin1Char('/')))
            m_server.prepend(QStringLiteral("unix:"));
    }
    void init() {
        qunsetenv("PULSE_SERVER");
        qunsetenv("XDG_CONFIG_HOME");
    }
    void cleanupTestCase() {
        qunsetenv("PULSE_SERVER");
        qunsetenv("XDG_CONFIG_HOME");
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

    // A value written after a failed open is taken: the mixer tries to open again to send it.
    void unknownCardIsAnOpenError() {
        auto mixer = makeAlsaMixer(QStringLiteral("hw:97"));
        QVERIFY(!mixer->open());
        QVERIFY(mixer->openError() < 0);
        QVERIFY(mixer->setSpeaker(100));
        QVERIFY(!mixer->settle(SettleMs));  // and it fails again, soon
    }

    // A sound server that is not there yet at start-up (it starts after the program at boot),
    // or that takes the connection and does not answer, holds the program up no longer than
    // the mixer's short wait, and the volume reaches the card once the server is up.
    void serverThatComesLater_data() {
        QTest::addColumn<bool>("silent");
        QTest::newRow("not there yet") << false;
        QTest::newRow("not answering") << true;
    }
    void serverThatComesLater() {
        QFETCH(bool, silent);
        // As in a program started before its sound server: ALSA's shared configuration, which
        // decides once whether the default card is the server's, is first read now.
        snd_config_update_free_global();
        QTemporaryDir dir(QStringLiteral("/tmp/tollmere-pa-XXXXXX"));
        PrivateServer server(dir.path());
        SilentServer silentServer(server.socket());
        if (!silent)
            silentServer.close();
        QCOMPARE(silentServer.listening(), silent);
        qputenv("PULSE_SERVER", server.server().toLocal8Bit());
        auto mixer = makeAlsaMixer();
        QElapsedTimer t;
        t.start();
        QVERIFY(!mixer->open());
        const qint64 openMs = t.elapsed();
        QVERIFY2(openMs < 3000, qPrintable(QString::number(openMs)));  // not the server's 30 s
        if (silent)
            QCOMPARE(mixer->openError(), -ETIMEDOUT);
        silentServer.close();
        QVERIFY(server.start());
        QVERIFY(mixer->setSpeaker(27000));
        QVERIFY(mixer->settle(SettleMs));
        QVERIFY(mixer->speaker().present);
        const QList<int> channels = sinkChannels({QStringLiteral("-s"), server.server()});
        QVERIFY(!channels.isEmpty());
        for (int v : channels)
            QCOMPARE(v, 27000);
    }

    // Cards name their controls differently. Each row is a card of the test's own: the sound
    // server's controls renamed, or split into a left-channel "PCM" and a right-channel
    // "Headphone", so the channel that moves tells which control was chosen.
    void controlsUnderOtherNames_data() {
        QTest::addColumn<QByteArray>("controls");
        QTest::addColumn<QList<int>>("sink");  // left and right after the speaker is set to 20000
        QTest::newRow("PCM before Headphone, Capture")
            << QByteArray(
                   "remap { \"name='Master Playback Volume'\" \"name='Master Playback Volume',index=1\" }\n"
                   "map {\n"
                   "  \"name='PCM Playback Volume'\" { \"name='Master Playback Volume',index=1\" { vindex.0 0 } }\n"
                   "  \"name='Headphone Playback Volume'\" { \"name='Master Playback Volume',index=1\" { vindex.0 1 } "
                   "}\n"
                   "}\n")
            << QList<int>{20000, 65536};
        QTest::newRow("Speaker, Mic") << QByteArray(
                                             "remap {\n"
                                             "  \"name='Master Playback Volume'\" \"name='Speaker Playback Volume'\"\n"
                                             "  \"name='Master Playback Switch'\" \"name='Speaker Playback Switch'\"\n"
                                             "  \"name='Capture Volume'\" \"name='Mic Capture Volume'\"\n"
                                             "  \"name='Capture Switch'\" \"name='Mic Capture Switch'\"\n"
                                             "}\n")
                                      << QList<int>{20000, 20000};
        QTest::newRow("neither named: the first of each kind")
            << QByteArray(
                   "remap {\n"
                   "  \"name='Master Playback Volume'\" \"name='Digital Playback Volume'\"\n"
                   "  \"name='Master Playback Switch'\" \"name='Digital Playback Switch'\"\n"
                   "  \"name='Capture Volume'\" \"name='Line Capture Volume'\"\n"
                   "  \"name='Capture Switch'\" \"name='Line Capture Switch'\"\n"
                   "}\n")
            << QList<int>{20000, 20000};
    }
    void controlsUnderOtherNames() {
        QFETCH(QByteArray, controls);
        QTemporaryDir config;
        QVERIFY(QDir(config.path()).mkpath(QStringLiteral("alsa")));
        QFile rc(config.filePath(QStringLiteral("alsa/asoundrc")));
        QVERIFY(rc.open(QIODevice::WriteOnly));
        rc.write("ctl.tollmere_test {\ntype remap\nchild { type pulse }\n" + controls + "}\n");
        rc.close();
        // Without a runtime folder of its own the sound client looks for its server under the
        // configuration folder the test is about to move, so it is named outright.
        qputenv("PULSE_SERVER", m_server.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        pactl({QStringLiteral("set-sink-volume"), QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("65536")});
        pactl({QStringLiteral("set-source-volume"), QStringLiteral("@DEFAULT_SOURCE@"), QStringLiteral("65536")});

        auto mixer = makeAlsaMixer(QStringLiteral("tollmere_test"));
        QVERIFY(mixer->open());
        QCOMPARE(mixer->speaker().max, 65536L);
        QCOMPARE(mixer->microphone().max, 65536L);
        QVERIFY(mixer->setSpeaker(20000));
        QVERIFY(mixer->setMicrophone(30000));
        QVERIFY(mixer->settle(SettleMs));
        QTEST(sinkChannels(), "sink");
        const QList<int> source =
            channelVolumes(pactl({QStringLiteral("get-source-volume"), QStringLiteral("@DEFAULT_SOURCE@")}));
        QVERIFY(!source.isEmpty());
        for (int v : source)
            QCOMPARE(v, 30000);
    }

private:
    QString m_server;  // the test server's address, as "pactl info" gives it
};

QTEST_GUILESS_MAIN(TstMixerAlsa)
#include "tst_mixer_alsa.moc"
