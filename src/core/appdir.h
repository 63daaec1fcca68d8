// AppDir: the folder every configuration and library file lies in.
#pragma once
#include <QString>

// The given folder with exactly one trailing separator ("/" stays "/").
QString AppDirFrom(const QString &folder);

// The program's own folder when it can write there, exactly as before. An installed copy
// (in /usr/local/bin, say) cannot: its settings, logs and lock then live in the user's data
// folder, $XDG_DATA_HOME/tollmere/ (~/.local/share/tollmere/ when that is not set), made when
// missing. Should that fail too, the program's folder, where the settings still read.
QString AppDirForProgram(const QString &programFolder);
