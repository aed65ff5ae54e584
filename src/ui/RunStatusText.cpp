#include "RunStatusText.h"

#include "NativeText.h"
#include "PathNames.h"
#include "RunStatusLine.h"

namespace zanfeld {

QString RunStatusText::idle(size_t entries, bool folders) {
    return QStringLiteral("列表中共有 %1 个%2")
        .arg(entries)
        .arg(folders ? QStringLiteral("文件夹") : QStringLiteral("文件"));
}

QString RunStatusText::during(const RunProgress& p, const std::string& path, bool folders,
                              int64_t elapsedMs) {
    // The name as the window shows it, whatever its bytes.
    const std::string name = FromNative(FileNameOf(path)).toUtf8().toStdString();
    return QString::fromUtf8(RunStatusLine::during(p, name, folders, elapsedMs));
}

QString RunStatusText::after(const RunCounts& counts, bool stopped) {
    return QString::fromUtf8(RunStatusLine::after(counts, stopped));
}

QString RunStatusText::bytes(uint64_t n) { return QString::fromUtf8(RunStatusLine::bytes(n)); }

QString RunStatusText::timeLeft(double done, int64_t elapsedMs) {
    return QString::fromUtf8(RunStatusLine::timeLeft(done, elapsedMs));
}

}  // namespace zanfeld
