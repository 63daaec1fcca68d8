// A fake power-off requester that counts requests and answers at once, as told.
#pragma once
#include "housekeeping/shutdownrequester.h"

class FakeShutdown : public ShutdownRequester {
public:
    int requests = 0;
    bool refuse = false;
    void requestPowerOff() override {
        ++requests;
        emit answered(!refuse, refuse ? QStringLiteral("refused by the test") : QString());
    }
};
