// Start-up of the whole program against a program that shows an empty Qt window: each a
// fresh process, timed from launch until its window has been shown and painted, many times over
// and interleaved, as a machine shared with others varies from one start to the next. In a few
// runs the program then goes on as after a real start, preparing playback in the background; how
// long that holds its event loop is measured over the following seconds. Some of those then
// stay idle with the window shown for a while longer, for the processor time and resident memory
// an idle program takes: its 200 ms timers (status lines, cover) must not keep it busy.
//
// Two more rows say where the floor lies: a window showing one line of Chinese text in the
// program's font (the font system is the first cost of any window with text, and the empty
// window never pays it), and the program without its audio made ready (what GStreamer and its
// plugins take, which the program holds from its first bell to the end of the day anyway).
//
// A row starts the program on a folder as a school has it: three music libraries of 1001 songs,
// a list of 1000 items for every day and the volumes set; start-up and memory against the
// one-line window. The folder is written once, before the runs, as it stands on the school's PC
// before the program starts. A last row starts the program with a 300 MB file as every day's
// list, as a stored path to a file picked by mistake would at every start: its peak memory
// against the program's own.
//
// With a display (DISPLAY set, e.g. under xvfb-run) the windows are real X windows, as on the
// school's PC; without one they are drawn offscreen.
//
// To profile one start: bench_startup --school-folder /tmp prints the folder it wrote, and
// bench_startup form1-school start FOLDER starts the program on it once.
#include "app/form1.h"
#include "app/setupapplication.h"
#include "core/recordfile.h"
#include "core/schedulelistfile.h"
#include "editor/lstcfg.h"
#include "randommusic/libraryfiles.h"

#include <sys/resource.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int Runs = 31;  // start-ups of each window: a machine shared with others varies by tens of percent
constexpr int StallRuns = 5;
constexpr int AfterShownMs = 2000;
constexpr int IdleMs = 25000;
constexpr int IdleRuns = 3;

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);  // every thread of the process
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// VmRSS: resident now; VmHWM: the most it has been.
double residentMiB(const QByteArray &key = "VmRSS:") {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

// With the window shown and nothing else to do: the share of one core the whole process takes
// over IdleMs, and its resident memory at the end.
void reportIdle() {
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(IdleMs, &loop, &QEventLoop::quit);
    loop.exec();
    const double share = (cpuSeconds() - cpu0) / (wall.nsecsElapsed() / 1e9);
    std::printf("idle %.4f rss %.1f peak %.1f\n", 100 * share, residentMiB(), residentMiB("VmHWM:"));
}

// Shows the window, then tells the parent on stdout that it has been painted.
void showAndReport(QWidget &w) {
    w.show();
    QCoreApplication::processEvents();
    w.repaint();
    std::printf("shown\n");
    std::fflush(stdout);
}

// Runs the event loop for a while and prints the longest it was kept from a 5 ms timer.
void reportStall() {
    double stall = 0;
    QElapsedTimer since;
    since.start();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        stall = std::max(stall, since.nsecsElapsed() / 1e6 - 5);
        since.restart();
    });
    probe.start(5);
    QEventLoop loop;
    QTimer::singleShot(AfterShownMs, &loop, &QEventLoop::quit);
    loop.exec();
    std::printf("stall %.3f\n", stall);
}

struct Run {
    double shownMs = 0, stallMs = 0, idlePercent = 0, rssMiB = 0, peakMiB = 0;
};

// What a run measures beside its start-up: nothing more (it ends once painted), how long the
// event loop is held in the seconds after, or that and then the program idle.
enum class After { Nothing, Stall, Idle };

