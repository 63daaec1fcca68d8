// Logging categories of this folder; warnings are off until a rule switches them on.
#include "editor/logging.h"

Q_LOGGING_CATEGORY(lcEditor, "tollmere.editor", QtCriticalMsg)
