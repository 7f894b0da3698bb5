#include "ui/text.h"

#include <optional>

#include <QByteArray>
#include <QStringDecoder>

namespace skarn {
namespace {

// The text of `bytes` as UTF-8, or nothing when they are not well-formed.
// A leading byte order mark is kept as a character: the bytes are a name, not
// a file, and must come back as they were.
std::optional<QString> decodeUtf8(std::string_view bytes) {
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless |
                               QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError()) return std::nullopt;
    return text;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) { return decodeUtf8(bytes).has_value(); }

QString displayText(std::string_view bytes) {
    if (auto text = decodeUtf8(bytes)) return *text;
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string typedBytes(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace skarn
