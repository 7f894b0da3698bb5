// Editing a section file: each edit's result line by line, the lines the
// reader cannot take, and where the temporary file lives, on files with CR LF
// and with lone LF line ends.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "data/platform_file_system.h"
#include "data/section_file.h"
#include "tests/data/test_files.h"
#include "tests/support/faulty_file_system.h"

namespace skarn {
namespace {

using testing::joinLines;
using testing::LineEndTest;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

enum class Op { InsertAfter, InsertFirst, Remove, Replace };

const char* opName(Op op) {
    switch (op) {
    case Op::InsertAfter: return "insertAfter";
    case Op::InsertFirst: return "insertFirst";
    case Op::Remove: return "removeEntry";
    case Op::Replace: return "replaceEntry";
    }
    return "?";
}

bool apply(SectionFile& file, Op op, std::string_view section, std::string_view entry,
           std::string_view line) {
    switch (op) {
    case Op::InsertAfter: return file.insertAfter(section, entry, line);
    case Op::InsertFirst: return file.insertFirst(section, line);
    case Op::Remove: return file.removeEntry(section, entry);
    case Op::Replace: return file.replaceEntry(section, entry, line);
    }
    return false;
}

const std::vector<std::string> kChars = {
    "[YourChars]",
    "\"Bob\"\t1",
    "# a comment",
    "",
    "\"Bob Smith\"\t2",
    "\"Ann\"\t3",
    "[OppChars]",
    "\"Orc\"\t4",
    "\"Troll\"\t5",
};
const std::string kNew = "\"New\"\t9";

struct EditCase {
    const char* what;
    std::vector<std::string> lines;
    bool finalLineEnd;  // whether the last line ends with a line end
    Op op;
    std::string_view section;
    std::string entry;
    std::string newLine;
    // The lines of the file afterwards, each ending with CR LF; none when the
    // edit fails and the file must stay as it was.
    std::optional<std::vector<std::string>> expected;
};

std::vector<std::string> with(std::vector<std::string> lines, std::size_t at,
                              std::vector<std::string> inserted, std::size_t removed = 0) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at),
                lines.begin() + static_cast<std::ptrdiff_t>(at + removed));
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(), inserted.end());
    return lines;
}

class EditTest : public LineEndTest {
protected:
    PlatformFileSystem files;
};

TEST_P(EditTest, MakesExactlyTheOneChange) {
    const std::string longLine = "\"Long\"\t" + std::string(400, 'x');
    const EditCase cases[] = {
        {"insertAfter the last entry of the last section", kChars, true, Op::InsertAfter,
         "OppChars", "Troll", kNew, with(kChars, 9, {kNew})},
        {"insertAfter the last entry before another section", kChars, true, Op::InsertAfter,
         "YourChars", "Ann", kNew, with(kChars, 6, {kNew})},
        {"insertFirst into a section without entries", {"[YourChars]", "[OppChars]", "\"Orc\"\t4"},
         true, Op::InsertFirst, "YourChars", "", kNew,
         std::vector<std::string>{"[YourChars]", "", kNew, "[OppChars]", "\"Orc\"\t4"}},
        {"insertFirst into a section with entries", kChars, true, Op::InsertFirst, "OppChars", "",
         kNew, with(kChars, 7, {"", kNew})},
        {"replaceEntry with an empty name", kChars, true, Op::Replace, "YourChars", "", kNew,
         with(kChars, 1, {kNew})},
        {"removeEntry keeps comment and empty lines", kChars, true, Op::Remove, "YourChars", "Ann",
         "", with(kChars, 5, {}, 1)},
        {"the quoted prefix does not match a longer name", kChars, true, Op::Remove, "YourChars",
         "Bob", "", with(kChars, 1, {}, 1)},
        {"replaceEntry of a name with a blank", kChars, true, Op::Replace, "YourChars",
         "Bob Smith", kNew, with(kChars, 4, {kNew}, 1)},
        {"removeEntry with an empty name removes nothing", kChars, true, Op::Remove, "YourChars",
         "", "", kChars},
        {"an entry of another section", kChars, true, Op::Replace, "YourChars", "Orc", kNew,
         std::nullopt},
        {"an entry of another section (remove)", kChars, true, Op::Remove, "OppChars", "Ann", "",
         std::nullopt},
        {"a missing section", kChars, true, Op::InsertFirst, "Shields", "", kNew, std::nullopt},
        {"an empty file", {}, true, Op::InsertFirst, "YourChars", "", kNew, std::nullopt},
        {"insertAfter with an empty name", kChars, true, Op::InsertAfter, "YourChars", "", kNew,
         std::nullopt},
        {"a new line holding a line end", kChars, true, Op::Replace, "YourChars", "Bob",
         "\"Bob\"\t1\n[OppChars]", std::nullopt},
        {"an entry line indented", {"[YourChars]", "  \"Bob\"\t1"}, true, Op::Replace, "YourChars",
         "Bob", kNew, std::nullopt},
        {"named edit below a header with trailing blanks", {"[YourChars]  ", "\"Bob\"\t1"}, true,
         Op::Remove, "YourChars", "Bob", "", std::nullopt},
        {"insertFirst below a header with trailing blanks", {"[YourChars]  ", "\"Bob\"\t1"}, true,
         Op::InsertFirst, "YourChars", "", kNew,
         std::vector<std::string>{"[YourChars]  ", "", kNew, "\"Bob\"\t1"}},
        {"only the first section of a name is searched", {"[A]", "\"x\"", "[A]", "\"y\""}, true,
         Op::Remove, "A", "y", "", std::nullopt},
        {"an entry on a last line without a line end", {"[YourChars]", "\"Bob\"\t1", "\"Ann\"\t3"},
         false, Op::Replace, "YourChars", "Ann", kNew,
         std::vector<std::string>{"[YourChars]", "\"Bob\"\t1", kNew}},
        {"a last line without a line end is kept", {"[YourChars]", "\"Bob\"\t1", "# end"}, false,
         Op::Remove, "YourChars", "Bob", "", std::vector<std::string>{"[YourChars]", "# end"}},
        {"a line of 400 characters is kept whole", {"[YourChars]", longLine, "\"Ann\"\t3"}, true,
         Op::Replace, "YourChars", "Ann", kNew,
         std::vector<std::string>{"[YourChars]", longLine, kNew}},
        {"a lone CR inside a line is kept", {"[YourChars]", "\"Bob\"\tx\ry", "\"Ann\"\t3"}, true,
         Op::Remove, "YourChars", "Ann", "", std::vector<std::string>{"[YourChars]", "\"Bob\"\tx\ry"}},
        {"names are bytes",
         {"[YourChars]", "\"Bj\xC3\xB6rn\"\t1", "\"\xE9t\xE9\"\t2", "\"Bj\xC3\xB6rn2\"\t3"}, true,
         Op::Replace, "YourChars", "Bj\xC3\xB6rn", "\"\xE9t\xE9 \xC3\xA9\"\t4",
         std::vector<std::string>{"[YourChars]", "\"\xE9t\xE9 \xC3\xA9\"\t4", "\"\xE9t\xE9\"\t2",
                                  "\"Bj\xC3\xB6rn2\"\t3"}},
        {"a byte order mark stays in front", {"\xEF\xBB\xBF[YourChars]", "\"Bob\"\t1"}, true,
         Op::InsertAfter, "YourChars", "Bob", kNew,
         std::vector<std::string>{"\xEF\xBB\xBF[YourChars]", "\"Bob\"\t1", kNew}},
    };

    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.file("charfile.cfg");
        std::string before = joinLines(c.lines, eol());
        if (!c.finalLineEnd) before.resize(before.size() - eol().size());
        writeBytes(path, before);

        SectionFile file(path, files);
        const bool changed = apply(file, c.op, c.section, c.entry, c.newLine);
        EXPECT_EQ(changed, c.expected.has_value()) << opName(c.op);
        EXPECT_EQ(readBytes(path), c.expected ? joinLines(*c.expected, "\r\n") : before);
        EXPECT_TRUE(testing::temporaryFiles(dir.path()).empty());
        // The reader is back at work on the new file.
        EXPECT_EQ(file.openSection(c.section), !c.lines.empty() && c.section != "Shields");
    }
}

