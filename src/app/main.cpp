// Builds the real services and shows the main window.
#include "app/form1.h"
#include "app/remotecommand.h"
#include "app/setupapplication.h"
#include "app/singleinstance.h"
#include "core/appdir.h"
#include "ui/dialogs_qt.h"

#include <QApplication>

int main(int argc, char **argv) {
    // A command for the program running in this folder: no window, no display needed (ssh).
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (remotecommand::isCommand(args)) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout), err(stderr);
        return remotecommand::run(args, AppDirForProgram(QCoreApplication::applicationDirPath()), out, err);
    }
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
        instance.setCommandHandler([&form](const QJsonObject &command) { return form.remoteCommand(command); });
        form.show();
        prepareAfterStartUp(services, form.randomMusicHasMidi());
        rc = QApplication::exec();
    }
    return rc;
}
