// Reading a section file: listings, lookups and the integer syntax, on files
// with CR LF and with lone LF line ends, including input outside the format.

#include <cstdint>
#include <filesystem>
#include <limits>
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

using testing::LineEndTest;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;
using namespace std::string_literals;

constexpr std::int32_t kUntouched = 77;
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

class ReadTest : public LineEndTest {
protected:
    // Writes `text` with each "\n" turned into the line end under test.
    std::string write(std::string_view text, std::string_view name = "charfile.cfg") {
        std::string bytes;
        for (char c : text) {
            if (c == '\n') {
                bytes += eol();
            } else {
                bytes += c;
            }
        }
        const std::string path = dir_.file(name);
        writeBytes(path, bytes);
        return path;
    }

    TempDir dir_;
    PlatformFileSystem files;
};

struct Listing {
    bool found = false;
    std::vector<std::string> names;
};

// Lists a section the way the window does.
Listing listSection(SectionFile& file, std::string_view section) {
    Listing listing;
    listing.found = file.openSection(section);
    std::string name;
    while (listing.found && file.nextEntry(name)) {
        listing.names.push_back(name);
        file.skipLine();
    }
    return listing;
}

struct ListingCase {
    const char* what;
    std::string text;
    std::string_view section;
    bool found;
    std::vector<std::string> names;
};

