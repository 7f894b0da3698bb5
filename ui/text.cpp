#include "ui/text.h"

#include <algorithm>
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

// The number of bytes of the UTF-8 letter that `lead` begins; 0 when it
// begins none.
std::size_t letterLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The length of an unfinished letter at the end of `bytes`: a lead byte
// followed by fewer continuation bytes than it announces. 0 when the bytes
// end otherwise.
std::size_t unfinishedTail(std::string_view bytes) {
    for (std::size_t k = 1; k <= 3 && k <= bytes.size(); ++k) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - k]);
        if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        return letterLength(c) > k ? k : 0;
    }
    return 0;
}

bool hasNonAscii(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

bool isValidUtf8(std::string_view bytes) { return decodeUtf8(bytes).has_value(); }

QString displayText(std::string_view bytes) {
    if (auto text = decodeUtf8(bytes)) return *text;
    // Cut inside the last letter: the letters before it, and one mark for
    // the rest. A lone lead byte after plain ASCII is taken for Latin-1
    // instead ("Ren\xE9" is "René"): only an earlier letter beyond ASCII, or
    // a continuation byte in the tail, shows that the text is UTF-8.
    if (const std::size_t tail = unfinishedTail(bytes)) {
        const std::string_view letters = bytes.substr(0, bytes.size() - tail);
        if (auto text = decodeUtf8(letters); text && (tail > 1 || hasNonAscii(letters)))
            return *text + QChar(QChar::ReplacementCharacter);
    }
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string typedBytes(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace skarn
