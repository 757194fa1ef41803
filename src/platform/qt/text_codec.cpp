#include "platform/qt/text_codec.h"

#include "runtime/utf8.h"

namespace tw::platform {

namespace {

QString fromWindows1252(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        text.append(QChar(static_cast<char16_t>(windows1252CodePoint(static_cast<unsigned char>(c)))));
    }
    return text;
}

}  // namespace

QString toQString(std::string_view bytes) {
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return fromWindows1252(bytes);
}

QString toQString(const std::string& bytes) { return toQString(std::string_view(bytes)); }

std::string fromQString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

QString toDisplayLines(const std::string& bytes) {
    QString text = toQString(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

}  // namespace tw::platform
