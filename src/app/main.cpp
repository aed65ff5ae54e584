#include <QApplication>
#include <QDir>

#include "AppSetup.h"
#include "AppWindows.h"
#include "NativeText.h"
#include "SettingsFile.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zanfeld::SetUpApplication(app);
    zanfeld::AppWindows windows(zanfeld::DefaultSettingsPath(),
                                zanfeld::ToNative(QCoreApplication::applicationDirPath()));
    return app.exec();
}
