// The random music's rules in tables: the open group, the pick and its history, the two
// library files byte for byte, List2's order and the multi-selection text.
#include "randommusic/libraryfiles.h"
#include "randommusic/musicrules.h"

#include <QtTest>
#include <cmath>
#include <limits>

namespace {

constexpr int Sunday = 1, Monday = 2, Tuesday = 3, Saturday = 7;

int hms(int h, int m, int s) { return h * 3600 + m * 60 + s; }

PlayGroup window(int start, int stop, std::initializer_list<int> dayIndexes) {
    PlayGroup g{start, stop, {}};
    for (int d : dayIndexes)
        g.days[d] = 1;
    return g;
}

// A draw that gives the scripted numbers in turn.
std::function<double()> script(QList<double> numbers) {
    auto queue = std::make_shared<QList<double>>(std::move(numbers));
    return [queue] { return queue->takeFirst(); };
}

// r for which floor(r × n × 10000) mod n is k: the middle of k's first band.
double drawFor(int k, int n) { return (k + 0.5) / (double(n) * 10000); }

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

}  // namespace

using Groups = std::array<PlayGroup, 4>;
Q_DECLARE_METATYPE(Groups)

static Groups four(PlayGroup g1, PlayGroup g2 = {}, PlayGroup g3 = {}, PlayGroup g4 = {}) { return {g1, g2, g3, g4}; }

class TestMusicRules : public QObject {
    Q_OBJECT

private slots:
    void openGroup_data() {
        QTest::addColumn<Groups>("groups");
        QTest::addColumn<int>("now");
        QTest::addColumn<int>("weekday");
        QTest::addColumn<int>("open");
        const PlayGroup monday = window(hms(8, 0, 0), hms(8, 30, 0), {0});
        QTest::newRow("at the start exactly: closed") << four(monday) << hms(8, 0, 0) << Monday << 0;
        QTest::newRow("a second later: open") << four(monday) << hms(8, 0, 1) << Monday << 1;
        QTest::newRow("a second before the stop: open") << four(monday) << hms(8, 29, 59) << Monday << 1;
        QTest::newRow("at the stop exactly: closed") << four(monday) << hms(8, 30, 0) << Monday << 0;
        QTest::newRow("Tuesday: closed") << four(monday) << hms(8, 10, 0) << Tuesday << 0;
        const PlayGroup sunday = window(hms(8, 0, 0), hms(9, 0, 0), {6});
        QTest::newRow("the box 日 on a Sunday") << four({}, sunday) << hms(8, 10, 0) << Sunday << 2;
        QTest::newRow("the box 日 on a Saturday") << four({}, sunday) << hms(8, 10, 0) << Saturday << 0;
        const PlayGroup wide = window(hms(7, 0, 0), hms(9, 0, 0), {0});
        QTest::newRow("groups 1 and 3 open: group 1") << four(monday, {}, wide) << hms(8, 10, 0) << Monday << 1;
        QTest::newRow("only group 3 open") << four(monday, {}, wide) << hms(8, 40, 0) << Monday << 3;
        QTest::newRow("start after stop never opens")
            << four(window(hms(12, 0, 0), hms(11, 0, 0), {0})) << hms(11, 30, 0) << Monday << 0;
    }
    void openGroup() {
        QFETCH(Groups, groups);
        QFETCH(int, now);
        QFETCH(int, weekday);
        QFETCH(int, open);
        QCOMPARE(musicrules::openGroup(groups, now, weekday), open);
    }

    void slidersAndCaptions() {
        QCOMPARE(musicrules::volumeSlider(0, 1), 0);
        QCOMPARE(musicrules::volumeSlider(1, 2), 5);
        QCOMPARE(musicrules::volumeSlider(2, 4), 11);
        QCOMPARE(musicrules::groupCaption(1), QStringLiteral("第一组"));
        QCOMPARE(musicrules::groupCaption(10), QStringLiteral("第十组"));
        QCOMPARE(musicrules::groupCaption(12), QStringLiteral("第十二组"));
        QCOMPARE(musicrules::playingText("D:\\MUSIC\\A.MP3"),
                 QStringLiteral("随机播放:D:\\MUSIC\\A.MP3") + QString(32, QChar(0x3000)));
    }