TEST_P(EditTest, TheNewLineReadsBackAfterTheEdit) {
    TempDir dir;
    const std::string path = dir.file("charfile.cfg");
    writeBytes(path, joinLines(kChars, eol()));
    SectionFile file(path, files);
    std::string name;
    ASSERT_TRUE(file.openSection("OppChars"));
    ASSERT_TRUE(file.nextEntry(name));  // the read position is somewhere inside

    ASSERT_TRUE(file.insertAfter("OppChars", "Orc", "\"Goblin\"\t7"));
    std::int32_t value = 0;
    EXPECT_TRUE(file.lookupInt("OppChars", "Goblin", 1, value));
    EXPECT_EQ(value, 7);
    ASSERT_TRUE(file.replaceEntry("OppChars", "Goblin", "\"Goblin\"\t8"));
    EXPECT_TRUE(file.lookupInt("OppChars", "Goblin", 1, value));
    EXPECT_EQ(value, 8);
    ASSERT_TRUE(file.removeEntry("OppChars", "Goblin"));
    EXPECT_FALSE(file.lookupInt("OppChars", "Goblin", 1, value));
    EXPECT_EQ(readBytes(path), joinLines(kChars, "\r\n"));
}

INSTANTIATE_TEST_SUITE_P(LineEnds, EditTest, ::testing::Values("\r\n", "\n"), testing::lineEndName);

TEST(EditFiles, TheTemporaryFileLivesBesideTheDataFile) {
#ifdef _WIN32
    GTEST_SKIP() << "MinGW's std::filesystem cannot list a folder whose path is longer than MAX_PATH";
#endif
    TempDir dir;
    const std::filesystem::path sub =
        dir.path() / std::string(120, 'd') / "a directory with blanks" / std::string(120, 'e');
    std::filesystem::create_directories(sub);
    const std::string path = (sub / "charfile.cfg").string();
    writeBytes(path, "[YourChars]\r\n\"Bob\"\t1\r\n");
    testing::FaultyFileSystem files;
    SectionFile file(path, files);

    bool tempBeside = false;
    files.setHook([&](testing::FileOp op) {
        if (op == testing::FileOp::Rename) tempBeside = testing::temporaryFiles(sub).size() == 1;
        return false;
    });
    const bool replaced = file.replaceEntry("YourChars", "Bob", "\"Bob\"\t2");
    files.setHook(nullptr);

    EXPECT_TRUE(replaced);
    EXPECT_TRUE(tempBeside);
    EXPECT_TRUE(testing::temporaryFiles(sub).empty());
    EXPECT_TRUE(testing::temporaryFiles(std::filesystem::current_path()).empty());
    EXPECT_EQ(readBytes(path), "[YourChars]\r\n\"Bob\"\t2\r\n");
}

}  // namespace
}  // namespace skarn
