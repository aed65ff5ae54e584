#pragma once

// The trees of the sort figures and the runs over them, shared by the figures
// that sort (SortFigures.cpp, JournalFigures.cpp, PreviewFigure.cpp).

#include <string>
#include <vector>

#include "Bench.h"
#include "SortHost.h"
#include "SortTypes.h"

namespace zanfeld::bench {

// The closing message of a sort that placed every file.
extern const char* const kCompletion;

// A host that does nothing but remember the last message.
class NullHost : public SortHost {
  public:
    void showInfo(const std::string& text) override { last = text; }
    void rejectOption(const std::string& text, OptionId) override { last = "rejected: " + text; }
    void setOutputDir(const std::string&) override {}
    void setBusy(bool) override {}
    void setProgress(int) override {}
    void refreshLiveOptions(SortOptions&) override {}
    bool askOverwrite(const std::string&) override { return false; }
    std::string last;
};

enum class Naming { ByType, ByKeyword };

// The type folders (".jpg", ...) and the keywords the trees are named by.
std::vector<std::string> Extensions(int count);
std::vector<std::string> Keywords(int count);

// Source files and where each belongs in an output folder.
struct SortTree {
    std::string out;                   // the output folder, without a trailing separator
    std::vector<std::string> sources;  // full paths
    std::vector<std::string> targets;  // full target paths, one per source
    std::vector<std::string> folders;  // the target folders, each once
};

// The same sources with their targets in the output folder out, made empty.
SortTree WithOutput(SortTree tree, const std::string& out, Naming naming, const BenchOptions& o);

// Makes o.sortFiles source files below root (fileSize bytes each, empty when
// 0) and, unless out is empty, an empty output folder out.
SortTree MakeSortTree(const std::string& root, const std::string& out, const BenchOptions& o,
                      Naming naming, int fileSize);

// The options of a sort of tree: page by naming, mode, Rename.
SortOptions RunOptions(const SortTree& tree, const BenchOptions& o, Naming naming,
                       TransferMode mode);

// Fails unless every file arrived under its own name in its folder, and
// nothing else is in the output folder.
void CheckPlaced(const SortTree& tree, const char* who);

// RunFileSort of tree through host (a NullHost when none is given), timed
// after a flush; fails unless it completed and placed every file.
double EngineRun(const SortTree& tree, const BenchOptions& o, Naming naming, TransferMode mode,
                 CpuOf cpu = CpuOf::Thread);
double EngineRun(const SortTree& tree, const BenchOptions& o, Naming naming, TransferMode mode,
                 NullHost& host, CpuOf cpu = CpuOf::Thread);

}  // namespace zanfeld::bench
