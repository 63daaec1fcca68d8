// The one place where the real platform services are chosen.
#include "app/services.h"

#include "broadcast/player_gst.h"
#include "core/appdir.h"
#include "housekeeping/shutdown_logind.h"
#include "ui/dialogs_qt.h"
#include "volume/mixer_alsa.h"

#include <QApplication>

Services makeRealServices(const QString &appDir) {
    Services s;
    s.clock = std::make_unique<RealClock>();
    s.mci = makeGstMciPlayer(QStringLiteral("autoaudiosink"));
    s.mp3 = makeGstMp3Player(QStringLiteral("autoaudiosink"));
    s.mixer = makeAlsaMixer();
    s.shutdown = makeLogindShutdown();
    s.dialogs = makeQtDialogs();
    s.beep = [] { QApplication::beep(); };
    s.quit = [] { QCoreApplication::exit(0); };
    s.appDir = AppDirFrom(appDir);
    return s;
}
