// Timers on the simulated clock (the enable rule and firing order) and the real clock's second tick.
#include "support/simclock.h"

#include <QtTest>

#include <algorithm>

class TestClock : public QObject {
    Q_OBJECT
private slots:
    void enablingAnEnabledTimerKeepsItsCountdown() {
        SimClock clock(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
        Timer t(clock, "Timer4", 5000);
        int fired = 0;
        connect(&t, &Timer::timeout, [&] { ++fired; });
        t.setEnabled(true);
        clock.advance(3000);
        t.setEnabled(true);  // no restart
        clock.advance(2000);
        QCOMPARE(fired, 1);
        t.setEnabled(false);
        clock.advance(1000);
        t.setEnabled(true);  // a fresh interval from now
        clock.advance(4999);
        QCOMPARE(fired, 1);
        clock.advance(1);
        QCOMPARE(fired, 2);
    }

    void timersFireInTimeOrderAtTheirExactMoment() {
        SimClock clock(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
        Timer a(clock, "a", 1000, true), b(clock, "b", 2500, true);
        QStringList order;
        connect(&a, &Timer::timeout, [&] { order << "a" + clock.now().toString("ss.zzz"); });
        connect(&b, &Timer::timeout, [&] {
            order << "b" + clock.now().toString("ss.zzz");
            b.setEnabled(false);  // a handler that disables its own timer
        });
        clock.advance(3000);
        QCOMPARE(order, QStringList({"a01.000", "a02.000", "b02.500", "a03.000"}));
    }

    void weekdayAndSeconds() {
        SimClock clock(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59)));  // a Sunday
        QCOMPARE(clock.weekday(), 1);
        QCOMPARE(clock.secondsOfDay(), 86399);
        clock.advance(1000);
        QCOMPARE(clock.weekday(), 2);
        QCOMPARE(clock.secondsOfDay(), 0);
    }

    void aDayPassesQuickly() {
        SimClock clock(QDateTime(QDate(2026, 12, 7), QTime(0, 0)));
        Timer t(clock, "Timer1", 1000, true);
        int ticks = 0;
        connect(&t, &Timer::timeout, [&] { ++ticks; });
        clock.advance(24LL * 3600 * 1000);
        QCOMPARE(ticks, 86400);
    }

    // The real clock's tick aligned to the second, through a spell when its wall-clock alarm
    // cannot be set: the tick keeps coming, one in each second, and goes back to the alarm.
    void realSecondTickOutlastsAFailingAlarm() {
        RealClock clock;
        Timer t(clock, "Timer1", 1000);
        t.setAlignedToSecond(true);
        QList<qint64> seconds;
        connect(&t, &Timer::timeout, [&] { seconds << QDateTime::currentMSecsSinceEpoch() / 1000; });
        // The loop of a busy program, with no pause between its passes.
        const auto runUntilTicks = [&](int n) {
            QElapsedTimer waited;
            waited.start();
            while (seconds.size() < n && waited.elapsed() < 3000 * n)
                QCoreApplication::processEvents();
        };
        t.setEnabled(true);
        runUntilTicks(1);
        setWallClockAlarmFails(true);
        runUntilTicks(3);
        setWallClockAlarmFails(false);
        QTRY_COMPARE_WITH_TIMEOUT(seconds.size(), 4, 3000);
        runUntilTicks(5);
        QCOMPARE(seconds.size(), 5);
        QVERIFY(std::adjacent_find(seconds.begin(), seconds.end(), std::greater_equal<>()) == seconds.end());
    }
};

QTEST_GUILESS_MAIN(TestClock)
#include "tst_clock.moc"