// A fresh process showing the window of mode, on folder (empty: a new empty folder of its own).
Run runOnce(const QString &self, const QString &mode, const QString &folder, After after) {
    static const QString afterArgument[] = {QStringLiteral("start"), QStringLiteral("stall"), QStringLiteral("idle")};
    Run r;
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(self, {mode, afterArgument[int(after)], folder});
    QByteArray out;
    while (!out.contains("shown\n") && p.waitForReadyRead(30000))
        out += p.readAllStandardOutput();
    r.shownMs = t.nsecsElapsed() / 1e6;
    p.waitForFinished(30000 + IdleMs);
    out += p.readAllStandardOutput();
    const qsizetype at = out.indexOf("stall ");
    if (at >= 0)
        r.stallMs = out.mid(at + 6).split('\n').value(0).trimmed().toDouble();
    const QList<QByteArray> idleLine = out.mid(out.indexOf("idle ")).split('\n').value(0).split(' ');
    if (out.contains("idle ") && idleLine.size() >= 6) {
        r.idlePercent = idleLine[1].toDouble();
        r.rssMiB = idleLine[3].toDouble();
        r.peakMiB = idleLine[5].toDouble();
    }
    if (p.exitCode() != 0 || !out.contains("shown\n"))
        std::fprintf(stderr, "%s run failed: %s\n", qPrintable(mode), p.readAllStandardError().constData());
    return r;
}

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A window measured, in a process of its own, with what it needs kept alive beside it (the
// window goes first).
struct Measured {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Services> services;
    std::unique_ptr<QWidget> window;
};

// Three libraries of 1001 songs, a 1000-item list for every day, the volumes set.
void writeSchoolFolder(const QTemporaryDir &dir) {
    bool ok = true;
    for (int n = 0; n < 3; ++n) {
        QStringList songs;
        for (int i = 0; i < 1001; ++i)
            songs << QStringLiteral("/srv/广播/曲库%1/第%2首 校园歌曲.mp3").arg(n + 1).arg(i, 4, 10, QLatin1Char('0'));
        ok = ok && replaceFile(libraryfiles::songListPath(dir.path() + '/', n), libraryfiles::bytesFromSongs(songs));
        std::array<PlayGroup, 4> groups{};
        groups[0] = PlayGroup{7 * 3600 + 30 * 60, 7 * 3600 + 50 * 60, {1, 1, 1, 1, 1, 0, 0}};
        groups[1] = PlayGroup{12 * 3600, 13 * 3600, {1, 1, 1, 1, 1, 0, 0}};
        ok = ok && replaceFile(libraryfiles::groupSettingsPath(dir.path() + '/', n),
                               libraryfiles::groupSettingsBytes(groups));
    }
    QList<ScheduleItem> items;
    for (int i = 0; i < 1000; ++i)
        items << *ScheduleItem::fromTexts(
            QStringLiteral("%1:%2:00").arg(6 + i / 60).arg(i % 60, 2, 10, QLatin1Char('0')),
            QStringLiteral("第%1项 上课铃").arg(i + 1), QStringLiteral("00:00:30"),
            QStringLiteral("/srv/广播/铃声/上课%1.wav").arg(i % 10));
    const QString list = dir.filePath(QStringLiteral("school.lst"));
    ok = ok && ScheduleListFile::rewrite(list, items).ok();
    WeekdayListConfig c;
    c.SameEveryDay = true;
    c.EveryDayPath = list;
    ok = ok && replaceFile(dir.filePath(QLatin1String(WeekdayListConfig::FileName)), c.toRecord());
    ok = ok && replaceFile(dir.filePath(QStringLiteral("Volume.cfg")), QByteArray("24000\r\n").repeated(13));
    if (!ok)
        std::fprintf(stderr, "cannot write the school's folder in %s\n", qPrintable(dir.path()));
}

void build(Measured &m, const QString &mode, const QString &folder, QApplication &app) {
    if (mode == QLatin1String("empty")) {
        m.window = std::make_unique<QWidget>();
        m.window->resize(696, 216);
        return;
    }
    setUpApplication(app);  // the font, style, Qt's Chinese texts and the icon, as main does
    if (mode == QLatin1String("text")) {
        m.window = std::make_unique<QWidget>();
        m.window->resize(696, 216);
        (new QLabel(QStringLiteral("校园广播定时播放：第一节课 08:00:00"), m.window.get()))->move(20, 20);
        return;
    }
    QString appDir = folder;
    if (appDir.isEmpty()) {
        m.dir = std::make_unique<QTemporaryDir>();
        appDir = m.dir->path();
    }
    if (mode == QLatin1String("form1-300mb")) {
        // Sparse: a file of 300 MB that takes no disk and reads as zeros.
        QFile list(m.dir->filePath(QStringLiteral("huge.lst")));
        if (!list.open(QIODevice::WriteOnly) || !list.resize(qint64(300) << 20))
            std::fprintf(stderr, "cannot make %s\n", qPrintable(list.fileName()));
        WeekdayListConfig c;
        c.SameEveryDay = true;
        c.EveryDayPath = list.fileName();
        if (!replaceFile(m.dir->filePath(QLatin1String(WeekdayListConfig::FileName)), c.toRecord()))
            std::fprintf(stderr, "cannot write the list configuration\n");
    }
    m.services = std::make_unique<Services>(makeRealServices(appDir));
    m.window = std::make_unique<Form1>(*m.services);
}

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // else the desktop's own platform, as the program starts there
    const QStringList modes = {"empty", "text", "form1-quiet", "form1", "form1-300mb", "form1-school"};
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (modes.contains(mode)) {
        const QByteArray after = argc > 2 ? QByteArray(argv[2]) : QByteArray("stall");
        const QString folder = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
        QApplication app(argc, argv);
        Measured measured;
        build(measured, mode, folder, app);
        showAndReport(*measured.window);
        if (after == "start")
            return 0;
        if (mode.startsWith(QLatin1String("form1")) && mode != QLatin1String("form1-quiet"))
            prepareAfterStartUp(*measured.services);  // as main does
        reportStall();
        if (after == "idle")
            reportIdle();
        return 0;
    }
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--school-folder") == 0) {
        // Only writes the school's folder, to profile one start on it:
        // bench_startup form1-school start FOLDER
        QTemporaryDir school(QString::fromLocal8Bit(argv[2]) + QStringLiteral("/school-XXXXXX"));
        school.setAutoRemove(false);
        writeSchoolFolder(school);
        std::printf("%s\n", qPrintable(school.path()));
        return 0;
    }
    const QString self = QCoreApplication::applicationFilePath();
    QTemporaryDir school;
    writeSchoolFolder(school);
    auto folderOf = [&](const QString &mode) {
        return mode == QLatin1String("form1-school") ? school.path() : QString();
    };
    for (const QString &m : modes)
        runOnce(self, m, folderOf(m), After::Nothing);  // warm the file cache for each
    constexpr int Modes = 6;
    QList<double> shown[Modes], stall[Modes], idlePercent[Modes], rss[Modes], peak[Modes];
    for (int i = 0; i < Runs; ++i) {
        // Each round begins one window later: a start goes faster right after one of the same
        // program, and no window is to have that place every time.
        for (int k = 0; k < Modes; ++k) {
            const int m = (k + i) % Modes;
            const After after = i < IdleRuns ? After::Idle : i < StallRuns ? After::Stall : After::Nothing;
            const Run r = runOnce(self, modes[m], folderOf(modes[m]), after);
            shown[m] << r.shownMs;
            if (after != After::Nothing)
                stall[m] << r.stallMs;
            if (after == After::Idle) {
                idlePercent[m] << r.idlePercent;
                rss[m] << r.rssMiB;
                peak[m] << r.peakMiB;
            }
        }
    }
    const char *const names[Modes] = {"empty Qt window", "one line of text",   "Form1, no audio",
                                      "Form1, real",     "Form1, 300 MB list", "Form1, school folder"};
    std::printf(
        "start-up, median of %d fresh processes (%s): launch to the window painted; the longest the event loop "
        "was held in the next %d s, median of %d; idle with the window shown, median of %d processes over %d s each\n",
        Runs, qPrintable(qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("xcb"))), AfterShownMs / 1000,
        StallRuns, IdleRuns, IdleMs / 1000);
    for (int m = 0; m < Modes; ++m)
        std::printf(
            "  %-18s %7.1f ms (%.2f x)  held %5.1f ms   idle %6.3f %% of a core   resident %6.1f MiB (%.2f "
            "x), at most %6.1f MiB\n",
            names[m], median(shown[m]), median(shown[m]) / median(shown[0]), median(stall[m]), median(idlePercent[m]),
            median(rss[m]), median(rss[m]) / median(rss[0]), median(peak[m]));
    const double startRatio = median(shown[3]) / median(shown[0]);
    const double rssRatio = median(rss[3]) / median(rss[0]);
    const bool ok = median(idlePercent[3]) < 0.5 && rssRatio <= 1.6 && startRatio <= 1.3;
    std::printf("side by side: idle %.3f %% (< 0.5)   memory %.2f x (<= 1.6)   start-up %.2f x (<= 1.3)   %s\n",
                median(idlePercent[3]), rssRatio, startRatio, ok ? "within bounds" : "OUT OF BOUNDS");
    const double hugeGrowth = median(peak[4]) - median(peak[3]);
    std::printf("a 300 MB list: %+.1f MiB at most over the program's own (<= 10)   %s\n", hugeGrowth,
                hugeGrowth <= 10 ? "within bounds" : "OUT OF BOUNDS");
    // A school's folder against the honest floor, a window with one line of the program's text.
    const double schoolStart = median(shown[5]) / median(shown[1]), schoolRss = median(rss[5]) / median(rss[1]);
    const bool schoolOk = schoolStart <= 1.3 && schoolRss <= 1.5 && median(idlePercent[5]) < 0.5;
    std::printf(
        "a school's folder against one line of text: start-up %.2f x (<= 1.3)   memory %.2f x (<= 1.5)   "
        "idle %.3f %% (< 0.5)   %s\n",
        schoolStart, schoolRss, median(idlePercent[5]), schoolOk ? "within bounds" : "OUT OF BOUNDS");
    return 0;
}
