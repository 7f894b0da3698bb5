#pragma once

// The report layer: every analysis as tables of typed cells, with captions,
// units and notes, that the faces print (skarn-cli as text, CSV or JSON) or
// draw (the Analysis window). Plain values and pure functions: any thread
// may use them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/method.h"
#include "combat/fight.h"

namespace skarn::report {

enum class CellKind { Empty, Text, Whole, Real };

// Decimals of a Real cell written as the Results dialog writes a result:
// "%.15g", so 66.6 and 60.
inline constexpr int kResultDigits = -1;

// One value of a table. Numbers keep their full value for CSV and JSON and
// say how text shows them; text output may show words in place of a value
// ("best", "-") while CSV keeps the number.
struct Cell {
    CellKind kind = CellKind::Empty;
    std::string text;        // of a Text cell
    std::int64_t whole = 0;  // of a Whole cell
    double real = 0.0;       // of a Real cell
    int decimals = 2;        // of a Real cell: decimals in text, or kResultDigits
    bool sign = false;       // of a Real cell: text writes "+" before a value above 0
    // What text output shows in place of the value, when set.
    std::optional<std::string> shownAs;

    static Cell empty() { return {}; }
    static Cell ofText(std::string text);
    static Cell ofWhole(std::int64_t value);
    // REQUIRES: decimals >= 0 or decimals == kResultDigits.
    static Cell ofReal(double value, int decimals, bool sign = false);
    // This cell, shown as `text` in text output.
    Cell shown(std::string text) &&;
};

// The cell as text output shows it: shownAs when set; else the text, the
// whole number, the real number with its decimals (and sign), or "".
std::string shownText(const Cell& cell);

enum class Align { Left, Right };

// Where a table or a column appears. Some figures are words in text and
// numbers in CSV (an interval is "[22.16, 22.61]" in text and two cells
// in CSV); each view then has columns of its own.
enum View : unsigned { kTextView = 1u, kCsvView = 2u, kEveryView = 3u };

struct Column {
    std::string key;      // CSV's header and JSON's name; "" for a column only text shows
    std::string caption;  // text's header
    std::string unit;     // of its numbers ("%", "damage", "seconds", "points"); "" for none
    Align align = Align::Left;
    unsigned views = kEveryView;
};

struct Table {
    std::string key;  // what the table holds: "results", "ranking", "scale", ...
    // Text only: the heading of the group of tables it belongs to (printed
    // once, at the first table of the group), a line above the table, and
    // what is shown after the title in place of a table that cannot be had.
    std::string section;
    std::string title;
    std::optional<std::string> missing;
    std::vector<Column> columns;
    std::vector<std::vector<Cell>> rows;  // each row has a cell per column
    // Text only: lines below the table, after a blank line.
    std::vector<std::string> notes;
    bool header = true;  // text shows the captions above the rows
    int indent = 0;      // text: blanks before each row; the title gets two fewer
    unsigned views = kEveryView;

    // The index of the column with key `key`; nothing when there is none.
    std::optional<std::size_t> column(std::string_view key) const;
};

// What a report is about: the fighters, the stop rule, how its figures
// were had (the dice and the fights each rests on, or exact odds). Unset
// members do not apply (a listing has none of them).
struct Context {
    std::string you, opp;  // the fighters' names, as stored
    std::optional<FightMode> mode;
    analysis::Method method = analysis::Method::Sampled;
    std::optional<std::uint32_t> seed;   // sampled only
    std::optional<std::int64_t> fights;  // per entry of a ranking or value of a scale
};

struct Report {
    Context context;
    std::vector<std::string> heading;  // text: the first lines
    std::vector<Table> tables;

    // The table with key `key`, or nullptr.
    const Table* table(std::string_view key) const;
};

}  // namespace skarn::report
