#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "model/fighter.h"
#include "data/platform_file_system.h"
#include "tests/support/files.h"

namespace skarn::model {
namespace {

// Field 8 when it holds a number within 32 bits; otherwise the Str. given.
TEST(HitPointsTest, AreField8OrElseStr) {
    testing::TempDir dir;
    testing::writeBytes(dir.path() / "charfile.cfg",
                        "[YourChars]\r\n"
                        "\"Stored\"\t\t\t100\t90\t100\t2\t30\t100\t80\t140\t\"- none -\"\t\t\"Katana\"\r\n"
                        "\"Short\"\t\t\t100\t90\t100\t2\t30\t100\t80\r\n"
                        "\"Word\"\t\t\t100\t90\t100\t2\t30\t100\t80\tmany\t\"- none -\"\t\t\"Katana\"\r\n"
                        "\"Huge\"\t\t\t100\t90\t100\t2\t30\t100\t80\t99999999999\t\"\"\t\"\"\r\n"
                        "[OppChars]\r\n"
                        "\"Stored\"\t\t\t100\t90\t100\t2\t30\t100\t80\t-7\t\"\"\t\"\"\r\n");
    PlatformFileSystem files;
    SectionFile file(dir.file("charfile.cfg"), files, SectionFile::Mode::ReadOnly);
    struct Case {
        const char* section;
        const char* name;
        HitPoints expected;
    };
    const Case cases[] = {
        {"YourChars", "Stored", {140, true}},   {"OppChars", "Stored", {-7, true}},
        {"YourChars", "Short", {55, false}},    {"YourChars", "Word", {55, false}},
        {"YourChars", "Huge", {55, false}},     {"YourChars", "Nobody", {55, false}},
        {"YourChars", "", {55, false}},         {"Missing", "Stored", {55, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hitPointsOf(file, c.section, c.name, 55), c.expected) << c.section << " " << c.name;
}

}  // namespace
}  // namespace skarn::model
