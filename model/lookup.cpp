#include "model/lookup.h"

#include <cstdio>
#include <limits>

namespace skarn::model {

std::string escapeControls(std::string_view text, bool keepLineEnds) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        char escape[8];
        if (c == '\n' && keepLineEnds) {
            out += '\n';
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            // U+0080 to U+009F in UTF-8: a terminal takes U+009B as CSI.
            std::snprintf(escape, sizeof escape, "\\u%04x", next);
            out += escape;
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string quoteName(std::string_view name) { return "\"" + escapeControls(name, false) + "\""; }

std::string inSection(std::string_view section, const std::string& fileName) {
    return "in [" + std::string(section) + "] of " + fileName;
}

std::string numberBeyond32Bits(SectionFile& file, std::string_view section, std::string_view name,
                               int field, std::int32_t value) {
    if (value != std::numeric_limits<std::int32_t>::max() &&
        value != std::numeric_limits<std::int32_t>::min())
        return "";
    std::string text;
    file.lookupText(section, name, field, text);
    return text.empty() ? "?" : text;
}

std::string outOf32Bits(const std::string& text) {
    return "is " + text + ", out of the 32-bit range";
}

std::string fieldProblem(SectionFile& file, std::string_view kind, std::string_view section,
                         std::string_view name, int field, std::string_view fieldName,
                         std::int32_t value) {
    const std::string what = "field " + std::to_string(field) + " (" + std::string(fieldName) +
                             ") of " + std::string(kind) + " " + quoteName(name) + " " +
                             inSection(section, file.fileName());
    const std::string text = numberBeyond32Bits(file, section, name, field, value);
    return text.empty() ? "cannot read " + what : what + " " + outOf32Bits(text);
}

}  // namespace skarn::model