    // Each row: the library's song count, the draws, the positions picked, and the history
    // count after each pick.
    void pick_data() {
        QTest::addColumn<int>("songs");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QList<int>>("picked");
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("the scaling: r × n × 10000, not r × n")
            << 3 << QList<double>{0.5, 0.99999} << QList<int>{0, 2} << QList<int>{1, 0};
        QTest::newRow("one song: always 0, the history cleared each time")
            << 1 << QList<double>{0.3, 0.7} << QList<int>{0, 0} << QList<int>{0, 0};
        QTest::newRow("two songs: cleared each time, a repeat may come")
            << 2 << QList<double>{drawFor(1, 2), drawFor(1, 2)} << QList<int>{1, 1} << QList<int>{0, 0};
        QTest::newRow("five songs: four different, then cleared")
            << 5 << QList<double>{drawFor(3, 5), drawFor(3, 5), drawFor(0, 5), drawFor(0, 5),
                                  drawFor(3, 5), drawFor(4, 5), drawFor(1, 5), drawFor(2, 5)}
            << QList<int>{3, 0, 4, 1, 2} << QList<int>{1, 2, 3, 0, 1};
    }
    void pick() {
        QFETCH(int, songs);
        QFETCH(QList<double>, draws);
        QFETCH(QList<int>, picked);
        QFETCH(QList<int>, counts);
        MusicLibrary library;
        QStringList table;
        for (int i = 0; i < songs; ++i)
            table << QStringLiteral("/m/%1.wav").arg(i);
        library.setSongs(table);
        int count = 0;
        const auto draw = script(draws);
        for (int i = 0; i < picked.size(); ++i) {
            QCOMPARE(musicrules::pickSong(library, count, draw), picked[i]);
            QCOMPARE(count, counts[i]);
        }
    }

    // One counter for all libraries; each library's picks go into its own history.
    void theHistoryCountIsShared() {
        MusicLibraries libs;
        QStringList ten;
        for (int i = 0; i < 10; ++i)
            ten << QStringLiteral("/m/%1.wav").arg(i);
        libs.library[0].setSongs(ten);
        libs.library[1].setSongs(ten);
        const auto draw = script({drawFor(1, 10), drawFor(2, 10), drawFor(3, 10), drawFor(1, 10)});
        for (int i = 0; i < 3; ++i)
            musicrules::pickSong(libs.library[0], libs.PlayHistoryCount, draw);
        // Song 1 was picked in library 0, which does not keep library 1 from picking it.
        QCOMPARE(musicrules::pickSong(libs.library[1], libs.PlayHistoryCount, draw), 1);
        QCOMPARE(libs.PlayHistoryCount, 4);
        QCOMPARE(libs.library[1].PlayHistory[4], 2);
        QCOMPARE(libs.library[1].PlayHistory[1], 0);
        QCOMPARE(libs.library[0].PlayHistory[3], 4);
    }

    // Positions remembered from a longer table could cover every song left: the new table
    // forgets them, so the drawing ends.
    void aShorterTableForgetsTheHistory() {
        MusicLibrary library;
        library.setSongs({"/a.wav", "/b.wav", "/c.wav", "/d.wav", "/e.wav"});
        int count = 0;
        const auto draw = script({drawFor(0, 5), drawFor(1, 5), drawFor(0, 2)});
        musicrules::pickSong(library, count, draw);
        musicrules::pickSong(library, count, draw);
        library.setSongs({"/a.wav", "/b.wav"});
        QCOMPARE(musicrules::pickSong(library, count, draw), 0);
    }