TEST_P(ReadTest, ListsTheNamesOfASection) {
    const ListingCase cases[] = {
        {"empty file", "", "YourChars", false, {}},
        {"header spelt in lower case", "[yourchars]\n\"Bob\"\t1\n", "YourChars", false, {}},
        {"entry on the header's line", "[YourChars] \"Bob\"\t1\n\"Ann\"\t2\n", "YourChars", true,
         {"Bob", "Ann"}},
        {"comment lines", "[YourChars]\n\"Bob\" 1\n# note \"Zed\"\n  #x\n\"Ann\" 2\n", "YourChars",
         true, {"Bob", "Ann"}},
        {"empty lines and indentation", "\n  [YourChars]\n\n\t\"Bob\" 1\n\n\"Ann\" 2\n",
         "YourChars", true, {"Bob", "Ann"}},
        {"two words in one name", "[Shields]\n\"Kite Shield\"\t6\n", "Shields", true,
         {"Kite Shield"}},
        {"lone quote then a blank", "[YourChars]\n\" Bob\"\t1\n", "YourChars", true, {" Bob"}},
        {"35 characters with a blank near the start",
         "[YourChars]\n\"Ab cdefghijklmnopqrstuvwxyz01234567\" 1\n\"Ann\" 2\n", "YourChars", true,
         {"Ab cdefghijklmnopqrstuvwxyz01", "Ann"}},
        {"36 characters without a blank",
         "[YourChars]\n\"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\" 1\n\"Ann\" 2\n", "YourChars", true,
         {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012", "Ann"}},
        {"28 and 29 characters without a blank",
         "[YourChars]\n\"ABCDEFGHIJKLMNOPQRSTUVWXYZ01\" 1\n\"abcdefghijklmnopqrstuvwxyz012\" 2\n",
         "YourChars", true, {"ABCDEFGHIJKLMNOPQRSTUVWXYZ01", "abcdefghijklmnopqrstuvwxyz012"}},
        {"a bare word ends the listing", "[YourChars]\n\"Bob\" 1\nNote 5\n\"Ann\" 2\n", "YourChars",
         true, {"Bob"}},
        {"an empty name is listed", "[YourChars]\n\"\" 1\n\"Ann\" 2\n", "YourChars", true,
         {"", "Ann"}},
        {"the next header ends the section", "[YourChars]\n\"Bob\" 1\n[OppChars]\n\"Orc\" 2\n",
         "OppChars", true, {"Orc"}},
        {"only the first section of a name", "[A]\n\"x\"\n[A]\n\"y\"\n", "A", true, {"x"}},
        {"last character of a header not examined", "[YourChars)\n\"Bob\" 1\n", "YourChars", true,
         {"Bob"}},
        {"headers of one and two characters", "[\n[]\n[YourChars]\n\"Bob\"\n", "YourChars", true,
         {"Bob"}},
        {"a name across a line end", "[YourChars]\n\"Bob\nSmith\" 1\n\"Ann\"\n", "YourChars", true,
         {"Bob\nSmith", "Ann"}},
        {"names are bytes",
         "[YourChars]\n\"Bj\xC3\xB6rn\" 1\n\"\xE9t\xE9\" 2\n\"A\0B\" 3\n\"\xFF\"\n"s,
         "YourChars", true, {"Bj\xC3\xB6rn", "\xE9t\xE9", std::string("A\0B", 3), "\xFF"}},
        {"file ending inside a quoted text", "[YourChars]\n\"Bob\" 1\n\"Unfinish", "YourChars",
         true, {"Bob", "Unfinish"}},
        {"last line without a line end", "[YourChars]\n\"Bob\"", "YourChars", true, {"Bob"}},
        {"byte order mark before the header", "\xEF\xBB\xBF[YourChars]\n\"Bob\" 1\n", "YourChars",
         true, {"Bob"}},
        // The discard of the rest of a line covers 1000 characters: what is
        // left of a longer line is read as a bare word.
        {"a line over 1000 characters",
         "[YourChars]\n\"Bob\" " + std::string(1500, 'x') + "\n\"Ann\" 2\n", "YourChars", true,
         {"Bob"}},
    };
    for (const ListingCase& c : cases) {
        SectionFile file(write(c.text), files);
        const Listing listing = listSection(file, c.section);
        EXPECT_EQ(listing.found, c.found) << c.what;
        EXPECT_EQ(listing.names, c.names) << c.what;
    }
}

// The file every lookup case below reads.
constexpr std::string_view kLookupFile =
    "# Integer syntax\n"
    "[Numbers]\n"
    "\"Plain\"\t10\t-1\t010\t0x10\t12abc\n"
    "\"Prefixes\"\t0X1f\t+7\t09\t0xg\t-0x10\n"
    "\"Limits\"\t2147483647\t-2147483648\t2147483648\t-2147483649\t99999999999\n"
    "\"Long\"\t1234567890123456\t0000000000000000012\t0xFFFFFFFF\n"
    "\"Words\"\tabc\t\"Text\"\t-\t5\n"
    "\t  \"Indented\"\t3\n"
    "\"Kite Shield\"\"Katana\"\t4\n"
    "\"Nine\"\t1\t2\t3\t4\t5\t6\t7\t8\t\"Buckler\"\n"
    "\"Next\"\t1\n"
    "\"Comment\"\t# two\n"
    "\t3\t4\n"
    "Bare\t5\n"
    "\"AfterBare\"\t6\n"
    "\"\"\t7\n"
    "\"AfterEmpty\"\t8\n"
    "[Other]\n"
    "\"OnlyOther\"\t9\n"
    "\"Short\"\t1\t2";

struct IntCase {
    std::string_view section;
    std::string_view name;
    int field;
    bool ok;
    std::int32_t value;
};

TEST_P(ReadTest, LooksUpIntegerFields) {
    const IntCase cases[] = {
        {"Numbers", "Plain", 1, true, 10},
        {"Numbers", "Plain", 2, true, -1},
        {"Numbers", "Plain", 3, true, 8},
        {"Numbers", "Plain", 4, true, 16},
        {"Numbers", "Plain", 5, true, 12},
        {"Numbers", "Prefixes", 1, true, 31},
        {"Numbers", "Prefixes", 2, true, 7},
        {"Numbers", "Prefixes", 3, true, 0},  // octal: the 9 cannot continue it
        {"Numbers", "Prefixes", 4, true, 0},  // "0x" and no hexadecimal digit
        {"Numbers", "Prefixes", 5, true, -16},
        {"Numbers", "Limits", 1, true, kMax},
        {"Numbers", "Limits", 2, true, kMin},
        {"Numbers", "Limits", 3, false, kMax},
        {"Numbers", "Limits", 4, false, kMin},
        {"Numbers", "Limits", 5, false, kMax},
        {"Numbers", "Long", 1, false, kMax},  // 15 characters read: 123456789012345
        {"Numbers", "Long", 2, true, 0},      // 15 zeros read
        {"Numbers", "Long", 3, false, kMax},
        {"Numbers", "Words", 1, false, 0},
        {"Numbers", "Words", 2, false, 0},
        {"Numbers", "Words", 3, false, 0},
        {"Numbers", "Words", 4, true, 5},
        {"Numbers", "Indented", 1, true, 3},
        {"Numbers", "Kite Shield", 2, true, 4},
        {"Numbers", "Nine", 8, true, 8},
        {"Numbers", "Comment", 1, false, 0},  // readInt does not pass over comments
        {"Numbers", "Comment", 2, true, 4},   // a token after a comment: the next line's first
        {"Numbers", "Bare", 1, true, 5},     // a bare word is found as a name
        {"Numbers", "AfterBare", 1, true, 6},
        {"Numbers", "AfterEmpty", 1, false, kUntouched},  // the empty name ends the search
        {"Numbers", "", 1, false, kUntouched},
        {"Numbers", "plain", 1, false, kUntouched},
        {"Numbers", "OnlyOther", 1, false, kUntouched},
        {"Other", "OnlyOther", 1, true, 9},
        {"Other", "Short", 2, true, 2},
        {"Other", "Short", 3, false, kUntouched},  // the end of the file
        {"Missing", "Plain", 1, false, kUntouched},
    };
    SectionFile file(write(kLookupFile), files);
    for (const IntCase& c : cases) {
        std::int32_t value = kUntouched;
        EXPECT_EQ(file.lookupInt(c.section, c.name, c.field, value), c.ok)
            << c.section << " / " << c.name << " / " << c.field;
        EXPECT_EQ(value, c.value) << c.section << " / " << c.name << " / " << c.field;
    }
}

struct TextCase {
    std::string_view name;
    int field;
    bool ok;
    std::string text;
};

TEST_P(ReadTest, LooksUpTextFields) {
    const TextCase cases[] = {
        {"Kite Shield", 1, true, "Katana"},
        {"Nine", 9, true, "Buckler"},
        {"Nine", 10, true, "Next"},   // field 10 reaches into the next line
        {"Plain", 1, false, "10"},    // a bare word: false, the word kept
        {"Words", 2, true, "Text"},
        {"Short", 3, false, ""},
        {"Nobody", 1, false, "unchanged"},
    };
    SectionFile file(write(kLookupFile), files);
    for (const TextCase& c : cases) {
        const std::string_view section = c.name == "Short" ? "Other" : "Numbers";
        std::string text = "unchanged";
        EXPECT_EQ(file.lookupText(section, c.name, c.field, text), c.ok) << c.name << " / " << c.field;
        EXPECT_EQ(text, c.text) << c.name << " / " << c.field;
    }
}

TEST_P(ReadTest, FieldNumbersBelowOneReadNothing) {
    SectionFile file(write(kLookupFile), files);
    std::int32_t value = kUntouched;
    std::string text = "unchanged";
    EXPECT_FALSE(file.lookupInt("Numbers", "Plain", 0, value));
    EXPECT_FALSE(file.lookupText("Numbers", "Plain", -3, text));
    EXPECT_EQ(value, kUntouched);
    EXPECT_EQ(text, "unchanged");
    // A huge field number runs off the end of the file and stops there.
    EXPECT_FALSE(file.lookupText("Numbers", "Plain", std::numeric_limits<int>::max(), text));
    EXPECT_FALSE(file.lookupInt("Numbers", "Plain", std::numeric_limits<int>::max(), value));
}

TEST_P(ReadTest, AFailedReadIntReadsAsTheEndUntilRewind) {
    SectionFile file(write("[S]\n\"A\" x \"B\"\n"), files);
    ASSERT_TRUE(file.openSection("S"));
    std::string name;
    ASSERT_TRUE(file.nextEntry(name));
    std::int32_t value = kUntouched;
    EXPECT_FALSE(file.readInt(value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(file.nextEntry(name));
    value = kUntouched;
    EXPECT_FALSE(file.readInt(value));
    EXPECT_EQ(value, kUntouched);
    ASSERT_TRUE(file.openSection("S"));
    EXPECT_TRUE(file.nextEntry(name));
    EXPECT_EQ(name, "A");
}

TEST_P(ReadTest, ReadsTheCurrentContentAtEachLookup) {
    const std::string path = write("[S]\n\"A\" 1\n");
    SectionFile file(path, files);
    std::int32_t value = 0;
    ASSERT_TRUE(file.lookupInt("S", "A", 1, value));
    EXPECT_EQ(value, 1);
    write("[S]\n\"A\" 2\n");
    ASSERT_TRUE(file.lookupInt("S", "A", 1, value));
    EXPECT_EQ(value, 2);
}

// Files larger than the reader's buffer, with the buffer's edge falling on
// every part of an entry in turn: between CR and LF, inside words and
// numbers, inside a quoted text that runs on across a line end.
TEST_P(ReadTest, ReadsAcrossTheReaderBuffer) {
    constexpr std::size_t kBufferEdge = 1 << 16;
    for (const bool twoLines : {false, true}) {
        for (int shift = 0; shift < 48; ++shift) {
            SCOPED_TRACE((twoLines ? "two-line entries, shift " : "one-line entries, shift ") +
                         std::to_string(shift));
            std::string text = "[S]";
            text += eol();
            text += '#';
            text.append(static_cast<std::size_t>(shift), '-');
            text += eol();
            std::vector<std::string> names;
            std::vector<std::size_t> nearEdge;  // entries that hold the buffer's edge
            for (int i = 0; text.size() < kBufferEdge + 4096; ++i) {
                const std::size_t start = text.size();
                names.push_back("Entry " + std::to_string(i));
                text += "\"" + names.back() + "\"\t" + std::to_string(i * 7) + "\t\"Sh";
                if (twoLines) text += eol();
                text += "ield\"";
                text += eol();
                if (start / kBufferEdge != text.size() / kBufferEdge) nearEdge.push_back(i);
            }
            const std::string path = dir_.file("big.cfg");
            writeBytes(path, text);
            SectionFile file(path, files, SectionFile::Mode::ReadOnly);

            // A listing stops at the bare word that a two-line entry's second line starts with.
            const Listing listing = listSection(file, "S");
            if (!twoLines) {
                EXPECT_EQ(listing.names, names);
            }
            ASSERT_EQ(nearEdge.size(), 1u);
            for (std::size_t i = nearEdge[0] - 1; i <= nearEdge[0] + 1; ++i) {
                std::int32_t value = -1;
                EXPECT_TRUE(file.lookupInt("S", names[i], 1, value)) << names[i];
                EXPECT_EQ(value, static_cast<std::int32_t>(i * 7)) << names[i];
                std::string shield;
                EXPECT_TRUE(file.lookupText("S", names[i], 2, shield)) << names[i];
                EXPECT_EQ(shield, twoLines ? "Sh\nield" : "Shield") << names[i];
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(LineEnds, ReadTest, ::testing::Values("\r\n", "\n"), testing::lineEndName);

// Opening, creating and the two modes.

TEST(SectionFileOpen, ReadWriteCreatesAMissingFileEmpty) {
    PlatformFileSystem files;
    TempDir dir;
    const std::string path = dir.file("charfile.cfg");
    SectionFile file(path, files);
    EXPECT_TRUE(file.isOpen());
    EXPECT_EQ(file.fileName(), path);
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(file.openSection("YourChars"));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(SectionFileOpen, ReadWriteNeverTruncates) {
    PlatformFileSystem files;
    TempDir dir;
    const std::string path = dir.file("charfile.cfg");
    writeBytes(path, "[YourChars]\r\n\"Bob\"\t1\r\n");
    {
        SectionFile file(path, files);
        EXPECT_TRUE(file.openSection("YourChars"));
    }
    EXPECT_EQ(readBytes(path), "[YourChars]\r\n\"Bob\"\t1\r\n");
}

TEST(SectionFileOpen, ReadOnlyNeverCreatesWritesOrRemoves) {
    PlatformFileSystem files;
    TempDir dir;
    const std::string path = dir.file("charfile.cfg");
    const std::string temp = dir.file("charfile.cfg.temp-abc123.btb");
    writeBytes(temp, "someone else's");
    {
        SectionFile file(path, files, SectionFile::Mode::ReadOnly);
        EXPECT_FALSE(file.isOpen());
        EXPECT_FALSE(file.openSection("YourChars"));
        EXPECT_FALSE(file.insertFirst("YourChars", "\"Bob\""));
        EXPECT_FALSE(std::filesystem::exists(path));

        // A file that appears later is read from the next rewind on.
        writeBytes(path, "[YourChars]\n\"Bob\" 1\n");
        EXPECT_TRUE(file.openSection("YourChars"));
        EXPECT_TRUE(file.isOpen());
        EXPECT_FALSE(file.replaceEntry("YourChars", "Bob", "\"Ann\" 2"));
        EXPECT_FALSE(file.removeEntry("YourChars", "Bob"));
        EXPECT_FALSE(file.insertAfter("YourChars", "Bob", "\"Ann\" 2"));
    }
    EXPECT_EQ(readBytes(path), "[YourChars]\n\"Bob\" 1\n");
    EXPECT_EQ(readBytes(temp), "someone else's");
}

// The left-over of an edit cut short goes at the end; a "temp.btb" of some
// other program stays.
TEST(SectionFileOpen, ReadWriteRemovesALeftOverTemporaryFileAtTheEnd) {
    PlatformFileSystem files;
    TempDir dir;
    const std::string temp = dir.file("charfile.cfg.temp-abc123.btb");
    writeBytes(temp, "left over");
    writeBytes(dir.file("temp.btb"), "another program's");
    { SectionFile file(dir.file("charfile.cfg"), files); }
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_EQ(readBytes(dir.file("temp.btb")), "another program's");
}

// A file that can be read but not written reads normally, and edits fail
// without touching it.
class UnwritableFile : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(path_, kContent); }

    void check(SectionFile& file) {
        EXPECT_TRUE(file.isOpen());
        std::int32_t absorb = 0;
        EXPECT_TRUE(file.lookupInt("Shields", "Buckler", 1, absorb));
        EXPECT_EQ(absorb, 2);
        EXPECT_FALSE(file.replaceEntry("Shields", "Buckler", "\"Buckler\"\t9"));
        EXPECT_FALSE(file.insertFirst("Shields", "\"Targe\"\t3"));
        EXPECT_EQ(readBytes(path_), kContent);
        EXPECT_TRUE(testing::temporaryFiles(dir_.path(), "equifile.cfg").empty());
    }

    static constexpr std::string_view kContent = "[Shields]\r\n\"Buckler\"\t2\r\n";
    TempDir dir_;
    testing::FaultyFileSystem files;
    const std::string path_ = dir_.file("equifile.cfg");
};

// Permission bits do not stop root, so the opening for writing is refused
// by the file system handed in.
TEST_F(UnwritableFile, OpeningForWritingRefused) {
    files.setHook([](testing::FileOp op) { return op == testing::FileOp::OpenReadWrite; });
    SectionFile file(path_, files);
    check(file);
}

TEST_F(UnwritableFile, ReadOnlyPermissions) {
    namespace fs = std::filesystem;
    fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (std::ofstream(path_, std::ios::app).is_open()) {
        GTEST_SKIP() << "read-only files are writable for this user (root)";
    }
    SectionFile file(path_, files);
    check(file);
}

}  // namespace
}  // namespace skarn
