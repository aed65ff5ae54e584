#include "AppTitle.h"

#include <QGuiApplication>

#include "ZanfeldVersion.h"

namespace zanfeld {

const char* const kAppVersion = ZANFELD_VERSION;

QString AppTitle() {
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QString::fromLatin1(kAppName) : name;
}

}  // namespace zanfeld
