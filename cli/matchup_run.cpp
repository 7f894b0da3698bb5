#include "cli/matchup_run.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "analysis/outcome.h"
#include "analysis/report_exact.h"
#include "analysis/report_outcome.h"
#include "combat/fight.h"
#include "cli/commands.h"
#include "cli/exact_choice.h"
#include "cli/json_output.h"
#include "cli/matchup.h"
#include "cli/output.h"
#include "cli/run_settings.h"

namespace skarn::cli {

namespace {

// The JSON of a run: its seed, mode, fights, results, totals and
// intervals, both fighters, and the target and histograms when it has them.
Json outcomeJson(const analysis::Outcome& outcome, const model::Fighter& you,
                 const model::Fighter& opp, const std::optional<report::Target>& target) {
    Json json = Json::object();
    addRun(json, outcome);
    json["you"] = fighter(you);
    json["opp"] = fighter(opp);
    if (target) json["target"] = targetJson(*target, outcome.targetReached);
    if (outcome.histograms) {
        json["histograms"] = histograms(*outcome.histograms);
        json["percentiles"] = percentiles(*outcome.histograms);
    }
    return json;
}

// The JSON of an exact outcome: its method, mode, results (as the Results
// dialog would show them) and null intervals, both fighters and the exact
// figures; no seed, fights, totals or target.
Json exactOutcomeJson(const analysis::ExactOutcome& outcome, const model::Fighter& you,
                      const model::Fighter& opp) {
    Json json = Json::object();
    addExact(json, outcome);
    json["you"] = fighter(you);
    json["opp"] = fighter(opp);
    json["exact"] = exactJson(outcome, true);
    return json;
}

// Answers `you` against `opp` exactly: true with the answer printed, or
// false with `declined` set when the engine declines.
bool answerExactly(const Arguments& args, const model::Fighter& you, const model::Fighter& opp,
                   analysis::ExactRefusal& declined) {
    if (auto refusal = analysis::findExactOutcomeRefusal(you, opp, args.mode)) {
        declined = std::move(*refusal);
        return false;
    }
    const auto outcome = analysis::exactOutcome(you, opp, args.mode, declined);
    if (!outcome) return false;
    if (args.json) {
        printOut(printed(exactOutcomeJson(*outcome, you, opp)));
        return true;
    }
    report::Report report = report::exactOutcomeReport(*outcome, you.name, opp.name);
    report.tables.insert(report.tables.begin(), report::fightersTable(you, opp));
    printReport(report, args);
    return true;
}

// The generator of a chain repeats its dice after this many draws.
constexpr double kChainCycle = 2147483648.0;

// A run on one generator chain (`run`) whose expected draws pass the
// generator's cycle repeats its own fights: its figures stop improving while
// its interval keeps narrowing. Warns of it before the run starts; with a
// target error, stops the run at the fights the cycle holds instead.
// Returns the fights to run.
std::int64_t keepWithinTheCycle(const Arguments& args, const model::Fighter& you,
                                const model::Fighter& opp, std::int64_t fights) {
    const analysis::Variant v = analysis::variantOf(you, opp);
    const double perFight =
        expectedFightDraws(v.you, v.opponent, v.yourHitPoints, v.oppHitPoints, args.mode);
    if (!(perFight * static_cast<double>(fights) > kChainCycle)) return fights;
    const auto most =
        std::max<std::int64_t>(1, static_cast<std::int64_t>(std::floor(kChainCycle / perFight)));
    if (args.targetError) {
        printWarnings({"--target-error stops this run after " + std::to_string(most) +
                       " fights at most: about 2^31 draws, after which the generator's dice "
                       "repeat and more fights add nothing (outcome gives each fight its own "
                       "dice)"});
        return std::min(fights, most);
    }
    printWarnings({"this run is expected to draw more than 2^31 numbers, after which the "
                   "generator's dice repeat: past about " + std::to_string(most) +
                   " fights its figures stop improving while its interval narrows (outcome "
                   "gives each fight its own dice)"});
    return fights;
}

}  // namespace

int runMatchup(const Arguments& args, bool streams) {
    const auto files = openDataFiles(args);
    if (!files) return kExitFailure;
    std::int64_t fights = fightsOf(args, 2187);
    model::Fighter you, opp;
    if (!armMatchup(*files, args, you, opp, fights)) return kExitFailure;
    if (streams && !wantsSampling(args)) {
        analysis::ExactRefusal declined;
        if (answerExactly(args, you, opp, declined)) return kExitOk;
        if (!sampleInstead(args, declined)) return kExitFailure;
    }
    if (!streams) fights = keepWithinTheCycle(args, you, opp, fights);
    if (!checkExpectedTime(args, {analysis::variantOf(you, opp)}, fights,
                           streams ? args.threads : 1))
        return kExitFailure;

    analysis::Outcome outcome;
    {
        Progress progress;
        const analysis::RunSettings settings = settingsOf(args, fights, progress);
        outcome = streams ? analysis::analyseOutcome(you, opp, settings)
                          : analysis::runChain(you, opp, settings, args.histogram);
    }
    const std::optional<report::Target> target = targetOf(args, fights);
    if (args.json) {
        printOut(printed(outcomeJson(outcome, you, opp, target)));
        return kExitOk;
    }
    report::Report report = report::outcomeReport(outcome, you.name, opp.name, target);
    report.tables.insert(report.tables.begin(), report::fightersTable(you, opp));
    printReport(report, args);
    return kExitOk;
}

}  // namespace skarn::cli
