#pragma once

// The CSV printer of the report layer: a table as one header line, then a
// line per row. Every CSV of an analysis is written here, so the same
// figures always give the same bytes. Pure functions: any thread may call
// them.

#include <string>
#include <string_view>
#include <vector>

#include "analysis/outcome.h"
#include "analysis/rank.h"
#include "analysis/report.h"
#include "analysis/scale.h"

namespace skarn::report {

// One CSV line ending in "\n": the cells separated by commas, each quoted
// when it holds a comma, a double quote or a line end, with its double
// quotes doubled. Other bytes pass through as they are.
std::string csvLine(const std::vector<std::string>& cells);

// A number for a CSV cell: a whole number below 2^53 in size as an integer
// ("60"), any other as the shortest text that reads back as the same double,
// in fixed notation for magnitudes from 1e-4 up to 1e15 ("22.39",
// "0.00012") and in exponent notation beyond ("1.5e-05", "1e+16"); the
// layout of skarn-cli's JSON numbers. Zero is "0" whatever its sign.
// Empty for infinities and NaN, as for any cell without a value.
std::string csvNumber(double value);

// A text for a CSV cell. A spreadsheet reads a cell that begins with "=",
// "+", "-", "@", a tab or a carriage return as a formula, so such a text
// gets a leading apostrophe ("'=1+2", "'- none -"), which spreadsheets take
// as "this is text"; any other text is written as it is.
std::string csvText(std::string_view text);

// A cell's CSV text: a text as csvText writes it, a whole number in decimal, a real
// number as csvNumber writes it, "" for an empty cell. What text output
// shows in its place (Cell::shownAs) plays no part.
std::string csvCell(const Cell& cell);

// The CSV columns of `table`: their keys, then a line per row.
std::string csvTable(const Table& table);

// The CSV tables of `report`, a blank line between two. A report about a
// matchup (its context names a fighter or a mode) starts every line of
// every table with the same leading columns, so that a saved file says
// what it is and each table stays rectangular: you, opp, mode (its
// --mode name), then seed and fights for sampled figures or method
// ("exact") for exact ones.
std::string csvReport(const Report& report);

}  // namespace skarn::report

namespace skarn::analysis {

// The CSV of an analysis as the Analysis window saves it: csvReport of
// outcomeReport, rankReport (by weapon of one type) and scaleReport, with
// the fighters' names `you` and `opp` in the leading columns.
// REQUIRES: outcome.fights >= 1.
std::string outcomeCsv(const Outcome& outcome, std::string_view you = {},
                       std::string_view opp = {});
std::string rankingCsv(const Ranking& ranking, RankBy by, std::string_view you = {},
                       std::string_view opp = {});
std::string scaleCsv(const Scale& scale, std::string_view you = {}, std::string_view opp = {});

}  // namespace skarn::analysis
