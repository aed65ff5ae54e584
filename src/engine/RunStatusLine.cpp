#include "RunStatusLine.h"

#include <cmath>
#include <cstdio>
#include <iterator>

#include "MessageTexts.h"

namespace zanfeld {

namespace {

// Before this much time or share of the run a guess would jump about.
constexpr int64_t kEstimateAfterMs = 2000;
constexpr double kEstimateAfterShare = 0.001;

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string RunStatusLine::during(const RunProgress& p, const std::string& name, bool folders,
                                  int64_t elapsedMs) {
    return where(Format(p.moving ? MessageId::StatusMoving : MessageId::StatusCopying, {name}), p,
                 folders, elapsedMs);
}

std::string RunStatusLine::undoing(const RunProgress& p, const std::string& name,
                                   int64_t elapsedMs) {
    return where(Format(MessageId::StatusUndoing, {name}), p, false, elapsedMs);
}

std::string RunStatusLine::where(std::string text, const RunProgress& p, bool folders,
                                 int64_t elapsedMs) {
    if (p.bytesTotal >= kBytesShownFrom)
        text = Format(MessageId::StatusBytes, {text, bytes(p.bytesDone), bytes(p.bytesTotal)});
    if (p.count > 0) {
        // A full-width bracket (of the bytes, or the name's own) brings its own space.
        text =
            Format(EndsWith(text, "）") ? MessageId::StatusJoinAfterBracket : MessageId::StatusJoin,
                   {text, Format(folders ? MessageId::StatusFolderOf : MessageId::StatusFileOf,
                                 {std::to_string(p.index + 1), std::to_string(p.count)})});
        // The share done counts the current file by its bytes.
        double share = static_cast<double>(p.index);
        if (p.bytesTotal > 0)
            share += static_cast<double>(p.bytesDone) / static_cast<double>(p.bytesTotal);
        const std::string left = timeLeft(share / static_cast<double>(p.count), elapsedMs);
        if (!left.empty())
            text = Format(MessageId::StatusJoin, {text, Format(MessageId::StatusTimeLeft, {left})});
    }
    return text;
}

std::string RunStatusLine::after(const RunCounts& counts, bool stopped) {
    return Format(stopped ? MessageId::StatusStopped : MessageId::StatusFinished, {counts.text()});
}

std::string RunStatusLine::afterUndo(const UndoCounts& counts, bool stopped) {
    return Format(stopped                ? MessageId::StatusUndoStopped
                  : counts.notUndone > 0 ? MessageId::StatusUndoIncomplete
                                         : MessageId::StatusUndone,
                  {counts.text()});
}

std::string RunStatusLine::bytes(uint64_t n) {
    if (n < 1024) return std::to_string(n) + " B";
    static const char* const kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(n) / 1024.0;
    size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
        value /= 1024.0;
        ++unit;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string RunStatusLine::timeLeft(double done, int64_t elapsedMs) {
    if (elapsedMs < kEstimateAfterMs || done < kEstimateAfterShare || done >= 1.0) return {};
    const double leftMs = static_cast<double>(elapsedMs) * (1.0 - done) / done;
    const auto seconds = static_cast<long long>(std::llround(leftMs / 1000.0));
    char text[48];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%02lld:%02lld", seconds / 60 % 60, seconds % 60);
    }
    return text;
}

}  // namespace zanfeld
