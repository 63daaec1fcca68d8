// The one place where the real platform services are chosen.
#include "app/services.h"

#include "broadcast/beep_gst.h"
#include "broadcast/player_gst.h"
#include "core/appdir.h"
#include "core/asrunlogfile.h"
#include "core/asrunlogjournal.h"
#include "housekeeping/clockstatus_adjtimex.h"
#include "housekeeping/shutdown_logind.h"
#include "housekeeping/sleepguard_logind.h"
#include "ui/dialogs_qt.h"
#include "volume/mixer_alsa.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

// The players and the beep sound through the desktop's default audio output.
const QString AudioSink = QStringLiteral("autoaudiosink");

// Long enough after the window is shown that start-up has done its own work, and a few
// seconds before the first item can start (the first tick that finds one due comes within a
// second, and the item five seconds after it).
constexpr int PrepareDelayMs = 250;

}  // namespace

Services makeRealServices(const QString &appDir) {
    Services s;
    s.clock = std::make_unique<RealClock>();
    auto mci = std::make_unique<GstMciPlayer>(AudioSink);
    auto mp3 = std::make_unique<GstMp3Player>(AudioSink);
    auto beep = std::make_shared<GstBeep>(AudioSink);
    s.prepare = [mci = mci.get(), mp3 = mp3.get(), beep] {
        mci->prepare();
        mp3->prepare();
        beep->prepare();
    };
    s.prepareMidi = [mci = mci.get()] { mci->prepareMidi(); };
    s.mci = std::move(mci);
    s.mp3 = std::move(mp3);
    s.mixer = makeAlsaMixer();
    s.shutdown = makeLogindShutdown();
    s.sleepGuard = makeLogindSleepGuard();
    s.clockStatus = makeAdjtimexClockStatus();
    s.dialogs = makeQtDialogs();
    s.beep = [beep] { beep->beep(); };
    s.quit = [] { QCoreApplication::exit(0); };
    s.appDir = AppDirFrom(appDir);
    s.asRun = makeAsRunLog(s.appDir, *s.clock);
    return s;
}

std::unique_ptr<AsRunLog> makeAsRunLog(const QString &appDir, Clock &clock) {
    auto log = std::make_unique<AsRunLogFile>(appDir + QStringLiteral("logs"), clock);
    log->alsoTo(std::make_unique<AsRunLogJournal>(appDir));
    return log;
}

void prepareAfterStartUp(Services &services, bool midi) {
    if (!services.prepare || !services.mci)
        return;
    // The player is the timer's context: were the services gone first, nothing runs.
    QTimer::singleShot(PrepareDelayMs, services.mci.get(),
                       [prepare = services.prepare, prepareMidi = midi ? services.prepareMidi : nullptr] {
                           prepare();
                           if (prepareMidi)
                               prepareMidi();
                       });
}
