#include <exception>

#include "FailureLog.h"
#include "FileOps.h"
#include "FolderCopyError.h"
#include "FolderSort.h"
#include "NameRules.h"
#include "PathNames.h"
#include "Placement.h"
#include "SortRunFrame.h"
#include "TextUtil.h"

namespace zanfeld {

namespace {

// What one run has fixed before the folders are handled.
struct FolderRun {
    const SortOptions& options;
    std::vector<std::string> keywords;  // page Keys
    NameRange range;                    // page FileName
    SortHost& host;
    FailureLog& failures;
    SortRunFrame& frame;
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
                   run.failures, run.options.outputDir, &run.frame);
}

void SortByKeywords(const FolderRun& run, const std::string& path, const std::string& name) {
    // Every matching keyword, in list order; a keyword listed twice copies twice.
    for (const std::string& keyword : run.keywords) {
        if (run.frame.stopRequested()) return;
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
    SortRunFrame frame(host);
    FailureLog failures(host);
    try {
        if (sources.empty()) {
            host.showInfo("没有需要分拣的文件夹（目录）!");
            return;
        }
        if (!frame.acceptOutputDir(options)) return;
        FolderRun run{options, {}, {}, host, failures, frame};
        if (options.page == SortPage::Keys) {
            if (IsBlank(options.keywordText)) {
                host.rejectOption("请输入匹配关键字!", OptionId::Keywords);
                return;
            }
            run.keywords = SplitKeywords(options.keywordText);
        } else if (options.page == SortPage::FileName) {
            if (!PrepareNameRange(options, host, run.range)) return;
        }

        const size_t n = sources.size();
        frame.begin(n, RunWindow::Folders, options);
        for (size_t i = 0; i < n; ++i) {
            if (frame.stopRequested()) return frame.stopped(failures);
            host.refreshLiveOptions(options);
            const std::string& path = sources[i];
            frame.item(i, path);
            const std::string name = FileNameOf(path);  // empty for a path ending in the separator
            if (options.page == SortPage::Keys) {
                SortByKeywords(run, path, name);
            } else if (options.page == SortPage::FileName) {
                if (!SortByName(run, path, name)) continue;
            }
            // A stop inside this folder's tree leaves the rest of it as it is.
            if (frame.stopRequested()) return frame.stopped(failures);
            // The hidden date page, or no page: nothing but the step.
            frame.step(i, n);
        }
        frame.finish(failures);
    } catch (const FolderCopyError& e) {
        // The folders after this one are left alone; the window is given back.
        frame.stop("无法进入文件夹“" + e.path() + "”：" + ReasonText(e.error()) + "，分拣已中止。",
                   failures);
    } catch (const std::exception& e) {
        frame.stop(std::string("分拣中断：") + e.what(), failures);
    }
}

}  // namespace zanfeld
