// Fakes of every platform service.
#pragma once
#include "support/fakedialogs.h"
#include "support/fakemixer.h"
#include "support/fakeplayers.h"
#include "support/fakeshutdown.h"