    void groupRecords_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("stop");
        QTest::addColumn<QList<int>>("days");
        QTest::addColumn<bool>("roundTrips");
        // 8:00:00 is 1/3 of a day: 0x3FD5555555555555; 8:30:00 is 0.3541666…: 0x3FD6AAAAAAAAAAAB.
        QTest::newRow("08:00:00 to 08:30:00, Monday and Sunday")
            << hex("555555555555D53FABAAAAAAAAAAD63F"
                   "0100"
                   "0000"
                   "0000"
                   "0000"
                   "0000"
                   "0000"
                   "0100")
            << hms(8, 0, 0) << hms(8, 30, 0) << QList<int>{1, 0, 0, 0, 0, 0, 1} << true;
        QTest::newRow("off: all zero") << QByteArray(30, '\0') << 0 << 0 << QList<int>{0, 0, 0, 0, 0, 0, 0} << true;
        QByteArray damaged(30, '\0');
        const double nan = std::numeric_limits<double>::quiet_NaN(), huge = 1e300;
        std::memcpy(damaged.data(), &nan, 8);
        std::memcpy(damaged.data() + 8, &huge, 8);
        damaged.replace(16, 6,
                        hex("0200"
                            "FFFF"
                            "0101"));
        QTest::newRow("NaN, huge, flags 2, -1, 257: midnight and not selected")
            << damaged << 0 << 0 << QList<int>{0, 0, 0, 0, 0, 0, 0} << false;
        QTest::newRow("short: missing bytes read as zeros")
            << hex("555555555555D53F"
                   "0000")
            << hms(8, 0, 0) << 0 << QList<int>{0, 0, 0, 0, 0, 0, 0} << false;
    }
    void groupRecords() {
        QFETCH(QByteArray, record);
        QFETCH(int, start);
        QFETCH(int, stop);
        QFETCH(QList<int>, days);
        QFETCH(bool, roundTrips);
        const PlayGroup g = libraryfiles::groupFromRecord(record);
        QCOMPARE(g.start, start);
        QCOMPARE(g.stop, stop);
        for (int d = 0; d < 7; ++d)
            QCOMPARE(int(g.days[d]), days[d]);
        if (roundTrips)
            QCOMPARE(libraryfiles::recordFromGroup(g), record);
    }

    void groupFileKeepsWhatLiesBeyondItsRecords() {
        const Groups groups = four(window(hms(8, 0, 0), hms(8, 30, 0), {0}));
        const QByteArray fresh = libraryfiles::groupSettingsBytes(groups);
        QCOMPARE(fresh.size(), 120);
        QCOMPARE(fresh.mid(30), QByteArray(90, '\0'));
        const QByteArray longer = QByteArray(120, 'x') + "tail";
        QCOMPARE(libraryfiles::groupSettingsBytes(groups, longer), fresh + "tail");
    }

    void songLists_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("songs");
        QTest::addColumn<int>("skipped");
        QTest::newRow("CR LF lines, GBK") << QByteArray("C:\\MUSIC\\A.MP3\r\n/m/\xB8\xE8.wav\r\n")
                                          << QStringList{"C:\\MUSIC\\A.MP3", QStringLiteral("/m/歌.wav")} << 0;
        QTest::newRow("a lone LF, no end on the last line")
            << QByteArray("/a.wav\n/b.wav") << QStringList{"/a.wav", "/b.wav"} << 0;
        QTest::newRow("empty lines passed over")
            << QByteArray("\r\n/a.wav\r\n\r\n\n/b.wav\r\n") << QStringList{"/a.wav", "/b.wav"} << 3;
        QTest::newRow("bytes that are not GBK") << QByteArray("/m/\xFF\x81.wav\r\n") << QStringList{"/m/??.wav"} << 0;
        QTest::newRow("an overlong line passed over")
            << QByteArray("/a.wav\r\n") + QByteArray(5000, 'x') + "\r\n/b.wav\r\n"
            << QStringList{"/a.wav", "/b.wav"} << 1;
    }
    void songLists() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, songs);
        QFETCH(int, skipped);
        int left = -1;
        QCOMPARE(libraryfiles::songsFromBytes(bytes, &left), songs);
        QCOMPARE(left, skipped);
    }

    void songListsTakeTheFirst1001() {
        QByteArray bytes;
        for (int i = 0; i < 1003; ++i)
            bytes += QStringLiteral("/m/%1.wav\r\n").arg(i).toLatin1();
        const QStringList songs = libraryfiles::songsFromBytes(bytes);
        QCOMPARE(songs.size(), 1001);
        QCOMPARE(songs.last(), QStringLiteral("/m/1000.wav"));
        QCOMPARE(libraryfiles::bytesFromSongs(songs.mid(0, 2)), QByteArray("/m/0.wav\r\n/m/1.wav\r\n"));
        QCOMPARE(libraryfiles::bytesFromSongs({QStringLiteral("/m/歌.wav")}), QByteArray("/m/\xB8\xE8.wav\r\n"));
    }

    void listOrder() {
        QStringList songs = {QStringLiteral("/m/长.wav"), QStringLiteral("/m/北.wav"), "/m/B.wav",
                             QStringLiteral("/m/安.wav"), "/m/a.wav"};
        std::stable_sort(songs.begin(), songs.end(), musicrules::songLess);
        // Letters without regard to case; Chinese by its reading (an, bei, chang), not by code.
        QCOMPARE(songs, QStringList({"/m/a.wav", "/m/B.wav", QStringLiteral("/m/安.wav"), QStringLiteral("/m/北.wav"),
                                     QStringLiteral("/m/长.wav")}));
    }

    void multiSelection_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("one path") << "C:\\MUSIC\\A.MP3" << QStringList{"C:\\MUSIC\\A.MP3"};
        QTest::newRow("a folder and two names")
            << "D:\\SONGS B.MID C.WAV" << QStringList{"D:\\SONGS\\B.MID", "D:\\SONGS\\C.WAV"};
        QTest::newRow("a drive's root") << "E:\\ B.MID C.WAV" << QStringList{"E:\\B.MID", "E:\\C.WAV"};
        QTest::newRow("a folder here") << "/home/music a.wav b.mp3"
                                       << QStringList{"/home/music/a.wav", "/home/music/b.mp3"};
    }
    void multiSelection() {
        QFETCH(QString, text);
        QFETCH(QStringList, paths);
        QCOMPARE(musicrules::splitMultiSelection(text), paths);
    }
};

QTEST_GUILESS_MAIN(TestMusicRules)
#include "tst_musicrules.moc"
