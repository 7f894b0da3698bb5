#pragma once

// The analyses as CSV tables: one header line, then a line per row. Every
// CSV of an analysis is written here, so the same figures always give the
// same bytes. Pure functions: any thread may call them.

#include <string>
#include <vector>

#include "analysis/outcome.h"
#include "analysis/rank.h"
#include "analysis/scale.h"

namespace skarn::analysis {

// One CSV line ending in "\n": the cells separated by commas, each quoted
// when it holds a comma, a double quote or a line end, with its double
// quotes doubled. Other bytes pass through as they are.
std::string csvLine(const std::vector<std::string>& cells);

// A number for a CSV cell: a whole number below 2^53 in size as an integer
// ("60"), any other as the shortest text that reads back as the same double,
// in fixed notation for magnitudes from 1e-4 up to 1e15 ("22.39",
// "0.00012") and in exponent notation beyond ("1.5e-05", "1e+16"); the
// layout of skarn-cli's JSON numbers. Negative zero keeps its sign as
// "-0.0". Empty for infinities and NaN, as for any cell without a value.
std::string csvNumber(double value);

// The four results of `outcome` (result,value,mean,low,high), the low and
// high of a result without an interval empty; when it holds histograms, then
// an empty line and every bin of them (histogram,from,to,count), with a row
// for the fights below the first bin and past the last when there are any.
// Fight times are in seconds.
// REQUIRES: outcome.fights >= 1.
std::string outcomeCsv(const Outcome& outcome);

// The ranking best first: rank, the weapon or shield, its weapon type, the
// ranked result with its interval and its difference to the best with that
// difference's interval.
std::string rankingCsv(const Ranking& ranking, RankBy by);

// The scale factors in their order: the stat, its value, the values
// compared, whether only one side was compared, whether the hit points
// followed Str., and the change per point with its interval.
std::string scaleCsv(const Scale& scale);

}  // namespace skarn::analysis
