#pragma once

// How the Analysis window writes its figures: in its tables and charts and
// in words for screen readers (the CSV files it saves are analysis/csv.h's).
// Numbers are written with a decimal point whatever the locale, as the
// Results dialog and skarn-cli write them. Pure functions: any thread may
// call them.

#include <cstdint>
#include <optional>

#include <QString>

#include "analysis/engine.h"
#include "analysis/interval.h"

namespace skarn {

// A result as the Results dialog shows it: "%.15g", so 66.6 and 60.
QString resultText(double value);
// With two decimals: "22.39".
QString fixed2(double value);
// With `decimals` decimals and a sign: "+0.27", "-1.50"; exactly 0 has none.
QString signedFixed(double value, int decimals);
// "[22.16, 22.61]", or `missing` for no interval.
QString intervalText(const std::optional<analysis::Interval>& interval, const QString& missing = {});
// The same with signs: "[+0.10, +0.42]".
QString signedIntervalText(const std::optional<analysis::Interval>& interval, int decimals);
// A count with its thousands apart: "100 000" (narrow no-break spaces).
QString countText(std::int64_t count);
// A change in words, to two significant digits and at least one decimal:
// "+1.8", "+0.062", "-12.4".
QString approxText(double value);

// What one unit of a result is called after a number: "% win", "damage
// given", "damage taken", "s to fell the Opponent".
QString resultUnit(analysis::Result result);
// A result's name for titles: "Win %", "Damage given", "Damage taken",
// "Seconds to fell the Opponent".
QString resultTitle(analysis::Result result);

}  // namespace skarn
