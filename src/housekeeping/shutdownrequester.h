// Asks the operating system to power the PC off.
#pragma once
#include <QObject>
#include <QString>

// The request is sent without waiting for the answer, so the user-interface thread never
// stands still for a slow or missing system service; the answer arrives through answered().
class ShutdownRequester : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ShutdownRequester() override = default;

    // Asks for a forced power-off that asks nobody. Each request is answered exactly once,
    // possibly before this returns (a request that cannot even be sent).
    virtual void requestPowerOff() = 0;

signals:
    // accepted: the system is going down. Otherwise reason says why not (refused, no service,
    // no answer in time).
    void answered(bool accepted, const QString &reason);
};
