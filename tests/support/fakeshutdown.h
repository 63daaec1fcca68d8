// A fake power-off requester that only counts.
#pragma once
#include "housekeeping/shutdownrequester.h"

class FakeShutdown : public ShutdownRequester {
public:
    int requests = 0;
    bool requestPowerOff() override {
        ++requests;
        return true;
    }
};
