#include <QApplication>

#include "AppSetup.h"
#include "AppWindows.h"
#include "SettingsFile.h"
#include "UserFolders.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zanfeld::SetUpApplication(app);
    zanfeld::AppWindows windows(zanfeld::DefaultSettingsPath(), zanfeld::DefaultOutputFolder());
    return app.exec();
}
