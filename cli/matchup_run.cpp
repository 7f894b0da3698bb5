#include "cli/matchup_run.h"

#include "analysis/outcome.h"
#include "analysis/report_exact.h"
#include "analysis/report_outcome.h"
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

}  // namespace

int runMatchup(const Arguments& args, bool streams) {
    const auto files = openDataFiles(args);
    if (!files) return kExitFailure;
    const std::int64_t fights = fightsOf(args, 2187);
    model::Fighter you, opp;
    if (!armMatchup(*files, args, you, opp, fights)) return kExitFailure;
    if (streams && !wantsSampling(args)) {
        analysis::ExactRefusal declined;
        if (answerExactly(args, you, opp, declined)) return kExitOk;
        if (!sampleInstead(args, declined)) return kExitFailure;
    }
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
