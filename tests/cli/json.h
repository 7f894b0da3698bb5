#pragma once

#include <charconv>
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace skarn::testing {

// A small strict JSON reader for checking the program's output: it throws
// on anything that is not valid JSON, and keeps numbers as the doubles their
// text reads back as.
struct Json {
    using Array = std::vector<Json>;
    using Object = std::map<std::string, Json>;
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> value;

    bool isNull() const { return std::holds_alternative<std::nullptr_t>(value); }
    double number() const { return std::get<double>(value); }
    const std::string& string() const { return std::get<std::string>(value); }
    const Array& array() const { return std::get<Array>(value); }
    const Object& object() const { return std::get<Object>(value); }
    // The member `key` of an object; throws when it is missing.
    const Json& operator[](const std::string& key) const { return object().at(key); }
    const Json& operator[](std::size_t index) const { return array().at(index); }
    bool has(const std::string& key) const { return object().count(key) != 0; }

    static Json parse(std::string_view text) {
        Reader reader{text};
        Json json = reader.readValue();
        reader.skipSpace();
        if (reader.pos != text.size()) throw std::runtime_error("text after the JSON value");
        return json;
    }

private:
    struct Reader {
        std::string_view text;
        std::size_t pos = 0;

        [[noreturn]] void fail(const std::string& what) const {
            throw std::runtime_error("bad JSON at " + std::to_string(pos) + ": " + what);
        }
        void skipSpace() {
            while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\n' ||
                                         text[pos] == '\r' || text[pos] == '\t'))
                ++pos;
        }
        bool consume(std::string_view word) {
            if (text.substr(pos, word.size()) != word) return false;
            pos += word.size();
            return true;
        }
        void expect(char c) {
            skipSpace();
            if (pos >= text.size() || text[pos] != c) fail(std::string("expected ") + c);
            ++pos;
        }
        Json readValue() {
            skipSpace();
            if (pos >= text.size()) fail("unexpected end");
            const char c = text[pos];
            if (c == '{') return readObject();
            if (c == '[') return readArray();
            if (c == '"') return Json{readString()};
            if (consume("null")) return Json{nullptr};
            if (consume("true")) return Json{true};
            if (consume("false")) return Json{false};
            return Json{readNumber()};
        }
        Json readObject() {
            ++pos;
            Object object;
            skipSpace();
            if (pos < text.size() && text[pos] == '}') { ++pos; return Json{object}; }
            while (true) {
                skipSpace();
                if (pos >= text.size() || text[pos] != '"') fail("expected a key");
                std::string key = readString();
                if (object.count(key)) fail("duplicate key " + key);
                expect(':');
                object.emplace(key, readValue());
                skipSpace();
                if (pos < text.size() && text[pos] == ',') { ++pos; continue; }
                expect('}');
                return Json{object};
            }
        }
        Json readArray() {
            ++pos;
            Array array;
            skipSpace();
            if (pos < text.size() && text[pos] == ']') { ++pos; return Json{array}; }
            while (true) {
                array.push_back(readValue());
                skipSpace();
                if (pos < text.size() && text[pos] == ',') { ++pos; continue; }
                expect(']');
                return Json{array};
            }
        }
        double readNumber() {
            const std::size_t start = pos;
            if (pos < text.size() && text[pos] == '-') ++pos;
            if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') fail("expected a value");
            while (pos < text.size() && std::string_view("0123456789.eE+-").find(text[pos]) !=
                                            std::string_view::npos)
                ++pos;
            double number = 0.0;
            const auto [end, ec] = std::from_chars(text.data() + start, text.data() + pos, number);
            if (ec != std::errc() || end != text.data() + pos) fail("bad number");
            return number;
        }
        void appendUtf8(std::string& out, std::uint32_t code) {
            if (code < 0x80) {
                out += static_cast<char>(code);
            } else if (code < 0x800) {
                out += static_cast<char>(0xC0 | (code >> 6));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                out += static_cast<char>(0xE0 | (code >> 12));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            }
        }
        std::string readString() {
            ++pos;
            std::string out;
            while (true) {
                if (pos >= text.size()) fail("unterminated string");
                const char c = text[pos++];
                if (c == '"') return out;
                if (static_cast<unsigned char>(c) < 0x20) fail("raw control character");
                if (c != '\\') { out += c; continue; }
                if (pos >= text.size()) fail("unterminated escape");
                const char e = text[pos++];
                switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'u': {
                    if (pos + 4 > text.size()) fail("short \\u escape");
                    std::uint32_t code = 0;
                    const auto [end, ec] =
                        std::from_chars(text.data() + pos, text.data() + pos + 4, code, 16);
                    if (ec != std::errc() || end != text.data() + pos + 4) fail("bad \\u escape");
                    pos += 4;
                    appendUtf8(out, code);
                    break;
                }
                default: fail("bad escape");
                }
            }
        }
    };
};

}  // namespace skarn::testing
