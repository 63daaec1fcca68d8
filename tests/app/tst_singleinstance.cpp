// One program per folder: a second start is refused and shows the first; a lock left by a
// program that died does not block the next start.
#include "app/singleinstance.h"
#include "core/appdir.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void secondStartShowsTheFirst() {
        QTemporaryDir dir;
        const QString appDir = AppDirFrom(dir.path());
        SingleInstance first(appDir);
        QVERIFY(first.acquire());
        QSignalSpy shown(&first, &SingleInstance::showRequested);

        SingleInstance second(appDir);
        QVERIFY(!second.acquire());
        QVERIFY(second.askRunningToShow());
        QVERIFY(shown.wait(5000));

        // Another folder is another program.
        QTemporaryDir other;
        SingleInstance elsewhere(AppDirFrom(other.path()));
        QVERIFY(elsewhere.acquire());
    }

    void lockOfADeadProgramDoesNotBlock() {
        QTemporaryDir dir;
        const QString appDir = AppDirFrom(dir.path());
        // Another process takes the lock, as a running program would, and is killed.
        QProcess holder;
        holder.start(QStringLiteral("flock"),
                     {QStringLiteral("--close"), appDir + QStringLiteral("tollmere.lock"), QStringLiteral("cat")});
        QVERIFY(holder.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!SingleInstance(appDir).acquire(), 5000);
        holder.kill();
        QVERIFY(holder.waitForFinished());
        SingleInstance next(appDir);
        QVERIFY(next.acquire());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
