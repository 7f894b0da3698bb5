#include "model/lookup.h"

#include <cstdio>
#include <limits>

namespace skarn::model {

std::string quoteName(std::string_view name) {
    std::string out = "\"";
    for (const char ch : name) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else {
            out += ch;
        }
    }
    out += '"';
    return out;
}

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
