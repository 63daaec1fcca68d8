// Where the program keeps its files: its own folder when it may write there, else the user's data folder.
#include "core/appdir.h"

#include <unistd.h>
#include <QtTest>

class TestAppDir : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (geteuid() == 0)
            QSKIP("root may write every folder; ctest runs this test as nobody");
    }

    void installedOrCopied() {
        QTemporaryDir data, home, writable, installed;
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        QCOMPARE(AppDirForProgram(writable.path()), writable.path() + '/');

        QVERIFY(QFile::setPermissions(installed.path(),
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        QCOMPARE(AppDirForProgram(installed.path()), data.path() + "/tollmere/");
        QVERIFY(QFileInfo(data.path() + "/tollmere").isDir());

        // Without XDG_DATA_HOME, the usual place under the home folder.
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(AppDirForProgram(installed.path()), home.path() + "/.local/share/tollmere/");
        QVERIFY(QFile::setPermissions(installed.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
};

QTEST_GUILESS_MAIN(TestAppDir)
#include "tst_appdir.moc"
