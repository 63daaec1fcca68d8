// Start-up of the whole program against a program that shows an empty Qt window: each a
// fresh process, timed from launch until its window has been shown and painted. The program
// then goes on as after a real start, preparing playback in the background; how long that
// holds its event loop is measured over the following seconds. Some runs then stay idle with
// the window shown for a while longer, for the processor time and resident memory an idle
// program takes: its 200 ms timers (status lines, cover) must not keep it busy.
#include "app/form1.h"
#include "app/setupapplication.h"

#include <sys/resource.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int AfterShownMs = 2000;
constexpr int IdleMs = 10000;
constexpr int IdleRuns = 3;

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);  // every thread of the process
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double residentMiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
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
    std::printf("idle %.4f rss %.1f\n", 100 * share, residentMiB());
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
    double shownMs = 0, stallMs = 0, idlePercent = 0, rssMiB = 0;
};

Run runOnce(const QString &self, const QString &mode, bool idle = false) {
    Run r;
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(self, idle ? QStringList{mode, QStringLiteral("idle")} : QStringList{mode});
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
    if (out.contains("idle ") && idleLine.size() >= 4) {
        r.idlePercent = idleLine[1].toDouble();
        r.rssMiB = idleLine[3].toDouble();
    }
    if (p.exitCode() != 0 || !out.contains("shown\n"))
        std::fprintf(stderr, "%s run failed: %s\n", qPrintable(mode), p.readAllStandardError().constData());
    return r;
}

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const bool idle = argc > 2 && qstrcmp(argv[2], "idle") == 0;
    if (mode == QLatin1String("empty")) {
        QApplication app(argc, argv);
        QWidget w;
        w.resize(696, 216);
        showAndReport(w);
        reportStall();
        if (idle)
            reportIdle();
        return 0;
    }
    if (mode == QLatin1String("form1")) {
        QApplication app(argc, argv);
        setUpApplication(app);  // the font, style, Qt's Chinese texts and the icon, as main does
        QTemporaryDir dir;
        Services services = makeRealServices(dir.path());
        Form1 form(services);
        showAndReport(form);
        prepareAfterStartUp(services);  // as main does
        reportStall();
        if (idle)
            reportIdle();
        return 0;
    }
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const int runs = 15;
    runOnce(self, "empty");  // warm the file cache for both
    runOnce(self, "form1");
    QList<double> shown[2], stall[2], idlePercent[2], rss[2];
    for (int i = 0; i < runs; ++i) {
        for (int m = 0; m < 2; ++m) {
            const Run r = runOnce(self, m == 0 ? "empty" : "form1", i < IdleRuns);
            shown[m] << r.shownMs;
            stall[m] << r.stallMs;
            if (i < IdleRuns) {
                idlePercent[m] << r.idlePercent;
                rss[m] << r.rssMiB;
            }
        }
    }
    std::printf(
        "start-up, median of %d fresh processes: launch to the window painted; then the longest the event "
        "loop was held in the next %d s\n",
        runs, AfterShownMs / 1000);
    std::printf("  empty Qt window   %8.1f ms   held %5.1f ms\n", median(shown[0]), median(stall[0]));
    std::printf(
        "  Form1, real       %8.1f ms   held %5.1f ms  (%.2f x the empty window; GStreamer prepared in "
        "the background meanwhile)\n",
        median(shown[1]), median(stall[1]), median(shown[1]) / median(shown[0]));
    std::printf("idle with the window shown, median of %d processes over %d s each:\n", IdleRuns, IdleMs / 1000);
    std::printf("  empty Qt window   %6.3f %% of a core   resident %6.1f MiB\n", median(idlePercent[0]),
                median(rss[0]));
    std::printf("  Form1, real       %6.3f %% of a core   resident %6.1f MiB  (%.2f x the empty window)\n",
                median(idlePercent[1]), median(rss[1]), median(rss[1]) / median(rss[0]));
    const double startRatio = median(shown[1]) / median(shown[0]);
    const double rssRatio = median(rss[1]) / median(rss[0]);
    const bool ok = median(idlePercent[1]) < 0.5 && rssRatio <= 1.6 && startRatio <= 1.3;
    std::printf("side by side: idle %.3f %% (< 0.5)   memory %.2f x (<= 1.6)   start-up %.2f x (<= 1.3)   %s\n",
                median(idlePercent[1]), rssRatio, startRatio, ok ? "within bounds" : "OUT OF BOUNDS");
    return 0;
}
