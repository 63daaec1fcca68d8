// The list file byte for byte: records, counts, GBK fields, times, damaged files.
#include "core/gbk.h"
#include "core/holidaycalendar.h"
#include "core/linefile.h"
#include "core/recordfile.h"
#include "core/schedulelistfile.h"
#include "core/timetext.h"

#include <iconv.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

namespace {

// Runs the readers on path in a child process that a wait of over ten seconds or a growth of
// over 200 MB ends, and gives a letter for each: s when it succeeded, f when it failed; H or B
// when the child hung or bloated. A file of 300 MB read whole passes the bound; a full list of
// 32 766 items, even under AddressSanitizer, does not.
QString readersOn(const QString &path) {
    int out[2];
    if (::pipe(out) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = fork();
    if (child == 0) {
        ::close(out[0]);
        ::alarm(10);
        std::thread([] {
            auto peakKb = [] {
                rusage u{};
                getrusage(RUSAGE_SELF, &u);
                return u.ru_maxrss;
            };
            for (const long start = peakKb();; std::this_thread::sleep_for(std::chrono::milliseconds(1)))
                if (peakKb() - start > 200 * 1024)
                    _exit(9);
        }).detach();
        auto say = [&](bool ok) { (void)::write(out[1], ok ? "s" : "f", 1); };
        QList<ScheduleItem> items;
        QStringList lines;
        int n = 0;
        say(ScheduleListFile::load(path, &items).ok());
        say(ScheduleListFile::load(path, &items, ScheduleListFile::Missing::ReadAsEmpty).ok());
        say(ScheduleListFile::count(path, &n).ok());
        say(ScheduleListFile::append(path, ScheduleItem{}).ok());
        say(linefile::read(path, &lines).ok());
        say(HolidayCalendar(QFileInfo(path).path() + QLatin1Char('/')).load().ok());
        say(ScheduleListFile::rewrite(path, {}).ok());
        _exit(0);
    }
    ::close(out[1]);
    QByteArray said;
    char c;
    while (::read(out[0], &c, 1) == 1)
        said += c;
    ::close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        said += 'H';
    else if (WEXITSTATUS(status) == 9)
        said += 'B';
    return QString::fromLatin1(said);
}

}  // namespace

class TestListFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    static QByteArray bytesOf(const QString &path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    static void writeBytes(const QString &path, const QByteArray &bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private slots:
    void recordLayout() {
        const ScheduleItem item{8 * 3600, QStringLiteral("上课"), 300, QStringLiteral("C:/bell.wav")};
        const QByteArray r = item.toRecord();
        QCOMPARE(r.size(), 136);
        QCOMPARE(r.left(8), QByteArray::fromHex("555555555555D53F"));
        QCOMPARE(r.mid(8, 20), gbk::encode(QStringLiteral("上课")) + QByteArray(16, ' '));
        double len;
        memcpy(&len, r.constData() + 28, 8);
        QCOMPARE(len, 300.0 / 86400);
        QCOMPARE(r.mid(36, 100), QByteArray("C:/bell.wav") + QByteArray(89, ' '));
        QCOMPARE(ScheduleItem::fromRecord(r), item);
    }

    void playToEndAndZeroLengthAreTheSameRecord() {
        const auto a = ScheduleItem::fromTexts("08:00:00", "a", QStringLiteral("播完"), "x.wav");
        const auto b = ScheduleItem::fromTexts("08:00:00", "a", "00:00:00", "x.wav");
        QVERIFY(a && b);
        QCOMPARE(a->toRecord(), b->toRecord());
        QCOMPARE(a->toRecord().mid(28, 8), QByteArray(8, '\0'));
        QCOMPARE(timetext::lengthText(ScheduleItem::fromRecord(b->toRecord()).PlayLength), QStringLiteral("播完"));
    }

    void textFields_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("ascii") << "Bell"
                               << "Bell";
        QTest::newRow("twelve chinese characters keep ten")
            << QStringLiteral("一二三四五六七八九十十一") << QStringLiteral("一二三四五六七八九十");
        QTest::newRow("leading and trailing spaces go") << "  morning  "
                                                        << "morning";
        QTest::newRow("cut inside a double-byte character")
            << QStringLiteral("abc一二三四五六七八九") << QStringLiteral("abc一二三四五六七八");
        QTest::newRow("not in GBK becomes ?") << QStringLiteral("a😀b") << "a?b";
        QTest::newRow("longer than 20 characters") << "abcdefghijklmnopqrstuvwxyz"
                                                   << "abcdefghijklmnopqrst";
    }
    void textFields() {
        QFETCH(QString, name);
        QFETCH(QString, readBack);
        const ScheduleItem item{0, name, 0, "f"};
        const QByteArray r = item.toRecord();
        QCOMPARE(r.size(), 136);
        QCOMPARE(ScheduleItem::fromRecord(r).ItemName, readBack);
    }

    void halfCharacterIsPaddedWithASpace() {
        // 19 bytes of text, then a double-byte character that does not fit.
        const QByteArray f = gbk::encodeField(QStringLiteral("abcdefghijklmnopqrs一"), 20);
        QCOMPARE(f, QByteArray("abcdefghijklmnopqrs "));
    }

    void pathOverOneHundredBytes() {
        const QString folder = QString(60, QChar(0x6587));  // "文" × 60 = 120 bytes
        const ScheduleItem item{0, "n", 0, folder + "/x.wav"};
        QCOMPARE(ScheduleItem::fromRecord(item.toRecord()).SoundFile, QString(50, QChar(0x6587)));
    }

    void midnightAndShortTimes() {
        const ScheduleItem item{0, "n", 30, "f"};
        QCOMPARE(item.toRecord().left(8), QByteArray(8, '\0'));
        QCOMPARE(timetext::shortTime(0), QStringLiteral("0:00:00"));
        QCOMPARE(timetext::twoDigitTime(0), QStringLiteral("00:00:00"));
        QCOMPARE(timetext::shortTime(8 * 3600 + 300), QStringLiteral("8:05:00"));
        QCOMPARE(timetext::lengthText(30), QStringLiteral("0:00:30"));
        QCOMPARE(timetext::parse("8:05:00"), std::optional<int>(29100));
        QCOMPARE(timetext::parse("08:05:00"), std::optional<int>(29100));
        QCOMPARE(timetext::parse("24:00:00"), std::nullopt);
        QCOMPARE(timetext::parse("8:5"), std::nullopt);
        QCOMPARE(timetext::parse("ab:cd:ef"), std::nullopt);
    }

    void storedDoublesRoundToTheNearestSecond_data() {
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("seconds");
        QTest::newRow("a hair under eight") << (8 * 3600 - 0.0001) / 86400 << 8 * 3600;
        QTest::newRow("with a date part") << 45000.5 << 12 * 3600;
        QTest::newRow("not a number") << std::nan("") << 0;
        QTest::newRow("infinite") << HUGE_VAL << 0;
        QTest::newRow("last second") << 86399.0 / 86400 << 86399;
        // Before 1899-12-30 the fraction counts forwards from midnight all the same.
        QTest::newRow("-0.25 is 06:00") << -0.25 << 6 * 3600;
        QTest::newRow("-1.75 is 18:00") << -1.75 << 18 * 3600;
        QTest::newRow("a second before") << -1.0 / 86400 << 1;
    }
    void storedDoublesRoundToTheNearestSecond() {
        QFETCH(double, stored);
        QFETCH(int, seconds);
        QCOMPARE(timetext::fromOle(stored), seconds);
    }

    void counts_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("200 bytes") << 200 << 1;
        QTest::newRow("204 bytes, 1.5 to even") << 204 << 2;
        QTest::newRow("340 bytes, 2.5 to even") << 340 << 2;
        QTest::newRow("1360 bytes") << 1360 << 10;
        QTest::newRow("1428 bytes, 10.5 to even") << 1428 << 10;
        QTest::newRow("60 bytes") << 60 << 0;
        QTest::newRow("70 bytes") << 70 << 1;
    }
    void counts() {
        QFETCH(int, length);
        QFETCH(int, count);
        const QString p = path(QStringLiteral("count%1.lst").arg(length));
        writeBytes(p, QByteArray(length, 'x'));
        int n = -1;
        QVERIFY(ScheduleListFile::count(p, &n).ok());
        QCOMPARE(n, count);
    }

