// The first-run demonstration: its files, and an operator's own configuration left alone.
#include "core/schedulelistfile.h"
#include "demo/demoschedule.h"
#include "editor/lstcfg.h"
#include "support/panelenv.h"

#include <QtTest>

class TestDemo : public QObject {
    Q_OBJECT
    static WeekdayListConfig readConfig(const QString &path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return WeekdayListConfig::fromRecord(f.readAll());
    }

private slots:
    void writesSoundsAListAndTheConfiguration() {
        PanelEnv env;
        const QDateTime now(QDate(2026, 12, 7), QTime(9, 0, 0));
        QCOMPARE(demo::write(env.appDir, now).reason(), QString());
        QList<ScheduleItem> items;
        QVERIFY(ScheduleListFile::load(env.path("demo/today.lst"), &items).ok());
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0].StartTime, 9 * 3600 + 60);
        for (const ScheduleItem &it : items)
            QVERIFY2(QFileInfo(it.SoundFile).size() > 0, qPrintable(it.SoundFile));
        const WeekdayListConfig c = readConfig(env.path("LstCfg.Cfg"));
        QVERIFY(c.SameEveryDay);
        QCOMPARE(c.EveryDayPath, env.path("demo/today.lst"));
        // Running it again refreshes the times and keeps its own configuration.
        QCOMPARE(demo::write(env.appDir, now.addSecs(600)).reason(), QString());
        QVERIFY(ScheduleListFile::load(env.path("demo/today.lst"), &items).ok());
        QCOMPARE(items[0].StartTime, 9 * 3600 + 660);
    }

    void aFolderTooDeepForTheListIsRefused() {
        PanelEnv env;
        const QString deep = env.appDir + QString(100, QLatin1Char('d')) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(deep));
        const Result written = demo::write(deep, QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        QVERIFY2(!written && written.reason().contains(QStringLiteral("shorter folder")), qPrintable(written.reason()));
        QVERIFY(!QFile::exists(deep + QLatin1String(WeekdayListConfig::FileName)));
    }

    void anOperatorsConfigurationIsLeftAlone() {
        PanelEnv env;
        WeekdayListConfig mine;
        mine.DayPaths[1] = QStringLiteral("/school/monday.lst");
        QFile f(env.path("LstCfg.Cfg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(mine.toRecord());
        f.close();
        const Result written = demo::write(env.appDir, QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        QVERIFY(!written && written.reason().contains(QStringLiteral("configuration of its own")));
        QCOMPARE(readConfig(env.path("LstCfg.Cfg")).DayPaths[1], QStringLiteral("/school/monday.lst"));
    }
};

QTEST_GUILESS_MAIN(TestDemo)
#include "tst_demo.moc"
