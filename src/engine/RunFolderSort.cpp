#include <exception>

#include "FailureLog.h"
#include "FileOps.h"
#include "FolderCopyError.h"
#include "FolderSort.h"
#include "NameRules.h"
#include "PathNames.h"
#include "Placement.h"
#include "TextUtil.h"

namespace zanfeld {

namespace {

int Percent(size_t i, size_t n) {
    return static_cast<int>(static_cast<unsigned long long>(i) * 100 / n);
}

// What one run has fixed before the folders are handled.
struct FolderRun {
    const SortOptions& options;
    std::vector<std::string> keywords;  // page Keys
    NameRange range;                    // page FileName
    SortHost& host;
    FailureLog& failures;
};

// Copies the folder at path below outputDir + targetName, unless that would
// leave the output directory.
void CopyInto(const FolderRun& run, const std::string& path, const std::string& name,
              const std::string& targetName) {
    if (!DirExists(path)) return;  // gone since it was listed: nothing to copy, nothing to say
    const std::string destination = targetName + kPathSeparator + name;
    if (!StaysInside(destination)) {
        run.failures.add(path, "目标文件夹“" + destination + "”不在输出目录之内");
        return;
    }
    // The output directory may lie inside the source: no copy ever holds
    // another copy made by this run.
    CopyFolderTree(path, run.options.outputDir + destination, run.options.sameFilePolicy, run.host,
                   run.failures, run.options.outputDir);
}

void SortByKeywords(const FolderRun& run, const std::string& path, const std::string& name) {
    // Every matching keyword, in list order; a keyword listed twice copies twice.
    for (const std::string& keyword : run.keywords) {
        if (!KeywordMatches(keyword, name)) continue;
        if (!StaysInside(keyword)) {
            run.failures.add(path, "目标文件夹“" + keyword + "”不在输出目录之内");
            continue;
        }
        // Made even when the source has gone.
        EnsureFolder(run.options.outputDir + keyword);
        CopyInto(run, path, name, keyword);
    }
}

// Returns false when the folder is passed over without a progress step.
bool SortByName(const FolderRun& run, const std::string& path, const std::string& name) {
    const std::string target = DeriveTargetName(name, run.options, run.range);
    if (!StaysInside(target)) {
        run.failures.add(path, "目标文件夹“" + target + "”不在输出目录之内");
        return true;
    }
    const std::string targetFolder = run.options.outputDir + target;
    if (!DirExists(targetFolder)) {
        if (run.options.onlyMatchDir) return false;
        EnsureFolder(targetFolder);
    }
    CopyInto(run, path, name, target);
    return true;
}

}  // namespace

void RunFolderSort(SortOptions options, const std::vector<std::string>& sources, SortHost& host) {
    bool busy = false;
    try {
        if (sources.empty()) {
            host.showInfo("没有需要分拣的文件夹（目录）!");
            return;
        }
        if (IsBlank(options.outputDir)) {
            host.rejectOption("请选择分拣结果输出目录！", OptionId::OutputDir);
            return;
        }
        if (options.outputDir.back() != kPathSeparator) {
            options.outputDir.push_back(kPathSeparator);
            host.setOutputDir(options.outputDir);
        }
        FailureLog failures;
        FolderRun run{options, {}, {}, host, failures};
        if (options.page == SortPage::Keys) {
            if (IsBlank(options.keywordText)) {
                host.rejectOption("请输入匹配关键字!", OptionId::Keywords);
                return;
            }
            run.keywords = SplitKeywords(options.keywordText);
        } else if (options.page == SortPage::FileName) {
            if (!PrepareNameRange(options, host, run.range)) return;
        }

        ForgetLearnedFolderBits();
        host.setBusy(true);
        busy = true;
        const size_t n = sources.size();
        for (size_t i = 0; i < n; ++i) {
            host.refreshLiveOptions(options);
            const std::string& path = sources[i];
            const std::string name = FileNameOf(path);  // empty for a path ending in the separator
            if (options.page == SortPage::Keys) {
                SortByKeywords(run, path, name);
            } else if (options.page == SortPage::FileName) {
                if (!SortByName(run, path, name)) continue;
            }
            // The hidden date page, or no page: nothing but the step.
            host.setProgress(Percent(i, n));
        }
        host.setProgress(100);
        host.setBusy(false);
        busy = false;
        host.showInfo(failures.completionText());
        host.setProgress(0);
    } catch (const FolderCopyError& e) {
        // The folders after this one are left alone; the window is given back.
        if (busy) host.setBusy(false);
        host.setProgress(0);
        host.showInfo("无法进入文件夹“" + e.path() + "”：" + ErrorText(e.error()) +
                      "，分拣已中止。");
    } catch (const std::exception& e) {
        if (busy) host.setBusy(false);
        host.setProgress(0);
        host.showInfo(std::string("分拣中断：") + e.what());
    }
}

}  // namespace zanfeld
