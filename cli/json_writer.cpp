#include "cli/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace skarn::cli {

namespace {

// The length of the valid UTF-8 sequence at the start of `bytes`, or 0.
std::size_t utf8SequenceLength(std::string_view bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) { length = 2; code = lead & 0x1Fu; }
    else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; code = lead & 0x0Fu; }
    else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; code = lead & 0x07u; }
    else return 0;
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u) return 0;
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    // Over-long forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) ||
        (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

}  // namespace

std::string jsonString(std::string_view bytes) {
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x80) {
            if (const std::size_t length = utf8SequenceLength(bytes.substr(i))) {
                out.append(bytes.substr(i, length));
                i += length;
                continue;
            }
        }
        char escape[8];
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out += static_cast<char>(c);
            }
        }
        ++i;
    }
    out += '"';
    return out;
}

std::string jsonNumber(double number) {
    if (!std::isfinite(number)) return "null";
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, number);
    (void)ec;  // 32 characters hold any double
    return std::string(buffer, end);
}

void JsonWriter::newline() {
    text_ += '\n';
    text_.append(2 * hasItems_.size(), ' ');
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasItems_.empty()) {
        if (hasItems_.back()) text_ += ',';
        hasItems_.back() = true;
        newline();
    }
}

void JsonWriter::key(std::string_view name) {
    beforeValue();
    text_ += jsonString(name);
    text_ += ": ";
    afterKey_ = true;
}

void JsonWriter::beginObject() {
    beforeValue();
    text_ += '{';
    hasItems_.push_back(false);
}

void JsonWriter::endObject() {
    const bool items = hasItems_.back();
    hasItems_.pop_back();
    if (items) newline();
    text_ += '}';
}

void JsonWriter::beginArray() {
    beforeValue();
    text_ += '[';
    hasItems_.push_back(false);
}

void JsonWriter::endArray() { endObject(); text_.back() = ']'; }

void JsonWriter::value(std::string_view text) {
    beforeValue();
    text_ += jsonString(text);
}

void JsonWriter::value(double number) {
    beforeValue();
    text_ += jsonNumber(number);
}

void JsonWriter::value(std::int64_t number) {
    beforeValue();
    text_ += std::to_string(number);
}

void JsonWriter::value(bool flag) {
    beforeValue();
    text_ += flag ? "true" : "false";
}

void JsonWriter::null() {
    beforeValue();
    text_ += "null";
}

}  // namespace skarn::cli
