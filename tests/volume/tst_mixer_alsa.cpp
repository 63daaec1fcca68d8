// The ALSA mixer device against the PulseAudio null sink that scripts/test-pulse.sh starts.
#include "support/fakes.h"
#include "volume/clsvolume.h"
#include "volume/mixer_alsa.h"
#include "volume/volumeposition.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <alsa/asoundlib.h>

namespace {

QString pactl(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The raw volume of every channel of "Volume: front-left: 30000 / 46% / …, front-right: …".
QList<int> channelVolumes(const QString &text) {
    QList<int> out;
    static const QRegularExpression re(QStringLiteral(":\\s*(\\d+)\\s*/"));
    for (auto it = re.globalMatch(text.section(QLatin1Char('\n'), 0, 0)); it.hasNext();)
        out << it.next().captured(1).toInt();
    return out;
}

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
        const QList<int> channels =
            channelVolumes(pactl({QStringLiteral("get-sink-volume"), QStringLiteral("@DEFAULT_SINK@")}));
        QVERIFY(!channels.isEmpty());
        for (int v : channels)
            QCOMPARE(v, sinkVolume);
    }

    void microphoneVolumeReachesTheSource() {
        auto mixer = makeAlsaMixer();
        QVERIFY(mixer->open());
        QVERIFY(mixer->setMicrophone(20000));
        const QList<int> channels =
            channelVolumes(pactl({QStringLiteral("get-source-volume"), QStringLiteral("@DEFAULT_SOURCE@")}));
        QVERIFY(!channels.isEmpty());
        for (int v : channels)
            QCOMPARE(v, 20000);
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
    }
};

QTEST_GUILESS_MAIN(TstMixerAlsa)
#include "tst_mixer_alsa.moc"
