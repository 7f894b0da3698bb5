#pragma once

#include <string_view>

#include "analysis/exact_scale.h"
#include "analysis/report.h"
#include "analysis/scale.h"

namespace skarn::report {

// The report of the scale factors of the You fighter named `you` against
// the Opponent named `opp`. Its context holds the names and the scale's
// mode, seed and fights per value; its heading names them, the points
// tried and the result now. Its one table, "scale" (every view), holds the
// stats best first: in text the rank and caption, in CSV the stat's key;
// the value; the values tried, whether only one side could be tried and
// whether the hit points followed Str.; the change per point with its 95%
// interval (scaleDecimals decimals in text) and in text what `scale.delta`
// points change. Its notes say which stats were not scaled, which were
// compared on one side only, and when the hit points follow Str.
Report scaleReport(const analysis::Scale& scale, std::string_view you, std::string_view opp);

// The report of exact scale factors, laid out as scaleReport lays out a
// scale, with no seed and no fights: the heading says "exact", the
// changes per point have no interval (empty cells in CSV, no interval
// column in text).
Report exactScaleReport(const analysis::ExactScale& scale, std::string_view you,
                        std::string_view opp);

}  // namespace skarn::report
