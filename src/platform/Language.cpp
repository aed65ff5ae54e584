#include "Language.h"

#include <unistd.h>

#include <QFileInfo>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <cstdlib>

namespace zanfeld {

namespace {

// The locale messages are shown in, as the C library picks it.
std::string MessagesLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return {};
}

bool IsCLocale(const std::string& locale) {
    return locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0;
}

// "en" of "en-US", "en_GB.UTF-8", "EN"; "" for "C".
QString LanguageOf(const QString& name) {
    qsizetype end = 0;
    while (end < name.size() && name[end].isLetter()) ++end;
    return name.left(end).toLower();
}

bool PlainLanguageCode(const std::string& language) {
    // Two or three small letters, perhaps "_" and a region: never a path.
    size_t i = 0;
    while (i < language.size() && language[i] >= 'a' && language[i] <= 'z') ++i;
    if (i < 2 || i > 3) return false;
    if (i == language.size()) return true;
    if (language[i] != '_' || language.size() - i - 1 < 2 || language.size() - i - 1 > 3)
        return false;
    for (++i; i < language.size(); ++i)
        if (!(language[i] >= 'A' && language[i] <= 'Z') &&
            !(language[i] >= '0' && language[i] <= '9'))
            return false;
    return true;
}

// The folder the running program lies in, or "" when it cannot be told.
std::string ProgramFolder() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    const std::string path(buffer, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string PreferredLanguage() {
    const std::string messages = MessagesLocale();
    if (IsCLocale(messages)) return "zh";
    QStringList names = QLocale::system().uiLanguages();
    names.append(QString::fromLocal8Bit(messages.c_str()));
    for (const QString& name : names) {
        const QString language = LanguageOf(name);
        if (language == QLatin1String("zh")) return "zh";
        if (language == QLatin1String("en")) return "en";
    }
    return "zh";
}

std::string TranslationFile(const std::string& language) {
    if (!PlainLanguageCode(language)) return {};
    const QString name = QStringLiteral("zanfeld_%1.qm").arg(QString::fromStdString(language));
    const QString resource = QStringLiteral(":/i18n/") + name;
    if (QFileInfo(resource).isFile()) return resource.toStdString();
    const std::string folder = ProgramFolder();
    const size_t slash = folder.rfind('/');
    if (slash == std::string::npos) return {};
    const QString installed = QString::fromLocal8Bit(folder.substr(0, slash).c_str()) +
                              QStringLiteral("/share/zanfeld/translations/") + name;
    if (QFileInfo(installed).isFile()) return installed.toLocal8Bit().toStdString();
    return {};
}

}  // namespace zanfeld
