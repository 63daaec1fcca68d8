// Builds the real services and shows the main window.
#include "app/form1.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    Services services = makeRealServices(QCoreApplication::applicationDirPath());
    int rc = 0;
    {
        Form1 form(services);
        form.show();
        prepareAfterStartUp(services);
        rc = QApplication::exec();
    }
    return rc;
}
