#include "cli/matchup_run.h"

#include "analysis/outcome.h"
#include "analysis/report_outcome.h"
#include "cli/commands.h"
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

}  // namespace

int runMatchup(const Arguments& args, bool streams) {
    const auto files = openDataFiles(args);
    if (!files) return kExitFailure;
    const std::int64_t fights = fightsOf(args, 2187);
    model::Fighter you, opp;
    if (!armMatchup(*files, args, you, opp, fights)) return kExitFailure;
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
