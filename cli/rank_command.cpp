#include <CLI/CLI.hpp>

#include "analysis/rank.h"
#include "analysis/report_rank.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/exact_choice.h"
#include "cli/json_output.h"
#include "cli/matchup.h"
#include "cli/output.h"
#include "cli/run_settings.h"
#include "data/records.h"

namespace skarn::cli {

namespace {

using analysis::RankBy;
using analysis::RankEntry;
using analysis::Ranking;
using model::Fighter;

// The start of a ranking's entry: its rank, its name and its measure, with
// the bounds of its interval (null for none).
Json rowHead(std::size_t index, const char* what, const std::string& name, analysis::Result result,
             double value, const std::optional<analysis::Interval>& interval) {
    Json row = Json::object();
    row["rank"] = static_cast<std::int64_t>(index + 1);
    row[what] = text(name);
    Json& measure = row["measure"] = Json::object();
    measure["name"] = analysis::resultKey(result);
    measure["value"] = number(value);
    measure["low"] = interval ? number(interval->low) : Json(nullptr);
    measure["high"] = interval ? number(interval->high) : Json(nullptr);
    return row;
}

// The JSON of a ranking: per entry best first, its rank, name and measure,
// its difference to the best, the figures of its run, both fighters and
// the target.
Json rankingJson(const Ranking& ranking, RankBy by, const Fighter& opp,
                 const std::optional<report::Target>& target) {
    const char* what = by == RankBy::Weapon ? "weapon" : "shield";
    Json rows = Json::array();
    for (std::size_t i = 0; i < ranking.entries.size(); ++i) {
        const RankEntry& entry = ranking.entries[i];
        Json row = rowHead(i, what, entry.candidate.name, ranking.result, entry.value,
                           entry.interval);
        row["versusBest"] = interval(entry.versusBest);
        analysis::Outcome outcome;
        outcome.seed = ranking.seed;
        outcome.mode = ranking.mode;
        outcome.fights = ranking.fights;
        outcome.totals = entry.sums.totals();
        outcome.results = resultsOf(outcome.totals, ranking.fights);
        outcome.intervals = entry.sums.intervals(ranking.mode);
        addRun(row, outcome);
        row["you"] = fighter(entry.candidate.you);
        row["opp"] = fighter(opp);
        if (target) row["target"] = targetJson(*target, ranking.targetReached);
        rows.push_back(std::move(row));
    }
    return rows;
}

// The JSON of an exact ranking, laid out as rankingJson lays out a sampled
// one: per entry the exact figures in place of the run, no interval (null
// bounds), no seed, fights, totals or target.
Json exactRankingJson(const analysis::ExactRanking& ranking, RankBy by, const Fighter& opp) {
    const char* what = by == RankBy::Weapon ? "weapon" : "shield";
    Json rows = Json::array();
    for (std::size_t i = 0; i < ranking.entries.size(); ++i) {
        const analysis::ExactRankEntry& entry = ranking.entries[i];
        Json row = rowHead(i, what, entry.candidate.name, ranking.result, entry.value, std::nullopt);
        Json& versusBest = row["versusBest"] = Json::object();
        versusBest["mean"] = number(entry.versusBest);
        versusBest["low"] = nullptr;
        versusBest["high"] = nullptr;
        addExact(row, entry.outcome);
        row["exact"] = exactJson(entry.outcome, false);
        row["you"] = fighter(entry.candidate.you);
        row["opp"] = fighter(opp);
        rows.push_back(std::move(row));
    }
    return rows;
}

class RankCommand : public Command {
public:
    RankCommand()
        : Command("rank",
                  "ranks each weapon of the You character's weapon type (or of every type, or "
                  "each shield and none) against the Opponent, best first, with each one's "
                  "difference to the best: exactly, or sampled on the same dice") {}

    void addOptions(CLI::App& app, Arguments& args, OptionTexts& texts) const override {
        addFightOptions(app, args, texts);
        addFights(app, texts, "2187");
        app.add_option("--by", texts.by, "what to rank: weapon or shield")
            ->type_name("WHAT")
            ->required();
        app.add_flag("--all-types", args.allTypes,
                     "with --by weapon: every weapon of every type the character could carry")
            ->disable_flag_override();
        addThreads(app, texts);
        addTarget(app, texts, false);
        addMethodOptions(app, args);
    }

