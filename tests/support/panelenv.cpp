// The panel fixture's AppDir.
#include "support/panelenv.h"

#include "core/appdir.h"

PanelEnv::PanelEnv() : appDir(AppDirFrom(dir.path())) {}
