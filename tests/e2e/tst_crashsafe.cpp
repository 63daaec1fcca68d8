// Every save of a stored file, stopped with half of its bytes written: the old file stays as
// it was, nothing is left beside it, and the operator is told which file was not saved.
#include "app/form1.h"
#include "core/recordfile.h"
#include "editor/lstcfg.h"
#include "editor/scheduleeditor.h"
#include "editor/weekdaypanel.h"
#include "housekeeping/autoshutdown.h"
#include "housekeeping/clstimecfg.h"
#include "housekeeping/form3.h"
#include "randommusic/libraryeditor.h"
#include "randommusic/libraryfiles.h"
#include "randommusic/sortedlistbox.h"
#include "support/listfiles.h"
#include "support/testenv.h"
#include "support/testfiles.h"
#include "ui/flexgrid.h"
#include "ui/slider.h"
#include "ui/timefield.h"
#include "volume/form2.h"

#include <QtTest>

namespace {

enum class Writer {
    ListAdd,
    ListModify,
    ListDelete,
    ListSaveAs,
    ListSort,
    LstCfg,
    Volume,
    GroupSettings,
    SongsAdd,
    SongsDelete,
    Shutdown,
    Clearing
};

}  // namespace

Q_DECLARE_METATYPE(Writer)

class TestCrashSafe : public QObject {
    Q_OBJECT

    // A saved setting of every kind, written before the program starts.
    static void install(TestEnv &env) {
        writeList(env.path("L.lst"),
                  {item("13:00:00", "c", "00:00:05", "/s/c.wav"), item("08:05:00", "a", "播完", "/s/a.wav"),
                   item("08:05:00", "b", "00:00:10", "/s/b.mp3")});
        writeList(env.path("other.lst"), {item("09:00:00", "x", "播完", "/s/x.mid")});
        WeekdayListConfig config;
        config.DayPaths[1] = env.path("L.lst");
        writeBytes(env.path("LstCfg.Cfg"), config.toRecord());
        writeBytes(env.path("Volume.cfg"), QByteArray("1000\r\n").repeated(13));
        PlayGroup group{8 * 3600, 9 * 3600, {1, 1, 1, 1, 1, 0, 0}};
        writeBytes(env.path("Sjbf0.dat"), libraryfiles::groupSettingsBytes({group, group, {}, {}}));
        writeBytes(env.path("SjFile0.dat"), "/m/a.wav\r\n/m/b.mp3\r\n");
        writeBytes(env.path("ClsTime.Cfg"), ShutdownRecord{true, 17 * 3600}.toRecord());
        writeBytes(env.path("qc.cfg"), "\"23\",\"30\",\"00\",1\r\n");
    }

    static void openList(TestEnv &env, Form1 &form) {
        env.dialogs->chosenFiles.enqueue(env.path("L.lst"));
        form.scheduleEditor().Command6->click();
        QCOMPARE(form.scheduleEditor().state(), editorrules::State::Open);
    }

    static void chooseRow(FlexGrid &grid, int row) {
        grid.setRow(row);
        emit grid.Click();
    }

