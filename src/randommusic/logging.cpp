// Logging categories of this folder; warnings are off until a rule switches them on.
#include "randommusic/logging.h"

Q_LOGGING_CATEGORY(lcMusic, "tollmere.music", QtCriticalMsg)
