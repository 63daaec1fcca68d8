// Form3 on the whole main window: qc.cfg at start-up, the clearing of today's marks, saving
// and the close question.
#include "app/form1.h"
#include "housekeeping/autoshutdown.h"
#include "housekeeping/form3.h"
#include "support/testenv.h"
#include "ui/flexgrid.h"

#include <QDir>
#include <QtTest>

namespace {

const QDate Monday(2026, 12, 7);

void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// A Form1 on Monday at the given time with qc.cfg holding the given bytes (none: no file).
struct Rig {
    TestEnv env;
    std::unique_ptr<Form1> form;
    Rig(const QTime &start, const std::optional<QByteArray> &qc) : env(QDateTime(Monday, start)) {
        if (qc)
            writeBytes(env.path("qc.cfg"), *qc);
        form = std::make_unique<Form1>(env.services);
    }
    Form3 &f3() { return form->form3(); }
    // Marks three rows, then ticks second by second up to the given time; the seconds at
    // which the marks were cleared.
    QStringList clearedUntil(const QTime &end) {
        FlexGrid &g = *form->MSFlexGrid1;
        g.setRows(4);
        QStringList cleared;
        while (env.clock->now() < QDateTime(env.clock->date(), end) || env.clock->now().time() > end) {
            for (int r = 1; r < 4; ++r)
                g.setTextMatrix(r, 0, QStringLiteral("√"));
            env.clock->advance(1000);
            if (g.TextMatrix(1, 0).isEmpty() && g.TextMatrix(3, 0).isEmpty())
                cleared << env.clock->now().toString("HH:mm:ss");
            if (g.TextMatrix(0, 0) != QString())
                cleared << "header touched";
        }
        return cleared;
    }
};

}  // namespace

class TstForm3 : public QObject {
    Q_OBJECT
private slots:
    void clearsTodaysMarksInItsWindow_data() {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<std::optional<QByteArray>>("qc");
        QTest::addColumn<QTime>("end");
        QTest::addColumn<QStringList>("cleared");
        QTest::newRow("12:00:00") << QTime(11, 59, 50) << std::optional<QByteArray>("\"12\",\"00\",\"00\",1\r\n")
                                  << QTime(12, 0, 10) << QStringList{"11:59:58", "11:59:59", "12:00:00"};
        QTest::newRow("clearing off") << QTime(11, 59, 50) << std::optional<QByteArray>("\"12\",\"00\",\"00\",0\r\n")
                                      << QTime(12, 0, 10) << QStringList{};
        QTest::newRow("first run: midnight")
            << QTime(23, 59, 50) << std::optional<QByteArray>() << QTime(0, 0, 10) << QStringList{"00:00:00"};
    }
    void clearsTodaysMarksInItsWindow() {
        QFETCH(QTime, start);
        QFETCH(std::optional<QByteArray>, qc);
        QFETCH(QTime, end);
        Rig r(start, qc);
        QVERIFY(!r.f3().isVisible());
        QVERIFY(!r.f3().Command1->isEnabled());
        QTEST(r.clearedUntil(end), "cleared");
        QVERIFY(QFileInfo::exists(r.env.path("qc.cfg")));
    }

    void storedSettingsAtStartUp_data() {
        QTest::addColumn<QByteArray>("qc");
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("clearing");
        QTest::newRow("as saved") << QByteArray("\"07\",\"05\",\"09\",0\r\n") << "07:05:09" << false;
        QTest::newRow("one digit") << QByteArray("\"7\",\"5\",\"9\",1\r\n") << "07:05:09" << true;
        QTest::newRow("not GBK") << QByteArray("\"0\x80\",\"05\",\"09\",0\r\n") << "00:00:00" << false;
        QTest::newRow("out of range") << QByteArray("\"07\",\"75\",\"09\"\r\n") << "00:00:00" << true;
    }
    void storedSettingsAtStartUp() {
        QFETCH(QByteArray, qc);
        Rig r(QTime(7, 0), qc);
        QTEST(r.f3().timeEntry->composedText(), "time");
        QCOMPARE(r.f3().VScroll8->value(), r.f3().Text21->text().toInt());
        QTEST(r.f3().Check1->isChecked(), "clearing");
        QVERIFY(!r.f3().Command1->isEnabled());
        QCOMPARE(readBytes(r.env.path("qc.cfg")), qc);
    }

