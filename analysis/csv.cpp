#include "analysis/csv.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "analysis/report_outcome.h"
#include "analysis/report_rank.h"
#include "analysis/report_scale.h"
#include "model/modes.h"

namespace skarn::report {

namespace {

// The lowest and highest power of ten written in fixed notation.
constexpr int kLowestFixedExponent = -4;
constexpr int kHighestFixedExponent = 14;

// Leading columns: each its key and the cell it has on every row.
using Leading = std::vector<std::pair<std::string, Cell>>;

}  // namespace

std::string csvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& cell = cells[i];
        if (cell.find_first_of(",\"\r\n") == std::string::npos) {
            line += cell;
            continue;
        }
        line += '"';
        for (const char c : cell) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line + "\n";
}

std::string csvNumber(double value) {
    if (!std::isfinite(value)) return {};
    // Zero of either sign is "0": a negative zero would read as a change.
    if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0)
        return std::to_string(static_cast<std::int64_t>(value));

    // The shortest digits that read back as `value`, as "-d.ddde+x", then
    // laid out in fixed or exponent notation.
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    std::string out;
    if (text.front() == '-') {
        out += '-';
        text.remove_prefix(1);
    }
    const std::size_t e = text.find('e');
    std::string digits;
    for (const char c : text.substr(0, e))
        if (c != '.') digits += c;
    std::string_view exponentText = text.substr(e + 1);
    const bool negative = exponentText.front() == '-';
    exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    if (negative) exponent = -exponent;

    const int count = static_cast<int>(digits.size());
    const int point = exponent + 1;  // digits before the decimal point
    if (exponent >= kLowestFixedExponent && exponent <= kHighestFixedExponent) {
        if (point >= count) {
            // Only zero gets here: other whole numbers this small are integers above.
            out += digits + std::string(static_cast<std::size_t>(point - count), '0') + ".0";
        } else if (point > 0) {
            out += digits.substr(0, static_cast<std::size_t>(point)) + "." +
                   digits.substr(static_cast<std::size_t>(point));
        } else {
            out += "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
        }
        return out;
    }
    out += digits[0];
    if (count > 1) out += "." + digits.substr(1);
    out += negative ? "e-" : "e+";
    const int size = std::abs(exponent);
    if (size < 10) out += '0';
    out += std::to_string(size);
    return out;
}

std::string csvText(std::string_view text) {
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        return "'" + std::string(text);
    return std::string(text);
}

std::string csvCell(const Cell& cell) {
    switch (cell.kind) {
    case CellKind::Empty: return "";
    case CellKind::Text: return csvText(cell.text);
    case CellKind::Whole: return std::to_string(cell.whole);
    case CellKind::Real: return csvNumber(cell.real);
    }
    return "";
}

namespace {

// The CSV columns of `table` after the `leading` ones (key, the cell of
// every row).
std::string csvTableWith(const Table& table, const Leading& leading) {
    std::vector<std::size_t> columns;
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        if (table.columns[c].views & kCsvView) columns.push_back(c);
    std::vector<std::string> cells;
    for (const auto& [key, cell] : leading) cells.push_back(key);
    for (const std::size_t c : columns) cells.push_back(table.columns[c].key);
    std::string out = csvLine(cells);
    for (const std::vector<Cell>& row : table.rows) {
        cells.clear();
        for (const auto& [key, cell] : leading) cells.push_back(csvCell(cell));
        for (const std::size_t c : columns) cells.push_back(csvCell(row[c]));
        out += csvLine(cells);
    }
    return out;
}

}  // namespace

std::string csvTable(const Table& table) { return csvTableWith(table, {}); }

namespace {

// The leading columns of a report's CSV, none for a report about no
// matchup. They are cells as any other, so they are written as any other.
Leading contextCells(const Context& context) {
    Leading cells;
    if (context.you.empty() && context.opp.empty() && !context.mode) return cells;
    cells.emplace_back("you", Cell::ofText(context.you));
    cells.emplace_back("opp", Cell::ofText(context.opp));
    cells.emplace_back("mode", context.mode ? Cell::ofText(model::modeName(*context.mode))
                                            : Cell::empty());
    if (context.method == analysis::Method::Exact) {
        cells.emplace_back("method", Cell::ofText(analysis::methodKey(context.method)));
    } else {
        cells.emplace_back("seed", context.seed ? Cell::ofWhole(*context.seed) : Cell::empty());
        cells.emplace_back("fights",
                           context.fights ? Cell::ofWhole(*context.fights) : Cell::empty());
    }
    return cells;
}

}  // namespace

std::string csvReport(const Report& report) {
    const auto leading = contextCells(report.context);
    std::string out;
    for (const Table& table : report.tables) {
        if (!(table.views & kCsvView)) continue;
        if (!out.empty()) out += '\n';
        out += csvTableWith(table, leading);
    }
    return out;
}

}  // namespace skarn::report

namespace skarn::analysis {

std::string outcomeCsv(const Outcome& outcome, std::string_view you, std::string_view opp) {
    return report::csvReport(report::outcomeReport(outcome, you, opp));
}

std::string rankingCsv(const Ranking& ranking, RankBy by, std::string_view you,
                       std::string_view opp) {
    return report::csvReport(report::rankReport(ranking, by, false, you, opp));
}

std::string scaleCsv(const Scale& scale, std::string_view you, std::string_view opp) {
    return report::csvReport(report::scaleReport(scale, you, opp));
}

}  // namespace skarn::analysis
