// One program per folder: a second start is refused and shows the first, or says that it
// cannot; a lock left by a program that died does not block the next start; another user can
// neither hold the lock nor stand in the way between a second start and the first.
#include "app/singleinstance.h"
#include "core/appdir.h"
#include "support/fakedialogs.h"
#include "support/recordedlog.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <future>

#include <unistd.h>

namespace {

// Holds the lock of the file at path until killed, as a running program would: sh opens the
// file, flock(1) locks that open file and exits, and cat, in sh's place, keeps it open. A
// single process, so once it has been waited for the lock is free. Null when it could not.
std::unique_ptr<QProcess> holdLock(const QString &path, bool asAnotherUser = false) {
    auto holder = std::make_unique<QProcess>();
    QStringList args{"sh", "-c", "exec 9<\"$0\" && flock 9 && echo locked && exec cat", path};
    holder->start(asAnotherUser ? QStringLiteral(TOLLMERE_UNPRIVILEGED) : args.takeFirst(), args);
    if (!holder->waitForReadyRead(5000) || holder->readAll() != "locked\n")
        return nullptr;
    return holder;
}

// The second start asks from a thread of its own while this one, the first program's, answers.
bool asks(const SingleInstance &second) {
    std::future<bool> answer = std::async(std::launch::async, [&] { return second.askRunningToShow(); });
    while (answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return answer.get();
}

// A first start over appDir, and a second one that is refused and brings the first up.
void showsTheFirst(const QString &appDir) {
    SingleInstance first(appDir);
    QVERIFY(first.acquire());
    QSignalSpy shown(&first, &SingleInstance::showRequested);
    SingleInstance second(appDir);
    QVERIFY(!second.acquire());
    QVERIFY(asks(second));
    QCOMPARE(shown.size(), 1);
}

}  // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void secondStartShowsTheFirst() {
        QTemporaryDir dir;
        const QString appDir = AppDirFrom(dir.path());
        showsTheFirst(appDir);

        // Another folder is another program.
        SingleInstance running(appDir);
        QVERIFY(running.acquire());
        QTemporaryDir other;
        SingleInstance elsewhere(AppDirFrom(other.path()));
        QVERIFY(elsewhere.acquire());
    }

    // A program holds the lock but does not answer: a second start tells the operator and the
    // as-run log, and ends with an exit code that says so. Once that program has died, its lock
    // no longer blocks the next start.
    void aHolderThatDoesNotAnswerThenDies() {
        QTemporaryDir dir;
        const QString appDir = AppDirFrom(dir.path());
        QVERIFY(SingleInstance(appDir).acquire());  // the lock file a program leaves
        std::unique_ptr<QProcess> holder = holdLock(appDir + QStringLiteral("tollmere.lock"));
        QVERIFY(holder);
        SingleInstance second(appDir);
        QVERIFY(!second.acquire());
        FakeDialogs dialogs;
        RecordedLog log;
        QCOMPARE(second.handOverToRunning(dialogs, log, 300), 1);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.contains(appDir));
        QCOMPARE(log.lines, QStringList{QStringLiteral("再次启动未成功：已有程序在运行，但没有应答 ") + appDir});

        holder->kill();
        QVERIFY(holder->waitForFinished());
        QVERIFY(SingleInstance(appDir).acquire());
    }

    // Another user (nobody) got there before the program started, in a folder every user may
    // read: holding the lock of a lock file an earlier version left readable to all, or with
    // something of its own where an earlier version put its socket.
    void anotherUserGotThereFirst_data() {
        QTest::addColumn<bool>("socket");
        QTest::newRow("holds the lock") << false;
        QTest::newRow("took the socket's place") << true;
    }
    void anotherUserGotThereFirst() {
        QFETCH(bool, socket);
        if (::geteuid() != 0)
            QSKIP("only root can run a test as another user");
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::Permissions(0x7755)));
        const QString appDir = AppDirFrom(dir.path());
        const QString lock = appDir + QStringLiteral("tollmere.lock");
        QFile earlier(lock);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        QVERIFY(earlier.setPermissions(QFile::Permissions(0x6644)));
        earlier.close();
        std::unique_ptr<QProcess> holder;
        const QString place =
            "/tmp/tollmere-" + QCryptographicHash::hash(appDir.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
        if (socket)
            QCOMPARE(QProcess::execute(TOLLMERE_UNPRIVILEGED, {"mkdir", place}), 0);
        else
            QVERIFY(holder = holdLock(lock, true));
        auto cleanup = qScopeGuard([&] { QDir().rmdir(place); });

        showsTheFirst(appDir);
        QCOMPARE(QFile::permissions(lock), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QVERIFY(!holdLock(lock, true));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
