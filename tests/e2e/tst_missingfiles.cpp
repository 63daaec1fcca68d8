// Sound files that will not play, shown in red before their time: today's grid, the editor's
// grid and the library's List2, checked when loaded and once a minute on the simulated clock.
#include "app/form1.h"
#include "core/soundfilecheck.h"
#include "editor/scheduleeditor.h"
#include "editor/weekdaypanel.h"
#include "randommusic/libraryeditor.h"
#include "randommusic/libraryfiles.h"
#include "randommusic/sortedlistbox.h"
#include "support/listfiles.h"
#include "support/testenv.h"
#include "ui/flexgrid.h"
#include "ui/soundfilewatch.h"

#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray Wav = QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16);
const QByteArray Mp3 = QByteArray("ID3\x04\0\0\0\0\0\0", 10);

}  // namespace

class TestMissingFiles : public QObject {
    Q_OBJECT

    static void settle(Form1 &form) {
        for (SoundFileWatch *watch : form.findChildren<SoundFileWatch *>())
            watch->settle();
    }

private slots:
    void firstBytes_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("playable");
        QTest::newRow("WAV") << Wav << true;
        QTest::newRow("RIFF but not WAVE") << QByteArray("RIFF\x24\0\0\0AVI LIST", 16) << false;
        QTest::newRow("MIDI") << QByteArray("MThd\0\0\0\x06", 8) << true;
        QTest::newRow("MP3 with a tag") << Mp3 << true;
        QTest::newRow("MP3 frame") << QByteArray("\xFF\xFB\x90\x64", 4) << true;
        QTest::newRow("0xFF not followed by a sync") << QByteArray("\xFF\xD8\xFF\xE0", 4) << false;
        QTest::newRow("text") << QByteArray("Hello, bell") << false;
    }
    void firstBytes() {
        QFETCH(QByteArray, head);
        QFETCH(bool, playable);
        QCOMPARE(soundfilecheck::looksPlayable(head), playable);
    }

    // A file removed, back as something else, and back as a sound: each grid follows within a
    // minute, its texts and played marks untouched.
    void redWhileAFileWillNotPlay() {
        TestEnv env;  // Monday 07:00
        const QString bell = env.path("bell.wav"), news = env.path("news.mp3"), list = env.path("day.lst");
        writeFile(bell, Wav);
        writeFile(news, Mp3);
        writeList(list, {item("10:00:00", "上课", "00:00:05", bell), item("11:00:00", "通知", "00:00:05", news)});
        writeFile(env.path("SjFile0.dat"), libraryfiles::bytesFromSongs({bell, news}));
        Form1 form(env.services);
        form.Frame1->Text5->setText(list);
        env.clock->advance(1000);
        env.dialogs->chosenFiles.enqueue(list);
        form.scheduleEditor().Command6->click();  // the same list open in the editor
        form.MSFlexGrid1->setTextMatrix(2, 0, QStringLiteral("√"));
        settle(form);

        FlexGridModel &today = *form.MSFlexGrid1->cells();
        FlexGridModel &editor = *form.scheduleEditor().MSFlexGrid2->cells();
        SortedListBox &songs = *form.libraryEditor().List2;
        QCOMPARE(songs.count(), 2);
        QListWidgetItem *song = songs.item(songs.entries().indexOf(news));
        const QStringList todayTexts = {"√", "11:00:00", "通知", "0:00:05", news};
        auto shows = [&](const QString &problem) {
            const QModelIndex t = today.index(1, 2), e = editor.index(1, 1);
            const QVariant red = problem.isEmpty() ? QVariant() : QVariant(QColor(255, 0, 0));
            QCOMPARE(today.data(t, Qt::ToolTipRole).toString(), problem);
            QCOMPARE(today.data(t, Qt::ForegroundRole), red);
            QCOMPARE(editor.data(e, Qt::ToolTipRole).toString(), problem);
            QCOMPARE(editor.data(e, Qt::ForegroundRole), red);
            QCOMPARE(song->toolTip(), problem);
            QCOMPARE(song->data(Qt::ForegroundRole), red);
            // The first row, whose file plays, never changes.
            QCOMPARE(today.data(today.index(0, 2), Qt::ForegroundRole), QVariant());
            QStringList texts;
            for (int c = 0; c < 5; ++c)
                texts << today.text(2, c);
            QCOMPARE(texts, todayTexts);
            QCOMPARE(song->text(), news);
        };
        shows(QString());

        QVERIFY(QFile::remove(news));
        env.clock->advance(SoundFileWatch::IntervalMs);
        settle(form);
        shows(QStringLiteral("找不到此文件"));
        // For a reviewer's eyes: today's grid, the editor's grid and List2 with the red row.
        const QString shots = QCoreApplication::applicationDirPath() + "/screenshots";
        QDir().mkpath(shots);
        form.grab().save(shots + "/missingfiles_form1.png");
        form.scheduleEditor().grab().save(shots + "/missingfiles_editor.png");
        form.libraryEditor().grab().save(shots + "/missingfiles_library.png");

        writeFile(news, "<html>not found</html>");
        env.clock->advance(SoundFileWatch::IntervalMs);
        settle(form);
        shows(QStringLiteral("此文件不是可以播放的 WAV、MIDI 或 MP3 文件"));

        writeFile(news, Mp3);
        env.clock->advance(SoundFileWatch::IntervalMs);
        settle(form);
        shows(QString());
    }
};

QTEST_MAIN(TestMissingFiles)
#include "tst_missingfiles.moc"
