// Power-off through logind on the system bus.
#pragma once
#include "housekeeping/shutdownrequester.h"

#include <memory>

std::unique_ptr<ShutdownRequester> makeLogindShutdown();
