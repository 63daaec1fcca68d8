// Asks the operating system to power the PC off.
#pragma once

class ShutdownRequester {
public:
    virtual ~ShutdownRequester() = default;
    // Forced power-off; false when the request was refused or could not be sent.
    virtual bool requestPowerOff() = 0;
};
