// Logging categories of this folder; warnings are off until a rule switches them on.
#include "broadcast/logging.h"

Q_LOGGING_CATEGORY(lcTick, "tollmere.tick", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcPlayers, "tollmere.players", QtCriticalMsg)
