// The calendar dialog driven by its controls: marking dates, the file's faults, saving, failing to save, fitting.
#include "core/gbk.h"
#include "editor/holidaydialog.h"
#include "support/panelenv.h"

#include <QDir>
#include <QtTest>

namespace {

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

const QDate Today(2026, 12, 7);  // a Monday

// On its indicator: an option button wider than its caption takes clicks only there and on the caption.
void clickOption(QRadioButton *option) {
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
}

}  // namespace

class TstHolidayDialog : public QObject {
    Q_OBJECT

    struct Rig {
        PanelEnv env;
        HolidayCalendar holidays{env.appDir};
        HolidayDialog dialog{*env.clock, *env.dialogs, env.commonDialog, holidays};
        Rig() { env.clock->set(QDateTime(Today, QTime(9, 0))); }
        QStringList coming() const {
            QStringList texts;
            for (int i = 0; i < dialog.comingList->count(); ++i)
                texts << dialog.comingList->item(i)->text();
            return texts;
        }
    };

private slots:
    void markingAndSavingWritesTheFileWhole() {
        Rig r;
        HolidayDialog &d = r.dialog;
        d.openDialog();
        QVERIFY(d.isVisible() && !d.saveButton->isEnabled());
        QCOMPARE(d.calendar->selectedDate(), Today);
        QCOMPARE(r.coming(), QStringList{"（没有）"});

        d.calendar->setSelectedDate(QDate(2027, 2, 7));
        clickOption(d.makeUpOption);
        d.weekdayBox->setCurrentIndex(d.weekdayBox->findText(QStringLiteral("星期四")));
        d.calendar->setSelectedDate(QDate(2027, 2, 10));
        clickOption(d.offOption);
        QTest::sendKeyEvent(QTest::Click, d.noteText, Qt::Key_unknown, QStringLiteral("春节"), Qt::NoModifier);
        d.calendar->setSelectedDate(QDate(2026, 12, 1));  // a past date is kept but not listed
        clickOption(d.offOption);
        QVERIFY(d.saveButton->isEnabled());
        QCOMPARE(r.coming(), QStringList({"2027-02-07 星期日　按周四", "2027-02-10 星期三　休息　春节"}));
        QCOMPARE(r.holidays.follows(QDate(2027, 2, 7)), 1);  // nothing in force before saving

        QTest::mouseClick(d.saveButton, Qt::LeftButton);
        QVERIFY(!d.saveButton->isEnabled());
        const QByteArray bytes = fileBytes(r.env.path("Holidays.txt"));
        QVERIFY2(bytes.endsWith("2026-12-01 休息\r\n2027-02-07 周四\r\n2027-02-10 休息  # 春节\r\n"),
                 bytes.constData());
        QCOMPARE(QDir(r.env.dir.path()).entryList(QDir::Files), QStringList{"Holidays.txt"});  // no temporary left
        QCOMPARE(r.holidays.follows(QDate(2027, 2, 7)), 5);
        QCOMPARE(r.holidays.follows(QDate(2027, 2, 10)), DayOff);

        // "照常" removes a date's entry again; closing with it unsaved asks, and No keeps the file.
        d.calendar->setSelectedDate(QDate(2027, 2, 7));
        QVERIFY(d.makeUpOption->isChecked() && d.weekdayBox->currentText() == QStringLiteral("星期四"));
        clickOption(d.ordinaryOption);
        r.env.dialogs->answers.enqueue(Dialogs::Answer::No);
        QTest::mouseClick(d.closeButton, Qt::LeftButton);
        QCOMPARE(r.env.dialogs->messages.size(), 1);
        QCOMPARE(r.env.dialogs->messages[0].text, QStringLiteral("设置数据已经修改，需要保存吗？"));
        QVERIFY(!d.isVisible());
        QCOMPARE(fileBytes(r.env.path("Holidays.txt")), bytes);
        QCOMPARE(r.holidays.follows(QDate(2027, 2, 7)), 5);
    }

    // "按列表文件" asks for the file at once: a path the file could not keep is refused, and a
    // cancelled choice leaves the date as it was.
    void aSpecialDayNeedsAListFileTheFileCanKeep() {
        Rig r;
        HolidayDialog &d = r.dialog;
        d.openDialog();
        r.env.dialogs->chosenFiles.enqueue(QStringLiteral("/srv/广播/#1 考试.lst"));
        clickOption(d.specialOption);
        QCOMPARE(r.env.dialogs->messages.size(), 1);
        QVERIFY(r.env.dialogs->messages[0].text.contains(QStringLiteral("含有井号")));
        clickOption(d.specialOption);  // the file dialog cancelled
        QVERIFY(d.ordinaryOption->isChecked() && !d.saveButton->isEnabled() && d.listFileText->text().isEmpty());
    }

