#include "cli/commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/csv.h"
#include "analysis/engine.h"
#include "analysis/fighter.h"
#include "analysis/outcome.h"
#include "analysis/report_words.h"
#include "analysis/rank.h"
#include "analysis/scale.h"
#include "cli/data_files.h"
#include "cli/json_output.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "cli/text.h"
#include "data/records.h"
#include "model/equipment.h"
#include "model/lookup.h"
#include "model/modes.h"
#include "model/run_check.h"
#include "model/sections.h"
#include "model/stats.h"

namespace skarn::cli {

namespace {

using model::Fighter;
using analysis::Interval;
using analysis::Outcome;
using analysis::RankBy;
using analysis::Result;
using analysis::RunSettings;
using analysis::StoredCharacter;
using analysis::Variant;
using model::modeCaption;
using model::modeName;
using model::quoteName;

// Runs expected to last longer than this are announced on stderr.
constexpr double kAnnounceSeconds = 10.0;
// The most fights of a run with a target error, unless --fights says.
constexpr std::int64_t kTargetFightCap = 10'000'000;

void printOut(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void printError(const std::string& message) {
    std::fprintf(stderr, "skarn-cli: %s\n", message.c_str());
}

void printWarnings(const std::vector<std::string>& warnings) {
    std::set<std::string> shown;
    for (const std::string& warning : warnings) {
        if (shown.insert(warning).second)
            std::fprintf(stderr, "skarn-cli: warning: %s\n", warning.c_str());
    }
}

// ---- list ------------------------------------------------------------------

struct WeaponListing {
    std::string name;
    std::optional<std::int32_t> stats[5];  // speed, diceCount, diceSides, damageBonus, hands
};

struct Listing {
    std::optional<std::vector<std::string>> characters[2];  // YourChars, OppChars
    std::optional<std::vector<WeaponListing>> weapons[kWeaponTypeCount];
    std::optional<std::vector<std::pair<std::string, std::optional<std::int32_t>>>> shields;
};

// Every list in file order, as the window's lists receive it. Each statistic
// is looked up on its own, so one unreadable field hides no other.
Listing readListing(DataFiles& files) {
    Listing listing;
    listing.characters[0] = model::sectionNames(files.characters, kYourChars);
    listing.characters[1] = model::sectionNames(files.characters, kOppChars);
    for (int type = 0; type < kWeaponTypeCount; ++type) {
        const std::string_view section = weaponSection(type);
        const auto names = model::weaponNames(files.equipment, section);
        if (!names) continue;
        auto& weapons = listing.weapons[type].emplace();
        for (const std::string& name : *names) {
            WeaponListing weapon{name, {}};
            for (int field = 1; field <= 5; ++field) {
                std::int32_t value = 0;
                if (files.equipment.lookupInt(section, name, field, value))
                    weapon.stats[field - 1] = value;
            }
            weapons.push_back(weapon);
        }
    }
    if (const auto names = model::sectionNames(files.equipment, kShields)) {
        auto& shields = listing.shields.emplace();
        for (const std::string& name : *names) {
            const model::ShieldLookup shield = model::lookupShield(files.equipment, name);
            shields.emplace_back(name, shield.read ? std::optional(shield.absorb) : std::nullopt);
        }
    }
    return listing;
}

std::string statText(const std::optional<std::int32_t>& value) {
    return value ? std::to_string(*value) : "?";
}

Json statJson(const std::optional<std::int32_t>& value) {
    return value ? Json(*value) : Json(nullptr);
}

std::string listText(const Listing& listing, DataFiles& files) {
    std::string out = "Characters (" + files.characters.fileName() + ")\n";
    const std::string_view charSections[] = {kYourChars, kOppChars};
    for (int side = 0; side < 2; ++side) {
        out += "  [" + std::string(charSections[side]) + "]";
        if (!listing.characters[side]) {
            out += "  no such section\n";
            continue;
        }
        out += "\n";
        for (const std::string& name : *listing.characters[side]) out += "    " + quoteName(name) + "\n";
    }

    out += "\nWeapons (" + files.equipment.fileName() + ")\n";
    for (int type = 0; type < kWeaponTypeCount; ++type) {
        out += "  [" + std::string(weaponSection(type)) + "]";
        if (!listing.weapons[type]) {
            out += "  no such section\n";
            continue;
        }
        out += "\n";
        std::vector<std::vector<std::string>> rows{{"name", "speed", "dice", "bonus", "hands"}};
        for (const WeaponListing& weapon : *listing.weapons[type]) {
            rows.push_back({quoteName(weapon.name), statText(weapon.stats[0]),
                            statText(weapon.stats[1]) + "d" + statText(weapon.stats[2]),
                            statText(weapon.stats[3]), statText(weapon.stats[4])});
        }
        if (rows.size() > 1) out += formatTable(rows, {1, 2, 3, 4}, 4);
    }

    out += "\nShields (" + files.equipment.fileName() + ")\n  [Shields]";
    if (!listing.shields) {
        out += "  no such section\n";
    } else {
        out += "\n";
        std::vector<std::vector<std::string>> rows{{"name", "absorb"}};
        for (const auto& [name, absorb] : *listing.shields)
            rows.push_back({quoteName(name), statText(absorb)});
        if (rows.size() > 1) out += formatTable(rows, {1}, 4);
    }
    return out;
}

std::string listJson(const Listing& listing) {
    Json json = Json::object();
    Json& characters = json["characters"] = Json::object();
    const std::string_view charSections[] = {kYourChars, kOppChars};
    for (int side = 0; side < 2; ++side) {
        Json& names = characters[std::string(charSections[side])] = Json::array();
        if (listing.characters[side])
            for (const std::string& name : *listing.characters[side]) names.push_back(text(name));
    }

    Json& weapons = json["weapons"] = Json::object();
    static constexpr const char* kStatNames[] = {"speed", "diceCount", "diceSides",
                                                 "damageBonus", "hands"};
    for (int type = 0; type < kWeaponTypeCount; ++type) {
        Json& section = weapons[std::string(weaponSection(type))] = Json::array();
        if (!listing.weapons[type]) continue;
        for (const WeaponListing& weapon : *listing.weapons[type]) {
            Json entry = Json::object();
            entry["name"] = text(weapon.name);
            for (int k = 0; k < 5; ++k) entry[kStatNames[k]] = statJson(weapon.stats[k]);
            section.push_back(std::move(entry));
        }
    }

    Json& shields = json["shields"] = Json::array();
    if (listing.shields) {
        for (const auto& [name, absorb] : *listing.shields) {
            Json entry = Json::object();
            entry["name"] = text(name);
            entry["absorb"] = statJson(absorb);
            shields.push_back(std::move(entry));
        }
    }
    return printed(json);
}

// ---- the fighters ------------------------------------------------------------

struct Matchup {
    StoredCharacter you, opp;
};

bool loadMatchup(DataFiles& files, const Arguments& args, Matchup& matchup) {
    std::string error;
    if (!analysis::loadCharacter(files.characters, kYourChars, *args.you, matchup.you, error) ||
        !analysis::loadCharacter(files.characters, kOppChars, *args.opp, matchup.opp, error)) {
        printError(error);
        return false;
    }
    return true;
}

// The reason the fighters cannot be run, as a message, or nothing.
std::optional<std::string> refusal(const Fighter& you, const Fighter& opp, FightMode mode,
                                   std::int64_t fights) {
    const auto fault = model::findRunFault(you, opp, mode, fights);
    if (!fault) return std::nullopt;
    return "cannot simulate " + quoteName(you.name) + " against " + quoteName(opp.name) + ": " +
           fault->message();
}

// Both fighters armed as the window arms them, with the command line's
// weapons and shields; the errors and warnings are printed.
bool armMatchup(DataFiles& files, const Arguments& args, Fighter& you, Fighter& opp,
                std::int64_t fights) {
    Matchup matchup;
    if (!loadMatchup(files, args, matchup)) return false;
    std::string error;
    std::vector<std::string> warnings;
    if (!analysis::equipFighter(files.equipment, matchup.you, args.youWeapon, args.youShield, you,
                                error, warnings) ||
        !analysis::equipFighter(files.equipment, matchup.opp, args.oppWeapon, args.oppShield, opp,
                                error, warnings)) {
        printError(error);
        return false;
    }
    if (const auto refused = refusal(you, opp, args.mode, fights)) {
        printError(*refused);
        return false;
    }
    printWarnings(warnings);
    return true;
}

std::string durationText(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(seconds));
    if (whole >= 3600)
        return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
    if (whole >= 60) return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    return std::to_string(whole) + " s";
}

// Refuses a run expected to outlast --max-seconds, and announces one
// expected to take more than ten seconds.
bool checkExpectedTime(const Arguments& args, const std::vector<Variant>& variants,
                       std::int64_t fights, int threads) {
    const double seconds = analysis::expectedSeconds(variants, args.mode, fights, threads);
    char figure[64];
    std::snprintf(figure, sizeof figure, "%.1f", seconds);
    if (args.maxSeconds && seconds > *args.maxSeconds) {
        char limit[64];
        std::snprintf(limit, sizeof limit, "%g", *args.maxSeconds);
        printError(std::string("refusing to start: the run would take about ") + figure +
                   " s, more than --max-seconds " + limit);
        return false;
    }
    if (seconds > kAnnounceSeconds) {
        std::fprintf(stderr, "skarn-cli: this will take %sabout %s (%lld fights%s)\n",
                     args.targetError ? "up to " : "", durationText(seconds).c_str(),
                     static_cast<long long>(fights * static_cast<std::int64_t>(variants.size())),
                     variants.size() > 1 ? " in all" : "");
    }
    return true;
}

std::uint32_t seedOf(const Arguments& args) {
    // The generator's state is 32 bits; the time is taken modulo 2^32.
    return args.seed ? *args.seed : static_cast<std::uint32_t>(std::time(nullptr));
}

std::int64_t fightsOf(const Arguments& args, std::int64_t usual) {
    if (args.fights) return *args.fights;
    return args.targetError ? kTargetFightCap : usual;
}

RunSettings settingsOf(const Arguments& args, std::int64_t fights, Progress& progress) {
    RunSettings settings;
    settings.mode = args.mode;
    settings.seed = seedOf(args);
    settings.fights = fights;
    settings.threads = args.threads;
    settings.targetError = args.targetError;
    settings.targetResult = args.targetResult;
    settings.progress = progress.callback();
    return settings;
}

std::string intervalText(const std::optional<Interval>& interval, std::int64_t fights) {
    if (!interval) return fights < 2 ? "n/a (one fight)" : "not counted in this mode";
    return "[" + fixed2(interval->low) + ", " + fixed2(interval->high) + "]";
}

// A number with `decimals` decimals, with its sign: "+" above 0, none at
// exactly 0.
std::string signedFixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return (value > 0.0 ? "+" : "") + std::string(text);
}

std::string signed2(double value) { return signedFixed(value, 2); }

std::string signedInterval(const std::optional<Interval>& interval) {
    if (!interval) return "";
    return "[" + signed2(interval->low) + ", " + signed2(interval->high) + "]";
}

// ---- run and outcome -----------------------------------------------------------

std::string weaponText(const Fighter& f) {
    return quoteName(f.weaponName) + " (" + std::string(kWeaponTypeNames[f.weaponType]) + ")";
}

std::string damageText(const model::WeaponStats& w) {
    std::string text = std::to_string(w.diceCount) + "d" + std::to_string(w.diceSides);
    if (w.damageBonus > 0) text += "+" + std::to_string(w.damageBonus);
    if (w.damageBonus < 0) text += std::to_string(w.damageBonus);
    return text;
}

std::string shieldText(const Fighter& f) {
    if (f.hasShield) return quoteName(f.shieldName);
    return f.shieldDroppedForHands ? "none (two-handed weapon)" : "none";
}

std::string runText(const Outcome& outcome, const Fighter& you, const Fighter& opp) {
    const FightMode mode = outcome.mode;
    const std::int64_t fights = outcome.fights;
    std::string out = "seed " + std::to_string(outcome.seed) + ", mode " + modeName(mode) + " (" +
                      modeCaption(mode) + "), " + std::to_string(fights) + " fights\n\n";
    const auto hitPoints = [](const Fighter& f) {
        return std::to_string(f.hitPoints.value) + (f.hitPoints.stored ? "" : " (Str.)");
    };
    const auto absorb = [](const Fighter& f) {
        return f.hasShield ? std::to_string(f.shieldAbsorb) : "-";
    };
    std::vector<std::vector<std::string>> fighters = {
        {"", "You", "Opponent"},
        {"name", quoteName(you.name), quoteName(opp.name)},
    };
    for (const model::Stat stat : model::kStats) {
        fighters.push_back({model::statInfo(stat).caption, std::to_string(you.stats[stat]),
                            std::to_string(opp.stats[stat])});
    }
    const std::vector<std::vector<std::string>> rest = {
        {"hit points", hitPoints(you), hitPoints(opp)},
        {"weapon", weaponText(you), weaponText(opp)},
        {"speed", std::to_string(you.weapon.speed), std::to_string(opp.weapon.speed)},
        {"damage", damageText(you.weapon), damageText(opp.weapon)},
        {"hands", std::to_string(you.weapon.hands), std::to_string(opp.weapon.hands)},
        {"shield", shieldText(you), shieldText(opp)},
        {"absorb", absorb(you), absorb(opp)},
    };
    fighters.insert(fighters.end(), rest.begin(), rest.end());
    out += formatTable(fighters, {});

    // The results are cut as the Results dialog cuts them; the intervals
    // surround the unrounded means, shown beside them.
    const RunResults& r = outcome.results;
    const analysis::RunIntervals& ci = outcome.intervals;
    const RunTotals& t = outcome.totals;
    const double n = static_cast<double>(fights);
    std::vector<std::vector<std::string>> results = {
        {"", "result", "mean", "95% interval"},
        {"Your Win %:", resultText(r.resultWinPercent),
         mode == ToTheDeath ? fixed2(t.winCount * 100.0 / n) : "-",
         intervalText(ci.winPercent, fights)},
        {"Damage Taken", resultText(r.resultDamageTaken), fixed2(t.damageTakenSum / n),
         intervalText(ci.damageTaken, fights)},
        {"Damage Given", resultText(r.resultDamageGiven), fixed2(t.damageGivenSum / n),
         intervalText(ci.damageGiven, fights)},
        {"Time in seconds", resultText(r.resultTime), fixed2(t.tickSum / n / 100.0),
         intervalText(ci.time, fights)},
    };
    out += "\n" + formatTable(results, {1, 2});
    return out;
}

constexpr const char* kHistogramTitles[] = {"Damage given per fight", "Damage taken per fight",
                                            "Fight time in seconds"};

std::string histogramsText(const std::array<analysis::Histogram, 3>& histograms) {
    std::string out;
    for (std::size_t h = 0; h < 3; ++h) {
        const analysis::Histogram& histogram = histograms[h];
        const auto shown = [h](double value) { return resultText(h == 2 ? value / 100.0 : value); };
        const auto percentile = [h](double value) { return fixed2(h == 2 ? value / 100.0 : value); };
        const analysis::Percentiles p = analysis::percentilesOf(histogram);
        out += "\n" + std::string(kHistogramTitles[h]) + " (5th, 50th, 95th percentile: " +
               percentile(p.p5) + ", " + percentile(p.p50) + ", " + percentile(p.p95) + ")\n";
        int first = 0;
        int last = histogram.bins() - 1;
        while (first < last && histogram.count(first) == 0) ++first;
        while (last > first && histogram.count(last) == 0) --last;
        std::int64_t largest = 1;
        for (int k = first; k <= last; ++k) largest = std::max(largest, histogram.count(k));
        std::vector<std::vector<std::string>> rows;
        if (histogram.below() > 0)
            rows.push_back({"below " + shown(static_cast<double>(histogram.edge(0))), "",
                            std::to_string(histogram.below()), ""});
        for (int k = first; k <= last; ++k) {
            const std::int64_t count = histogram.count(k);
            const auto bar = static_cast<std::size_t>(
                count == 0 ? 0 : std::max<std::int64_t>(1, count * 40 / largest));
            rows.push_back({shown(static_cast<double>(histogram.edge(k))),
                            "to " + shown(static_cast<double>(histogram.edge(k + 1))),
                            std::to_string(count), std::string(bar, '#')});
        }
        if (histogram.above() > 0)
            rows.push_back({"from " + shown(static_cast<double>(histogram.edge(histogram.bins()))),
                            "", std::to_string(histogram.above()), ""});
        out += formatTable(rows, {0, 2}, 2);
    }
    return out;
}

Result targetResultOf(const Arguments& args) {
    return args.targetResult.value_or(analysis::mainResult(args.mode));
}

Json targetJson(const Arguments& args, bool reached, std::int64_t cap) {
    Json json = Json::object();
    json["result"] = analysis::resultKey(targetResultOf(args));
    json["error"] = number(*args.targetError);
    json["reached"] = reached;
    json["maxFights"] = cap;
    return json;
}

std::string targetText(const Arguments& args, bool reached, std::int64_t fights, std::int64_t cap) {
    char error[32];
    std::snprintf(error, sizeof error, "%g", *args.targetError);
    const Result result = targetResultOf(args);
    const std::string within = result == Result::WinPercent
                                   ? std::string("+-") + error + " points"
                                   : std::string("+-") + error + "% of the mean";
    return "\nTarget " + within + " for " + report::resultCaption(result) + ": " +
           (reached ? "reached after " + std::to_string(fights) + " fights"
                    : "not reached within " + std::to_string(cap) + " fights") +
           "\n";
}

// `run` (one generator chain) and `outcome` (per-fight streams).
int runMatchup(DataFiles& files, const Arguments& args, bool streams) {
    const std::int64_t fights = fightsOf(args, 2187);
    Fighter you, opp;
    if (!armMatchup(files, args, you, opp, fights)) return kExitFailure;
    if (!checkExpectedTime(args, {analysis::variantOf(you, opp)}, fights,
                           streams ? args.threads : 1))
        return kExitFailure;

    Outcome outcome;
    {
        Progress progress;
        const RunSettings settings = settingsOf(args, fights, progress);
        outcome = streams ? analysis::analyseOutcome(you, opp, settings)
                          : analysis::runChain(you, opp, settings, args.histogram);
    }
    const bool histograms = outcome.histograms.has_value();
    if (args.json) {
        Json json = Json::object();
        addRun(json, outcome);
        json["you"] = fighter(you);
        json["opp"] = fighter(opp);
        if (args.targetError) json["target"] = targetJson(args, outcome.targetReached, fights);
        if (histograms) {
            json["histograms"] = cli::histograms(*outcome.histograms);
            json["percentiles"] = percentiles(*outcome.histograms);
        }
        printOut(printed(json));
    } else if (args.csv) {
        printOut(analysis::outcomeCsv(outcome));
    } else {
        std::string out = runText(outcome, you, opp);
        if (args.targetError) out += targetText(args, outcome.targetReached, outcome.fights, fights);
        if (histograms) out += histogramsText(*outcome.histograms);
        printOut(out);
    }
    return kExitOk;
}

// ---- rank ------------------------------------------------------------------

std::string bar(double value, double largest) {
    constexpr int kWidth = 30;
    if (!(largest > 0.0) || value <= 0.0) return "";
    const int length = std::max(1, static_cast<int>(value / largest * kWidth + 0.5));
    return std::string(static_cast<std::size_t>(std::min(length, kWidth)), '#');
}

int runRank(DataFiles& files, const Arguments& args) {
    const std::int64_t fights = fightsOf(args, 2187);
    Matchup matchup;
    if (!loadMatchup(files, args, matchup)) return kExitFailure;
    std::string error;
    std::vector<std::string> warnings;
    Fighter opp;
    if (!analysis::equipFighter(files.equipment, matchup.opp, args.oppWeapon, args.oppShield, opp,
                                error, warnings)) {
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
    } else if (!analysis::equipFighter(files.equipment, matchup.you, args.youWeapon,
                                       std::string(NoneEntry), base, error, warnings)) {
        printError(error);
        return kExitFailure;
    }
    std::vector<analysis::Candidate> candidates;
    if (!analysis::rankCandidates(files.equipment, base, opp, by, args.allTypes, args.mode,
                                  fights, candidates, error, warnings)) {
        printWarnings(warnings);
        printError(error);
        return kExitFailure;
    }
    printWarnings(warnings);

    std::vector<Variant> variants;
    for (const analysis::Candidate& c : candidates) variants.push_back(analysis::variantOf(c.you, opp));
    if (!checkExpectedTime(args, variants, fights, args.threads)) return kExitFailure;

    analysis::Ranking ranking;
    RunSettings settings;
    {
        Progress progress;
        settings = settingsOf(args, fights, progress);
        ranking = analysis::rank(candidates, opp, by, settings);
        settings.progress = {};
    }
    const bool byWeapon = by == RankBy::Weapon;
    const char* what = byWeapon ? "weapon" : "shield";
    const Result result = ranking.result;
    const std::int64_t used = ranking.fights;

    const auto outcomeOf = [&](const analysis::RankEntry& entry) {
        Outcome outcome;
        outcome.seed = settings.seed;
        outcome.mode = args.mode;
        outcome.fights = used;
        outcome.totals = entry.sums.totals();
        outcome.results = resultsOf(outcome.totals, used);
        outcome.intervals = entry.sums.intervals(args.mode);
        return outcome;
    };
    const auto label = [&](const analysis::RankEntry& entry) {
        const Fighter& you = entry.candidate.you;
        std::string text = entry.candidate.name == NoneEntry ? "none" : quoteName(entry.candidate.name);
        if (byWeapon && args.allTypes) text += " (" + std::string(kWeaponTypeNames[you.weaponType]) + ")";
        if (you.shieldDroppedForHands) text += " (no shield: two hands)";
        return text;
    };

    if (args.json) {
        Json rows = Json::array();
        for (std::size_t i = 0; i < ranking.entries.size(); ++i) {
            const analysis::RankEntry& entry = ranking.entries[i];
            Json row = Json::object();
            row["rank"] = static_cast<std::int64_t>(i + 1);
            row[what] = text(entry.candidate.name);
            Json& measure = row["measure"] = Json::object();
            measure["name"] = analysis::resultKey(result);
            measure["value"] = number(entry.value);
            measure["low"] = entry.interval ? number(entry.interval->low) : Json(nullptr);
            measure["high"] = entry.interval ? number(entry.interval->high) : Json(nullptr);
            row["versusBest"] = interval(entry.versusBest);
            addRun(row, outcomeOf(entry));
            row["you"] = fighter(entry.candidate.you);
            row["opp"] = fighter(opp);
            if (args.targetError) row["target"] = targetJson(args, ranking.targetReached, fights);
            rows.push_back(std::move(row));
        }
        printOut(printed(rows));
        return kExitOk;
    }
    if (args.csv) {
        printOut(analysis::rankingCsv(ranking, by));
        return kExitOk;
    }

    const bool lower = analysis::lowerIsBetter(result);
    const std::string caption = result == Result::Time ? "seconds to fell" : report::resultCaption(result);
    std::string out = "Ranking " + std::string(what) + "s for " + quoteName(matchup.you.name) +
                      " against " + quoteName(opp.name) + ": seed " +
                      std::to_string(settings.seed) + ", mode " + modeName(args.mode) + ", " +
                      std::to_string(used) + " fights each, " + (lower ? "lowest" : "highest") +
                      " " + caption + " first\n\n";
    double largest = 0.0;
    for (const analysis::RankEntry& e : ranking.entries) largest = std::max(largest, e.value);
    std::vector<std::vector<std::string>> rows{
        {"#", what, caption, "95% interval", "vs best", "95% interval", ""}};
    for (std::size_t i = 0; i < ranking.entries.size(); ++i) {
        const analysis::RankEntry& e = ranking.entries[i];
        const bool best = i == 0;
        rows.push_back({std::to_string(i + 1), label(e), fixed2(e.value),
                        intervalText(e.interval, used),
                        best ? "best" : e.versusBest ? signed2(e.versusBest->mean) : "",
                        best ? "" : signedInterval(e.versusBest), bar(e.value, largest)});
    }
    out += formatTable(rows, {0, 2, 4});
    if (args.targetError) out += targetText(args, ranking.targetReached, used, fights);
    printOut(out);
    return kExitOk;
}

// ---- scale -----------------------------------------------------------------

std::string perDeltaText(const analysis::StatScale& s, std::int32_t delta, Result result) {
    if (!s.perPoint) return "";
    const double change = s.perPoint->mean * delta;
    const std::string unit = result == Result::WinPercent ? " % win"
                             : result == Result::Time    ? " s to fell"
                                                         : " " + std::string(report::resultCaption(result));
    return "+" + std::to_string(delta) + " " + model::statInfo(s.stat).caption + " ~ " +
           signed2(change) + unit;
}

int runScale(DataFiles& files, const Arguments& args) {
    const std::int64_t fights = fightsOf(args, 50'000);
    Fighter you, opp;
    if (!armMatchup(files, args, you, opp, fights)) return kExitFailure;
    if (!checkExpectedTime(args, analysis::scaleVariants(you, opp, args.delta, args.mode, fights),
                           fights, args.threads))
        return kExitFailure;

    analysis::Scale scale;
    RunSettings settings;
    {
        Progress progress;
        settings = settingsOf(args, fights, progress);
        scale = analysis::scaleStats(you, opp, args.delta, settings);
    }
    const Result result = scale.result;
    const auto baseInterval =
        analysis::intervalOf(scale.base.intervals(args.mode), result);
    std::vector<std::string> notes;
    for (const analysis::StatScale& s : scale.stats) {
        const char* caption = model::statInfo(s.stat).caption;
        if (!s.refused.empty()) notes.push_back(std::string(caption) + " not scaled: " + s.refused);
        if (s.oneSided()) {
            notes.push_back(std::string(caption) + " " + std::to_string(s.value) +
                            " is at the end of its range: compared with " +
                            std::to_string(s.low == s.value ? s.high : s.low) +
                            " only (one-sided)");
        }
        if (s.hitPointsFollow) {
            notes.push_back("Str.: " + quoteName(you.name) +
                            " has no stored hit points, so its hit points are its Str. and "
                            "change with it");
        }
    }

    if (args.json) {
        Json json = Json::object();
        json["seed"] = settings.seed;
        json["mode"] = static_cast<std::int32_t>(args.mode);
        json["fights"] = scale.fights;
        json["delta"] = scale.delta;
        json["result"] = analysis::resultKey(result);
        json["base"] = interval(baseInterval ? baseInterval
                                             : std::optional<Interval>(Interval{
                                                   scale.base.mean(result), scale.base.mean(result),
                                                   scale.base.mean(result)}));
        Json& stats = json["stats"] = Json::array();
        for (const analysis::StatScale& s : scale.stats) {
            Json stat = Json::object();
            stat["stat"] = model::statInfo(s.stat).jsonKey;
            stat["caption"] = model::statInfo(s.stat).caption;
            stat["value"] = s.value;
            stat["low"] = s.low;
            stat["high"] = s.high;
            stat["oneSided"] = s.oneSided();
            stat["hitPointsFollow"] = s.hitPointsFollow;
            stat["perPoint"] = interval(s.perPoint);
            stat["refused"] = s.refused.empty() ? Json(nullptr) : text(s.refused);
            stats.push_back(std::move(stat));
        }
        json["you"] = fighter(you);
        json["opp"] = fighter(opp);
        printOut(printed(json));
        return kExitOk;
    }
    if (args.csv) {
        printOut(analysis::scaleCsv(scale));
        return kExitOk;
    }

    const std::string what = result == Result::Time ? "seconds to fell the Opponent"
                             : result == Result::WinPercent
                                 ? "win %"
                                 : "damage given per fight (60 s)";
    std::string out = "Scale factors for " + quoteName(you.name) + " against " +
                      quoteName(opp.name) + ": seed " + std::to_string(settings.seed) + ", mode " +
                      modeName(args.mode) + ", " + std::to_string(scale.fights) +
                      " fights each, +-" + std::to_string(scale.delta) + " points\n";
    out += "Now: " + what + " " + fixed2(scale.base.mean(result)) + " " +
           intervalText(baseInterval, scale.fights) + "\n\n";
    // Enough decimals for three significant digits of the largest factor.
    double largest = 0.0;
    for (const analysis::StatScale& s : scale.stats)
        if (s.perPoint) largest = std::max(largest, std::fabs(s.perPoint->mean));
    const int decimals =
        largest > 0.0 ? std::clamp(2 - static_cast<int>(std::floor(std::log10(largest))), 2, 6) : 2;
    const auto factor = [decimals](double value) { return signedFixed(value, decimals); };
    std::vector<std::vector<std::string>> rows{
        {"#", "stat", "value", "tried", "per point", "95% interval", ""}};
    for (std::size_t i = 0; i < scale.stats.size(); ++i) {
        const analysis::StatScale& s = scale.stats[i];
        rows.push_back({std::to_string(i + 1), model::statInfo(s.stat).caption,
                        std::to_string(s.value),
                        std::to_string(s.low) + ".." + std::to_string(s.high),
                        s.perPoint ? factor(s.perPoint->mean) : "-",
                        s.perPoint ? "[" + factor(s.perPoint->low) + ", " +
                                         factor(s.perPoint->high) + "]"
                                   : "",
                        perDeltaText(s, scale.delta, result)});
    }
    out += formatTable(rows, {0, 2, 4});
    if (!notes.empty()) {
        out += "\n";
        for (const std::string& note : notes) out += note + "\n";
    }
    printOut(out);
    return kExitOk;
}

}  // namespace

int runCommandLine(int argc, const char* const* argv) {
    const ParseResult parsed = parseArguments(argc, argv);
    if (parsed.done) {
        if (!parsed.error.empty()) printError(parsed.error);
        printOut(parsed.output);
        return parsed.status;
    }
    const Arguments& args = parsed.arguments;
    if (args.command == Command::Completion) {
        printOut(bashCompletion());
        return kExitOk;
    }

    std::string error;
    const auto files = DataFiles::open(args.dataDir, error);
    if (!files) {
        printError(error);
        return kExitFailure;
    }
    int status = kExitOk;
    switch (args.command) {
    case Command::List: {
        const Listing listing = readListing(*files);
        printOut(args.json ? listJson(listing) : listText(listing, *files));
        break;
    }
    case Command::Run: status = runMatchup(*files, args, false); break;
    case Command::Outcome: status = runMatchup(*files, args, true); break;
    case Command::Rank: status = runRank(*files, args); break;
    case Command::Scale: status = runScale(*files, args); break;
    case Command::Completion: break;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printError("cannot write the output");
        return kExitFailure;
    }
    return status;
}

}  // namespace skarn::cli
