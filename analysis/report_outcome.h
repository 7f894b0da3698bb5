#pragma once

#include <optional>
#include <string_view>

#include "analysis/outcome.h"
#include "analysis/report.h"
#include "analysis/report_words.h"
#include "model/fighter.h"

namespace skarn::report {

// The report of a run of the You fighter named `you` against the Opponent
// named `opp` (skarn-cli's run and outcome, the Outcome tab). Its context
// holds the names and the outcome's mode, seed and fights; its heading
// names the mode, seed and fights. Its tables:
// - "results" (every view): per result its key (CSV) or label (text), the
//   value as the Results dialog shows it, the mean and the 95% interval;
//   with `target`, the target's note;
// - when the outcome has histograms, "histograms" (CSV): every bin of the
//   three, with the fights below and past the bins; and per histogram a
//   text table keyed by spreadKey, its title with the percentiles, holding
//   the occupied bins with bars.
// REQUIRES: outcome.fights >= 1.
Report outcomeReport(const analysis::Outcome& outcome, std::string_view you,
                     std::string_view opp, const std::optional<Target>& target = {});

// "fighters" (text): both fighters as they fought, side by side: name,
// stats, hit points, weapon and shield.
Table fightersTable(const model::Fighter& you, const model::Fighter& opp);

}  // namespace skarn::report
