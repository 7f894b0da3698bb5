#pragma once

// The report layer's words (analysis/report_words.h) as the Analysis window
// shows them: as QString, and counts with narrow no-break spaces. Numbers
// are written with a decimal point whatever the locale, as the Results
// dialog and skarn-cli write them. Pure functions: any thread may call them.

#include <cstdint>
#include <optional>

#include <QString>

#include "analysis/engine.h"
#include "analysis/interval.h"

namespace skarn {

// report::resultText: "%.15g", so 66.6 and 60.
QString resultText(double value);
// report::fixed2: "22.39".
QString fixed2(double value);
// report::signedFixed: "+0.27", "-1.50"; a value that shows as 0 has no sign.
QString signedFixed(double value, int decimals);
// report::intervalText: "[22.16, 22.61]", or `missing` for no interval.
QString intervalText(const std::optional<analysis::Interval>& interval, const QString& missing = {});
// report::signedIntervalText: "[+0.10, +0.42]".
QString signedIntervalText(const std::optional<analysis::Interval>& interval, int decimals);
// A count with its thousands apart: "100 000" (narrow no-break spaces).
QString countText(std::int64_t count);
// report::approxText: "+1.8", "+0.062", "-12.4".
QString approxText(double value);
// report::resultUnit: "% win", "damage given", "damage taken", "s to fell
// the Opponent".
QString resultUnit(analysis::Result result);
// report::resultTitle: "Win %", "Damage given", "Damage taken", "Seconds to
// fell the Opponent".
QString resultTitle(analysis::Result result);

}  // namespace skarn
