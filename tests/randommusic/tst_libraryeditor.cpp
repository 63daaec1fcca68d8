// The library editor on the main window: start-up loading, tabs, groups, adding and deleting
// songs, files that cannot be written, and its place over the main bar.
#include "app/form1.h"
#include "core/timetext.h"
#include "randommusic/libraryeditor.h"
#include "randommusic/libraryfiles.h"
#include "randommusic/sortedlistbox.h"
#include "support/testenv.h"
#include "support/testfiles.h"
#include "ui/twips.h"
#include "ui/windowheight.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

namespace {

QByteArray songLines(int from, int count) {
    QByteArray bytes;
    for (int i = from; i < from + count; ++i)
        bytes += QStringLiteral("/m/%1.wav\r\n").arg(i, 4, 10, QLatin1Char('0')).toLatin1();
    return bytes;
}

QStringList timeTexts(const LibraryEditor &e) {
    QStringList texts;
    for (int g = 1; g <= 4; ++g)
        texts << e.group(g).start->composedText() << e.group(g).stop->composedText();
    return texts;
}

void clickTab(LibraryEditor &e, int i) { QTest::mouseClick(e.Label61[i], Qt::LeftButton); }

const QString Filter = QStringLiteral("*.wav|*.wav|*.mid|*.mid|*.mp3|*.mp3|*.mid;*.wav;*.mp3|*.mid;*.wav;*.mp3");
const QString TooMany = QStringLiteral("曲库超过1000首，请换另一个曲库存储曲目！");

}  // namespace

class TestLibraryEditor : public QObject {
    Q_OBJECT

private slots:
    void firstStartInAnEmptyFolder() {
        TestEnv env;
        writeBytes(env.path("SjFile1.dat"), {});  // an empty library keeps no song list
        Form1 form(env.services);
        for (int n = 0; n < 3; ++n) {
            QVERIFY(QFileInfo(env.path(QStringLiteral("Sjbf%1.dat").arg(n))).exists());
            QCOMPARE(QFileInfo(env.path(QStringLiteral("Sjbf%1.dat").arg(n))).size(), 0);
            QVERIFY(!QFileInfo::exists(env.path(QStringLiteral("SjFile%1.dat").arg(n))));
        }
        QCOMPARE(timeTexts(form.libraryEditor()), QStringList(8, QStringLiteral("00:00:00")));
        for (QCheckBox *box : form.libraryEditor().findChildren<QCheckBox *>())
            QVERIFY(!box->isChecked());
        QCOMPARE(form.libraryEditor().List2->count(), 0);
        QVERIFY(!form.libraryEditor().isVisibleTo(&form));
    }

    // Libraries load 2, 1, 0: library 0 is shown; its settings file is empty, so its times
    // read "00" while the day boxes keep library 1's ticks, which leaving library 0 saves for it.
    void startUpOrderAndTheTabs() {
        TestEnv env;
        const std::array<PlayGroup, 4> library1{PlayGroup{8 * 3600, 8 * 3600 + 1800, {1, 0, 0, 0, 0, 0, 0}}};
        writeBytes(env.path("Sjbf1.dat"), libraryfiles::groupSettingsBytes(library1));
        writeBytes(env.path("SjFile0.dat"), "/m/b.wav\r\n/m/a.wav\r\n");
        writeBytes(env.path("SjFile2.dat"), "/x.wav\r\n");
        Form1 form(env.services);
        LibraryEditor &e = form.libraryEditor();
        QCOMPARE(form.libraries.library[0].songs(), QStringList({"/m/b.wav", "/m/a.wav"}));  // file order
        QCOMPARE(e.List2->entries(), QStringList({"/m/a.wav", "/m/b.wav"}));                 // sorted
        QCOMPARE(form.libraries.library[2].songs(), QStringList({"/x.wav"}));
        QCOMPARE(form.libraries.library[1].groups[0].stop, 8 * 3600 + 1800);
        QCOMPARE(timeTexts(e), QStringList(8, QStringLiteral("00:00:00")));
        QVERIFY(e.Check2->isChecked());                            // library 1's Monday tick
        QCOMPARE(form.libraries.library[0].groups[0].days[0], 0);  // memory keeps its own
        QCOMPARE(e.Label61[0]->frameShape(), QFrame::Box);

        form.Command22->click();
        QVERIFY(e.isVisibleTo(&form));
        QVERIFY(!form.Timer11->isEnabled());
        clickTab(e, 1);
        QVERIFY(form.Timer11->isEnabled());
        const std::array<PlayGroup, 4> saved0{PlayGroup{0, 0, {1, 0, 0, 0, 0, 0, 0}}};
        QCOMPARE(bytesOf(env.path("Sjbf0.dat")), libraryfiles::groupSettingsBytes(saved0));
        QCOMPARE(form.libraries.library[0].groups[0].days[0], 1);
        QCOMPARE(form.libraries.CurrentLibrary, 1);
        QCOMPARE(e.Text3->text() + e.Text26->text() + e.Text25->text(), QStringLiteral("080830"));
        QCOMPARE(e.Frame6->title() + e.Frame8->title() + e.Frame7->title() + e.Frame9->title(),
                 QStringLiteral("第五组第六组第七组第八组"));
        QCOMPARE(e.Label61[0]->frameShape(), QFrame::NoFrame);
        QCOMPARE(e.Label61[1]->frameShape(), QFrame::Box);
        QCOMPARE(e.List2->count(), 0);
        clickTab(e, 0);
        QCOMPARE(e.List2->entries(), QStringList({"/m/a.wav", "/m/b.wav"}));
    }

