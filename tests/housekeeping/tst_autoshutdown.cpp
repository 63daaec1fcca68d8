// The automatic shutdown on the whole main window: the check, the countdown, the strip and
// ClsTime.Cfg, a refused request, and where the strip and the panel lie.
#include "app/form1.h"
#include "editor/weekdaypanel.h"
#include "housekeeping/autoshutdown.h"
#include "housekeeping/housekeepingrules.h"
#include "support/listfiles.h"
#include "support/testenv.h"

#include <QDir>
#include <QtTest>

namespace {

const QDate Monday(2026, 12, 7);

QByteArray record(bool on, int seconds) {
    QByteArray b(10, '\0');
    qToLittleEndian<qint16>(on ? -1 : 0, b.data());
    qToLittleEndian<double>(seconds / 86400.0, b.data() + 2);
    return b;
}
const QByteArray SeventeenOn = record(true, 17 * 3600);

void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// A Form1 on Monday at the given time, with ClsTime.Cfg holding the given bytes.
struct Rig {
    TestEnv env;
    std::unique_ptr<Form1> form;
    Rig(const QTime &start, const QByteArray &setting) : env(QDateTime(Monday, start)) {
        writeBytes(env.path("ClsTime.Cfg"), setting);
        form = std::make_unique<Form1>(env.services);
    }
    AutoShutdown &s() { return form->autoShutdown(); }
    QString now() const { return env.clock->now().toString("HH:mm:ss"); }
    // Steps second by second until the countdown panel shows; its time, or empty.
    QString runUntilCountdown(int seconds) {
        for (int i = 0; i < seconds && !s().Frame4->isVisibleTo(form.get()); ++i)
            env.clock->advance(1000);
        return s().Frame4->isVisibleTo(form.get()) ? now() : QString();
    }
};

// Types into a time box as a user does: the focus selects the whole text, the keys replace it.
void type(QLineEdit *box, const QString &text) {
    QTest::mouseClick(box, Qt::LeftButton);
    QCoreApplication::processEvents();
    QTest::keyClicks(box, text);
}

// Every shown control inside the panel is at least its minimum size and lies inside the
// window; the window is grabbed for review.
void checkFits(QWidget *window, QWidget *panel, const QString &shot) {
    const QRect inside(QPoint(0, 0), window->size());
    QVERIFY2(inside.contains(QRect(panel->mapTo(window, QPoint(0, 0)), panel->size())),
             qPrintable(panel->objectName()));
    for (QWidget *w : panel->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        const QString what =
            w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        const QSize min = w->minimumSizeHint();
        QVERIFY2(!min.isValid() || (w->width() >= min.width() && w->height() >= min.height()),
                 qPrintable(QStringLiteral("%1 is %2x%3, needs %4x%5")
                                .arg(what)
                                .arg(w->width())
                                .arg(w->height())
                                .arg(min.width())
                                .arg(min.height())));
        QVERIFY2(inside.contains(QRect(w->mapTo(window, QPoint(0, 0)), w->size())),
                 qPrintable(what + " leaves the window"));
        QVERIFY2(QRect(QPoint(0, 0), w->parentWidget()->size()).contains(w->geometry()),
                 qPrintable(what + " leaves its panel"));
    }
    QDir().mkpath(QCoreApplication::applicationDirPath() + "/screenshots");
    window->grab().save(QCoreApplication::applicationDirPath() + "/screenshots/" + shot + ".png");
}

}  // namespace

class TstAutoShutdown : public QObject {
    Q_OBJECT
private slots:
    void theCheckStartsTheCountdown_data() {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<QString>("countdownAt");  // empty: none within the hour
        QTest::newRow("17:00:00: nothing at 17:00:00 exactly") << QTime(16, 59, 50) << SeventeenOn << "17:00:05";
        QTest::newRow("started at 18:00: within five seconds") << QTime(18, 0) << SeventeenOn << "18:00:05";
        QTest::newRow("started at 16:00: not before 17:00") << QTime(16, 0) << SeventeenOn << "17:00:05";
        QTest::newRow("00:00:00: at the first check") << QTime(7, 0) << record(true, 0) << "07:00:05";
        QTest::newRow("off") << QTime(18, 0) << record(false, 17 * 3600) << "";
    }
    void theCheckStartsTheCountdown() {
        QFETCH(QTime, start);
        QFETCH(QByteArray, setting);
        QFETCH(QString, countdownAt);
        Rig r(start, setting);
        QCOMPARE(r.runUntilCountdown(3600 + 10), countdownAt);
        if (countdownAt.isEmpty())
            return;
        // Both players stop; the countdown runs instead of the check.
        QVERIFY(r.env.timeline.contains(countdownAt + " mp3 Stop"));
        QCOMPARE(r.env.mci->log.mid(r.env.mci->log.size() - 2), (QStringList{"stop", "close"}));
        QVERIFY(r.s().Timer3->isEnabled() && !r.s().Timer2->isEnabled());
        QVERIFY(r.form->Timer1->isEnabled());
    }

