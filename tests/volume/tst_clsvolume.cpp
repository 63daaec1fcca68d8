// clsVolume on the fake mixer, the slider-to-volume rule and the ALSA range scaling.
#include "support/fakedialogs.h"
#include "support/fakemixer.h"

#include "volume/clsvolume.h"
#include "volume/mixer_alsa.h"
#include "volume/volumeposition.h"

#include <QTest>

class TstClsVolume : public QObject {
    Q_OBJECT
private slots:
    void freshObjectReportsZero() {
        FakeMixer mixer;
        FakeDialogs dialogs;
        clsVolume v(&mixer, &dialogs);
        QCOMPARE(v.prMixerErr(), 0);
        QCOMPARE(v.prSpeakerMinVolume(), 0);
        QCOMPARE(v.prSpeakerMaxVolume(), 0);
        QCOMPARE(v.prSpeakerVolume(), 0);
        QCOMPARE(v.prMicMinVolume(), 0);
        QCOMPARE(v.prMicMaxVolume(), 0);
        QCOMPARE(v.prMicVolume(), 0);
        QCOMPARE(mixer.openCalls, 0);
    }

    void openReadsBothRanges_data() {
        QTest::addColumn<bool>("micPresent");
        QTest::addColumn<int>("micMin");
        QTest::addColumn<int>("micMax");
        QTest::newRow("speaker and microphone") << true << 0 << 40000;
        QTest::newRow("no microphone line") << false << 0 << 0;
    }
    void openReadsBothRanges() {
        QFETCH(bool, micPresent);
        FakeMixer mixer;
        mixer.speakerLine = {true, 5, 65535};
        mixer.micLine = {micPresent, 0, micPresent ? 40000 : 123};
        FakeDialogs dialogs;
        clsVolume v(&mixer, &dialogs);
        v.meOpenMixer();
        QCOMPARE(v.prMixerErr(), 0);
        QCOMPARE(v.prSpeakerMinVolume(), 5);
        QCOMPARE(v.prSpeakerMaxVolume(), 65535);
        QTEST(v.prMicMinVolume(), "micMin");
        QTEST(v.prMicMaxVolume(), "micMax");
        QVERIFY(dialogs.messages.isEmpty());
    }

    // The read properties report what was written, whatever the device made of it; values
    // outside the bounds go to the device unchanged.
    void writtenValueReadsBack_data() {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("value");
        QTest::newRow("accepted") << true << 16383;
        QTest::newRow("refused") << false << 30000;
        QTest::newRow("above the bounds") << true << 70000;
        QTest::newRow("below the bounds") << true << -2;
    }
    void writtenValueReadsBack() {
        QFETCH(bool, accept);
        QFETCH(int, value);
        FakeMixer mixer;
        mixer.accept = accept;
        FakeDialogs dialogs;
        clsVolume v(&mixer, &dialogs);
        v.meOpenMixer();
        v.prSpeakerVolume(value);
        v.prMicVolume(value + 1);
        QCOMPARE(v.prSpeakerVolume(), value);
        QCOMPARE(v.prMicVolume(), value + 1);
        QCOMPARE(mixer.speakerWrites, QList<long>{value});
        QCOMPARE(mixer.micWrites, QList<long>{value + 1});
    }

    void failedOpenIsReportedOnceAndLeavesRangesZero() {
        FakeMixer mixer;
        mixer.opens = false;
        FakeDialogs dialogs;
        clsVolume v(&mixer, &dialogs);
        v.meOpenMixer();
        QCOMPARE(v.prMixerErr(), -19);
        QCOMPARE(v.prSpeakerMaxVolume(), 0);
        QCOMPARE(v.prMicMaxVolume(), 0);
        QCOMPARE(dialogs.messages.size(), 1);
        const FakeDialogs::Shown &m = dialogs.messages.first();
        QCOMPARE(m.text, QStringLiteral("Could not open the mixer."));
        QCOMPARE(m.title, QStringLiteral("Volume Control"));
        QCOMPARE(m.icon, Dialogs::Icon::Critical);
        QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
        QVERIFY(!m.waited);  // start-up and the bells go on while it stands
        // The program runs on: a volume is kept and still handed to the device, which may
        // open the mixer to send it (a sound server that comes up later).
        v.prSpeakerVolume(1234);
        QCOMPARE(v.prSpeakerVolume(), 1234);
        QCOMPARE(mixer.speakerWrites, QList<long>{1234});
    }

