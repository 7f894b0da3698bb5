#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "analysis/engine.h"
#include "analysis/fighter.h"
#include "analysis/histogram.h"
#include "analysis/interval.h"
#include "analysis/method.h"
#include "combat/fight.h"

namespace skarn::analysis {

// Histograms are fitted to the first this many fights of a run.
inline constexpr std::int64_t kPilotFights = 1024;

// What a run of one matchup gives: the four results with their intervals,
// and how the fights spread.
struct Outcome {
    Method method = Method::Sampled;
    std::uint32_t seed = 0;
    FightMode mode = DamagePer60Seconds;
    std::int64_t fights = 0;  // fought: fewer than asked when a target error was reached
    bool cancelled = false;
    bool targetReached = false;
    RunTotals totals;
    RunSquares squares;
    RunResults results;  // cut as runFights cuts them
    RunIntervals intervals;
    // Per fight: the damage given, the damage taken and the length in ticks,
    // in bins fitted to the first kPilotFights fights.
    std::optional<std::array<Histogram, 3>> histograms;
};

// The outcome of `you` against `opp` on per-fight streams (fightStart), run
// by the engine over settings.threads threads, with histograms. The same
// settings give the same figures on any machine and any number of threads.
// REQUIRES: model::findRunFault(you, opp, settings.mode, settings.fights)
// is empty.
Outcome analyseOutcome(const Fighter& you, const Fighter& opp, const RunSettings& settings);

// The outcome of `you` against `opp` on one generator chain, each fight
// starting where the one before left it, seeded with settings.seed: for the
// same seed and fights the results and totals are exactly those of
// runFights. With a target error the chain is fought in batches of
// kPilotFights until the target is reached; the figures are then those of
// runFights over the fights used. Runs on the calling thread;
// settings.threads is not used.
// REQUIRES: model::findRunFault(you, opp, settings.mode, settings.fights)
// is empty.
Outcome runChain(const Fighter& you, const Fighter& opp, const RunSettings& settings,
                 bool histograms);

}  // namespace skarn::analysis
