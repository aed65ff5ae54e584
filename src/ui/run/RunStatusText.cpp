#include "RunStatusText.h"

#include "MessageTranslator.h"
#include "NativeText.h"
#include "PathNames.h"
#include "RunStatusLine.h"

namespace zanfeld {

namespace {

// The name as the window shows it, whatever its bytes.
std::string ShownName(const std::string& path) {
    return FromNative(FileNameOf(path)).toUtf8().toStdString();
}

}  // namespace

QString RunStatusText::idle(size_t entries, bool folders) {
    const int n = static_cast<int>(entries);
    return folders ? tr("列表中共有 %n 个文件夹", nullptr, n)
                   : tr("列表中共有 %n 个文件", nullptr, n);
}

QString RunStatusText::during(const RunProgress& p, const std::string& path, bool folders,
                              int64_t elapsedMs) {
    return QString::fromUtf8(
        TranslateMessage(RunStatusLine::during(p, ShownName(path), folders, elapsedMs)));
}

QString RunStatusText::after(const RunCounts& counts, bool stopped) {
    return QString::fromUtf8(TranslateMessage(RunStatusLine::after(counts, stopped)));
}

QString RunStatusText::undoing(const RunProgress& p, const std::string& path, int64_t elapsedMs) {
    return QString::fromUtf8(
        TranslateMessage(RunStatusLine::undoing(p, ShownName(path), elapsedMs)));
}

QString RunStatusText::afterUndo(const UndoCounts& counts, bool stopped) {
    return QString::fromUtf8(TranslateMessage(RunStatusLine::afterUndo(counts, stopped)));
}

QString RunStatusText::bytes(uint64_t n) {
    return QString::fromUtf8(TranslateMessage(RunStatusLine::bytes(n)));
}

QString RunStatusText::timeLeft(double done, int64_t elapsedMs) {
    return QString::fromUtf8(TranslateMessage(RunStatusLine::timeLeft(done, elapsedMs)));
}

}  // namespace zanfeld
