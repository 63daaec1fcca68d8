// Reading and writing the lines of Volume.cfg.
#include "volume/volumecfg.h"

namespace volumecfg {

QStringList format(const Positions &positions) {
    QStringList lines;
    for (qint32 p : positions)
        lines << QString::number(p);
    return lines;
}

ReadPositions parse(const QStringList &lines) {
    ReadPositions out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        bool ok = false;
        const qint64 value = lines[i].trimmed().toLongLong(&ok);
        if (ok)
            out[std::size_t(i % Count)] = value;
    }
    return out;
}

}  // namespace volumecfg
