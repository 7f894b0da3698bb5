// Counting the lines the edits take for an entry, which may differ from what
// the lookups read, on files with CR LF and with lone LF line ends.

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/platform_file_system.h"
#include "data/section_file.h"
#include "tests/data/test_files.h"

namespace skarn {
namespace {

using testing::LineEndTest;
using testing::TempDir;
using testing::writeBytes;

class EditableEntryLinesTest : public LineEndTest {
protected:
    PlatformFileSystem files;
};

TEST_P(EditableEntryLinesTest, CountsEveryLineAnEditWouldMeet) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        const char* entry;
        int count;
        int numbered;
    };
    const Case cases[] = {
        {"a plain entry", {"[YourChars]", "\"Bob\"\t1\t2"}, "Bob", 1, 1},
        {"after an entry with an empty name, which ends a lookup",
         {"[YourChars]", "\"\"\t1", "\"Bob\"\t1"}, "Bob", 1, 1},
        {"field 1 not a number", {"[YourChars]", "\"Bob\"\tx\t2"}, "Bob", 1, 0},
        {"a broken line before the character",
         {"[YourChars]", "\"Bob\"\t#1", "\"Ann\"\t3", "\"Bob\"\t5"}, "Bob", 2, 1},
        {"field 1 on the next line", {"[YourChars]", "\"Bob\"", "  7"}, "Bob", 1, 1},
        {"the next entry's name in place of field 1", {"[YourChars]", "\"Bob\"", "\"Ann\"\t3"}, "Bob", 1, 0},
        {"an indented line, which the edits do not match", {"[YourChars]", "  \"Bob\"\t1"}, "Bob", 0, 0},
        {"a longer name beginning with it", {"[YourChars]", "\"Bob Smith\"\t1"}, "Bob", 0, 0},
        {"case differs", {"[YourChars]", "\"bob\"\t1"}, "Bob", 0, 0},
        {"only in the other section", {"[YourChars]", "[OppChars]", "\"Bob\"\t1"}, "Bob", 0, 0},
        {"only in a later section of the same name",
         {"[YourChars]", "\"Ann\"\t1", "[OppChars]", "[YourChars]", "\"Bob\"\t1"}, "Bob", 0, 0},
        {"a header line with a trailing blank", {"[YourChars] ", "\"Bob\"\t1"}, "Bob", 0, 0},
        {"past a line beginning with [", {"[YourChars]", "[x", "\"Bob\"\t1"}, "Bob", 0, 0},
        {"an empty entry name", {"[YourChars]", "\"\"\t1"}, "", 0, 0},
        {"no section", {"\"Bob\"\t1"}, "Bob", 0, 0},
    };
    TempDir dir;
    for (const Case& c : cases) {
        writeBytes(dir.file("charfile.cfg"), text(c.lines));
        SectionFile file(dir.file("charfile.cfg"), files);
        const SectionFile::EntryLines lines = file.editableEntryLines("YourChars", c.entry);
        EXPECT_EQ(lines.count, c.count) << c.what;
        EXPECT_EQ(lines.numbered, c.numbered) << c.what;
    }
}

// Field 1 counts as a number exactly when lookupInt reads it.
TEST_P(EditableEntryLinesTest, NumberedAgreesWithLookupInt) {
    const char* const fields[] = {
        "5", "-5", "+5", "0", "08", "0x1F", "0X", "012", "12abc", "  \t 7", "x5", "#5",
        "\"5\"", "+", "-", "", "2147483647", "2147483648", "-2147483648", "-2147483649",
        "123456789012345", "1234567890123456", "000000000000000000001",
    };
    TempDir dir;
    for (const char* field : fields) {
        writeBytes(dir.file("charfile.cfg"), text({"[YourChars]", std::string("\"Bob\"\t") + field}));
        SectionFile file(dir.file("charfile.cfg"), files);
        std::int32_t value = 0;
        const bool read = file.lookupInt("YourChars", "Bob", 1, value);
        EXPECT_EQ(file.editableEntryLines("YourChars", "Bob").numbered, read ? 1 : 0)
            << "field 1: " << field;
    }
}

TEST(EditableEntryLines, ReadsAFileOpenedForReadingOnlyAndLeavesItAsItWas) {
    PlatformFileSystem files;
    TempDir dir;
    const std::string bytes = "\xEF\xBB\xBF[YourChars]\r\n\"Bob\"\t1\r\n";
    writeBytes(dir.file("charfile.cfg"), bytes);
    SectionFile file(dir.file("charfile.cfg"), files, SectionFile::Mode::ReadOnly);
    EXPECT_EQ(file.editableEntryLines("YourChars", "Bob").numbered, 1);
    EXPECT_EQ(testing::readBytes(dir.file("charfile.cfg")), bytes);
    // The reader is at the start again.
    std::string name;
    ASSERT_TRUE(file.openSection("YourChars"));
    EXPECT_TRUE(file.nextEntry(name));
    EXPECT_EQ(name, "Bob");

    SectionFile missing(dir.file("missing.cfg"), files, SectionFile::Mode::ReadOnly);
    EXPECT_EQ(missing.editableEntryLines("YourChars", "Bob").count, 0);
}

INSTANTIATE_TEST_SUITE_P(LineEnds, EditableEntryLinesTest, ::testing::Values("\r\n", "\n"),
                         testing::lineEndName);

}  // namespace
}  // namespace skarn
