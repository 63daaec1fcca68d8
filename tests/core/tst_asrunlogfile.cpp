// The as-run log's files: a file a day by the clock, old ones removed whatever the clock does, and a
// folder that cannot be written.
#include "core/asrunlogfile.h"
#include "support/simclock.h"

#include <QtTest>

namespace {

QByteArray bytesOf(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void touch(const QString &path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

}  // namespace

class TestAsRunLogFile : public QObject {
    Q_OBJECT
private slots:
    // Each line goes to the file of its own date, also across midnight, each on one line
    // whatever the file's name holds.
    void aFileForEachDay() {
        QTemporaryDir dir;
        const QString logs = dir.filePath("logs");
        SimClock clock(QDateTime(QDate(2026, 12, 7), QTime(23, 59, 58)));
        AsRunLogFile log(logs, clock);
        log.record(QStringLiteral("test"), QStringLiteral("开始播放 定时 /s/铃声.wav 音量 49152"));
        clock.advance(3000);
        log.record(QStringLiteral("test"), QStringLiteral("到时 /s/a\nb\r\u2028c\x1b.wav"));
        log.flush();
        QCOMPARE(bytesOf(logs + "/2026-12-07.log"),
                 QStringLiteral("23:59:58 开始播放 定时 /s/铃声.wav 音量 49152\n").toUtf8());
        QCOMPARE(bytesOf(logs + "/2026-12-08.log"),
                 QStringLiteral("00:00:01 到时 /s/a\\nb\\r\\u2028c\\x1b.wav\n").toUtf8());
        QCOMPARE(log.linesLost(), 0);
    }

    // A file for each day from `from` to `to` before the log starts at `start`, where it
    // records a line; the wall clock is set forward by `step`, then two minutes pass. Only a
    // day more than 60 days old of which more than 60 later days are logged goes.
    void oldDaysGo_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<qint64>("step");
        QTest::addColumn<QDate>("oldestLeft");
        const QDateTime lateMonday(QDate(2026, 12, 7), QTime(23, 59));
        const qint64 years = lateMonday.msecsTo(QDateTime(QDate(2099, 1, 1), QTime(10, 0)));
        QTest::newRow("start-up, then midnight while running")
            << QDate(2026, 10, 6) << QDate(2026, 12, 6) << lateMonday << 0LL << QDate(2026, 10, 9);
        QTest::newRow("started with the clock years ahead")
            << QDate(2026, 11, 8) << QDate(2026, 12, 6) << QDateTime(QDate(2099, 1, 1), QTime(7, 0)) << 0LL
            << QDate(2026, 11, 8);
        QTest::newRow("clock set years ahead while running")
            << QDate(2026, 10, 9) << QDate(2026, 12, 6) << lateMonday << years << QDate(2026, 10, 9);
        QTest::newRow("back after the summer holidays")
            << QDate(2026, 5, 2) << QDate(2026, 6, 30) << QDateTime(QDate(2026, 9, 1), QTime(7, 0)) << 0LL
            << QDate(2026, 5, 2);
    }
    void oldDaysGo() {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QDateTime, start);
        QFETCH(qint64, step);
        QFETCH(QDate, oldestLeft);
        QTemporaryDir dir;
        const QString logs = dir.filePath("logs");
        QVERIFY(QDir().mkpath(logs));
        touch(logs + "/notes.log");
        for (QDate d = from; d <= to; d = d.addDays(1))
            touch(logs + '/' + AsRunLogFile::fileName(d));
        SimClock clock(start);
        AsRunLogFile log(logs, clock);
        log.record(QStringLiteral("test"), QStringLiteral("程序启动"));
        clock.step(step);
        clock.advance(120000);
        log.flush();
        // Removal takes the oldest first: the oldest left says what went.
        QCOMPARE(QDir(logs).entryList({"2*.log"}, QDir::Files, QDir::Name).value(0),
                 AsRunLogFile::fileName(oldestLeft));
        QVERIFY(QFile::exists(logs + "/notes.log"));
    }

    // A file where the folder should be: lines are dropped and counted, nothing waits or
    // fails; once the way is clear the next lines are written.
    void aFileWhereTheFolderShouldBe() {
        QTemporaryDir dir;
        const QString logs = dir.filePath("logs");
        touch(logs);
        SimClock clock;
        AsRunLogFile log(logs, clock);
        log.record(QStringLiteral("test"), QStringLiteral("a"));
        log.record(QStringLiteral("test"), QStringLiteral("b"));
        log.flush();
        QCOMPARE(log.linesLost(), 2);
        QVERIFY(QFile::remove(logs));
        log.record(QStringLiteral("test"), QStringLiteral("c"));
        log.flush();
        QCOMPARE(log.linesLost(), 2);
        QCOMPARE(bytesOf(logs + "/2026-12-07.log"), QByteArray("07:00:00 c\n"));
    }
};

QTEST_GUILESS_MAIN(TestAsRunLogFile)
#include "tst_asrunlogfile.moc"
