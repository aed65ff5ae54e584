#include <unistd.h>

#include <QApplication>
#include <climits>
#include <cstdio>
#include <string>

#include "AppSetup.h"
#include "AppTitle.h"
#include "AppWindows.h"
#include "HomeFolder.h"
#include "Language.h"
#include "SettingsFile.h"
#include "StartArguments.h"

namespace {

std::string WorkingFolder() {
    std::string buffer(PATH_MAX, '\0');
    if (!getcwd(buffer.data(), buffer.size())) return {};
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

}  // namespace

int main(int argc, char** argv) {
    // QApplication takes Qt's own options (-platform, -style, ...) off the line first.
    QApplication app(argc, argv);
    const zanfeld::StartArguments args =
        zanfeld::StartArguments::parse(argc, argv, WorkingFolder());
    if (!args.error.empty()) {
        std::fprintf(stderr, "zanfeld: %s\n%s", args.errorText.c_str(),
                     zanfeld::StartArguments::usage());
        return 2;
    }
    if (args.help) {
        std::fputs(zanfeld::StartArguments::usage(), stdout);
        return 0;
    }
    if (args.version) {
        std::printf("zanfeld %s\n", zanfeld::kAppVersion);
        return 0;
    }
    const std::string language = args.lang.empty() ? zanfeld::PreferredLanguage() : args.lang;
    if (!zanfeld::SetUpApplication(app, language) && !args.lang.empty()) {
        std::fprintf(stderr, "zanfeld: --lang %s: no catalogue of that language was found\n",
                     language.c_str());
    }
    zanfeld::AppWindows windows(zanfeld::DefaultSettingsPath(), zanfeld::DefaultOutputFolder());
    windows.openPaths(args.paths);
    return app.exec();
}