    void accessPatterns() {
        const QString p = path("patterns.lst");
        QList<ScheduleItem> items;
        QVERIFY(ScheduleListFile::load(p, &items).ok());  // a new name is an empty list
        QVERIFY(QFile::exists(p));
        QCOMPARE(items.size(), 0);
        const ScheduleItem a{8 * 3600, "a", 0, "a.wav"}, b{9 * 3600, "b", 30, "b.mid"}, c{10 * 3600, "c", 60, "c.mp3"};
        QVERIFY(ScheduleListFile::append(p, a).ok());
        QVERIFY(ScheduleListFile::append(p, b).ok());
        QVERIFY(ScheduleListFile::append(p, c).ok());
        QCOMPARE(bytesOf(p).size(), 408);
        QCOMPARE(bytesOf(p).mid(272, 136), c.toRecord());  // record 3 lies at bytes 272 to 407
        QVERIFY(ScheduleListFile::overwrite(p, 2, c).ok());
        QVERIFY(ScheduleListFile::load(p, &items).ok());
        QCOMPARE(items, (QList<ScheduleItem>{a, c, c}));
        QVERIFY(ScheduleListFile::rewrite(p, {b}).ok());
        QCOMPARE(bytesOf(p), b.toRecord());
    }

    void damagedFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        const QByteArray good = ScheduleItem{3600, "x", 0, "x.wav"}.toRecord();
        QTest::newRow("truncated last record") << good + good.left(100) << 2;
        QTest::newRow("not a list file") << QByteArray(500, char(0xFF)) << 4;
        QTest::newRow("invalid GBK") << QByteArray(136, char(0x81)) << 1;
        QTest::newRow("zeros") << QByteArray(272, '\0') << 2;
    }
    void damagedFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        const QString p = path("damaged.lst");
        writeBytes(p, bytes);
        QList<ScheduleItem> items;
        QVERIFY(ScheduleListFile::load(p, &items).ok());
        QCOMPARE(items.size(), count);
        for (const ScheduleItem &it : items) {
            QVERIFY(it.StartTime >= 0 && it.StartTime < 86400);
            QVERIFY(!it.ItemName.startsWith(' ') && !it.SoundFile.endsWith(' '));
        }
    }

    void truncatedRecordReadsZeros() {
        const QByteArray good = ScheduleItem{3600, "x", 0, "x.wav"}.toRecord();
        const ScheduleItem partial = ScheduleItem::fromRecord(good.left(40));
        QCOMPARE(partial.StartTime, 3600);
        QCOMPARE(partial.ItemName, QStringLiteral("x"));
        QCOMPARE(partial.SoundFile, QStringLiteral("x.wa"));  // the rest is missing: zeros, cleaned away
    }

    void unusablePathsAreErrors() {
        QList<ScheduleItem> items;
        QVERIFY(!ScheduleListFile::load(path("no/such/folder/x.lst"), &items).ok());
        QDir(m_dir.path()).mkdir("folder.lst");
        QVERIFY(!ScheduleListFile::load(path("folder.lst"), &items).ok());
        QVERIFY(!ScheduleListFile::append(path("no/such/folder/x.lst"), {}).ok());
        QVERIFY(!ScheduleListFile::rewrite(path("folder.lst"), {}).ok());
        QVERIFY(QFileInfo(path("folder.lst")).isDir());
        // The scheduler's read of a missing file is an empty list and creates nothing.
        QVERIFY(ScheduleListFile::load(path("missing.lst"), &items, ScheduleListFile::Missing::ReadAsEmpty).ok());
        QVERIFY(!QFile::exists(path("missing.lst")));
    }

    // The new list stops halfway, as on a full disk: the old one stays, and no part of the
    // new one is left beside it.
    void failedRewriteKeepsTheOldList() {
        const QString p = path("keep.lst");
        const ScheduleItem a{8 * 3600, "a", 0, "a.wav"}, b{9 * 3600, "b", 0, "b.wav"};
        QVERIFY(ScheduleListFile::rewrite(p, {a}).ok());
        setReplaceFileProbe([](const QString &, qint64 written, qint64 total) { return written == total; });
        const Result r = ScheduleListFile::rewrite(p, {b, b, b});
        setReplaceFileProbe({});
        QVERIFY(!r.ok());
        QVERIFY(!r.reason().isEmpty());
        QCOMPARE(bytesOf(p), a.toRecord());
        QCOMPARE(QDir(m_dir.path()).entryList({"keep.lst*"}, QDir::Files), QStringList{"keep.lst"});
    }

    // Whatever is at the path, every reader is done at once and takes no more memory than
    // its format can hold: anything but a regular file fails like an unreadable one and stays
    // as it is, and of a huge list only what a list can hold is read. Order: load, load as
    // the scheduler does, count, append, read lines, read the calendar, rewrite.
    void anyPathIsReadAtOnceAndBounded_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("results");
        for (const char *kind : {"pipe", "link to a pipe", "socket", "folder", "zero device", "random device"})
            QTest::newRow(kind) << kind << "fffffff";
        QTest::newRow("300 MB") << "300 MB"
                                << "sssfsfs";
    }
    void anyPathIsReadAtOnceAndBounded() {
        QFETCH(QString, kind);
        QFETCH(QString, results);
        const QString folder = path(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(folder));
        const QString p = folder + QStringLiteral("/Holidays.txt");
        const QByteArray name = QFile::encodeName(p), target = QFile::encodeName(folder + "/pipe");
        if (kind == "pipe" || kind == "link to a pipe") {
            QCOMPARE(::mkfifo((kind == "pipe" ? name : target).constData(), 0644), 0);
            if (kind != "pipe")
                QCOMPARE(::symlink(target.constData(), name.constData()), 0);
        } else if (kind == "socket") {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, name.constData(), sizeof address.sun_path);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
            ::close(fd);
        } else if (kind == "folder") {
            QVERIFY(QDir().mkdir(p));
        } else if (kind.endsWith("device")) {
            // Nodes of our own for /dev/zero and /dev/urandom: a faulty writer replaces only these.
            if (::mknod(name.constData(), S_IFCHR | 0666, makedev(1, kind == "zero device" ? 5 : 9)) != 0)
                QSKIP("making a device node needs root");
        } else {
            QFile big(p);
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(300 << 20));  // sparse: no disk taken
        }
        struct stat before {
        }, after{};
        QCOMPARE(::lstat(name.constData(), &before), 0);
        QCOMPARE(readersOn(p), results);
        QCOMPARE(::lstat(name.constData(), &after), 0);
        if (!S_ISREG(before.st_mode))
            QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);  // not replaced
    }

    // A process that dies with half of the new bytes written leaves the old file whole.
    void aCrashHalfwayLeavesTheOldFile() {
        const QString p = path("crash.lst");
        const QByteArray old = ScheduleItem{8 * 3600, "old", 0, "old.wav"}.toRecord();
        const QByteArray next = ScheduleItem{9 * 3600, "new", 0, "new.wav"}.toRecord().repeated(3);
        writeBytes(p, old);
        const pid_t child = fork();
        if (child == 0) {
            setReplaceFileProbe([](const QString &, qint64 written, qint64 total) {
                if (written < total)
                    _exit(3);  // the power goes off here
                return true;
            });
            (void)replaceFile(p, next);
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 3);
        QCOMPARE(bytesOf(p), old);
        // Where the system has no unnamed temporary files, the half-written one stays behind.
        for (const QString &left : QDir(m_dir.path()).entryList({"crash.lst?*"}, QDir::Files)) {
            QCOMPARE(bytesOf(path(left)), next.left(next.size() / 2));
            QFile::remove(path(left));
        }
    }

    // A replacement is a new file: a reader that holds the old one open, and a hard link to
    // it, go on seeing the old bytes.
    void aReplaceLeavesOpenReadersAndLinksTheOldBytes() {
        const QString p = path("shared.lst");
        const QByteArray old = ScheduleItem{8 * 3600, "old", 0, "old.wav"}.toRecord().repeated(2);
        const QByteArray next = ScheduleItem{9 * 3600, "new", 0, "new.wav"}.toRecord();
        writeBytes(p, old);
        QFile reader(p);
        QVERIFY(reader.open(QIODevice::ReadOnly));
        QCOMPARE(::link(QFile::encodeName(p).constData(), QFile::encodeName(path("link.lst")).constData()), 0);
        QVERIFY(replaceFile(p, next).ok());
        QCOMPARE(reader.readAll(), old);
        QCOMPARE(bytesOf(path("link.lst")), old);
        QCOMPARE(bytesOf(p), next);
    }

    void gbkRoundTrip() {
        const QString text = QStringLiteral("校园广播 ABC 123 播完");
        QCOMPARE(gbk::decode(gbk::encode(text)), text);
        QCOMPARE(gbk::decode(QByteArray("\x81")), QStringLiteral("?"));  // half a character at the end
        // A lead byte whose next byte cannot follow it is one "?"; that byte is a character of its own.
        QCOMPARE(gbk::decode(QByteArray("\x81\x30\x41")), QStringLiteral("?0A"));
        // Code page 936's one single byte beyond ASCII, both ways.
        QCOMPARE(gbk::decode(QByteArray("5\x80")), QStringLiteral("5€"));
        QCOMPARE(gbk::encode(QStringLiteral("5€")), QByteArray("5\x80"));
    }

    // Every two-byte character reads as iconv reads it alone, and writes back to its bytes.
    void everyPairAsIconvReadsIt() {
        iconv_t cd = iconv_open("UTF-16LE", "GBK");
        QVERIFY(cd != reinterpret_cast<iconv_t>(-1));
        int characters = 0;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                char pair[2] = {char(lead), char(trail)};
                char *in = pair;
                size_t inLeft = 2;
                char16_t u = 0;
                char *out = reinterpret_cast<char *>(&u);
                size_t outLeft = sizeof u;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                const bool converts = iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1) && u >= 0x80;
                const QString read = gbk::decode(QByteArray(pair, 2));
                if (!converts) {
                    QVERIFY2(read.startsWith(QLatin1Char('?')), qPrintable(QString::number(lead * 256 + trail, 16)));
                    continue;
                }
                ++characters;
                QCOMPARE(read, QString(QChar(u)));
                // A character with two codes writes as its first.
                const QByteArray written = gbk::encode(read);
                QCOMPARE(gbk::decode(written), read);
                QVERIFY(written == QByteArray(pair, 2) || written < QByteArray(pair, 2));
            }
        }
        iconv_close(cd);
        QVERIFY(characters > 21000);
    }
};

QTEST_GUILESS_MAIN(TestListFile)
#include "tst_listfile.moc"
