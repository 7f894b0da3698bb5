#pragma once

// The lexical rules of the data files that the reader and the line edits
// share: whitespace, the byte order mark and the integer literal. Internal to
// data/.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string_view>

namespace skarn::syntax {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// An integer literal takes at most this many characters, sign included.
inline constexpr int kMaxNumberChars = 15;

inline bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

struct IntegerLiteral {
    bool hasDigit = false;   // false: no number here
    std::int64_t value = 0;  // at most 15 characters: far within 64 bits
};

// Takes an integer literal from `in`, a character source with `int peek()`
// (EOF at its end) and `void get()`: an optional sign, then a "0x" or "0X"
// prefix for hexadecimal, a leading "0" for octal, decimal otherwise; at most
// 15 characters in all. Stops before the first character that cannot
// continue the number, which stays unread.
template <typename Source>
IntegerLiteral takeInteger(Source& in) {
    auto digitValue = [](int c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    IntegerLiteral result;
    int taken = 0;
    auto accept = [&] {
        in.get();
        ++taken;
    };
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        accept();
    }
    int base = 10;
    if (taken < kMaxNumberChars && in.peek() == '0') {
        accept();
        result.hasDigit = true;
        base = 8;
        if (taken < kMaxNumberChars && (in.peek() == 'x' || in.peek() == 'X')) {
            accept();
            base = 16;
        }
    }
    std::int64_t magnitude = 0;
    while (taken < kMaxNumberChars) {
        const int digit = digitValue(in.peek());
        if (digit < 0 || digit >= base) break;
        accept();
        magnitude = magnitude * base + digit;
        result.hasDigit = true;
    }
    result.value = negative ? -magnitude : magnitude;
    return result;
}

inline bool fitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

// Whether `text` begins, after whitespace, with an integer literal within 32
// bits: what the reader's readInt takes at that point.
inline bool startsWithInteger(std::string_view text) {
    struct Chars {
        std::string_view rest;
        int peek() const { return rest.empty() ? EOF : static_cast<unsigned char>(rest.front()); }
        void get() { rest.remove_prefix(1); }
    } chars{text};
    while (isSpace(chars.peek())) chars.get();
    const IntegerLiteral literal = takeInteger(chars);
    return literal.hasDigit && fitsInt32(literal.value);
}

}  // namespace skarn::syntax
