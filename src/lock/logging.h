// Logging categories of this folder: quiet unless switched on with QT_LOGGING_RULES ("tollmere.*=true").
#pragma once
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcLock)  // tollmere.lock
