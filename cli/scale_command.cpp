#include <CLI/CLI.hpp>

#include "analysis/report_scale.h"
#include "analysis/scale.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/exact_choice.h"
#include "cli/json_output.h"
#include "cli/matchup.h"
#include "cli/output.h"
#include "cli/run_settings.h"
#include "model/stats.h"

namespace skarn::cli {

namespace {

using analysis::Interval;
using model::Fighter;

// The JSON of one stat of a scale, sampled (StatScale) or exact
// (ExactStatScale): its values tried, whether they were clipped, whether the
// hit points followed, its change per point and why it was refused.
template <class StatScale>
Json statJson(const StatScale& s, Json perPoint) {
    Json stat = Json::object();
    stat["stat"] = model::statInfo(s.stat).jsonKey;
    stat["caption"] = model::statInfo(s.stat).caption;
    stat["value"] = s.value;
    Json& tried = stat["tried"] = Json::object();
    tried["low"] = s.low;
    tried["high"] = s.high;
    stat["oneSided"] = s.oneSided();
    stat["hitPointsFollow"] = s.hitPointsFollow;
    stat["perPoint"] = std::move(perPoint);
    stat["refused"] = s.refused.empty() ? Json(nullptr) : text(s.refused);
    return stat;
}

// The JSON of the scale factors: the run's seed, mode, fights, points and
// result, the result now, per stat its values tried and its change per
// point, and both fighters.
Json scaleJson(const analysis::Scale& scale, const Fighter& you, const Fighter& opp) {
    const analysis::Result result = scale.result;
    // A copy: intervalOf refers into the temporary intervals.
    const std::optional<Interval> baseInterval =
        analysis::intervalOf(scale.base.intervals(scale.mode), result);
    const double baseMean = scale.base.mean(result);
    Json json = Json::object();
    json["method"] = analysis::methodKey(analysis::Method::Sampled);
    json["seed"] = scale.seed;
    addMode(json, scale.mode);
    json["fights"] = scale.fights;
    json["delta"] = scale.delta;
    json["result"] = analysis::resultKey(result);
    // A result without an interval is given as a point.
    json["base"] = interval(baseInterval ? baseInterval
                                         : std::optional<Interval>(Interval{baseMean, baseMean,
                                                                            baseMean}));
    Json& stats = json["stats"] = Json::array();
    for (const analysis::StatScale& s : scale.stats) {
        stats.push_back(statJson(s, interval(s.perPoint)));
    }
    json["you"] = fighter(you);
    json["opp"] = fighter(opp);
    return json;
}

// The JSON of exact scale factors, laid out as scaleJson lays out sampled
// ones, without seed and fights, and with null interval bounds.
Json exactScaleJson(const analysis::ExactScale& scale, const Fighter& you, const Fighter& opp) {
    const auto point = [](double mean) {
        Json json = Json::object();
        json["mean"] = number(mean);
        json["low"] = nullptr;
        json["high"] = nullptr;
        return json;
    };
    Json json = Json::object();
    json["method"] = analysis::methodKey(analysis::Method::Exact);
    addMode(json, scale.mode);
    json["delta"] = scale.delta;
    json["result"] = analysis::resultKey(scale.result);
    json["base"] = point(scale.base.mean(scale.result));
    Json& stats = json["stats"] = Json::array();
    for (const analysis::ExactStatScale& s : scale.stats) {
        stats.push_back(statJson(s, s.perPoint ? point(*s.perPoint) : Json(nullptr)));
    }
    json["you"] = fighter(you);
    json["opp"] = fighter(opp);
    return json;
}

class ScaleCommand : public Command {
public:
    ScaleCommand()
        : Command("scale",
                  "how much a point of Str., Dex., W. Skill, Tactics, Parry and A.R. changes the "
                  "mode's main result, from each stat - delta and + delta, best first: exactly, "
                  "or sampled on the same dice") {}

    void addOptions(CLI::App& app, Arguments& args, OptionTexts& texts) const override {
        addFightOptions(app, args, texts);
        addFights(app, texts, "50000");
        app.add_option("--delta", texts.delta,
                       "points below and above each stat, 1 to 400 (default 10)")
            ->type_name("D");
        addThreads(app, texts);
        addMethodOptions(app, args);
    }

    std::string check(const Arguments& args) const override { return checkMethodOptions(args); }

    int execute(const Arguments& args) const override {
        const auto files = openDataFiles(args);
        if (!files) return kExitFailure;
        const std::int64_t fights = fightsOf(args, 50'000);
        Fighter you, opp;
        if (!armMatchup(*files, args, you, opp, fights)) return kExitFailure;
        if (!wantsSampling(args)) {
            analysis::ExactSettings settings;
            settings.mode = args.mode;
            settings.threads = args.threads;
            analysis::ExactRefusal declined;
            bool cancelled = false;
            const auto exact =
                analysis::exactScale(you, opp, args.delta, settings, declined, cancelled);
            if (exact) {
                if (args.json)
                    printOut(printed(exactScaleJson(*exact, you, opp)));
                else
                    printReport(report::exactScaleReport(*exact, you.name, opp.name), args);
                return kExitOk;
            }
            if (!sampleInstead(args, declined)) return kExitFailure;
        }
        if (!checkExpectedTime(args,
                               analysis::scaleVariants(you, opp, args.delta, args.mode, fights),
                               fights, args.threads))
            return kExitFailure;

        analysis::Scale scale;
        {
            Progress progress;
            scale = analysis::scaleStats(you, opp, args.delta, settingsOf(args, fights, progress));
        }
        if (args.json) {
            printOut(printed(scaleJson(scale, you, opp)));
            return kExitOk;
        }
        printReport(report::scaleReport(scale, you.name, opp.name), args);
        return kExitOk;
    }
};

}  // namespace

const Command& scaleCommand() {
    static const ScaleCommand command;
    return command;
}

}  // namespace skarn::cli
