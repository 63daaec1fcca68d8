// Logging categories of this folder; warnings are off until a rule switches them on.
#include "app/logging.h"

Q_LOGGING_CATEGORY(lcApp, "tollmere.app", QtCriticalMsg)
