// Start-up of the whole program against a program that shows an empty Qt window: each a
// fresh process, timed from launch until its window has been shown and painted. The program
// then goes on as after a real start, preparing playback in the background; how long that
// holds its event loop is measured over the following seconds.
#include "app/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int AfterShownMs = 2000;

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
    double shownMs = 0, stallMs = 0;
};

Run runOnce(const QString &self, const QString &mode) {
    Run r;
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(self, {mode});
    QByteArray out;
    while (!out.contains("shown\n") && p.waitForReadyRead(30000))
        out += p.readAllStandardOutput();
    r.shownMs = t.nsecsElapsed() / 1e6;
    p.waitForFinished(30000);
    out += p.readAllStandardOutput();
    const qsizetype at = out.indexOf("stall ");
    if (at >= 0)
        r.stallMs = out.mid(at + 6).trimmed().toDouble();
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
    if (mode == QLatin1String("empty")) {
        QApplication app(argc, argv);
        QWidget w;
        w.resize(696, 216);
        showAndReport(w);
        reportStall();
        return 0;
    }
    if (mode == QLatin1String("form1")) {
        QApplication app(argc, argv);
        QTemporaryDir dir;
        Services services = makeRealServices(dir.path());
        Form1 form(services);
        showAndReport(form);
        prepareAfterStartUp(services);  // as main does
        reportStall();
        return 0;
    }
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const int runs = 15;
    runOnce(self, "empty");  // warm the file cache for both
    runOnce(self, "form1");
    QList<double> shown[2], stall[2];
    for (int i = 0; i < runs; ++i) {
        for (int m = 0; m < 2; ++m) {
            const Run r = runOnce(self, m == 0 ? "empty" : "form1");
            shown[m] << r.shownMs;
            stall[m] << r.stallMs;
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
    return 0;
}
