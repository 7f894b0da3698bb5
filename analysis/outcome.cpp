#include "analysis/outcome.h"

#include <algorithm>
#include <vector>

#include "analysis/streams.h"

namespace skarn::analysis {

namespace {

// Fights between checks of the cancel flag while fitting the histograms.
constexpr std::int64_t kPilotChunk = 64;

std::array<Histogram, 3> fittedHistograms(const std::vector<FightEnd>& ends) {
    std::vector<std::int64_t> given, taken, length;
    for (const FightEnd& end : ends) {
        given.push_back(static_cast<std::int64_t>(end.oppDamage));
        taken.push_back(static_cast<std::int64_t>(end.yourDamage));
        length.push_back(end.length);
    }
    return {Histogram::fittedTo(given), Histogram::fittedTo(taken), Histogram::fittedTo(length)};
}

void addTo(std::array<Histogram, 3>& histograms, const FightEnd& end) {
    histograms[0].add(static_cast<std::int64_t>(end.oppDamage));
    histograms[1].add(static_cast<std::int64_t>(end.yourDamage));
    histograms[2].add(end.length);
}

bool cancelled(const RunSettings& settings) {
    return settings.cancel != nullptr && settings.cancel->load();
}

}  // namespace

Outcome analyseOutcome(const Fighter& you, const Fighter& opp, const RunSettings& settings) {
    Outcome outcome;
    outcome.seed = settings.seed;
    outcome.mode = settings.mode;

    // The bins come from the first fights, fought here once more than in the
    // run proper: a few milliseconds that keep the engine simple.
    const std::int64_t pilot = std::min(kPilotFights, settings.fights);
    const Variant pair = variantOf(you, opp);
    const PreparedFights prepared(pair.you, pair.opponent, pair.yourHitPoints, pair.oppHitPoints,
                                  settings.mode, pilot);
    std::vector<std::uint32_t> starts(static_cast<std::size_t>(pilot));
    for (std::size_t i = 0; i < starts.size(); ++i) starts[i] = fightStart(settings.seed, i);
    std::vector<FightEnd> ends(starts.size());
    for (std::int64_t first = 0; first < pilot; first += kPilotChunk) {
        if (cancelled(settings)) {
            outcome.cancelled = true;
            return outcome;
        }
        const auto count = static_cast<std::size_t>(std::min(kPilotChunk, pilot - first));
        prepared.fight(std::span(starts).subspan(static_cast<std::size_t>(first), count),
                       std::span(ends).subspan(static_cast<std::size_t>(first), count));
    }

    Job job;
    job.variants.push_back(pair);
    job.histograms = fittedHistograms(ends);
    const JobResult run = runJob(job, settings);
    const VariantSums& sums = run.variants[0];
    outcome.fights = run.fights;
    outcome.cancelled = run.cancelled;
    outcome.targetReached = run.targetReached;
    outcome.histograms = run.histograms;
    if (run.fights == 0) return outcome;
    outcome.totals = sums.totals();
    outcome.squares = sums.squares();
    outcome.results = resultsOf(outcome.totals, run.fights);
    outcome.intervals = sums.intervals(settings.mode);
    return outcome;
}

Outcome runChain(const Fighter& you, const Fighter& opp, const RunSettings& settings,
                 bool histograms) {
    Outcome outcome;
    outcome.seed = settings.seed;
    outcome.mode = settings.mode;
    const std::int64_t fights = settings.fights;
    const Variant pair = variantOf(you, opp);

    if (!histograms && !settings.targetError) {
        // runFights itself, on copies of the fighters.
        Combatant yourCombatant = pair.you;
        Combatant oppCombatant = pair.opponent;
        Random rng(settings.seed);
        ProgressCallback progress;
        std::int64_t done = 0;
        if (settings.progress) {
            progress = [&](int) {
                if ((++done & 255) == 0 || done == fights) settings.progress(done, fights);
            };
        }
        outcome.results =
            runFights(yourCombatant, oppCombatant, pair.yourHitPoints, pair.oppHitPoints,
                      settings.mode, fights, outcome.totals, progress, rng, &outcome.squares);
        outcome.fights = fights;
        outcome.intervals = runIntervals(outcome.totals, outcome.squares, settings.mode, fights);
        return outcome;
    }

    // The same chain in batches, summed fight by fight in the order and the
    // arithmetic of runFights.
    const PreparedFights prepared(pair.you, pair.opponent, pair.yourHitPoints, pair.oppHitPoints,
                                  settings.mode, fights);
    const Result target = settings.targetResult.value_or(mainResult(settings.mode));
    std::uint32_t state = settings.seed;
    std::vector<FightEnd> ends;
    RunTotals& totals = outcome.totals;
    RunSquares& squares = outcome.squares;
    while (outcome.fights < fights) {
        if (cancelled(settings)) {
            outcome.cancelled = true;
            break;
        }
        ends.resize(static_cast<std::size_t>(std::min(kPilotFights, fights - outcome.fights)));
        prepared.fightChain(state, ends);
        if (histograms && !outcome.histograms) outcome.histograms = fittedHistograms(ends);
        for (const FightEnd& end : ends) {
            const auto ticks = static_cast<double>(end.length);
            if (end.won) totals.winCount += 1.0;
            totals.tickSum += ticks;
            totals.damageGivenSum += end.oppDamage;
            totals.damageTakenSum += end.yourDamage;
            squares.tickSq += ticks * ticks;
            squares.damageGivenSq += end.oppDamage * end.oppDamage;
            squares.damageTakenSq += end.yourDamage * end.yourDamage;
            if (outcome.histograms) addTo(*outcome.histograms, end);
        }
        outcome.fights += static_cast<std::int64_t>(ends.size());
        if (settings.progress) settings.progress(outcome.fights, fights);
        if (settings.targetError &&
            withinTarget(runIntervals(totals, squares, settings.mode, outcome.fights), target,
                         *settings.targetError)) {
            outcome.targetReached = true;
            break;
        }
    }
    if (outcome.fights == 0) return outcome;
    outcome.results = resultsOf(totals, outcome.fights);
    outcome.intervals = runIntervals(totals, squares, settings.mode, outcome.fights);
    return outcome;
}

}  // namespace skarn::analysis
