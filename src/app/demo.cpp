// Writes the first-run demonstration next to the program.
#include "core/appdir.h"
#include "demo/demoschedule.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QString appDir = AppDirFrom(QCoreApplication::applicationDirPath());
    const Result written = demo::write(appDir, QDateTime::currentDateTime());
    if (!written) {
        std::fprintf(stderr, "tollmere-demo: %s\n", qPrintable(written.reason()));
        return 1;
    }
    std::printf("Demo written to %sdemo/: the first item plays about a minute after now.\n", qPrintable(appDir));
    return 0;
}
