// The sample data files shipped in examples/ and installed with the package:
// read back through the program's own reader, they must be complete and
// consistent, and the character file must be byte for byte what the program
// itself would write.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/platform_file_system.h"
#include "data/records.h"
#include "data/section_file.h"

namespace skarn {
namespace {

const std::string kExamples = SKARN_EXAMPLES_DIR;

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file's lines without their CR LF; fails the test on any other line end.
std::vector<std::string> crlfLines(const std::string& path) {
    const std::string bytes = readBytes(path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find('\n', start);
        if (lf == std::string::npos) {
            ADD_FAILURE() << path << ": last line has no line end";
            break;
        }
        const bool cr = lf > start && bytes[lf - 1] == '\r';
        EXPECT_TRUE(cr) << path << ": line " << lines.size() + 1 << " ends in a lone LF";
        lines.push_back(bytes.substr(start, lf - start - (cr ? 1 : 0)));
        EXPECT_EQ(lines.back().find('\r'), std::string::npos)
            << path << ": stray CR in line " << lines.size();
        start = lf + 1;
    }
    return lines;
}

std::vector<std::string> listSection(SectionFile& file, std::string_view section) {
    std::vector<std::string> names;
    if (!file.openSection(section)) return names;
    std::string name;
    while (file.nextEntry(name)) {
        names.push_back(name);
        file.skipLine();
    }
    return names;
}

struct Weapon {
    std::int32_t speed = 0, diceCount = 0, diceSides = 0, damageBonus = 0, hands = 0;
};

class ExamplesTest : public ::testing::Test {
protected:
    PlatformFileSystem files;
    SectionFile equi{kExamples + "/equifile.cfg", files, SectionFile::Mode::ReadOnly};
    SectionFile chars{kExamples + "/charfile.cfg", files, SectionFile::Mode::ReadOnly};

