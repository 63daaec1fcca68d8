// Logging categories of this folder; warnings are off until a rule switches them on.
#include "housekeeping/logging.h"

Q_LOGGING_CATEGORY(lcShutdown, "tollmere.shutdown", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcClearing, "tollmere.clearing", QtCriticalMsg)