    std::string check(const Arguments& args) const override {
        if (std::string error = checkMethodOptions(args); !error.empty()) return error;
        if (*args.rankBy == RankBy::Weapon && args.youWeapon)
            return "--you-weapon cannot be combined with --by weapon";
        if (*args.rankBy == RankBy::Shield && args.youShield)
            return "--you-shield cannot be combined with --by shield";
        if (*args.rankBy == RankBy::Shield && args.allTypes)
            return "--all-types goes with --by weapon only";
        return "";
    }

    int execute(const Arguments& args) const override;
};

int RankCommand::execute(const Arguments& args) const {
    const auto files = openDataFiles(args);
    if (!files) return kExitFailure;
    const std::int64_t fights = fightsOf(args, 2187);
    Matchup matchup;
    if (!loadMatchup(*files, args, matchup)) return kExitFailure;
    std::string error;
    std::vector<std::string> warnings;
    Fighter opp;
    if (!analysis::equipFighter(files->equipment, matchup.opp, args.oppWeapon, args.oppShield,
                                opp, error, warnings)) {
        printError(error);
        return kExitFailure;
    }

    const RankBy by = *args.rankBy;
    Fighter base;
    if (by == RankBy::Weapon) {
        // Every weapon is tried in place of the stored one, which need not be
        // readable; the weapon type must be.
        if (!analysis::checkWeaponType(matchup.you, error, warnings)) {
            printError(error);
            return kExitFailure;
        }
        base = analysis::unarmedFighter(matchup.you);
        if (args.youShield) {
            base.wantedShield = *args.youShield;
            base.shieldGiven = true;
        }
    } else if (!analysis::equipFighter(files->equipment, matchup.you, args.youWeapon,
                                       std::string(NoneEntry), base, error, warnings)) {
        printError(error);
        return kExitFailure;
    }
    std::vector<analysis::Candidate> candidates;
    if (!analysis::rankCandidates(files->equipment, base, opp, by, args.allTypes, args.mode,
                                  fights, candidates, error, warnings)) {
        printWarnings(warnings);
        printError(error);
        return kExitFailure;
    }
    printWarnings(warnings);

    if (!wantsSampling(args)) {
        analysis::ExactSettings settings;
        settings.mode = args.mode;
        settings.threads = args.threads;
        analysis::ExactRefusal declined;
        bool cancelled = false;
        const auto exact = analysis::exactRank(candidates, opp, by, settings, declined, cancelled);
        if (exact) {
            if (args.json) {
                printOut(printed(exactRankingJson(*exact, by, opp)));
            } else {
                printReport(report::exactRankReport(*exact, by, args.allTypes, matchup.you.name,
                                                    opp.name),
                            args);
            }
            return kExitOk;
        }
        if (!sampleInstead(args, declined)) return kExitFailure;
    }

    std::vector<analysis::Variant> variants;
    for (const analysis::Candidate& c : candidates)
        variants.push_back(analysis::variantOf(c.you, opp));
    if (!checkExpectedTime(args, variants, fights, args.threads)) return kExitFailure;

    Ranking ranking;
    {
        Progress progress;
        ranking = analysis::rank(candidates, opp, by, settingsOf(args, fights, progress));
    }
    // The stop rule measures the ranked result (for shields, in some modes,
    // the damage taken rather than the mode's main result).
    std::optional<report::Target> target = targetOf(args, fights);
    if (target) target->result = ranking.result;
    if (args.json) {
        printOut(printed(rankingJson(ranking, by, opp, target)));
        return kExitOk;
    }
    printReport(report::rankReport(ranking, by, args.allTypes, matchup.you.name, opp.name, target),
                args);
    return kExitOk;
}

}  // namespace

const Command& rankCommand() {
    static const RankCommand command;
    return command;
}

}  // namespace skarn::cli
