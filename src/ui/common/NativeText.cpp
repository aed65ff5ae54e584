#include "NativeText.h"

#include <QByteArray>
#include <QFile>

#include "MessageTranslator.h"

namespace zanfeld {

std::string ToNative(const QString& text) {
    const QByteArray bytes = QFile::encodeName(text);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString FromNative(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString FromEngine(const std::string& message) { return FromNative(TranslateMessage(message)); }

}  // namespace zanfeld