    // Every weapon of one section with its statistics, by name.
    std::map<std::string, Weapon> weapons(std::string_view section) {
        std::map<std::string, Weapon> result;
        for (const std::string& name : listSection(equi, section)) {
            Weapon w;
            std::int32_t* fields[] = {&w.speed, &w.diceCount, &w.diceSides, &w.damageBonus, &w.hands};
            for (int n = 1; n <= 5; ++n) {
                EXPECT_TRUE(equi.lookupInt(section, name, n, *fields[n - 1]))
                    << section << " \"" << name << "\" field " << n;
            }
            EXPECT_TRUE(result.emplace(name, w).second) << section << ": \"" << name << "\" twice";
        }
        return result;
    }
};

TEST_F(ExamplesTest, EquipmentIsCompleteAndWithinTheFormat) {
    ASSERT_TRUE(equi.isOpen());
    for (int type = 0; type < kWeaponTypeCount; ++type) {
        const std::string_view section = weaponSection(type);
        const auto list = weapons(section);
        int oneHanded = 0, twoHanded = 0;
        for (const auto& [name, w] : list) {
            const std::string where = std::string(section) + " \"" + name + "\"";
            EXPECT_FALSE(name.empty()) << where;
            EXPECT_LE(name.size(), 27u) << where;
            EXPECT_GE(w.speed, 1) << where;
            EXPECT_GE(w.diceCount, 0) << where;
            EXPECT_GE(w.diceSides, 1) << where;
            EXPECT_GE(w.damageBonus, 0) << where;
            EXPECT_TRUE(w.hands == 1 || w.hands == 2) << where;
            (w.hands > 1 ? twoHanded : oneHanded)++;
        }
        EXPECT_GE(oneHanded, 2) << section;
        EXPECT_GE(twoHanded, 1) << section;
    }

    const auto shields = listSection(equi, kShields);
    EXPECT_GE(shields.size(), 3u);
    for (const std::string& name : shields) {
        EXPECT_NE(name, NoneEntry);
        // Shorter than 16 characters, so a stored character line always has
        // a tab between the shield and the weapon.
        EXPECT_LT(name.size(), 16u) << name;
        std::int32_t absorb = -1;
        EXPECT_TRUE(equi.lookupInt(kShields, name, 1, absorb)) << name;
        EXPECT_GE(absorb, 1) << name;
    }
}

TEST_F(ExamplesTest, CharactersAreValidAndUseExistingEquipment) {
    ASSERT_TRUE(chars.isOpen());
    std::map<std::string, Weapon> bySection[kWeaponTypeCount];
    for (int type = 0; type < kWeaponTypeCount; ++type) bySection[type] = weapons(weaponSection(type));
    const auto shieldList = listSection(equi, kShields);
    const std::set<std::string> shields(shieldList.begin(), shieldList.end());

    for (std::string_view side : {kYourChars, kOppChars}) {
        const auto names = listSection(chars, side);
        EXPECT_GE(names.size(), 3u) << side;
        for (const std::string& name : names) {
            const std::string where = std::string(side) + " \"" + name + "\"";
            EXPECT_FALSE(name.empty()) << where;
            EXPECT_LE(name.size(), 20u) << where;  // the New Character dialog's limit
            std::int32_t v[9] = {};
            for (int n = 1; n <= 8; ++n) {
                EXPECT_TRUE(chars.lookupInt(side, name, n, v[n])) << where << " field " << n;
            }
            EXPECT_TRUE(v[1] >= 0 && v[1] <= 400) << where << " Str. " << v[1];
            EXPECT_TRUE(v[2] >= 0 && v[2] <= 400) << where << " Dex. " << v[2];
            EXPECT_TRUE(v[3] >= 0 && v[3] <= 300) << where << " W. Skill " << v[3];
            EXPECT_TRUE(v[5] >= 0 && v[5] <= 100) << where << " A.R. " << v[5];
            EXPECT_TRUE(v[6] >= 0 && v[6] <= 300) << where << " Tactics " << v[6];
            EXPECT_TRUE(v[7] >= 0 && v[7] <= 300) << where << " Parry " << v[7];
            EXPECT_EQ(v[8], v[1]) << where << ": hit points differ from Str.";
            ASSERT_TRUE(v[4] >= 0 && v[4] < kWeaponTypeCount) << where << " weapon type " << v[4];

            std::string shield, weapon;
            EXPECT_TRUE(chars.lookupText(side, name, 9, shield)) << where;
            EXPECT_TRUE(chars.lookupText(side, name, 10, weapon)) << where;
            const auto found = bySection[v[4]].find(weapon);
            ASSERT_NE(found, bySection[v[4]].end())
                << where << ": no weapon \"" << weapon << "\" in " << weaponSection(v[4]);
            if (found->second.hands > 1) {
                EXPECT_EQ(shield, NoneEntry) << where << ": shield with a two-handed weapon";
            } else {
                EXPECT_TRUE(shield == NoneEntry || shields.count(shield)) << where << ": no shield \"" << shield << "\"";
            }
        }
    }
}

// Header lines and character lines exactly as the program writes them, so a
// save in the window changes no line but the one it saves.
TEST_F(ExamplesTest, CharacterFileIsWhatTheProgramWrites) {
    const auto lines = crlfLines(kExamples + "/charfile.cfg");
    std::vector<std::string> expected;
    for (std::string_view side : {kYourChars, kOppChars}) {
        std::string header = "[";
        header.append(side).append("]");
        expected.push_back(header);
        for (const std::string& name : listSection(chars, side)) {
            std::int32_t v[8] = {};
            for (int n = 1; n <= 7; ++n) chars.lookupInt(side, name, n, v[n]);
            std::string shield, weapon;
            chars.lookupText(side, name, 9, shield);
            chars.lookupText(side, name, 10, weapon);
            expected.push_back(FormatCharacterLine(name, v[1], v[2], v[3], v[4], v[5], v[6], v[7],
                                                   shield, weapon));
        }
    }
    ASSERT_EQ(lines.size(), expected.size()) << "a line the listings do not see";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], expected[i]) << "charfile.cfg line " << i + 1;
    }
}

// Every line of the equipment file is a comment, an exact section header or
// an entry the listings return; nothing is silently passed over.
TEST_F(ExamplesTest, EquipmentFileHasNoHiddenLines) {
    const auto lines = crlfLines(kExamples + "/equifile.cfg");
    std::set<std::string> headers;
    std::size_t entries = 0;
    for (const std::string& line : lines) {
        ASSERT_FALSE(line.empty()) << "empty line in equifile.cfg";
        EXPECT_LE(line.size(), 298u) << line;
        if (line[0] == '#') continue;
        if (line[0] == '[') {
            EXPECT_EQ(line.back(), ']') << line;
            headers.insert(line.substr(1, line.size() - 2));
            continue;
        }
        EXPECT_EQ(line[0], '"') << line;
        ++entries;
    }
    std::set<std::string> wanted = {std::string(kShields)};
    std::size_t listed = listSection(equi, kShields).size();
    for (int type = 0; type < kWeaponTypeCount; ++type) {
        wanted.insert(std::string(weaponSection(type)));
        listed += listSection(equi, weaponSection(type)).size();
    }
    EXPECT_EQ(headers, wanted);
    EXPECT_EQ(entries, listed);
}

}  // namespace
}  // namespace skarn
