#include "AppTitle.h"

#include <QGuiApplication>

namespace zanfeld {

QString AppTitle() {
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QString::fromLatin1(kAppName) : name;
}

}  // namespace zanfeld
