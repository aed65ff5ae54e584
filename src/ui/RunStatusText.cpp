#include "RunStatusText.h"

#include <cmath>

#include "NativeText.h"
#include "PathNames.h"

namespace zanfeld {

namespace {

// Before this much time or share of the run a guess would jump about.
constexpr int64_t kEstimateAfterMs = 2000;
constexpr double kEstimateAfterShare = 0.001;

}  // namespace

QString RunStatusText::idle(size_t entries, bool folders) {
    return QStringLiteral("列表中共有 %1 个%2")
        .arg(entries)
        .arg(folders ? QStringLiteral("文件夹") : QStringLiteral("文件"));
}

QString RunStatusText::during(const RunProgress& p, const std::string& path, bool folders,
                              int64_t elapsedMs) {
    QString text = (p.moving ? QStringLiteral("正在移动 ") : QStringLiteral("正在复制 ")) +
                   FromNative(FileNameOf(path));
    if (p.bytesTotal >= kBytesShownFrom) {
        text += QStringLiteral("（%1 / %2）").arg(bytes(p.bytesDone), bytes(p.bytesTotal));
    }
    if (p.count > 0) {
        // A full-width bracket brings its own space.
        text += text.endsWith(QChar(0xFF09)) ? QStringLiteral("· ") : QStringLiteral(" · ");
        text += QStringLiteral("第 %1 / %2 个%3")
                    .arg(p.index + 1)
                    .arg(p.count)
                    .arg(folders ? QStringLiteral("文件夹") : QStringLiteral("文件"));
        // The share done counts the current file by its bytes.
        double share = static_cast<double>(p.index);
        if (p.bytesTotal > 0)
            share += static_cast<double>(p.bytesDone) / static_cast<double>(p.bytesTotal);
        const QString left = timeLeft(share / static_cast<double>(p.count), elapsedMs);
        if (!left.isEmpty()) text += QStringLiteral(" · 剩余约 ") + left;
    }
    return text;
}

QString RunStatusText::after(const RunCounts& counts, bool stopped) {
    return (stopped ? QStringLiteral("分拣已停止：") : QStringLiteral("分拣完成：")) +
           FromNative(counts.text());
}

QString RunStatusText::bytes(uint64_t n) {
    if (n < 1024) return QStringLiteral("%1 B").arg(n);
    static const char* const kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(n) / 1024.0;
    size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
        value /= 1024.0;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(kUnits[unit]));
}

QString RunStatusText::timeLeft(double done, int64_t elapsedMs) {
    if (elapsedMs < kEstimateAfterMs || done < kEstimateAfterShare || done >= 1.0) return {};
    const double leftMs = static_cast<double>(elapsedMs) * (1.0 - done) / done;
    const auto seconds = static_cast<int64_t>(std::llround(leftMs / 1000.0));
    const int64_t h = seconds / 3600;
    const int64_t m = seconds / 60 % 60;
    const int64_t s = seconds % 60;
    auto two = [](int64_t v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    if (h > 0) return QStringLiteral("%1:%2:%3").arg(h).arg(two(m), two(s));
    return two(m) + QLatin1Char(':') + two(s);
}

}  // namespace zanfeld
