// The calendar's lines as a hand writes them, and its file replaced whole by a save.
#include "core/gbk.h"
#include "core/holidaycalendar.h"

#include <QTemporaryDir>
#include <QtTest>

class TstHolidayRules : public QObject {
    Q_OBJECT
private slots:
    void lineForms_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QDate>("date");  // invalid: the line is skipped
        QTest::addColumn<int>("follows");
        QTest::addColumn<QString>("note");
        const QDate d(2027, 2, 7);
        QTest::newRow("off") << "2027-02-10 off" << QDate(2027, 2, 10) << DayOff << "";
        QTest::newRow("周一") << "2027-02-07 周一" << d << 2 << "";
        QTest::newRow("slashes, 按星期天, a note") << "2027/2/7　按星期天 # 调休" << d << 1 << "调休";
        QTest::newRow("年月日, sat") << " 2027年2月7日 Sat" << d << 7 << "";
        QTest::newRow("休息 and a comma") << "2027-02-07，休息" << d << DayOff << "";
        QTest::newRow("no such day") << "2027-02-29 休息" << QDate() << 0 << "";
        QTest::newRow("no weekday") << "2027-02-07" << QDate() << 0 << "";
        QTest::newRow("no such weekday") << "2027-02-07 周八" << QDate() << 0 << "";
        QTest::newRow("not a date") << "春节 休息" << QDate() << 0 << "";
        QTest::newRow("a list file without its folder") << "2027-02-07 考试.lst" << QDate() << 0 << "";
    }
    void lineForms() {
        QFETCH(QString, line);
        QFETCH(QDate, date);
        QFETCH(int, follows);
        QFETCH(QString, note);
        const holidayrules::Line parsed = holidayrules::parseLine(line);
        QCOMPARE(parsed.kind, date.isValid() ? holidayrules::LineKind::Entry : holidayrules::LineKind::Bad);
        if (!date.isValid()) {
            QVERIFY(!parsed.reason.isEmpty());
            return;
        }
        QCOMPARE(parsed.entry.date, date);
        QCOMPARE(parsed.entry.follows, follows);
        QCOMPARE(parsed.entry.note, note);
    }

    // Every choice the dialog offers is written and read back as itself.
    void everyChoiceSavedAndReadBack_data() {
        QTest::addColumn<int>("follows");
        QTest::addColumn<QString>("word");
        QTest::newRow("day off") << DayOff << "休息";
        QTest::newRow("a list file, spaces and all") << 1 << "/srv/广播/期末 考试.lst";
        const QStringList words = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};
        for (int d = 1; d <= 7; ++d)
            QTest::newRow(qPrintable(words[d - 1])) << d << words[d - 1];
    }
    void everyChoiceSavedAndReadBack() {
        QFETCH(int, follows);
        QFETCH(QString, word);
        const QDate date(2027, 2, 7);
        holidayrules::Calendar calendar;
        calendar.entries.insert(date, {date, follows, QString(), word.startsWith('/') ? word : QString()});
        const QByteArray bytes = holidayrules::format(calendar);
        QVERIFY(bytes.contains(("2027-02-07 " + word + "\r\n").toUtf8()));
        QCOMPARE(holidayrules::parse(bytes).entries.value(date), calendar.entries.value(date));
    }

    // A hand-edited file in GBK with damaged lines: what is left of it comes into force and
    // the rest is counted by line number; the save replaces the old, longer file whole with
    // exactly what format() gives, damaged lines kept as comments.
    void editedFileReadAndReplacedWhole() {
        QTemporaryDir dir;
        const QString appDir = dir.path() + QLatin1Char('/');
        const QString path = appDir + QLatin1String(HolidayCalendar::FileName);
        // Headed as the versions before special days wrote it: the old heading is not kept.
        const QByteArray edited = gbk::encode(QStringLiteral("# 节假日与调休：每行一个日期，其后写“休息”或星期几。\r\n"
                                                             "# 本学期\r\n"
                                                             "2027-02-10 休息 # 春节\r\n"
                                                             "2027-02-07 调休\r\n"
                                                             "\r\n"
                                                             "2027-02-07 周四\r\n"
                                                             "2027-02-10 周一\n")) +
                                  QByteArray(300, ' ');
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(edited) == edited.size());
        }
        HolidayCalendar calendar(appDir);
        QVERIFY(calendar.load().ok());
        QCOMPARE(calendar.follows(QDate(2027, 2, 10)), DayOff);
        QCOMPARE(calendar.follows(QDate(2027, 2, 7)), 5);
        QCOMPARE(calendar.follows(QDate(2027, 2, 8)), 2);  // no entry: its own weekday
        QCOMPARE(calendar.calendar().skipped.size(), 2);
        QCOMPARE(calendar.calendar().skipped[0].number, 4);
        QCOMPARE(calendar.calendar().skipped[1].number, 7);
        QCOMPARE(calendar.calendar().comments, QStringList{"# 本学期"});

        QVERIFY(calendar.save(calendar.calendar()).ok());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray written = f.readAll();
        QCOMPARE(written, holidayrules::format(calendar.calendar()));
        QVERIFY2(written.endsWith("# 本学期\r\n"
                                  "# 无法识别（没有写明休息或星期几）：2027-02-07 调休\r\n"
                                  "# 无法识别（日期重复）：2027-02-10 周一\r\n"
                                  "2027-02-07 周四\r\n"
                                  "2027-02-10 休息  # 春节\r\n"),
                 written.constData());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{HolidayCalendar::FileName});
        QVERIFY(calendar.calendar().skipped.isEmpty());  // reported once: now comments
        QVERIFY(calendar.load().ok());
        QCOMPARE(calendar.calendar().entries.size(), 2);
        QCOMPARE(holidayrules::format(calendar.calendar()), written);  // a second save changes nothing
    }
};

QTEST_GUILESS_MAIN(TstHolidayRules)
#include "tst_holidayrules.moc"
