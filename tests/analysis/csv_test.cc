#include "analysis/csv.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace skarn::report {
namespace {

TEST(CsvTest, LineQuotesOnlyTheCellsThatNeedIt) {
    struct Case {
        std::vector<std::string> cells;
        const char* line;
    };
    const Case cases[] = {
        {{}, "\n"},
        {{"rank", "weapon", "1"}, "rank,weapon,1\n"},
        {{"", "", ""}, ",,\n"},
        {{"Shepherd's Crook", "- none -"}, "Shepherd's Crook,- none -\n"},
        {{"Stiletto, the Thin"}, "\"Stiletto, the Thin\"\n"},
        {{"Stiletto, the \"Thin\"", "2"}, "\"Stiletto, the \"\"Thin\"\"\",2\n"},
        {{"\""}, "\"\"\"\"\n"},
        {{"two\nlines", "cr\r"}, "\"two\nlines\",\"cr\r\"\n"},
        // Bytes outside ASCII (UTF-8 or not) are written as they are.
        {{"Fl\xC3\xA4mmchen", "K\xE4se"}, "Fl\xC3\xA4mmchen,K\xE4se\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(csvLine(c.cells), c.line) << c.line;
}

// A name a spreadsheet would run as a formula is written as text, with a
// leading apostrophe; numbers are numbers whatever their sign.
TEST(CsvTest, TextThatReadsAsAFormulaGetsAnApostrophe) {
    struct Case {
        Cell cell;
        const char* written;
    };
    const Case cases[] = {
        {Cell::ofText("=1+2"), "'=1+2"},
        {Cell::ofText("+1+2"), "'+1+2"},
        {Cell::ofText("-1+2"), "'-1+2"},
        {Cell::ofText("@SUM(1,2)"), "'@SUM(1,2)"},
        {Cell::ofText("=cmd|' /C calc'!A0"), "'=cmd|' /C calc'!A0"},
        {Cell::ofText("\tTab"), "'\tTab"},
        {Cell::ofText("\rReturn"), "'\rReturn"},
        {Cell::ofText("- none -"), "'- none -"},
        {Cell::ofText("Buckler"), "Buckler"},
        {Cell::ofText("Oaken =Targe"), "Oaken =Targe"},
        {Cell::ofText("'quoted"), "'quoted"},
        {Cell::ofText(""), ""},
        {Cell::ofReal(-1.5, 2), "-1.5"},
        {Cell::ofWhole(-3), "-3"},
    };
    for (const Case& c : cases) EXPECT_EQ(csvCell(c.cell), c.written) << c.written;

    // Set apart first, then quoted, so the whole cell stays one text.
    Table table;
    table.columns = {{"weapon", "Weapon", ""}, {"value", "Value", ""}};
    table.rows = {{Cell::ofText("=HYPERLINK(\"http://x\",\"y\")"), Cell::ofReal(-0.5, 2)},
                  {Cell::ofText("@SUM(1,2)"), Cell::ofWhole(2)}};
    EXPECT_EQ(csvTable(table),
              "weapon,value\n"
              "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",-0.5\n"
              "\"'@SUM(1,2)\",2\n");
}

TEST(CsvTest, NumbersAreTheShortestTextOfTheirDouble) {
    struct Case {
        double value;
        const char* text;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {60.0, "60"},
        {-3.0, "-3"},
        {9007199254740991.0, "9007199254740991"},
        {9007199254740992.0, "9.007199254740992e+15"},
        {1e16, "1e+16"},
        {22.39, "22.39"},
        {-0.05, "-0.05"},
        {0.1 + 0.2, "0.30000000000000004"},
        {0.1 + 0.7, "0.7999999999999999"},
        {306.5731086624385, "306.5731086624385"},
        {2.0 / 3.0, "0.6666666666666666"},
        {0.0001, "0.0001"},
        {0.00012, "0.00012"},
        {0.00001234, "1.234e-05"},
        {-1.5e-7, "-1.5e-07"},
        {123456789012345.6, "123456789012345.6"},
        {1234567890123456.8, "1.2345678901234568e+15"},
        {1e300, "1e+300"},
        {5e-324, "5e-324"},
        {nan, ""},
        {infinity, ""},
        {-infinity, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(csvNumber(c.value), c.text) << c.text;
}

// Every finite double reads back bit for bit, its sign included (but for
// zero, which has one text): figures like the analyses' means and bounds,
// and doubles of every size.
TEST(CsvTest, NumbersReadBackAsTheSameDouble) {
    std::mt19937_64 generator(20240611);
    std::uniform_int_distribution<std::int64_t> count(0, 100'000'000);
    std::uniform_int_distribution<std::int64_t> fights(1, 10'000'000);
    std::vector<double> values;
    for (int i = 0; i < 50'000; ++i) {
        const auto sum = static_cast<double>(count(generator));
        const auto n = static_cast<double>(fights(generator));
        values.push_back(sum / n);
        values.push_back(sum * 100.0 / n);
        values.push_back(-sum / n / 100.0);
        std::uint64_t bits = generator();
        double any = 0.0;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any)) values.push_back(any);
    }
    for (const double value : values) {
        if (value == 0.0) continue;
        const std::string text = csvNumber(value);
        char* end = nullptr;
        const double back = std::strtod(text.c_str(), &end);
        ASSERT_EQ(*end, '\0') << text;
        ASSERT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
    }
}

}  // namespace
}  // namespace skarn::report
