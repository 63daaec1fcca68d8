// The as-run log of a school day on the simulated clock: the whole main window with fake
// players, writing the real daily file in its AppDir.
#include "app/form1.h"
#include "core/asrunlogfile.h"
#include "editor/weekdaypanel.h"
#include "randommusic/libraryfiles.h"
#include "support/listfiles.h"
#include "support/testenv.h"
#include "ui/slider.h"
#include "volume/form2.h"

#include <QtTest>

namespace {
const QDate Monday(2026, 12, 7);

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
}  // namespace

class TestAsRun : public QObject {
    Q_OBJECT
private slots:
    // Random music from 07:50 cut by the 08:00 bell, which is stopped after its 30 seconds; a
    // 09:00 item whose file is missing; a shutdown at 16:00 that the system refuses; the
    // marks cleared at 16:30.
    void aSchoolDay() {
        TestEnv env(QDateTime(Monday, QTime(7, 0)));
        env.mci->reportsDone = true;
        env.mci->failures.insert("/nowhere/missing.wav", "no such file");
        env.shutdown->refuse = true;
        auto log = std::make_unique<AsRunLogFile>(env.path("logs"), *env.clock);
        AsRunLogFile &file = *log;
        env.services.asRun = std::move(log);
        writeList(env.path("day.lst"), {item("08:00:00", "第一节", "00:00:30", "/s/bell.wav"),
                                        item("09:00:00", "第二节", QStringLiteral("播完"), "/nowhere/missing.wav")});
        writeFile(env.path("Sjbf0.dat"), libraryfiles::groupSettingsBytes(
                                             {PlayGroup{7 * 3600 + 50 * 60, 8 * 3600 + 30, {1, 0, 0, 0, 0, 0, 0}}}));
        writeFile(env.path("SjFile0.dat"), libraryfiles::bytesFromSongs({"/m/song.wav"}));
        writeFile(env.path("ClsTime.Cfg"), QByteArray::fromHex("FFFF") + QByteArray::fromHex("555555555555E53F"));
        writeFile(env.path("qc.cfg"), "\"16\",\"30\",\"00\",1\r\n");

        Form1 form(env.services);
        form.Frame1->Text5->setText(env.path("day.lst"));
        form.form2().Slider1->setValue(8191);      // 49152
        form.form2().Slider2[0]->setValue(16383);  // 32768
        env.clock->advanceTo(QDateTime(Monday, QTime(17, 0)));
        file.flush();

        QFile day(env.path("logs/2026-12-07.log"));
        QVERIFY(day.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(day.readAll()).split('\n', Qt::SkipEmptyParts);
        const QStringList expected = {
            "07:00:00 程序启动 " + env.services.appDir,
            "07:00:01 今日列表 " + env.path("day.lst") + " 共 2 项",
            "07:50:06 开始播放 随机 /m/song.wav 音量 32768",
            "07:59:56 到时 第 1 项 8:00:00 第一节 播放时间 0:00:30 /s/bell.wav",
            "08:00:01 播放结束 /m/song.wav 被新的播放打断",
            "08:00:01 开始播放 定时 /s/bell.wav 音量 49152",
            "08:00:32 播放结束 /s/bell.wav 播放时间到，停止",
            "08:59:56 到时 第 2 项 9:00:00 第二节 播放时间 播完 /nowhere/missing.wav",
            "09:00:01 开始播放 定时 /nowhere/missing.wav 音量 49152",
            "09:00:01 播放结束 /nowhere/missing.wav 无法播放：no such file",
            "16:00:05 自动关机倒计时开始 关机时间 16:00:00",
            "16:00:15 请求关机（倒计时结束）",
            "16:00:15 关机请求被拒绝（refused by the test），继续广播",
            "16:29:58 清除播放标记 2 项",
        };
        QCOMPARE(lines, expected);
    }
};

QTEST_MAIN(TestAsRun)
#include "tst_asrun.moc"
