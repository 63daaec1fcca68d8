// Start-up of the whole program against a program that shows an empty Qt window: each a
// fresh process, timed from launch until its window has been shown and painted.
#include "app/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

int showAndQuit(QWidget &w) {
    w.show();
    QCoreApplication::processEvents();
    w.repaint();
    return 0;
}

double medianMs(const QString &self, const QString &mode, int runs) {
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(self, {mode});
        p.waitForFinished(30000);
        times << t.nsecsElapsed() / 1e6;
        if (p.exitCode() != 0)
            std::fprintf(stderr, "%s run failed: %s\n", qPrintable(mode), p.readAllStandardError().constData());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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
        return showAndQuit(w);
    }
    if (mode == QLatin1String("form1")) {
        QApplication app(argc, argv);
        QTemporaryDir dir;
        Services services = makeRealServices(dir.path());
        Form1 form(services);
        return showAndQuit(form);
    }
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const int runs = 15;
    medianMs(self, "empty", 2);  // warm the file cache for both
    medianMs(self, "form1", 2);
    const double empty = medianMs(self, "empty", runs);
    const double form1 = medianMs(self, "form1", runs);
    std::printf("start-up, median of %d fresh processes\n", runs);
    std::printf("  empty Qt window   %8.1f ms\n", empty);
    std::printf("  Form1, real       %8.1f ms  (%.2f x the empty window)\n", form1, form1 / empty);
    return 0;
}
