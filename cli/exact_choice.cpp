#include "cli/exact_choice.h"

#include <cstdio>

#include "analysis/report_exact.h"
#include "cli/output.h"

namespace skarn::cli {

namespace {

using analysis::Result;

constexpr Result kResults[] = {Result::WinPercent, Result::DamageTaken, Result::DamageGiven,
                               Result::Time};

Json figureJson(const std::optional<ExactFigure>& figure, double ExactFigure::*part) {
    return figure ? number((*figure).*part) : Json(nullptr);
}

}  // namespace

void addMethodOptions(CLI::App& command, Arguments& args) {
    command
        .add_flag("--exact", args.exact,
                  "answer exactly or not at all: exit 1 where the exact odds cannot answer")
        ->disable_flag_override();
    command
        .add_flag("--sampled", args.sampled,
                  "fight on seeded dice, as --fights, --seed and --target-error do, instead of "
                  "answering exactly")
        ->disable_flag_override();
}

std::string checkMethodOptions(const Arguments& args) {
    if (args.exact && args.sampled) return "--exact and --sampled cannot be combined";
    if (!args.exact) return "";
    if (args.fights) return "--exact cannot be combined with --fights";
    if (args.seed) return "--exact cannot be combined with --seed";
    if (args.targetError) return "--exact cannot be combined with --target-error";
    return "";
}

bool wantsSampling(const Arguments& args) {
    return args.sampled || args.fights || args.seed || args.targetError;
}

bool sampleInstead(const Arguments& args, const analysis::ExactRefusal& declined) {
    if (args.exact) {
        printError("no exact answer: " + declined.message());
        return false;
    }
    std::fprintf(stderr, "skarn-cli: sampled, as exact odds cannot answer: %s\n",
                 declined.message().c_str());
    return true;
}

void addExact(Json& object, const analysis::ExactOutcome& outcome) {
    object["method"] = analysis::methodKey(analysis::Method::Exact);
    addMode(object, outcome.mode);
    const RunResults cut = report::cutResults(outcome);
    Json& results = object["results"] = Json::object();
    results["winPercent"] = number(cut.resultWinPercent);
    results["damageTaken"] = number(cut.resultDamageTaken);
    results["damageGiven"] = number(cut.resultDamageGiven);
    results["time"] = number(cut.resultTime);
    Json& intervals = object["ci95"] = Json::object();
    for (const Result result : kResults) intervals[analysis::resultKey(result)] = nullptr;
}

Json exactJson(const analysis::ExactOutcome& outcome, bool laws) {
    Json json = Json::object();
    for (const Result result : kResults)
        json[analysis::resultKey(result)] = figureJson(outcome.figure(result), &ExactFigure::mean);
    Json& sd = json["sd"] = Json::object();
    for (const Result result : kResults)
        sd[analysis::resultKey(result)] = figureJson(outcome.figure(result), &ExactFigure::sd);
    json["unaccounted"] = number(outcome.odds.unaccounted);
    if (!laws) return json;

    struct Law {
        const char* key;
        const char* unit;
        const ExactLaw* law;
        const analysis::ExactPercentiles* percentiles;
    };
    const Law all[] = {
        {"damageGiven", "damage", &outcome.odds.damageGivenLaw, &outcome.damageGiven},
        {"damageTaken", "damage", &outcome.odds.damageTakenLaw, &outcome.damageTaken},
        {"time", "seconds", &outcome.odds.timeLaw, &outcome.time},
    };
    Json& distributions = json["distributions"] = Json::object();
    for (const Law& law : all) {
        Json& one = distributions[law.key] = Json::object();
        one["unit"] = law.unit;
        Json values = Json::array();
        Json probabilities = Json::array();
        for (const ExactPoint& point : *law.law) {
            values.push_back(number(point.value));
            probabilities.push_back(number(point.probability));
        }
        one["values"] = std::move(values);
        one["probabilities"] = std::move(probabilities);
    }
    Json& percentiles = json["percentiles"] = Json::object();
    for (const Law& law : all) {
        if (law.law->empty()) {
            percentiles[law.key] = nullptr;
            continue;
        }
        Json& one = percentiles[law.key] = Json::object();
        one["p5"] = number(law.percentiles->p5);
        one["p50"] = number(law.percentiles->p50);
        one["p95"] = number(law.percentiles->p95);
    }
    return json;
}

}  // namespace skarn::cli
