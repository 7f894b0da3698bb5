// The character line as the program writes it, and reading it back.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "data/platform_file_system.h"
#include "data/records.h"
#include "data/section_file.h"
#include "tests/data/test_files.h"

namespace skarn {
namespace {

using testing::TempDir;
using testing::writeBytes;

TEST(Records, WeaponSections) {
    const struct {
        std::int32_t type;
        std::string_view section;
    } cases[] = {
        {0, "FencingWeapons"}, {1, "MaceWeapons"}, {2, "SwordWeapons"}, {3, "Wrestling"},
        {-1, ""}, {4, ""}, {std::numeric_limits<std::int32_t>::min(), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(weaponSection(c.type), c.section) << c.type;
}

TEST(Records, FormatsTheExampleLine) {
    EXPECT_EQ(FormatCharacterLine("Bob", 100, 90, 100, 2, 30, 100, 80, "- none -", "Katana"),
              "\"Bob\"\t\t\t\t100\t90\t100\t2\t30\t100\t80\t100\t\"- none -\"\t\t\"Katana\"");
    // Str. is written again as the hit points; negative values carry a sign.
    EXPECT_EQ(FormatCharacterLine("", 57, 0, -5, -1, 2147483647, -2147483647 - 1, 7, "", ""),
              "\"\"\t\t\t\t57\t0\t-5\t-1\t2147483647\t-2147483648\t7\t57\t\"\"\t\t\t\"\"");
    // A shield name of 18 characters with blanks: no tab, as the rule gives.
    EXPECT_EQ(FormatCharacterLine("Zed", 57, 0, 0, 1, 0, 0, 0, "Great Tower Shield", "Club"),
              "\"Zed\"\t\t\t\t57\t0\t0\t1\t0\t0\t0\t57\t\"Great Tower Shield\"\"Club\"");
}

// The number of tabs right after the quoted text that starts at `from`.
std::size_t tabsAfterQuoted(const std::string& line, std::size_t from, std::size_t length) {
    const std::size_t start = from + length + 2;
    return line.find_first_not_of('\t', start) - start;
}

TEST(Records, TabsDependOnTheByteLengthOfNameAndShield) {
    const struct {
        std::size_t length;
        std::size_t nameTabs;
        std::size_t shieldTabs;
        bool blank;  // the text has a blank in its middle
    } cases[] = {
        {0, 4, 3, false},  {3, 4, 3, false},  {4, 3, 2, false},  {9, 3, 2, false},
        {10, 2, 1, false}, {15, 2, 1, false}, {16, 1, 0, true},  {21, 1, 0, true},
        // From 16 (shield) and 22 (name) on the rule gives no tab. A text with
        // a blank reads back without one; one without a blank would run into
        // what follows, and gets one tab.
        {16, 1, 1, false}, {21, 1, 1, false}, {22, 1, 1, false}, {29, 1, 1, false}, {40, 1, 1, false},
        {22, 0, 0, true},  {29, 0, 0, true},  {40, 0, 0, true},
        {9, 3, 2, true},
    };
    for (const auto& c : cases) {
        std::string text(c.length, 'n');
        if (c.blank) text[c.length / 2] = ' ';
        const std::string what = std::to_string(c.length) + (c.blank ? " with a blank" : "");
        const std::string byName = FormatCharacterLine(text, 1, 2, 3, 0, 4, 5, 6, "S", "W");
        EXPECT_EQ(tabsAfterQuoted(byName, 0, c.length), c.nameTabs) << "name of " << what;
        const std::string byShield = FormatCharacterLine("N", 1, 2, 3, 0, 4, 5, 6, text, "W");
        EXPECT_EQ(tabsAfterQuoted(byShield, byShield.find('"', 4), c.length), c.shieldTabs)
            << "shield of " << what;
    }
    // Bytes, not characters: "Björn" is six bytes, eight two-byte letters sixteen.
    EXPECT_EQ(tabsAfterQuoted(FormatCharacterLine("Bj\xC3\xB6rn", 1, 2, 3, 0, 4, 5, 6, "S", "W"), 0, 6),
              3u);
    const std::string wide = "\xC3\x89\xC3\x89\xC3\x89\xC3\x89\xC3\x89\xC3\x89\xC3\x89\xC3\x89";
    EXPECT_EQ(tabsAfterQuoted(FormatCharacterLine(wide, 1, 2, 3, 0, 4, 5, 6, "S", "W"), 0, 16), 1u);
}

// Lines written by FormatCharacterLine read back field by field, including
// the long names and shield names that need the separating tab.
TEST(Records, WrittenLinesReadBack) {
    PlatformFileSystem files;
    const struct {
        std::string name, shield, weapon;
        std::int32_t values[7];
    } cases[] = {
        {"Bob", "- none -", "Katana", {100, 90, 100, 2, 30, 100, 80}},
        {"Abcdefghijklmnopqrstuv", "Buckler", "Dagger", {1, 2, 3, 0, 4, 5, 6}},
        {"Abcdefghijklmnopqrstuvwxyz012", "Kite", "Club", {7, 8, 9, 1, 10, 11, 12}},
        {"Sixteen-bytes-ab", "Abcdefghijklmnop", "Longsword", {0, 0, 0, -1, 0, 0, 0}},
        {"Shield With Blank", "Runeward Shield Of Old", "Maul of the Deep Forge",
         {400, 400, 300, 3, 100, 300, 300}},
        // Names with a blank, past the lengths the tabs cover, written with none.
        {"Sir Bartholomew the Bold", "Great Tower Shield", "Club", {9, 8, 7, 1, 6, 5, 4}},
        {"Abcdefghijklmnopqrstuvwxyz 12", "Sixteen bytes ab", "Dagger", {3, 3, 3, 3, 3, 3, 3}},
        {"Bj\xC3\xB6rn \xC3\x89", "\xE9" "cu", "\xC3\xA9p\xC3\xA9" "e", {-7, 0x7fffffff, 5, 2, 6, 7, 8}},
        {"Empty Things", "", "", {1, 1, 1, 1, 1, 1, 1}},
    };
    std::string text = "[YourChars]\r\n";
    for (const auto& c : cases) {
        const auto& v = c.values;
        text += FormatCharacterLine(c.name, v[0], v[1], v[2], v[3], v[4], v[5], v[6], c.shield,
                                    c.weapon) +
                "\r\n";
    }
    TempDir dir;
    writeBytes(dir.file("charfile.cfg"), text);
    SectionFile file(dir.file("charfile.cfg"), files, SectionFile::Mode::ReadOnly);

    for (const auto& c : cases) {
        for (int n = 1; n <= 7; ++n) {
            std::int32_t value = -99;
            EXPECT_TRUE(file.lookupInt(kYourChars, c.name, n, value)) << c.name << " field " << n;
            EXPECT_EQ(value, c.values[n - 1]) << c.name << " field " << n;
        }
        std::int32_t hitPoints = -99;
        EXPECT_TRUE(file.lookupInt(kYourChars, c.name, CharacterRecord::hitPoints, hitPoints));
        EXPECT_EQ(hitPoints, c.values[0]) << c.name;
        std::string shield, weapon;
        EXPECT_TRUE(file.lookupText(kYourChars, c.name, CharacterRecord::shieldName, shield));
        EXPECT_EQ(shield, c.shield) << c.name;
        EXPECT_TRUE(file.lookupText(kYourChars, c.name, CharacterRecord::weaponName, weapon));
        EXPECT_EQ(weapon, c.weapon) << c.name;
    }
}

}  // namespace
}  // namespace skarn
