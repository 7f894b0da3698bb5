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
        // UTF-8 cut inside its last letter: the letters before it and one
        // mark. A lone lead byte after plain ASCII is Latin-1 ("René").
        {"Bj\xC3\xB6rn \xC3", false, QString::fromUtf8("Bj\xC3\xB6rn \xEF\xBF\xBD")},
        {"\xC3\x89mile \xE2\x82", false, QString::fromUtf8("\xC3\x89mile \xEF\xBF\xBD")},
        {"\xC3\xA9\xF0\x9F\x98", false, QString::fromUtf8("\xC3\xA9\xEF\xBF\xBD")},
        {"Sir \xE2\x82", false, QString::fromUtf8("Sir \xEF\xBF\xBD")},
        {"Ren\xE9", false, QString::fromUtf8("Ren\xC3\xA9")},
        {"\xC4ke \xC3", false, QString::fromLatin1("\xC4ke \xC3")},  // Latin-1 before the tail
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
