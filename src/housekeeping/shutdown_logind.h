// Power-off through logind on the system bus.
#pragma once
#include "housekeeping/shutdownrequester.h"

#include <memory>

// Nothing is connected until the first request; a bus that was missing or has gone away is
// connected again at the next one.
std::unique_ptr<ShutdownRequester> makeLogindShutdown();
