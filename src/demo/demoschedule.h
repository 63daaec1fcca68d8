// A first-run demonstration: a few sounds and a list for today whose first item falls due
// about a minute after it is written.
#pragma once
#include "core/result.h"

#include <QDateTime>
#include <QString>

namespace demo {

// Writes appDir + "demo/" (a bell, an MP3 announcement, a MIDI tune and "today.lst") with
// items from now + 60 s on, and chooses the list for every day in LstCfg.Cfg — unless the
// operator already has a weekday configuration of their own, which is left alone.
// Fails with what went wrong.
Result write(const QString &appDir, const QDateTime &now);

}  // namespace demo
