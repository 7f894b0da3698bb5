#pragma once

#include <string_view>

#include "analysis/exact.h"
#include "analysis/report.h"
#include "combat/fight.h"

namespace skarn::report {

// The four results of an exact outcome as the Results dialog would show
// them: each mean cut as a run's results are cut (resultsOf), the win %
// 0 in the modes that count no wins, as the dialog shows it.
RunResults cutResults(const analysis::ExactOutcome& outcome);

// The report of the exact outcome of the You fighter named `you` against
// the Opponent named `opp` (skarn-cli's outcome). Its context holds the
// names, the mode and the method (exact: no seed, no fights); its heading
// says the figures are exact and names the mode. Its tables:
// - "results" (text): per result its label, the value as the Results
//   dialog would show it, the exact mean, its standard deviation and the
//   5th, 50th and 95th percentiles; notes on the probability left
//   unaccounted and, outside "Fight to the death", the win % not counted;
// - "outcome" (CSV): one table whose "kind" column says what a row is: a
//   result (value, mean, sd, percentiles; low and high empty, as exact
//   figures have no interval), the probability left unaccounted, or one
//   value of a distribution with its probability;
// - per distribution a text table keyed by spreadKey, its title with the
//   percentiles, its values grouped into at most 20 bins with bars, the
//   thousandth at each end in a row of its own (the fight time left out
//   in "per 60 seconds", where every fight lasts 60 s).
Report exactOutcomeReport(const analysis::ExactOutcome& outcome, std::string_view you,
                          std::string_view opp);

}  // namespace skarn::report