    // A time set with the spinners reaches the file and the random music on "返回".
    void groupsAreSavedOnReturn() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        LibraryEditor &e = form.libraryEditor();
        form.Command22->click();
        for (int i = 0; i < 3; ++i)  // the upper arrow of group 2's start hours
            QTest::mouseClick(e.VScroll24, Qt::LeftButton, {}, QPoint(e.VScroll24->width() / 2, 3));
        QTest::mouseClick(e.Check21, Qt::LeftButton);  // group 2, Saturday
        QTest::mouseClick(e.Check9, Qt::LeftButton);   // group 3, Sunday
        QCOMPARE(e.Text35->text(), QStringLiteral("03"));
        QCOMPARE(form.libraries.library[0].groups[1].start, 0);  // not before it is saved
        QTest::mouseClick(e.Command25, Qt::LeftButton);
        QVERIFY(!e.isVisible());
        QVERIFY(form.Timer11->isEnabled());
        const QByteArray file = bytesOf(env.path("Sjbf0.dat"));
        QCOMPARE(file.size(), 120);
        QCOMPARE(libraryfiles::groupFromRecord(file.mid(30, 30)).start, 3 * 3600);
        QCOMPARE(file.mid(30 + 26, 2), QByteArray("\x01\x00", 2));  // record 2, Saturday
        QCOMPARE(file.mid(60 + 28, 2), QByteArray("\x01\x00", 2));  // record 3, Sunday
        QCOMPARE(form.libraries.library[0].groups[1].start, 3 * 3600);
        QCOMPARE(form.libraries.library[0].groups[2].days[6], 1);
    }

    void addingSongs_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<bool>("dialogShown");
        QTest::addColumn<bool>("refused");
        QTest::newRow("one file to an empty library") << 0 << QStringList{"/m/A.MP3"} << true << false;
        QTest::newRow("two files, taken sorted") << 2 << QStringList{"/m/9.wav", "/m/0000b.mid"} << true << false;
        QTest::newRow("999 + 2: 1001 saved") << 999 << QStringList{"/n/1.wav", "/n/2.wav"} << true << false;
        QTest::newRow("999 + 3: nothing saved")
            << 999 << QStringList{"/n/1.wav", "/n/2.wav", "/n/3.wav"} << true << true;
        QTest::newRow("1000: no dialog") << 1000 << QStringList{"/n/1.wav"} << false << true;
    }
    void addingSongs() {
        QFETCH(int, before);
        QFETCH(QStringList, chosen);
        QFETCH(bool, dialogShown);
        QFETCH(bool, refused);
        TestEnv env;
        if (before > 0)
            writeBytes(env.path("SjFile0.dat"), songLines(0, before));
        Form1 form(env.services);
        LibraryEditor &e = form.libraryEditor();
        const QByteArray old = bytesOf(env.path("SjFile0.dat"));
        env.dialogs->chosenFileLists.enqueue(chosen);
        e.Command23->click();

        QCOMPARE(env.dialogs->fileRequests.size(), dialogShown ? 1 : 0);
        if (dialogShown)
            QCOMPARE(env.dialogs->fileRequests[0].filter, Filter);
        if (refused) {
            QCOMPARE(env.dialogs->messages.size(), 1);
            QCOMPARE(env.dialogs->messages[0].text, TooMany);
            QCOMPARE(env.dialogs->messages[0].title, QStringLiteral("错误"));
            QCOMPARE(env.dialogs->messages[0].icon, Dialogs::Icon::Exclamation);
            QCOMPARE(bytesOf(env.path("SjFile0.dat")), old);
            QCOMPARE(e.List2->count(), before);
            QCOMPARE(form.libraries.library[0].songCount(), before);
            return;
        }
        QVERIFY(env.dialogs->messages.isEmpty());
        QStringList expected = QString::fromLatin1(old).split("\r\n", Qt::SkipEmptyParts) + chosen;
        std::sort(expected.begin(), expected.end());  // ASCII names: the plain order is the list's
        QCOMPARE(e.List2->entries(), expected);
        QCOMPARE(form.libraries.library[0].songs(), expected);
        QCOMPARE(bytesOf(env.path("SjFile0.dat")), expected.join("\r\n").toLatin1() + "\r\n");
        QVERIFY(!form.CommonDialog1.MultiSelect);  // the other panels' dialogs choose one file
    }

    // From a multiple selection, the songs whose paths the song list cannot keep are named
    // and left out; the others are added and read back as chosen.
    void unstorableSongsAreLeftOut() {
        TestEnv env;
        Form1 form(env.services);
        LibraryEditor &e = form.libraryEditor();
        const QString tooLong = pathOfBytes("/m/", libraryfiles::MaxLineBytes + 1, ".wav");
        const QStringList kept = {"/m/b.wav", pathOfBytes("/音乐/", libraryfiles::MaxLineBytes, "铃.wav")};
        const QStringList refused = {"/m/Straße.wav", "/m/종.mp3", "/m/🔔.mid", tooLong};
        env.dialogs->chosenFileLists.enqueue(
            QStringList{kept[0], refused[0], refused[1], kept[1], refused[2], tooLong});
        e.Command23->click();
        QCOMPARE(env.dialogs->messages.size(), 1);
        const FakeDialogs::Shown &shown = env.dialogs->messages[0];
        QCOMPARE(shown.title, QStringLiteral("Tollmere3.0"));
        for (const QString &s : refused)
            QVERIFY2(shown.text.contains(s), qPrintable(s.left(20)));
        for (const QString &why : QStringList{"ß", "종", "🔔", "长 4097 字节"})
            QVERIFY2(shown.text.contains(why), qPrintable(why));
        QCOMPARE(e.List2->entries(), kept);
        Form1 restarted(env.services);
        QCOMPARE(restarted.libraries.library[0].songs(), kept);
    }

    void deletingTheOnlySong() {
        TestEnv env;
        writeBytes(env.path("SjFile0.dat"), "/m/a.wav\r\n");
        Form1 form(env.services);
        form.show();
        LibraryEditor &e = form.libraryEditor();
        form.Command22->click();
        e.Command24->click();  // nothing selected: nothing happens
        QCOMPARE(e.List2->count(), 1);
        const QRect row = e.List2->visualItemRect(e.List2->item(0));
        QTest::mouseClick(e.List2->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseClick(e.Command24, Qt::LeftButton);
        QCOMPARE(e.List2->count(), 0);
        QCOMPARE(form.libraries.library[0].songCount(), 0);
        QVERIFY(QFileInfo::exists(env.path("SjFile0.dat")));
        QCOMPARE(QFileInfo(env.path("SjFile0.dat")).size(), 0);
        clickTab(e, 0);  // loading it again removes the empty file
        QVERIFY(!QFileInfo::exists(env.path("SjFile0.dat")));
    }

    // A refused write is reported with the file's name; the file keeps what it held, and
    // the list and the song table what the file holds.
    void filesThatCannotBeWritten() {
        TestEnv env;
        writeBytes(env.path("SjFile0.dat"), "/m/a.wav\r\n");
        QVERIFY(QDir(env.dir.path()).mkdir("Sjbf0.dat"));  // a folder where the file should be
        Form1 form(env.services);
        LibraryEditor &e = form.libraryEditor();
        form.Command22->click();
        e.Command25->click();
        QCOMPARE(env.dialogs->messages.size(), 1);
        QVERIFY(env.dialogs->messages[0].text.contains(env.path("Sjbf0.dat")));
        QVERIFY(form.Timer11->isEnabled());

        if (QProcess::execute("chattr", {"+i", env.path("SjFile0.dat")}) != 0)
            QSKIP("chattr +i is not allowed here");
        env.dialogs->chosenFileLists.enqueue(QStringList{"/m/b.wav"});
        e.Command23->click();
        QProcess::execute("chattr", {"-i", env.path("SjFile0.dat")});
        QCOMPARE(env.dialogs->messages.size(), 2);
        QVERIFY(env.dialogs->messages[1].text.contains(env.path("SjFile0.dat")));
        QCOMPARE(bytesOf(env.path("SjFile0.dat")), QByteArray("/m/a.wav\r\n"));
        QCOMPARE(e.List2->entries(), QStringList{"/m/a.wav"});
        QCOMPARE(form.libraries.library[0].songs(), QStringList{"/m/a.wav"});
    }

    // Garbage in both files of a library: it starts, loads what it can and stays usable.
    void damagedFilesStillStart() {
        TestEnv env;
        QByteArray garbage(300000, '\0');
        QRandomGenerator rng(11);
        for (char &c : garbage)
            c = char(rng.bounded(256));
        writeBytes(env.path("Sjbf0.dat"), garbage.left(77));
        writeBytes(env.path("SjFile0.dat"), garbage);
        Form1 form(env.services);
        const MusicLibrary &library = form.libraries.library[0];
        QVERIFY(library.songCount() <= 1001);
        QCOMPARE(form.libraryEditor().List2->count(), library.songCount());
        for (const PlayGroup &g : library.groups) {
            QVERIFY(g.start >= 0 && g.start < 86400 && g.stop >= 0 && g.stop < 86400);
            for (qint16 d : g.days)
                QVERIFY(d == 0 || d == 1);
        }
        for (const QString &t : timeTexts(form.libraryEditor()))
            QVERIFY(timetext::parse(t).has_value());
    }

    void fitsOverTheMainBarAtEveryHeight() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        form.Command22->click();
        QVERIFY(form.libraryEditor().isVisible());
        for (int height : {windowheight::Compact, windowheight::WithLists, windowheight::Full}) {
            windowheight::setCentred(&form, height);
            QCoreApplication::processEvents();
            form.grab().save(QStringLiteral("Form1_Frame5_%1.png").arg(height));
            const QRect window = form.rect();
            QVERIFY(form.libraryEditor().geometry().bottom() < twipsToPixels(windowheight::Compact));
            QList<QWidget *> widgets = form.libraryEditor().findChildren<QWidget *>();
            widgets << &form.libraryEditor();
            for (QWidget *w : widgets) {
                if (!w->isVisibleTo(&form))
                    continue;
                const QString what = w->objectName() + QLatin1Char(' ') + w->metaObject()->className();
                // As layouts take it: a minimum set on the control, else the one it asks for.
                const QSize min(w->minimumWidth() > 0 ? w->minimumWidth() : w->minimumSizeHint().width(),
                                w->minimumHeight() > 0 ? w->minimumHeight() : w->minimumSizeHint().height());
                QVERIFY2(w->width() >= min.width() && w->height() >= min.height(),
                         qPrintable(QStringLiteral("%1 is %2x%3, needs %4x%5")
                                        .arg(what)
                                        .arg(w->width())
                                        .arg(w->height())
                                        .arg(min.width())
                                        .arg(min.height())));
                const QRect r(w->mapTo(&form, QPoint(0, 0)), w->size());
                QVERIFY2(window.contains(r), qPrintable(what + QStringLiteral(" lies outside the window")));
            }
        }
    }
};

QTEST_MAIN(TestLibraryEditor)
#include "tst_libraryeditor.moc"
