// The fake players' meta-objects are compiled here.
#include "support/fakeplayers.h"
