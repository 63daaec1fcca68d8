// AppDir normalisation.
#include "core/appdir.h"

#include <QDir>

QString AppDirFrom(const QString &folder) {
    QString dir = QDir::fromNativeSeparators(folder);
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    if (!dir.endsWith(QLatin1Char('/')))
        dir.append(QLatin1Char('/'));
    return dir;
}
