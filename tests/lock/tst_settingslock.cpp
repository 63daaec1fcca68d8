// The settings lock on the whole main window: set in its dialog, asked once, closed again by the
// panels or by idle time; a lock file that cannot serve keeps the settings locked.
#include "app/form1.h"
#include "editor/weekdaypanel.h"
#include "lock/passworddialog.h"
#include "lock/passwordhash.h"
#include "lock/passwordprompt.h"
#include "lock/settingslock.h"
#include "support/testenv.h"
#include "support/testfiles.h"
#include "volume/form2.h"

#include <QApplication>
#include <QtTest>

namespace {

constexpr int Compact = 3240 / 15, WithLists = 6165 / 15;

// Answers the prompt when it comes up as an operator would: the password, then Enter.
void answerPrompt(const QString &password) {
    QTimer::singleShot(0, [password] {
        auto *prompt = qobject_cast<PasswordPrompt *>(QApplication::activeModalWidget());
        QVERIFY(prompt);
        QTest::keyClicks(prompt->passwordText, password);
        QTest::keyClick(prompt->passwordText, Qt::Key_Return);
    });
}

// A click on a guarded button, and the click that follows once the password is given.
void click(QWidget *button) {
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

}  // namespace

class TstSettingsLock : public QObject {
    Q_OBJECT
private slots:
    void setAskedOnceAndClosedAgain() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        click(form.Command2);  // no password yet: nothing asks
        QCOMPARE(form.height(), WithLists);
        form.Frame1->LockButton->click();
        PasswordDialog &d = form.passwordDialog();
        QTest::keyClicks(d.newText, "bell2027");
        QTest::keyClicks(d.againText, "bell2027");
        QTest::mouseClick(d.saveButton, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        const QByteArray stored = bytesOf(env.path(SettingsLock::FileName));
        QVERIFY2(stored.startsWith("$argon2id$") && !stored.contains("bell2027"), stored.constData());

        click(form.Frame1->Command3);  // the panels close, and with them the lock
        answerPrompt("bell2026");
        click(form.Command2);
        QCOMPARE(form.height(), Compact);
        QCOMPARE(env.dialogs->messages.last().text, QStringLiteral("密码不对。"));
        answerPrompt("bell2027");
        click(form.Command2);
        QCOMPARE(form.height(), WithLists);
        click(form.Command28);  // asked once: the volume dialog opens without asking again
        QVERIFY(form.form2().isVisible());
        form.form2().close();  // closing it closes the lock too

        answerPrompt("bell2027");
        click(form.Command2);
        click(form.Command28);
        env.clock->advance(SettingsLock::IdleMilliseconds);  // nobody there: the panels close
        QVERIFY(!form.settingsLock().isOpen() && !form.form2().isVisible());
        QCOMPARE(form.height(), Compact);
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        click(form.Command1);  // "退出" without the password
        QCOMPARE(env.quits, 0);
    }

    void aLockFileThatCannotServeKeepsTheSettingsLocked_data() {
        QTest::addColumn<QByteArray>("bytes");  // empty: a folder in its place
        QTest::newRow("not a hash") << QByteArray("bell2027\n");
        QTest::newRow("a hash cut short") << passwordhash::make("bell2027").left(40);
        QTest::newRow("a folder") << QByteArray();
    }
    void aLockFileThatCannotServeKeepsTheSettingsLocked() {
        QFETCH(QByteArray, bytes);
        TestEnv env;
        if (bytes.isEmpty())
            QVERIFY(QDir(env.dir.path()).mkdir(SettingsLock::FileName));
        else
            writeBytes(env.path(SettingsLock::FileName), bytes);
        Form1 form(env.services);
        form.show();
        click(form.Command2);
        QCOMPARE(form.height(), Compact);
        QCOMPARE(env.dialogs->messages.size(), 1);
        QVERIFY(env.dialogs->messages[0].text.contains(env.path(SettingsLock::FileName)));
        QCOMPARE(env.dialogs->messages[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(bytesOf(env.path(SettingsLock::FileName)), bytes);  // left for its owner to remove
    }
};

QTEST_MAIN(TstSettingsLock)
#include "tst_settingslock.moc"
