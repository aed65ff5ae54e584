#include <QApplication>

#include "AppSetup.h"
#include "AppWindows.h"
#include "HomeFolder.h"
#include "SettingsFile.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zanfeld::SetUpApplication(app);
    zanfeld::AppWindows windows(zanfeld::DefaultSettingsPath(), zanfeld::DefaultOutputFolder());
    return app.exec();
}
