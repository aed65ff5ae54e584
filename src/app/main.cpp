#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "AppIcon.h"
#include "AppSetup.h"
#include "AppTitle.h"
#include "AppWindows.h"
#include "DisplayReach.h"
#include "HomeFolder.h"
#include "Language.h"
#include "SelfCheck.h"
#include "SettingsFile.h"
#include "StartArguments.h"

namespace {

std::string WorkingFolder() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

// --help and --version need no display: they are answered before Qt starts.
bool Asked(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (std::strcmp(argv[i], option) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zanfeld;
    if (Asked(argc, argv, "--help") || Asked(argc, argv, "-h")) {
        std::fputs(StartArguments::usage(), stdout);
        return 0;
    }
    if (Asked(argc, argv, "--version")) {
        std::printf("zanfeld %s\n", kAppVersion);
        return 0;
    }
    // A diagnostic runs anywhere: where no window system answers (a
    // server, a build machine) it runs offscreen rather than abort in Qt.
    if (Asked(argc, argv, "--self-check") && !std::getenv("QT_QPA_PLATFORM") &&
        !DisplayReachable())
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // What Qt left of the line (its own options taken out).
    const StartArguments arguments = StartArguments::parse(argc, argv, WorkingFolder());
    if (!arguments.error.empty()) {
        std::fprintf(stderr, "zanfeld: %s\n%s", arguments.errorText.c_str(),
                     StartArguments::usage());
        return 2;
    }
    // The self-check looks for Qt's Chinese texts, whatever the desktop's language.
    const std::string language = arguments.selfCheck      ? std::string(kChinese)
                                 : arguments.lang.empty() ? PreferredLanguage()
                                                          : arguments.lang;
    const bool translated = SetUpApplication(app, language);
    if (!translated && !arguments.lang.empty()) {
        std::fprintf(stderr, "zanfeld: --lang %s: no catalogue of that language was found\n",
                     language.c_str());
    }
    // The desktop matches the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kAppId));
    QApplication::setWindowIcon(AppIcon());
    if (arguments.selfCheck) {
        std::string report;
        const bool ok = RunSelfCheck(translated, report);
        std::fputs(report.c_str(), stdout);
        return ok ? 0 : 1;
    }
    AppWindows windows(DefaultSettingsPath(), DefaultOutputFolder());
    windows.openPaths(arguments.paths);
    return app.exec();
}
