// Builds the real services and shows the main window.
#include "app/form1.h"
#include "app/setupapplication.h"
#include "app/singleinstance.h"
#include "core/appdir.h"
#include "ui/dialogs_qt.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    setUpApplication(app);
    // An installed copy, whose folder it cannot write, keeps its files in the user's data folder.
    const QString appDir = AppDirForProgram(QCoreApplication::applicationDirPath());
    SingleInstance instance(appDir);
    if (!instance.acquire()) {
        // Already running over these settings: show that one instead of ringing every bell twice.
        RealClock clock;
        return instance.handOverToRunning(*makeQtDialogs(), *makeAsRunLog(appDir, clock));
    }
    Services services = makeRealServices(appDir);
    int rc = 0;
    {
        Form1 form(services);
        QObject::connect(&instance, &SingleInstance::showRequested, &form, [&form] {
            form.showNormal();
            form.raise();
            form.activateWindow();
        });
        form.show();
        prepareAfterStartUp(services, form.randomMusicHasMidi());
        rc = QApplication::exec();
    }
    return rc;
}
