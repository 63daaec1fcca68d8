// ClsTime.Cfg and qc.cfg byte for byte, the typed shutdown time, the check, the countdown
// texts and the clearing window.
#include "housekeeping/clstimecfg.h"
#include "housekeeping/housekeepingrules.h"
#include "housekeeping/qccfg.h"

#include <QtEndian>
#include <QtTest>
#include <limits>

using namespace housekeepingrules;

namespace {
QByteArray record(qint16 flag, double date) {
    QByteArray b(10, '\0');
    qToLittleEndian(flag, b.data());
    qToLittleEndian(date, b.data() + 2);
    return b;
}
}  // namespace

class TstHousekeepingRules : public QObject {
    Q_OBJECT
private slots:
    void shutdownRecordWritten() {
        QCOMPARE((ShutdownRecord{true, 7 * 3600 + 30 * 60}.toRecord()), QByteArray::fromHex("FFFF000000000000D43F"));
        QCOMPARE((ShutdownRecord{false, 0}.toRecord()), QByteArray(10, '\0'));
    }

    void shutdownRecordRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("time");
        QTest::addColumn<bool>("damaged");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("empty: off at midnight") << QByteArray() << false << 0 << false;
        QTest::newRow("07:30:00 on") << QByteArray::fromHex("FFFF000000000000D43F") << true << 27000 << false;
        QTest::newRow("any flag but 0 is on") << record(1, 0.5) << true << 43200 << false;
        QTest::newRow("a date part is dropped") << record(0, 45000.75) << false << 64800 << false;
        QTest::newRow("before 1899 the fraction still counts from midnight")
            << record(-1, -1.25) << true << 21600 << false;
        QTest::newRow("longer: record 1 counts") << record(-1, 0.5) + "junk" << true << 43200 << false;
        QTest::newRow("cut short: not a shutdown at midnight")
            << QByteArray::fromHex("FFFF000000000000D4") << false << 0 << true;
        QTest::newRow("flag only") << QByteArray::fromHex("FFFF") << false << 0 << true;
        QTest::newRow("NaN") << record(-1, nan) << false << 0 << true;
        QTest::newRow("infinite") << record(-1, std::numeric_limits<double>::infinity()) << false << 0 << true;
        QTest::newRow("huge") << record(-1, 1e300) << false << 0 << true;
    }
    void shutdownRecordRead() {
        QFETCH(QByteArray, bytes);
        QString damage;
        const ShutdownRecord r = ShutdownRecord::fromFile(bytes, &damage);
        QTEST(r.Enabled, "enabled");
        QTEST(r.Time, "time");
        QTEST(!damage.isEmpty(), "damaged");
    }

    void shutdownTimeTyped_data() {
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("seconds");  // -1: "时间设置错误！"
        QTest::newRow("07:30:00") << QStringList{"07", "30", "00"} << 27000;
        QTest::newRow("one digit") << QStringList{"7", "5", "9"} << 25509;
        QTest::newRow("23:59:59") << QStringList{"23", "59", "59"} << 86399;
        QTest::newRow("hour 24") << QStringList{"24", "00", "00"} << -1;
        QTest::newRow("minute 60") << QStringList{"00", "60", "00"} << -1;
        QTest::newRow("second 60") << QStringList{"00", "00", "60"} << -1;
        QTest::newRow("empty box") << QStringList{"", "00", "00"} << -1;
        QTest::newRow("negative") << QStringList{"-1", "00", "00"} << -1;
        QTest::newRow("fraction") << QStringList{"07", "1.", "00"} << -1;
        QTest::newRow("letter after a number") << QStringList{"7a", "00", "00"} << -1;
    }
    void shutdownTimeTyped() {
        QFETCH(QStringList, boxes);
        QFETCH(int, seconds);
        QCOMPARE(shutdownTimeFromBoxes(boxes[0], boxes[1], boxes[2]).value_or(-1), seconds);
    }

    void shutdownDue_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("shutdownTime");
        QTest::addColumn<int>("now");
        QTest::addColumn<bool>("due");
        QTest::newRow("at the time exactly") << true << 61200 << 61200 << false;
        QTest::newRow("one second after") << true << 61200 << 61201 << true;
        QTest::newRow("before") << true << 61200 << 61199 << false;
        QTest::newRow("midnight: any time after") << true << 0 << 1 << true;
        QTest::newRow("off") << false << 0 << 61201 << false;
    }
    void shutdownDue() {
        QFETCH(bool, enabled);
        QFETCH(int, shutdownTime);
        QFETCH(int, now);
        QTEST(isShutdownDue(enabled, shutdownTime, now), "due");
    }

    void countdownTexts_data() {
        QTest::addColumn<int>("counter");
        QTest::addColumn<QString>("text");
        QTest::newRow("first tick") << 0 << "主机将在 10 秒钟后自动关机!";
        QTest::newRow("tenth tick") << 9 << "主机将在 1 秒钟后自动关机!";
        QTest::newRow("zero") << 10 << "主机将在 0 秒钟后自动关机!";
        QTest::newRow("negative without the space") << 11 << "主机将在-1 秒钟后自动关机!";
    }
    void countdownTexts() {
        QFETCH(int, counter);
        QTEST(countdownText(counter), "text");
    }

    void clearingWindow_data() {
        QTest::addColumn<int>("clearingTime");  // -1: not a time of day
        QTest::addColumn<QList<int>>("clearedAt");
        QTest::newRow("12:00:00") << 43200 << QList<int>{43198, 43199, 43200};
        QTest::newRow("midnight: not back across it") << 0 << QList<int>{0};
        QTest::newRow("00:00:01") << 1 << QList<int>{0, 1};
        QTest::newRow("not a time") << -1 << QList<int>{};
    }
    void clearingWindow() {
        QFETCH(int, clearingTime);
        QFETCH(QList<int>, clearedAt);
        const std::optional<int> t = clearingTime < 0 ? std::nullopt : std::optional<int>(clearingTime);
        QList<int> cleared;
        for (int now : {0, 1, 2, 3, 43196, 43197, 43198, 43199, 43200, 43201, 86398, 86399})
            if (isClearingDue(t, now))
                cleared << now;
        QCOMPARE(cleared, clearedAt);
    }

    // A step of the wall clock by ms: its as-run line; and the warning after ms unkept.
    void clockTexts_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("step");  // empty: no step
        QTest::addColumn<QString>("warning");
        const qint64 day = 86400000;
        QTest::newRow("two readings apart") << 99LL << ""
                                            << "";
        QTest::newRow("forward 3.2 s") << 3249LL << "系统时钟被调快 3.2 秒"
                                       << "";
        QTest::newRow("back 2 min 5 s") << -125000LL << "系统时钟被调慢 0:02:05"
                                        << "";
        QTest::newRow("a day") << day << "系统时钟被调快 1 天 0:00:00"
                               << "";
        QTest::newRow("a day and a second") << day + 1000 << "系统时钟被调快 1 天 0:00:01"
                                            << "⚠ 系统时钟已 1 天未与时间服务器同步，铃声可能与其他电脑不同时";
        QTest::newRow("three and a half days") << day * 7 / 2 << "系统时钟被调快 3 天 12:00:00"
                                               << "⚠ 系统时钟已 3 天未与时间服务器同步，铃声可能与其他电脑不同时";
    }
    void clockTexts() {
        QFETCH(qint64, ms);
        QFETCH(QString, step);
        QFETCH(QString, warning);
        QCOMPARE(housekeepingrules::clockStepText(ms).value_or(QString()), step);
        QCOMPARE(housekeepingrules::clockWarningText(ms), warning);
    }

    void qcLineWritten_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<bool>("clearing");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("23:30:00 on") << QStringList{"23", "30", "00"} << true
                                     << QByteArray::fromHex("223233222C223330222C223030222C310D0A");
        QTest::newRow("07:05:09 off") << QStringList{"07", "05", "09"} << false
                                      << QByteArray::fromHex("223037222C223035222C223039222C300D0A");
    }
    void qcLineWritten() {
        QFETCH(QStringList, fields);
        QFETCH(bool, clearing);
        QFETCH(QByteArray, bytes);
        QCOMPARE(qccfg::format(fields[0], fields[1], fields[2], clearing).toLatin1() + "\r\n", bytes);
    }

    void qcLineRead_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("time");  // empty: the dialog keeps its time
        QTest::addColumn<int>("clearing");  // -1: the dialog keeps its check box
        QTest::newRow("as written") << QStringList{"\"23\",\"30\",\"00\",1"} << "23:30:00" << 1;
        QTest::newRow("off") << QStringList{"\"07\",\"05\",\"09\",0"} << "07:05:09" << 0;
        QTest::newRow("quotes missing") << QStringList{"23, 30 ,00,0"} << "23:30:00" << 0;
        QTest::newRow("extra fields") << QStringList{"\"23\",\"30\",\"00\",1,\"x\",7"} << "23:30:00" << 1;
        QTest::newRow("several lines: the first counts")
            << QStringList{"", "\"06\",\"00\",\"00\",0", "\"07\",\"00\",\"00\",1"} << "06:00:00" << 0;
        QTest::newRow("seconds missing") << QStringList{"\"23\",\"30\""} << "" << -1;
        QTest::newRow("check missing") << QStringList{"\"23\",\"30\",\"00\""} << "23:30:00" << -1;
        QTest::newRow("hour out of range") << QStringList{"\"24\",\"30\",\"00\",1"} << "" << 1;
        QTest::newRow("not a number") << QStringList{"\"2?\",\"30\",\"00\",1"} << "" << 1;
        QTest::newRow("check neither 0 nor 1") << QStringList{"\"23\",\"30\",\"00\",x"} << "23:30:00" << -1;
        QTest::newRow("quote not closed") << QStringList{"\"23\",\"30\",\"00,1"} << "" << -1;
    }
    void qcLineRead() {
        QFETCH(QStringList, lines);
        const qccfg::Read r = qccfg::parse(lines);
        QTEST(r.time ? r.time->at(0) + ':' + r.time->at(1) + ':' + r.time->at(2) : QString(), "time");
        QTEST(r.clearing ? int(*r.clearing) : -1, "clearing");
    }
};

QTEST_GUILESS_MAIN(TstHousekeepingRules)
#include "tst_housekeepingrules.moc"
