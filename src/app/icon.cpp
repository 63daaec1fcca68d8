// tollmere-icon: writes the program's icon as a PNG file of the given size, for a desktop install.
#include "ui/pictures.h"

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <output.png> <size>\n", argv[0]);
        return 2;
    }
    char *end = nullptr;
    const long size = std::strtol(argv[2], &end, 10);
    if (*argv[2] == '\0' || *end != '\0' || size < 16 || size > 1024) {
        std::fprintf(stderr, "%s: the size must be a whole number of pixels from 16 to 1024\n", argv[0]);
        return 2;
    }
    // The icon has no text and needs no display; the offscreen platform keeps it usable on a
    // build machine without one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (!pictures::programIcon(int(size)).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
