// AppDir normalisation, and where an installed program keeps its files.
#include "core/appdir.h"

#include "core/logging.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

QString AppDirFrom(const QString &folder) {
    QString dir = QDir::fromNativeSeparators(folder);
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    if (!dir.endsWith(QLatin1Char('/')))
        dir.append(QLatin1Char('/'));
    return dir;
}

QString AppDirForProgram(const QString &programFolder) {
    if (::access(QFile::encodeName(programFolder).constData(), W_OK) == 0)
        return AppDirFrom(programFolder);
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data))  // unset, or not to be used as the rules for it say
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString user = data + QStringLiteral("/tollmere");
    if (QDir().mkpath(user))
        return AppDirFrom(user);
    qCWarning(lcFiles) << "neither" << programFolder << "nor" << user << "can be written; settings are read from"
                       << programFolder;
    return AppDirFrom(programFolder);
}
