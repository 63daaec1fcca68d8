// AppDir: the folder every configuration and library file lies in.
#pragma once
#include <QString>

// The given folder with exactly one trailing separator ("/" stays "/").
QString AppDirFrom(const QString &folder);
