// Logging categories of this folder; warnings are off until a rule switches them on.
#include "lock/logging.h"

Q_LOGGING_CATEGORY(lcLock, "tollmere.lock", QtCriticalMsg)