    // A hand-edited file: its damaged lines are left out and named once, with their numbers;
    // a save keeps their text as comments, so the next opening reports nothing.
    void damagedLinesAreReportedOnce() {
        Rig r;
        writeBytes(r.env.path("Holidays.txt"),
                   "2027-01-01 休息 # 元旦\r\n"
                   "2027-02-30 休息\r\n"
                   "2027-02-07\r\n"
                   "\r\n"
                   "明天 off\r\n"
                   "2027-02-07 星期一\r\n"
                   "2027-01-01 周二\r\n");
        QVERIFY(r.holidays.load().ok());
        HolidayDialog &d = r.dialog;
        d.openDialog();
        QVERIFY(d.skippedNote->isVisibleTo(&d));
        const QString note = d.skippedNote->text();
        QVERIFY2(note.contains(QStringLiteral("有 4 行无法识别")), qPrintable(note));
        for (const char *line :
             {"第 2 行（没有这一天）", "第 3 行（没有写明休息或星期几）", "第 5 行（不是日期）", "第 7 行（日期重复）"})
            QVERIFY2(note.contains(QString::fromUtf8(line)), line);
        QCOMPARE(r.coming(), QStringList({"2027-01-01 星期五　休息　元旦", "2027-02-07 星期日　按周一"}));

        QVERIFY(d.saveCalendar());
        QVERIFY(!d.skippedNote->isVisibleTo(&d));
        const QString text = QString::fromUtf8(fileBytes(r.env.path("Holidays.txt")));
        QVERIFY2(text.contains(QStringLiteral("# 无法识别（不是日期）：明天 off\r\n")), qPrintable(text));
        d.hide();
        d.openDialog();
        QVERIFY(!d.skippedNote->isVisibleTo(&d));
        QCOMPARE(r.coming().size(), 2);
    }

    // A line in GBK among UTF-8 lines is read as GBK; a line that is neither costs that line
    // alone: listed as not understood, and a save writes its bytes back as they were.
    void oneUnreadableLineCostsThatLineAlone() {
        Rig r;
        const QByteArray unreadable("2027-03-01 \xB0\xFF\xFE");
        writeBytes(r.env.path("Holidays.txt"), "2027-01-01 休息 # 元旦\r\n" +
                                                   gbk::encode(QStringLiteral("2027-02-07 周一\r\n")) + unreadable +
                                                   "\r\n2027-02-10 休息\r\n");
        HolidayDialog &d = r.dialog;
        d.openDialog();
        QCOMPARE(r.coming(), QStringList({"2027-01-01 星期五　休息　元旦", "2027-02-07 星期日　按周一",
                                          "2027-02-10 星期三　休息"}));
        QCOMPARE(r.holidays.follows(QDate(2027, 2, 10)), DayOff);
        QVERIFY2(d.skippedNote->text().contains(QStringLiteral("第 3 行（无法识别的文字）")),
                 qPrintable(d.skippedNote->text()));

        d.calendar->setSelectedDate(QDate(2027, 3, 2));
        clickOption(d.offOption);
        QTest::mouseClick(d.saveButton, Qt::LeftButton);
        const QByteArray saved = fileBytes(r.env.path("Holidays.txt"));
        QVERIFY2(saved.contains("\n" + unreadable + "\r\n") && saved.contains("2027-03-02 休息\r\n"),
                 saved.constData());
        QCOMPARE(r.holidays.follows(QDate(2027, 2, 7)), 2);
        QVERIFY(d.skippedNote->text().contains(QStringLiteral("（无法识别的文字）")));  // still not in force
    }

    // A folder where the file should be: the dialog says it cannot read it, and a save names
    // the file, keeps the edits and the calendar in force, and leaves "保　存" enabled.
    void aFileThatCannotBeWrittenIsNamed() {
        Rig r;
        QVERIFY(QDir(r.env.dir.path()).mkdir("Holidays.txt"));
        HolidayDialog &d = r.dialog;
        d.openDialog();
        QVERIFY(d.skippedNote->text().contains(QStringLiteral("无法读取")));
        d.calendar->setSelectedDate(QDate(2027, 2, 10));
        clickOption(d.offOption);
        QTest::mouseClick(d.saveButton, Qt::LeftButton);
        QCOMPARE(r.env.dialogs->messages.size(), 1);
        const FakeDialogs::Shown &shown = r.env.dialogs->messages[0];
        QVERIFY2(shown.text.contains(QDir::toNativeSeparators(r.env.path("Holidays.txt"))), qPrintable(shown.text));
        QCOMPARE(shown.icon, Dialogs::Icon::Critical);
        QVERIFY(d.saveButton->isEnabled() && d.offOption->isChecked());
        QCOMPARE(r.holidays.follows(QDate(2027, 2, 10)), 4);
        QVERIFY(QFileInfo(r.env.path("Holidays.txt")).isDir());
    }

    void theDialogFits() {
        Rig r;
        writeBytes(r.env.path("Holidays.txt"), "2026-12-12 周一\r\n2027-01-01 休息 # 元旦\r\n2027-13-01 休息\r\n");
        HolidayDialog &d = r.dialog;
        d.openDialog();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const QRect inside(QPoint(0, 0), d.size());
        for (QWidget *w : d.findChildren<QWidget *>()) {
            if (!w->isVisibleTo(&d) || w->parentWidget() != &d)
                continue;
            const QSize min = w->minimumSizeHint();
            QVERIFY2(!min.isValid() || (w->width() >= min.width() && w->height() >= min.height()),
                     qPrintable(w->objectName()));
            QVERIFY2(inside.contains(QRect(w->mapTo(&d, QPoint(0, 0)), w->size())), qPrintable(w->objectName()));
        }
        QDir().mkpath(QCoreApplication::applicationDirPath() + "/screenshots");
        d.grab().save(QCoreApplication::applicationDirPath() + "/screenshots/holidaydialog.png");
    }
};

QTEST_MAIN(TstHolidayDialog)
#include "tst_holidaydialog.moc"
