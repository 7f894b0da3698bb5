#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skarn::cli {

// Builds indented JSON text. Keys and values are written in call order; the
// writer places the commas and the indentation.
class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The key of the next value inside an object.
    void key(std::string_view name);

    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void value(double number);
    void value(std::int64_t number);
    void value(std::int32_t number) { value(static_cast<std::int64_t>(number)); }
    void value(bool flag);
    void null();
    void value(const std::optional<std::int32_t>& number) {
        if (number) value(*number); else null();
    }

    // The text so far, followed by a line end once everything is closed.
    std::string text() const { return text_ + "\n"; }

private:
    void beforeValue();
    void newline();

    std::string text_;
    std::vector<bool> hasItems_;  // one per open object or array
    bool afterKey_ = false;
};

// A JSON string literal of `bytes`. Valid UTF-8 passes through; control
// characters are escaped, and a byte that is not part of valid UTF-8 is
// written as the code point of the same value (as if it were Latin-1), so
// the text is always valid JSON.
std::string jsonString(std::string_view bytes);

// The shortest decimal text that reads back as exactly `number`.
std::string jsonNumber(double number);

}  // namespace skarn::cli
