// The report layer: its words, its text and CSV printers, and the context
// and view-specific cells of the analyses' reports.

#include <clocale>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/csv.h"
#include "analysis/rank.h"
#include "analysis/report.h"
#include "analysis/report_outcome.h"
#include "analysis/report_rank.h"
#include "analysis/report_scale.h"
#include "analysis/report_text.h"
#include "analysis/report_words.h"
#include "analysis/scale.h"
#include "tests/analysis/fighters.h"

namespace skarn::report {
namespace {

using analysis::Outcome;

TEST(ReportWordsTest, NumbersAreWrittenAsBothFacesShowThem) {
    struct Case {
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {resultText(66.6), "66.6"},
        {resultText(60.0), "60"},
        {resultText(0.1 + 0.2), "0.3"},
        {fixed2(22.386), "22.39"},
        {signedFixed(0.27, 2), "+0.27"},
        {signedFixed(-1.5, 2), "-1.50"},
        {signedFixed(0.0, 3), "0.000"},
        {shortText(0.5), "0.5"},
        {shortText(30.0), "30"},
        {shortText(1e6), "1e+06"},
        // Two significant digits, at least one decimal.
        {approxText(0.0), "0"},
        {approxText(1.84), "+1.8"},
        {approxText(0.0623), "+0.062"},
        {approxText(-12.44), "-12.4"},
        {approxText(0.000001234), "+0.000001"},
        {intervalText(Interval{22.4, 22.158, 22.61}), "[22.16, 22.61]"},
        {intervalText(std::nullopt, "none"), "none"},
        {signedIntervalText(Interval{0.2, 0.1, 0.42}, 2), "[+0.10, +0.42]"},
        {signedIntervalText(std::nullopt, 2), ""},
        {noIntervalText(1), "n/a (one fight)"},
        {noIntervalText(2), "not counted in this mode"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, c.expected) << c.expected;
}

// A zero, or a value that rounds to zero, is written without a sign in
// every form: "-0.00" would read as a loss.
TEST(ReportWordsTest, NoNumberIsWrittenAsANegativeZero) {
    struct Case {
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {fixed2(-0.0), "0.00"},
        {fixed2(-0.004), "0.00"},
        {fixed2(-0.005001), "-0.01"},
        {fixedText(-0.0, 0), "0"},
        {fixedText(-0.4, 0), "0"},
        {signedFixed(-0.0, 2), "0.00"},
        {signedFixed(-0.001, 2), "0.00"},
        {signedFixed(0.001, 2), "0.00"},
        {signedFixed(0.006, 2), "+0.01"},
        {resultText(-0.0), "0"},
        {resultText(-1e-300), "-1e-300"},
        {shortText(-0.0), "0"},
        {approxText(-0.0), "0"},
        {intervalText(Interval{-0.0, -0.0, -0.0}), "[0.00, 0.00]"},
        {signedIntervalText(Interval{-0.0, -0.001, -0.0}, 2), "[0.00, 0.00]"},
        {shownText(Cell::ofReal(-0.0, 2, true)), "0.00"},
        {shownText(Cell::ofReal(-0.0, kResultDigits)), "0"},
        {csvCell(Cell::ofReal(-0.0, 2)), "0"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, c.expected) << c.expected;
}

TEST(ReportWordsTest, CountsSetTheirThousandsApart) {
    struct Case {
        std::int64_t count;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1 000"},
        {100'000, "100 000"},
        {-1'234'567, "-1 234 567"},
        {std::numeric_limits<std::int64_t>::min(), "-9 223 372 036 854 775 808"},
    };
    for (const Case& c : cases) EXPECT_EQ(groupedCount(c.count, " "), c.text) << c.text;
    EXPECT_EQ(groupedCount(12'345, "\u202F"), "12\u202F345");
}

// The window runs in the user's locale; its figures keep a decimal point.
TEST(ReportWordsTest, NumbersKeepADecimalPointInACommaLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"}) {
        if (std::setlocale(LC_ALL, name)) {
            comma = std::strcmp(std::localeconv()->decimal_point, ",") == 0;
            break;
        }
    }
    if (!comma) {
        std::setlocale(LC_ALL, before.c_str());
        GTEST_SKIP() << "no German locale on this machine";
    }
    const std::vector<std::string> texts = {resultText(66.6), fixed2(22.39), signedFixed(0.5, 1),
                                            shortText(0.5), approxText(0.062)};
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(texts, (std::vector<std::string>{"66.6", "22.39", "+0.5", "0.5", "+0.062"}));
}

// A table with a column for each view: text shows words and joined
// figures, CSV the keys and the numbers.
Table sampleTable() {
    Table table;
    table.key = "sample";
    table.columns = {
        Column{"", "#", "", Align::Right, kTextView},
        Column{"name", "name", "", Align::Left, kEveryView},
        Column{"value", "value", "", Align::Right, kEveryView},
        Column{"", "tried", "", Align::Left, kTextView},
        Column{"low", "", "", Align::Left, kCsvView},
        Column{"high", "", "", Align::Left, kCsvView},
    };
    table.rows.push_back({Cell::ofWhole(1), Cell::ofText("Fl\xC3\xA4mmchen, the Hot"),
                          Cell::ofReal(0.5, 2, true).shown("best"), Cell::ofText("1..3"),
                          Cell::ofWhole(1), Cell::ofWhole(3)});
    table.rows.push_back({Cell::ofWhole(10), Cell::ofText("="), Cell::ofReal(-0.125, 3, true),
                          Cell::ofText(""), Cell::empty(), Cell::ofReal(1.0 / 3.0, 2)});
    return table;
}

TEST(ReportTextTest, TablesAlignTheirTextColumnsByCharacters) {
    Table table = sampleTable();
    table.indent = 2;
    // "Flämmchen" is nine characters wide in ten bytes; no line ends in a blank.
    EXPECT_EQ(textTable(table),
              "   #  name                 value  tried\n"
              "   1  Fl\xC3\xA4mmchen, the Hot    best  1..3\n"
              "  10  =                   -0.125\n");
    table.header = false;
    table.indent = 0;
    const std::string expected = " 1  Fl\xC3\xA4mmchen, the Hot    best  1..3\n"
                                 "10  =                   -0.125\n";
    EXPECT_EQ(textTable(table), expected);
    table.rows.clear();
    EXPECT_EQ(textTable(table), "");
}

TEST(ReportTextTest, AReportPrintsHeadingSectionsTitlesMissingTablesAndNotes) {
    Report report;
    report.heading = {"Heading", "second line"};
    Table plain;
    plain.columns = {Column{"a", "a", "", Align::Left, kEveryView}};
    plain.rows = {{Cell::ofText("x")}};
    plain.notes = {"a note", "another"};
    report.tables.push_back(plain);
    Table first = plain;
    first.notes.clear();
    first.section = "Section";
    first.title = "[first]";
    first.header = false;
    first.indent = 4;
    report.tables.push_back(first);
    Table missing = first;
    missing.title = "[gone]";
    missing.missing = "no such section";
    report.tables.push_back(missing);
    Table csvOnly = plain;
    csvOnly.views = kCsvView;
    report.tables.push_back(csvOnly);
    Table next = first;
    next.section = "Next";
    next.title = "[next]";
    report.tables.push_back(next);
    EXPECT_EQ(textReport(report),
              "Heading\nsecond line\n"
              "\na\nx\n"
              "\na note\nanother\n"
              "\nSection\n  [first]\n    x\n  [gone]  no such section\n"
              "\nNext\n  [next]\n    x\n");
}

TEST(ReportCsvTest, TablesWriteTheirCsvColumnsWithTypedCells) {
    // Numbers in full, texts as they are (but a formula's first character
    // set apart), empty cells empty; what text shows in a value's place
    // plays no part.
    EXPECT_EQ(csvTable(sampleTable()),
              "name,value,low,high\n"
              "\"Fl\xC3\xA4mmchen, the Hot\",0.5,1,3\n"
              "'=,-0.125,,0.3333333333333333\n");
    Report report;
    report.tables = {sampleTable(), sampleTable()};
    report.tables[0].views = kTextView;
    report.tables[1].rows.resize(1);
    Table last = sampleTable();
    last.rows.clear();
    report.tables.push_back(last);
    EXPECT_EQ(csvReport(report),
              "name,value,low,high\n"
              "\"Fl\xC3\xA4mmchen, the Hot\",0.5,1,3\n"
              "\n"
              "name,value,low,high\n");
}

const Table& tableOf(const Report& report, const char* key) {
    const Table* table = report.table(key);
    if (!table) throw std::logic_error(std::string("no table ") + key);
    return *table;
}

// In a mode that counts no wins, text shows no win mean and says why there
// is no interval, while CSV keeps the figures.
TEST(ReportOutcomeTest, AResultNotCountedIsWordsInTextAndNumbersInCsv) {
    Outcome outcome;
    outcome.seed = 7;
    outcome.mode = DamagePer60Seconds;
    outcome.fights = 4;
    outcome.totals.damageGivenSum = 90;
    outcome.totals.tickSum = 24'000;
    outcome.results.resultDamageGiven = 22.5;
    outcome.results.resultTime = 60;
    outcome.intervals.damageGiven = Interval{22.5, 20.0, 25.0};
    const Report report = outcomeReport(outcome, "Knight", "Brute");
    EXPECT_EQ(report.context.you, "Knight");
    EXPECT_EQ(report.context.opp, "Brute");
    EXPECT_EQ(report.context.mode, DamagePer60Seconds);
    EXPECT_EQ(report.context.seed, 7u);
    EXPECT_EQ(report.context.fights, 4);
    EXPECT_EQ(report.heading,
              std::vector<std::string>{"seed 7, mode damage60 (Find damage per 60 seconds), 4 fights"});
    EXPECT_EQ(textTable(tableOf(report, "results")),
              "                 result   mean  95% interval\n"
              "Your Win %:           0      -  not counted in this mode\n"
              "Damage Taken          0   0.00  not counted in this mode\n"
              "Damage Given       22.5  22.50  [20.00, 25.00]\n"
              "Time in seconds      60  60.00  not counted in this mode\n");
    // One rectangular table: what it is about leads every line, and the kind
    // of each row says what it holds.
    EXPECT_EQ(csvReport(report),
              "you,opp,mode,seed,fights,kind,result,value,mean,low,high,from,to,count\n"
              "Knight,Brute,damage60,7,4,result,winPercent,0,0,,,,,\n"
              "Knight,Brute,damage60,7,4,result,damageTaken,0,0,,,,,\n"
              "Knight,Brute,damage60,7,4,result,damageGiven,22.5,22.5,20,25,,,\n"
              "Knight,Brute,damage60,7,4,result,time,60,60,,,,,\n");
}

// Rankings and scales carry the seed and mode they ran with; their reports
// hold them with the names and the fights, and their best entry is a word
// in text and a number in CSV.
TEST(ReportContextTest, RankingsAndScalesCarryTheirSeedModeAndFights) {
    const model::Fighter knight = testing::knightFighter();
    const model::Fighter brute = testing::bruteFighter();
    analysis::RunSettings settings;
    settings.mode = ToDeathOfOpponent;
    settings.seed = 4'000'000'001u;
    settings.fights = 300;
    settings.threads = 1;

    std::vector<analysis::Candidate> candidates{{"Sword", knight}, {"Axe", knight}};
    candidates[1].you.weapon.diceCount = 3;
    const analysis::Ranking ranking = analysis::rank(candidates, brute, analysis::RankBy::Weapon, settings);
    EXPECT_EQ(ranking.seed, settings.seed);
    EXPECT_EQ(ranking.mode, settings.mode);
    const Report ranked = rankReport(ranking, analysis::RankBy::Weapon, false, "Knight", "Brute");
    const Table& table = tableOf(ranked, "ranking");
    const std::size_t versusBest = *table.column("versusBest");
    EXPECT_EQ(shownText(table.rows[0][versusBest]), "best");
    EXPECT_EQ(csvCell(table.rows[0][versusBest]), "0");

    const analysis::Scale scale = analysis::scaleStats(knight, brute, 10, settings);
    EXPECT_EQ(scale.seed, settings.seed);
    EXPECT_EQ(scale.mode, settings.mode);
    const Report scaled = scaleReport(scale, "Knight", "Brute");

    for (const Report* report : {&ranked, &scaled}) {
        EXPECT_EQ(report->context.you, "Knight");
        EXPECT_EQ(report->context.opp, "Brute");
        EXPECT_EQ(report->context.mode, ToDeathOfOpponent);
        EXPECT_EQ(report->context.seed, 4'000'000'001u);
        EXPECT_EQ(report->context.fights, 300);
        EXPECT_NE(report->heading.at(0).find("seed 4000000001, mode opponent, 300 fights each"),
                  std::string::npos)
            << report->heading.at(0);
    }
}

}  // namespace
}  // namespace skarn::report
