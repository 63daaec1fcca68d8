// Logging categories of this folder; warnings are off until a rule switches them on.
#include "volume/logging.h"

Q_LOGGING_CATEGORY(lcMixer, "tollmere.mixer", QtCriticalMsg)
