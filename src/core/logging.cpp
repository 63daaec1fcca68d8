// Logging categories of this folder; warnings are off until a rule switches them on.
#include "core/logging.h"

Q_LOGGING_CATEGORY(lcFiles, "tollmere.files", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcClock, "tollmere.clock", QtCriticalMsg)
