// Everything the program needs from the platform, built once by main (or by a test).
#pragma once
#include "broadcast/mciplayer.h"
#include "broadcast/mp3player.h"
#include "core/asrunlog.h"
#include "core/clock.h"
#include "housekeeping/clockstatus.h"
#include "housekeeping/shutdownrequester.h"
#include "housekeeping/sleepguard.h"
#include "ui/dialogs.h"
#include "volume/mixerdevice.h"

#include <QString>
#include <functional>
#include <memory>

struct Services {
    std::unique_ptr<Clock> clock;
    std::unique_ptr<MciPlayer> mci;
    std::unique_ptr<Mp3Player> mp3;
    std::unique_ptr<MixerDevice> mixer;
    std::unique_ptr<ShutdownRequester> shutdown;
    std::unique_ptr<SleepGuard> sleepGuard;    // keeps the PC awake while the program runs; may be empty
    std::unique_ptr<ClockStatus> clockStatus;  // whether the system clock is kept; may be empty
    std::unique_ptr<Dialogs> dialogs;
    std::function<void()> beep;
    // Makes ready in the background what the first playback of a run would otherwise wait for
    // (GStreamer and its plugins, the beep's audio output); may be empty.
    std::function<void()> prepare;
    // Makes the MIDI synthesiser ready in the background; called when a MIDI item falls due,
    // five seconds before it plays. May be empty.
    std::function<void()> prepareMidi;
    std::function<void()> quit;       // ends the program at once
    std::unique_ptr<AsRunLog> asRun;  // what happened on air; may be empty (nothing is kept)
    QString appDir;                   // the folder of the executable, or a test's folder
};

// The real platform: system clock, GStreamer players on the default audio output, the
// ALSA mixer of the default card, logind (power-off, sleep held off), the kernel's word on
// its clock (adjtimex), Qt dialogs.
Services makeRealServices(const QString &appDir);

// The as-run log of the program over appDir: a file a day in appDir/logs/, each line also in
// the system journal.
std::unique_ptr<AsRunLog> makeAsRunLog(const QString &appDir, Clock &clock);

// Once the main window is shown: runs services.prepare a moment later, off the start-up path,
// and with midi services.prepareMidi as well.
void prepareAfterStartUp(Services &services, bool midi = false);
