#include "AppSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include "AppTitle.h"
#include "Language.h"
#include "MessageTranslator.h"

namespace zanfeld {

namespace {

struct Installed {
    // Qt's Chinese texts, or the English catalogue; owned by the application.
    QPointer<QTranslator> translator;
    std::string language = kChinese;
};

Installed& installed() {
    static Installed i;
    return i;
}

QTranslator* LoadCatalogue(const std::string& language) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    const bool loaded = language == kEnglish
                            ? translator->load(QString::fromStdString(TranslationFile(kEnglish)))
                            : translator->load(QLocale(QLocale::Chinese, QLocale::China),
                                               QStringLiteral("qtbase"), QStringLiteral("_"),
                                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded) return translator;
    delete translator;
    return nullptr;
}

}  // namespace

bool SetUpApplication(QApplication& app, const std::string& language) {
    // Only the name is set: a display name would make some window systems
    // append it to every dialog's caption.
    QCoreApplication::setApplicationName(QString::fromLatin1(kAppName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kAppVersion));
    return SetLanguage(language);
}

bool SetLanguage(const std::string& language) {
    Installed& i = installed();
    if (i.translator) {
        QCoreApplication::removeTranslator(i.translator);
        delete i.translator;
        i.translator = nullptr;
    }
    i.language = language == kEnglish ? kEnglish : kChinese;
    i.translator = LoadCatalogue(i.language);
    if (i.translator) QCoreApplication::installTranslator(i.translator);
    // The messages of the layers below the windows come from the same
    // catalogue; Chinese unloads it.
    const bool messages = LoadTranslation(i.language);
    return i.translator != nullptr && (i.language == kChinese || messages);
}

const std::string& CurrentLanguage() { return installed().language; }

}  // namespace zanfeld
