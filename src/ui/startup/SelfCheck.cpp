#include "SelfCheck.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QIcon>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QString>

#include "AppIcon.h"

namespace zanfeld {

bool RunSelfCheck(bool translationsLoaded, std::string& report) {
    bool ok = true;
    const auto line = [&](bool found, const QString& what) {
        ok = ok && found;
        report += (found ? "ok      " : "MISSING ") + what.toStdString() + "\n";
    };
    line(translationsLoaded, QStringLiteral("Qt translations (qtbase_zh_CN) in ") +
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    line(!chinese.isEmpty(), QStringLiteral("a font for Chinese: ") +
                                 (chinese.isEmpty() ? QStringLiteral("none") : chinese.join(", ")));
    // The icon the installed theme has, not only the one built in. Without a
    // desktop (offscreen) no platform theme tells where themes are or which
    // one is in use: the data folders' icons, and hicolor, which every theme
    // falls back to.
    if (QIcon::themeName().isEmpty()) {
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& data :
             QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
            paths << data + QStringLiteral("/icons");
        QIcon::setThemeSearchPaths(paths);
        QIcon::setThemeName(QStringLiteral("hicolor"));
    }
    const QIcon icon = QIcon::fromTheme(QString::fromLatin1(kAppId));
    line(!icon.isNull() && !icon.availableSizes().isEmpty(),
         QStringLiteral("the icon: ") +
             (icon.isNull() ? QStringLiteral("not in the icon theme") : icon.name()));
    return ok;
}

}  // namespace zanfeld
