#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/sections.h"
#include "data/platform_file_system.h"
#include "tests/support/files.h"

namespace skarn::model {
namespace {

using Names = std::optional<std::vector<std::string>>;

class SectionsTest : public ::testing::Test {
protected:
    SectionFile& file(const std::string& text) {
        testing::writeBytes(dir_.path() / "equifile.cfg", text);
        file_.emplace(dir_.file("equifile.cfg"), files_, SectionFile::Mode::ReadOnly);
        return *file_;
    }

private:
    testing::TempDir dir_;
    PlatformFileSystem files_;
    std::optional<SectionFile> file_;
};

// Names come in file order, empty ones kept or skipped as asked; a listing
// stops at the next section, and at a bare word as the window's lists do.
TEST_F(SectionsTest, ListsTheNamesOfOneSection) {
    SectionFile& f = file(
        "[Shields]\r\n\"Kite\"\t5\r\n\"\"\t1\r\n\"Buckler\"\t2\r\n"
        "[MaceWeapons]\r\n\"Club\" 30 3 8 4 1\r\n\"\" 1 1 1 1 1\r\n\"Flail\" 25 2 6 0 2\r\n"
        "Hammer 20 1 1 1 1\r\n\"Maul\" 20 1 1 1 2\r\n"
        "[Empty]\r\n");
    EXPECT_EQ(sectionNames(f, "Shields"), Names({"Kite", "", "Buckler"}));
    EXPECT_EQ(sectionNames(f, "Shields", EmptyNames::Skip), Names({"Kite", "Buckler"}));
    EXPECT_EQ(weaponNames(f, "MaceWeapons"), Names({"Club", "Flail"}));
    EXPECT_EQ(sectionNames(f, "Empty"), Names(std::vector<std::string>{}));
    EXPECT_EQ(sectionNames(f, "SwordWeapons"), std::nullopt);
    EXPECT_EQ(weaponNames(f, "SwordWeapons"), std::nullopt);
}

TEST_F(SectionsTest, TheLastEntryNameIsTheLastOneListed) {
    SectionFile& f = file("[YourChars]\n\"Ann\" 1\n\"Bob\" 2\n[OppChars]\n[Other]\n\"Cid\" 3\n\"\" 4\n");
    EXPECT_EQ(lastEntryName(f, "YourChars"), "Bob");
    EXPECT_EQ(lastEntryName(f, "OppChars"), "");
    EXPECT_EQ(lastEntryName(f, "Other"), "");  // the empty name is listed last
    EXPECT_EQ(lastEntryName(f, "Missing"), "");
}

}  // namespace
}  // namespace skarn::model