    void enterSavesTheLine() {
        Rig r(QTime(7, 0), QByteArray("\"12\",\"00\",\"00\",1\r\n"));
        r.form->show();
        r.form->Command14->click();
        QTest::mouseClick(r.form->autoShutdown().Command29, Qt::LeftButton);
        Form3 &f = r.f3();
        QVERIFY(f.isVisible() && r.form->isVisible());
        QCOMPARE(f.windowTitle(), QStringLiteral("播放清除设置"));
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(f.VScroll8, Qt::Key_Up);
        QCOMPARE(f.Text21->text(), QStringLiteral("05"));
        QVERIFY(f.Command1->isEnabled());
        QTest::mouseClick(f.Check1, Qt::LeftButton, {}, QPoint(8, f.Check1->height() / 2));  // on its box
        QTest::keyClick(&f, Qt::Key_Return);
        QCOMPARE(readBytes(r.env.path("qc.cfg")), QByteArray::fromHex("223132222C223035222C223030222C300D0A"));
        QVERIFY(!f.Command1->isEnabled());
        QTest::keyClick(&f, Qt::Key_Escape);  // nothing unsaved: closes without asking
        QVERIFY(!f.isVisible());
        QVERIFY(r.env.dialogs->messages.isEmpty());
    }

    void declinedChangesHoldForThisRunOnly() {
        const QByteArray saved("\"12\",\"00\",\"00\",1\r\n");
        Rig r(QTime(6, 59, 50), saved);
        Form3 &f = r.f3();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(f.VScroll9, Qt::Key_Down);
        QCOMPARE(f.timeEntry->composedText(), QStringLiteral("07:00:00"));
        r.env.dialogs->answers.enqueue(Dialogs::Answer::No);
        QTest::mouseClick(f.Command2, Qt::LeftButton);
        QCOMPARE(r.env.dialogs->messages.size(), 1);
        const FakeDialogs::Shown &asked = r.env.dialogs->messages[0];
        QCOMPARE(asked.text, QStringLiteral("设置数据已经修改，需要保存吗？"));
        QCOMPARE(asked.title, QStringLiteral("警告"));
        QVERIFY(asked.buttons == Dialogs::Buttons::YesNo && asked.icon == Dialogs::Icon::Question);
        QVERIFY(asked.defaultAnswer == Dialogs::Answer::Yes);
        QVERIFY(!f.isVisible() && !f.Command1->isEnabled());
        QCOMPARE(readBytes(r.env.path("qc.cfg")), saved);
        QCOMPARE(r.clearedUntil(QTime(7, 0, 5)), (QStringList{"06:59:58", "06:59:59", "07:00:00"}));
        // The next start has the saved time again.
        r.form.reset();
        Form1 again(r.env.services);
        QCOMPARE(again.form3().timeEntry->composedText(), QStringLiteral("12:00:00"));
    }

    void aSaveThatFailsKeepsTheChanges() {
        TestEnv env(QDateTime(Monday, QTime(7, 0)));
        QVERIFY(QDir(env.dir.path()).mkdir("qc.cfg"));  // a folder where the file should be
        Form1 form(env.services);
        Form3 &f = form.form3();
        QCOMPARE(f.timeEntry->composedText(), QStringLiteral("00:00:00"));
        f.show();
        f.Check1->click();
        f.Command1->click();
        QCOMPARE(env.dialogs->messages.size(), 1);
        QVERIFY2(env.dialogs->messages[0].text.contains("qc.cfg"), qPrintable(env.dialogs->messages[0].text));
        QVERIFY(f.Command1->isEnabled());
        env.dialogs->answers.enqueue(Dialogs::Answer::Yes);
        f.Command2->click();  // asks, the save fails again: the dialog stays with its changes
        QCOMPARE(env.dialogs->messages.size(), 3);
        QVERIFY(f.isVisible() && f.Command1->isEnabled());
    }

    void theDialogFits() {
        Rig r(QTime(7, 0), std::nullopt);
        Form3 &f = r.f3();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY(!(f.windowFlags() & Qt::FramelessWindowHint));
        const QRect inside(QPoint(0, 0), f.size());
        for (QWidget *w : f.findChildren<QWidget *>()) {
            if (!w->isVisibleTo(&f))
                continue;
            const QSize min = w->minimumSizeHint();
            QVERIFY2(!min.isValid() || (w->width() >= min.width() && w->height() >= min.height()),
                     qPrintable(w->objectName()));
            QVERIFY2(inside.contains(QRect(w->mapTo(&f, QPoint(0, 0)), w->size())), qPrintable(w->objectName()));
        }
        QDir().mkpath(QCoreApplication::applicationDirPath() + "/screenshots");
        f.grab().save(QCoreApplication::applicationDirPath() + "/screenshots/form3.png");
    }
};

QTEST_MAIN(TstForm3)
#include "tst_form3.moc"
