// One file sort without a window, for the crash test. The sources come from a
// list file (one path per line); the host shows nothing and answers No. Writes
// "R" on a line of its own when the run starts, and the completion text when
// it ends, so that the test knows when to kill it and what came of it.
//
//   zanfeld_crash_driver <list file> <output dir> copy|move ask|rename|overwrite|skip|newer
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "RunFileSort.h"

namespace {

class SilentHost : public zanfeld::SortHost {
  public:
    void showInfo(const std::string& text) override { m_last = text; }
    void rejectOption(const std::string& text, zanfeld::OptionId) override { m_last = text; }
    void setOutputDir(const std::string&) override {}
    void setBusy(bool) override {}
    void setProgress(int) override {}
    void refreshLiveOptions(zanfeld::SortOptions&) override {}
    bool askOverwrite(const std::string&) override { return false; }

    std::string m_last;
};

bool ParsePolicy(const char* text, zanfeld::SameFilePolicy& policy) {
    using zanfeld::SameFilePolicy;
    const struct {
        const char* name;
        SameFilePolicy policy;
    } table[] = {{"ask", SameFilePolicy::Ask},
                 {"rename", SameFilePolicy::Rename},
                 {"overwrite", SameFilePolicy::Overwrite},
                 {"skip", SameFilePolicy::Skip},
                 {"newer", SameFilePolicy::EditFileTime}};
    for (const auto& entry : table) {
        if (std::strcmp(text, entry.name) == 0) {
            policy = entry.policy;
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    zanfeld::SortOptions options;
    options.page = zanfeld::SortPage::FileType;
    const bool modeOk =
        argc == 5 && (std::strcmp(argv[3], "copy") == 0 || std::strcmp(argv[3], "move") == 0);
    if (!modeOk || !ParsePolicy(argv[4], options.sameFilePolicy)) {
        std::fprintf(stderr,
                     "usage: %s <list file> <output dir> copy|move "
                     "ask|rename|overwrite|skip|newer\n",
                     argc > 0 ? argv[0] : "zanfeld_crash_driver");
        return 2;
    }
    options.outputDir = argv[2];
    options.transferMode = std::strcmp(argv[3], "move") == 0 ? zanfeld::TransferMode::Move
                                                             : zanfeld::TransferMode::Copy;

    std::ifstream list(argv[1], std::ios::binary);
    if (!list) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    std::vector<std::string> sources;
    for (std::string line; std::getline(list, line);)
        if (!line.empty()) sources.push_back(line);

    SilentHost host;
    std::fputs("R\n", stdout);
    std::fflush(stdout);
    zanfeld::RunFileSort(options, sources, host);
    std::fputs(host.m_last.c_str(), stdout);
    return 0;
}