    void tenTicksThenOneRequest() {
        Rig r(QTime(18, 0), SeventeenOn);
        r.runUntilCountdown(5);
        QStringList shown;
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(r.env.shutdown->requests, 0);
            r.env.clock->advance(1000);
            shown << r.s().Label23->text().mid(4, 3);
        }
        QCOMPARE(shown, (QStringList{" 10", " 9 ", " 8 ", " 7 ", " 6 ", " 5 ", " 4 ", " 3 ", " 2 ", " 1 "}));
        QCOMPARE(r.env.shutdown->requests, 1);
        r.env.clock->advance(600000);
        QCOMPARE(r.env.shutdown->requests, 1);
        QCOMPARE(r.s().Label23->text(), QStringLiteral("主机将在 1 秒钟后自动关机!"));
    }

    void cancelAndANewCountdownFiveSecondsLater() {
        Rig r(QTime(18, 0), SeventeenOn);
        r.runUntilCountdown(5);
        r.env.clock->advance(3000);
        QTest::mouseClick(r.s().Command17, Qt::LeftButton);
        QVERIFY(!r.s().Frame4->isVisibleTo(r.form.get()));
        QVERIFY(!r.s().Timer3->isEnabled() && r.s().Timer2->isEnabled());
        QCOMPARE(r.runUntilCountdown(10), QStringLiteral("18:00:13"));
        QCOMPARE(r.s().Label23->text(), housekeepingrules::countdownDesignText());
        r.env.clock->advance(9000);
        QCOMPARE(r.env.shutdown->requests, 0);
        QTest::mouseClick(r.s().Command16, Qt::LeftButton);  // "关机" at once
        QCOMPARE(r.env.shutdown->requests, 1);
        r.env.clock->advance(5000);
        QCOMPARE(r.env.shutdown->requests, 1);
    }

    void aRefusedRequestStopsAtZeroAndBroadcastingGoesOn() {
        Rig r(QTime(18, 0), SeventeenOn);
        r.env.shutdown->refuse = true;
        writeList(r.env.path("monday.lst"), {item("18:01:00", "铃", "00:00:05", "/sounds/bell.wav")});
        r.form->Frame1->Text5->setText(r.env.path("monday.lst"));
        r.runUntilCountdown(5);
        r.env.clock->advance(10000);
        QCOMPARE(r.env.shutdown->requests, 1);
        QCOMPARE(r.s().Label23->text(), housekeepingrules::refusedText());
        QVERIFY(r.s().Label23->text().startsWith(QStringLiteral("主机将在 0 秒钟后自动关机!")));
        QVERIFY(!r.s().Timer3->isEnabled());
        r.env.mci->log.clear();
        r.env.clock->advanceTo(QDateTime(Monday, QTime(23, 59)));
        QCOMPARE(r.env.shutdown->requests, 1);
        QCOMPARE(r.s().ShutdownCountdown, 10);
        QCOMPARE(r.s().Label23->text(), housekeepingrules::refusedText());
        QVERIFY2(r.env.mci->log.contains("file=/sounds/bell.wav") && r.env.mci->log.contains("play"),
                 qPrintable(r.env.mci->log.join(' ')));
    }

    void theOpenStripBlocksTheCheck() {
        Rig r(QTime(18, 0), SeventeenOn);
        QTest::mouseClick(r.form->Command14, Qt::LeftButton);
        QVERIFY(r.s().Picture2->isVisibleTo(r.form.get()));
        QVERIFY(r.s().Check1->isChecked() && r.s().Frame3->isEnabled());
        QCOMPARE(r.s().timeEntry->composedText(), QStringLiteral("17:00:00"));
        QCOMPARE(r.runUntilCountdown(600), QString());
        QCOMPARE(r.env.shutdown->requests, 0);
    }

    void confirmingTheStrip_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QByteArray>("file");  // empty: "时间设置错误！", nothing written
        QTest::newRow("07:30:00") << QStringList{"7", "30", "0"} << QByteArray::fromHex("FFFF000000000000D43F");
        QTest::newRow("24 hours") << QStringList{"24", "00", "00"} << QByteArray();
        QTest::newRow("60 minutes") << QStringList{"23", "60", "00"} << QByteArray();
    }
    void confirmingTheStrip() {
        QFETCH(QStringList, typed);
        QFETCH(QByteArray, file);
        Rig r(QTime(7, 0), QByteArray());
        AutoShutdown &s = r.s();
        r.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(r.form.get()));
        QTest::mouseClick(r.form->Command14, Qt::LeftButton);
        QVERIFY(!s.Frame3->isEnabled());
        QTest::mouseClick(s.Check1, Qt::LeftButton);
        QVERIFY(s.Frame3->isEnabled());
        type(s.Text22, typed[0]);
        type(s.Text21, typed[1]);
        type(s.Text20, typed[2]);
        QTest::mouseClick(s.Command15, Qt::LeftButton);
        QCOMPARE(readBytes(r.env.path("ClsTime.Cfg")), file);
        QCOMPARE(s.Picture2->isVisible(), file.isEmpty());
        QCOMPARE(s.Timer2->isEnabled(), !file.isEmpty());
        if (file.isEmpty()) {
            QCOMPARE(r.env.dialogs->messages.size(), 1);
            QCOMPARE(r.env.dialogs->messages[0].text, QStringLiteral("时间设置错误！"));
            QCOMPARE(r.env.dialogs->messages[0].title, QStringLiteral("Tollmere3.0"));
            QCOMPARE(s.ShutdownTime, 0);
        } else {
            QVERIFY(r.env.dialogs->messages.isEmpty());
            QCOMPARE(s.ShutdownTime, 7 * 3600 + 30 * 60);
        }
    }

    void aSettingThatCannotBeKept() {
        // A folder where ClsTime.Cfg should be: off at start-up; a confirmed setting holds for
        // this run and the operator is told it was not saved.
        TestEnv env(QDateTime(Monday, QTime(18, 0)));
        QVERIFY(QDir(env.dir.path()).mkdir("ClsTime.Cfg"));
        Form1 form(env.services);
        AutoShutdown &s = form.autoShutdown();
        QVERIFY(!s.Check1->isChecked());
        form.Command14->click();
        s.Check1->click();
        s.VScroll9->setValue(17);
        s.Command15->click();
        QCOMPARE(env.dialogs->messages.size(), 1);
        QVERIFY2(env.dialogs->messages[0].text.contains("ClsTime.Cfg"), qPrintable(env.dialogs->messages[0].text));
        QVERIFY(!s.Picture2->isVisibleTo(&form));
        env.clock->advance(5000);
        QVERIFY(s.Frame4->isVisibleTo(&form));
    }

    void theStripAndTheCountdownFitWhereTheyLie() {
        Rig r(QTime(18, 0), SeventeenOn);
        Form1 &form = *r.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.Command14, Qt::LeftButton);
        // From Command14 over the button row, Command19 left free.
        QWidget *strip = r.s().Picture2;
        QCOMPARE(strip->x(), form.Command14->x());
        QVERIFY(strip->geometry().contains(form.Picture7->geometry().topLeft()));  // the list file display
        QVERIFY(!strip->geometry().intersects(form.Command19->geometry()));
        checkFits(&form, strip, "form1-shutdown-strip");
        r.s().Command15->click();
        QCOMPARE(r.runUntilCountdown(5), QStringLiteral("18:00:05"));
        r.env.clock->advance(3000);
        checkFits(&form, r.s().Frame4, "form1-shutdown-countdown");
        r.env.shutdown->refuse = true;
        r.s().Command16->click();
        checkFits(&form, r.s().Frame4, "form1-shutdown-refused");
    }
};

QTEST_MAIN(TstAutoShutdown)
#include "tst_autoshutdown.moc"