    // What the operator does to save with this writer; returns the file it writes.
    static QString save(Writer writer, TestEnv &env, Form1 &form) {
        ScheduleEditor &editor = form.scheduleEditor();
        LibraryEditor &library = form.libraryEditor();
        switch (writer) {
        case Writer::ListAdd:
            openList(env, form);
            editor.Command7->click();
            editor.Text11->setText("new");
            editor.Text12->setText("/s/new.wav");
            editor.Command7->click();
            return env.path("L.lst");
        case Writer::ListModify:
            openList(env, form);
            chooseRow(*editor.MSFlexGrid2, 2);
            editor.Command8->click();
            editor.Text11->setText("changed");
            editor.Command8->click();
            return env.path("L.lst");
        case Writer::ListDelete:
            openList(env, form);
            chooseRow(*editor.MSFlexGrid2, 2);
            editor.Command9->click();
            editor.Command9->click();
            return env.path("L.lst");
        case Writer::ListSaveAs:
            openList(env, form);
            env.dialogs->chosenFiles.enqueue(env.path("other.lst"));
            editor.Command13->click();
            return env.path("other.lst");
        case Writer::ListSort:
            openList(env, form);
            editor.Command18->click();
            return env.path("L.lst");
        case Writer::LstCfg:
            form.Frame1->Text6->setText(env.path("other.lst"));
            form.Frame1->Command11->click();
            return env.path("LstCfg.Cfg");
        case Writer::Volume:
            form.Command28->click();
            form.form2().Slider1->setValue(2000);
            form.form2().Command11->click();
            return env.path("Volume.cfg");
        case Writer::GroupSettings:
            form.Command22->click();
            library.group(1).start->setTime(7, 30, 0);
            library.Command25->click();
            return env.path("Sjbf0.dat");
        case Writer::SongsAdd:
            form.Command22->click();
            env.dialogs->chosenFileLists.enqueue(QStringList{"/m/c.mid"});
            library.Command23->click();
            return env.path("SjFile0.dat");
        case Writer::SongsDelete:
            form.Command22->click();
            library.List2->setCurrentRow(0);
            library.Command24->click();
            return env.path("SjFile0.dat");
        case Writer::Shutdown:
            form.Command14->click();
            form.autoShutdown().timeEntry->setTime(18, 0, 0);
            form.autoShutdown().Command15->click();
            return env.path("ClsTime.Cfg");
        case Writer::Clearing:
            form.Command14->click();
            form.autoShutdown().Command29->click();
            form.form3().timeEntry->setTime(22, 0, 0);
            form.form3().Command1->click();
            return env.path("qc.cfg");
        }
        return {};
    }

private slots:
    void cleanup() { setReplaceFileProbe({}); }

    void aSaveStoppedHalfwayKeepsTheOldFile_data() {
        QTest::addColumn<Writer>("writer");
        QTest::newRow("list: add") << Writer::ListAdd;
        QTest::newRow("list: modify") << Writer::ListModify;
        QTest::newRow("list: delete") << Writer::ListDelete;
        QTest::newRow("list: save as over another list") << Writer::ListSaveAs;
        QTest::newRow("list: sort and save") << Writer::ListSort;
        QTest::newRow("LstCfg.Cfg") << Writer::LstCfg;
        QTest::newRow("Volume.cfg") << Writer::Volume;
        QTest::newRow("Sjbf0.dat") << Writer::GroupSettings;
        QTest::newRow("SjFile0.dat: add") << Writer::SongsAdd;
        QTest::newRow("SjFile0.dat: delete") << Writer::SongsDelete;
        QTest::newRow("ClsTime.Cfg") << Writer::Shutdown;
        QTest::newRow("qc.cfg") << Writer::Clearing;
    }
    void aSaveStoppedHalfwayKeepsTheOldFile() {
        QFETCH(Writer, writer);
        TestEnv env;
        install(env);
        Form1 form(env.services);
        const QStringList filesBefore = QDir(env.dir.path()).entryList(QDir::Files, QDir::Name);
        QHash<QString, QByteArray> before;
        for (const QString &name : filesBefore)
            before.insert(name, bytesOf(env.path(name)));
        QStringList stopped;
        setReplaceFileProbe([&stopped](const QString &path, qint64 written, qint64 total) {
            if (written >= total)
                return true;
            stopped << QStringLiteral("%1 %2/%3").arg(QFileInfo(path).fileName()).arg(written).arg(total);
            return false;
        });

        const QString target = save(writer, env, form);
        const QString name = QFileInfo(target).fileName();
        QCOMPARE(stopped.size(), 1);
        QVERIFY2(stopped.first().startsWith(name + ' '), qPrintable(stopped.first()));
        QVERIFY(!stopped.first().startsWith(name + " 0/"));  // part of the bytes were on their way
        QCOMPARE(QDir(env.dir.path()).entryList(QDir::Files, QDir::Name), filesBefore);
        for (const QString &file : filesBefore)
            QVERIFY2(bytesOf(env.path(file)) == before[file], qPrintable(file));
        QCOMPARE(env.dialogs->messages.size(), 1);
        QCOMPARE(env.dialogs->messages.first().icon, Dialogs::Icon::Critical);
        QVERIFY2(env.dialogs->messages.first().text.contains(name), qPrintable(env.dialogs->messages.first().text));
    }
};

QTEST_MAIN(TestCrashSafe)
#include "tst_crashsafe.moc"