    void noDeviceAtAllIsAFailedOpen() {
        FakeDialogs dialogs;
        clsVolume v(nullptr, &dialogs);
        v.meOpenMixer();
        QVERIFY(v.prMixerErr() != 0);
        QCOMPARE(dialogs.messages.size(), 1);
        v.prSpeakerVolume(10);
        QCOMPARE(v.prSpeakerVolume(), 10);
    }

    void writeToMissingLineStaysHere() {
        FakeMixer mixer;
        mixer.micLine = {};
        FakeDialogs dialogs;
        clsVolume v(&mixer, &dialogs);
        v.meOpenMixer();
        v.prMicVolume(500);
        QCOMPARE(v.prMicVolume(), 500);
        QVERIFY(mixer.micWrites.isEmpty());
    }

    // Waiting for written values to reach the card is asked of the device, also when its
    // open failed (it may be opening the mixer to send them).
    void settleAsksTheDevice_data() {
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("settled");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("calls");
        QTest::newRow("values arrived") << true << true << true << 1;
        QTest::newRow("values late or refused") << true << false << false << 1;
        QTest::newRow("mixer did not open") << false << false << false << 1;
    }
    void settleAsksTheDevice() {
        QFETCH(bool, opens);
        QFETCH(bool, settled);
        FakeMixer mixer;
        mixer.opens = opens;
        mixer.settled = settled;
        FakeDialogs dialogs;
        clsVolume v(&mixer, &dialogs);
        v.meOpenMixer();
        v.prSpeakerVolume(1000);
        QTEST(v.meSettle(50), "result");
        QTEST(mixer.settleCalls, "calls");
    }

    void positionToVolume_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("volume");
        QTest::newRow("top of the slider, loudest") << 0 << 65534;
        QTest::newRow("bottom of a 0..32767 slider, silent") << 32767 << 0;
        QTest::newRow("one large step down") << 1000 << 63534;
        QTest::newRow("pulse range bottom") << 32768 << -2;
        QTest::newRow("far below, saturates") << -2000000000 << 2147483647;
        QTest::newRow("far above, saturates") << 2000000000 << -2147483647 - 1;
    }
    void positionToVolume() {
        QFETCH(int, position);
        QTEST(VolumeForPosition(position), "volume");
    }

    // Cards with a narrow native range are shown in 16-bit units and scaled back.
    void alsaRangeScaling_data() {
        QTest::addColumn<int>("nativeMin");
        QTest::addColumn<int>("nativeMax");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("shownMax");
        QTest::addColumn<int>("native");
        QTest::newRow("pulse, as it is") << 0 << 65536 << 30000 << 65536 << 30000;
        QTest::newRow("pulse, clamped above") << 0 << 65536 << 70000 << 65536 << 65536;
        QTest::newRow("pulse, clamped below") << 0 << 65536 << -2 << 65536 << 0;
        QTest::newRow("hw 0..87, loudest") << 0 << 87 << 65534 << 65535 << 87;
        QTest::newRow("hw 0..87, middle") << 0 << 87 << 32767 << 65535 << 43;
        QTest::newRow("hw 0..87, silent") << 0 << 87 << 0 << 65535 << 0;
        QTest::newRow("hw 10..41, silent") << 10 << 41 << 0 << 65535 << 10;
    }
    void alsaRangeScaling() {
        QFETCH(int, nativeMin);
        QFETCH(int, nativeMax);
        QFETCH(int, value);
        const MixerDevice::Line shown = alsamixer::presentedLine(nativeMin, nativeMax);
        QVERIFY(shown.present);
        QTEST(int(shown.max), "shownMax");
        QTEST(int(alsamixer::nativeValue(value, nativeMin, nativeMax)), "native");
    }
};

QTEST_GUILESS_MAIN(TstClsVolume)
#include "tst_clsvolume.moc"
