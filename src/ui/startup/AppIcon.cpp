#include "AppIcon.h"

#include <QString>

// Q_INIT_RESOURCE must be used outside any namespace. The resource sits in a
// static library, whose object file the linker drops unless something calls it.
static void InitIconResource() { Q_INIT_RESOURCE(zanfeld_icon); }

namespace zanfeld {

QIcon BuiltInAppIcon() {
    InitIconResource();
    // PNGs only: the 16 and 32 pixel ones are drawn for their size, and Qt's SVG
    // icon engine would keep one pixmap and draw every other size from the SVG.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/zanfeld/%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QIcon AppIcon() { return QIcon::fromTheme(QString::fromLatin1(kAppId), BuiltInAppIcon()); }

}  // namespace zanfeld
