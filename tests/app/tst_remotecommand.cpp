// Commands from elsewhere: tollmere --play, --stop and --status reach the running program
// through its real local socket and are carried out by its engine on the fake players.
#include "app/form1.h"
#include "app/remotecommand.h"
#include "app/singleinstance.h"
#include "editor/weekdaypanel.h"
#include "support/fakeclockstatus.h"
#include "support/listfiles.h"
#include "support/recordedlog.h"
#include "support/testenv.h"
#include "support/testfiles.h"

#include <QtTest>

#include <future>

namespace {

struct Outcome {
    int exit;
    QString out, err;
};

// The command line run from a thread of its own, as another process would, while this one,
// the running program's, answers.
Outcome command(const QStringList &args, const QString &appDir) {
    Outcome o;
    std::future<int> exit = std::async(std::launch::async, [&] {
        QTextStream out(&o.out), err(&o.err);
        return remotecommand::run(args, appDir, out, err);
    });
    while (exit.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents();
    o.exit = exit.get();
    return o;
}

}  // namespace

class TestRemoteCommand : public QObject {
    Q_OBJECT
private slots:
    void aDrillFromElsewhere() {
        TestEnv env;
        env.mci->reportsDone = true;
        auto log = std::make_unique<RecordedLog>();
        RecordedLog &asRun = *log;
        env.services.asRun = std::move(log);
        env.services.clockStatus = std::make_unique<FakeClockStatus>(*env.clock);
        writeList(env.path("day.lst"), {item("08:00:00", "第一节", "00:00:30", "/s/bell.wav")});
        const QString drill = env.path("drill.wav");
        writeBytes(drill, QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16));
        Form1 form(env.services);
        form.Frame1->Text5->setText(env.path("day.lst"));
        env.clock->advance(1000);
        const QString appDir = env.services.appDir;

        const Outcome none = command({"--status"}, appDir);
        QCOMPARE(none.exit, int(remotecommand::NoProgram));
        QCOMPARE(none.err, "本文件夹中没有正在运行的广播程序：" + appDir + "\n");

        SingleInstance running(appDir);
        QVERIFY(running.acquire());
        running.setCommandHandler([&form](const QJsonObject &c) { return form.remoteCommand(c); });
        env.timeline.clear();
        const Outcome play = command({"--play", drill}, appDir);
        QCOMPARE(play.exit, int(remotecommand::Done));
        QCOMPARE(play.out, "开始播放 " + drill + "\n");
        // Whatever plays is stopped, the speaker set to the scheduled volume, the file played.
        QCOMPARE(env.timeline,
                 (QStringList{"07:00:01 mci stop", "07:00:01 mp3 Stop", "07:00:01 volume 65534", "07:00:01 mci stop",
                              "07:00:01 mci close", "07:00:01 mp3 Stop", "07:00:01 mci file=" + drill,
                              "07:00:01 mci open", "07:00:01 mci type=WaveAudio", "07:00:01 mci play"}));
        QCOMPARE(asRun.lines.last(), "开始播放 远程 " + drill + " 音量 65534");

        const Outcome status = command({"--status", "--json"}, appDir);
        QCOMPARE(status.exit, int(remotecommand::Done));
        const QJsonObject s = QJsonDocument::fromJson(status.out.toUtf8()).object();
        QCOMPARE(s["playing"].toString(), drill);
        QCOMPARE(s["next"].toObject()["second"].toInt(), 8 * 3600);
        QCOMPARE(s["next"].toObject()["name"].toString(), "第一节");
        QCOMPARE(s["clockSynchronised"], QJsonValue(true));

        const Outcome stop = command({"--stop"}, appDir);
        QCOMPARE(stop.out, "已停止播放\n");
        QCOMPARE(asRun.lines.last(), "播放结束 " + drill + " 被远程命令停止");
        const Outcome missing = command({"--play", "/nowhere/drill.wav"}, appDir);
        QCOMPARE(missing.exit, int(remotecommand::Refused));
        QVERIFY(missing.err.startsWith("无法播放 /nowhere/drill.wav："));
    }
};

QTEST_MAIN(TestRemoteCommand)
#include "tst_remotecommand.moc"
