// Files the program can read but not write: the day's list still plays, the editor still opens
// the list, the volumes still load, and only a refused write is reported. Run as an
// unprivileged user (ctest does so when it runs as root): for root nothing is read-only.
#include "app/form1.h"
#include "editor/holidaydialog.h"
#include "editor/lstcfg.h"
#include "editor/scheduleeditor.h"
#include "editor/weekdaypanel.h"
#include "housekeeping/autoshutdown.h"
#include "housekeeping/form3.h"
#include "support/listfiles.h"
#include "support/testenv.h"
#include "support/testfiles.h"
#include "ui/flexgrid.h"
#include "ui/slider.h"
#include "volume/form2.h"

#include <unistd.h>
#include <QtTest>

namespace {

void writeReadOnly(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
}

}  // namespace

class TestReadOnly : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (geteuid() == 0)
            QSKIP("root may write every file; ctest runs this test as nobody");
    }

    void readOnlyFilesReadAsUsual() {
        TestEnv env;  // Monday 07:00
        const QString list = env.path("monday.lst");
        writeList(list, {item("07:00:10", "上课铃", "0:00:05", "/sounds/bell.wav")});
        QVERIFY(QFile(list).setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        WeekdayListConfig c;
        c.DayPaths[1] = list;
        writeReadOnly(env.path("LstCfg.Cfg"), c.toRecord());
        writeReadOnly(env.path("Volume.cfg"), QByteArray("1000\r\n").repeated(13));
        writeReadOnly(env.path("ClsTime.Cfg"), QByteArray::fromHex("FFFF000000000000D43F"));  // on, 07:30:00
        writeReadOnly(env.path("qc.cfg"), QByteArray("\"23\",\"30\",\"00\",0\r\n"));
        writeReadOnly(env.path("Holidays.txt"), QByteArray("2026-12-08 休息\r\n"));

        Form1 form(env.services);
        QCOMPARE(form.form2().Slider1->value(), 1000);
        QCOMPARE(form.Frame1->Text5->text(), list);
        QVERIFY(form.autoShutdown().Check1->isChecked());
        QCOMPARE(form.autoShutdown().ShutdownTime, 7 * 3600 + 30 * 60);
        QCOMPARE(form.form3().timeEntry->composedText(), QStringLiteral("23:30:00"));
        QCOMPARE(form.holidays().follows(QDate(2026, 12, 8)), DayOff);

        // The day's list loads at the first tick and its item plays.
        env.clock->advance(12000);
        QCOMPARE(form.todayList.count(), 1);
        QVERIFY2(env.mci->log.contains("file=/sounds/bell.wav") && env.mci->log.contains("play"),
                 qPrintable(env.mci->log.join(' ')));

        // The editor opens the read-only list and says nothing until a write is refused.
        const QByteArray before = bytesOf(list);
        ScheduleEditor &editor = form.scheduleEditor();
        env.dialogs->chosenFiles.enqueue(list);
        editor.Command6->click();
        QCOMPARE(editor.Text19->text(), list);
        QCOMPARE(editor.MSFlexGrid2->Rows(), 2);
        QVERIFY(env.dialogs->messages.isEmpty());
        editor.Command7->click();
        editor.Text12->setText(QStringLiteral("/sounds/other.wav"));
        editor.Command7->click();
        QCOMPARE(env.dialogs->messages.size(), 1);
        QCOMPARE(env.dialogs->messages.first().icon, Dialogs::Icon::Critical);
        QVERIFY(env.dialogs->messages.first().text.contains(list));
        QCOMPARE(bytesOf(list), before);
        QCOMPARE(editor.MSFlexGrid2->Rows(), 2);

        // The calendar's save is refused with a message naming its file; the file and the
        // calendar in force stay as they were.
        HolidayDialog &holidays = form.holidayDialog();
        holidays.openDialog();
        holidays.calendar->setSelectedDate(QDate(2026, 12, 9));
        holidays.offOption->setChecked(true);
        holidays.saveButton->click();
        QCOMPARE(env.dialogs->messages.size(), 2);
        QCOMPARE(env.dialogs->messages.last().icon, Dialogs::Icon::Critical);
        QVERIFY(env.dialogs->messages.last().text.contains(env.path("Holidays.txt")));
        QCOMPARE(bytesOf(env.path("Holidays.txt")), QByteArray("2026-12-08 休息\r\n"));
        QCOMPARE(form.holidays().follows(QDate(2026, 12, 9)), 4);  // a Wednesday as ever
        QVERIFY(holidays.saveButton->isEnabled());
    }
};

QTEST_MAIN(TestReadOnly)
#include "tst_readonly.moc"
