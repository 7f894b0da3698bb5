#include "ui/text.h"

#include <string>

#include <gtest/gtest.h>

namespace skarn {
namespace {

struct TextCase {
    std::string bytes;
    bool utf8;
    QString shown;
};

TEST(Text, ShowsUtf8OrElseLatin1AndKeepsEveryByte) {
    const TextCase cases[] = {
        {"Bob", true, "Bob"},
        {"", true, ""},
        {"\xC3\x84ke", true, QString::fromUtf8("\xC3\x84ke")},  // Äke in UTF-8
        {"\xC4ke", false, QString::fromUtf8("\xC3\x84ke")},      // Äke in Latin-1
        {"\xC0\xAF", false, QString::fromLatin1("\xC0\xAF")},    // overlong '/'
        {"\xED\xA0\x80", false, QString::fromLatin1("\xED\xA0\x80")},  // a surrogate
        {"\xC3", false, QString::fromLatin1("\xC3")},            // cut inside a character
        {"\xEF\xBB\xBFx", true, QString(QChar(0xFEFF)) + "x"},   // a leading BOM stays
        {std::string("a\0b", 3), true, QString("a") + QChar(0) + "b"},
    };
    for (const TextCase& c : cases) {
        const std::string what = "bytes \"" + c.bytes + "\"";
        EXPECT_EQ(isValidUtf8(c.bytes), c.utf8) << what;
        EXPECT_EQ(displayText(c.bytes), c.shown) << what;
        if (c.utf8) {
            EXPECT_EQ(typedBytes(displayText(c.bytes)), c.bytes) << what;
        }
    }
}

}  // namespace
}  // namespace skarn
