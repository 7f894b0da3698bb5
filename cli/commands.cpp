#include "cli/commands.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/fighter.h"
#include "cli/interval.h"
#include "cli/json_writer.h"
#include "cli/progress.h"
#include "cli/text.h"
#include "combat/fight.h"
#include "combat/random.h"
#include "data/records.h"

namespace skarn::cli {

namespace {

void printOut(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void printError(const std::string& message) {
    std::fprintf(stderr, "skarn-cli: %s\n", message.c_str());
}

void printWarnings(const std::vector<std::string>& warnings) {
    std::set<std::string> shown;
    for (const std::string& warning : warnings) {
        if (shown.insert(warning).second) std::fprintf(stderr, "skarn-cli: warning: %s\n",
                                                       warning.c_str());
    }
}

const char* modeCaption(FightMode mode) {
    switch (mode) {
    case DamagePer60Seconds: return "Find damage per 60 seconds";
    case ToDeathOfOpponent: return "Fight to the death of the opponent";
    case ToTheDeath: return "Fight to the death";
    }
    return "";
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
    listing.characters[0] = listSection(files.characters, kYourChars, false);
    listing.characters[1] = listSection(files.characters, kOppChars, false);
    for (int type = 0; type < kWeaponTypeCount; ++type) {
        const std::string_view section = weaponSection(type);
        const auto names = listSection(files.equipment, section, true);
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
    if (const auto names = listSection(files.equipment, kShields, false)) {
        auto& shields = listing.shields.emplace();
        for (const std::string& name : *names) {
            std::int32_t absorb = 0;
            std::optional<std::int32_t> value;
            if (files.equipment.lookupInt(kShields, name, ShieldRecord::absorb, absorb))
                value = absorb;
            shields.emplace_back(name, value);
        }
    }
    return listing;
}

std::string statText(const std::optional<std::int32_t>& value) {
    return value ? std::to_string(*value) : "?";
}

std::string listText(const Listing& listing, const DataFiles& files) {
    std::string out = "Characters (" + files.charPath + ")\n";
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

    out += "\nWeapons (" + files.equiPath + ")\n";
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

    out += "\nShields (" + files.equiPath + ")\n  [Shields]";
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
    JsonWriter json;
    json.beginObject();
    json.key("characters");
    json.beginObject();
    const std::string_view charSections[] = {kYourChars, kOppChars};
    for (int side = 0; side < 2; ++side) {
        json.key(charSections[side]);
        json.beginArray();
        if (listing.characters[side])
            for (const std::string& name : *listing.characters[side]) json.value(name);
        json.endArray();
    }
    json.endObject();

    json.key("weapons");
    json.beginObject();
    static constexpr const char* kStatNames[] = {"speed", "diceCount", "diceSides",
                                                 "damageBonus", "hands"};
    for (int type = 0; type < kWeaponTypeCount; ++type) {
        json.key(weaponSection(type));
        json.beginArray();
        if (listing.weapons[type]) {
            for (const WeaponListing& weapon : *listing.weapons[type]) {
                json.beginObject();
                json.key("name");
                json.value(weapon.name);
                for (int k = 0; k < 5; ++k) {
                    json.key(kStatNames[k]);
                    json.value(weapon.stats[k]);
                }
                json.endObject();
            }
        }
        json.endArray();
    }
    json.endObject();

    json.key("shields");
    json.beginArray();
    if (listing.shields) {
        for (const auto& [name, absorb] : *listing.shields) {
            json.beginObject();
            json.key("name");
            json.value(name);
            json.key("absorb");
            json.value(absorb);
            json.endObject();
        }
    }
    json.endArray();
    json.endObject();
    return json.text();
}

// ---- run -------------------------------------------------------------------

struct RunOutcome {
    RunResults results;
    RunTotals totals;
    RunSquares squares;
    RunIntervals intervals;
};

// One run of runFights on copies of the two fighters, with a generator of
// its own seeded with `seed`: the same seed meets the same dice.
RunOutcome simulate(const Fighter& you, const Fighter& opp, FightMode mode, std::int64_t fights,
                    std::uint32_t seed, const ProgressCallback& progress) {
    Combatant yourCombatant = you.combatant;
    Combatant oppCombatant = opp.combatant;
    Random rng(seed);
    RunOutcome outcome;
    outcome.results = runFights(yourCombatant, oppCombatant, you.hitPoints, opp.hitPoints, mode,
                                fights, outcome.totals, progress, rng, &outcome.squares);
    outcome.intervals = runIntervals(outcome.totals, outcome.squares, mode, fights);
    return outcome;
}

// The reason a run is refused, or nothing.
std::optional<std::string> refusal(const Fighter& you, const Fighter& opp, FightMode mode,
                                   std::int64_t fights) {
    const auto fault = findRunFault(you.combatant, opp.combatant, you.hitPoints, opp.hitPoints,
                                    mode, fights);
    if (!fault) return std::nullopt;
    return "cannot simulate " + quoteName(you.name) + " against " + quoteName(opp.name) + ": " +
           fault->message();
}

void writeInterval(JsonWriter& json, const std::optional<Interval>& interval) {
    if (!interval) {
        json.null();
        return;
    }
    json.beginObject();
    json.key("mean");
    json.value(interval->mean);
    json.key("low");
    json.value(interval->low);
    json.key("high");
    json.value(interval->high);
    json.endObject();
}

void writeFighter(JsonWriter& json, const Fighter& fighter) {
    const Combatant& c = fighter.combatant;
    json.beginObject();
    const std::pair<const char*, std::int32_t> numbers[] = {
        {"strength", c.strength},         {"dexterity", c.dexterity},
        {"armorRating", c.armorRating},   {"tactics", c.tactics},
        {"weaponSkill", c.weaponSkill},   {"parry", c.parry},
        {"weaponSpeed", c.weaponSpeed},   {"diceCount", c.diceCount},
        {"diceSides", c.diceSides},       {"damageBonus", c.damageBonus},
        {"shieldAbsorb", c.shieldAbsorb}, {"shieldIndex", c.shieldIndex},
    };
    json.key("name");
    json.value(fighter.name);
    for (const auto& [key, value] : numbers) {
        json.key(key);
        json.value(value);
    }
    json.key("hitPoints");
    json.value(fighter.hitPoints);
    json.key("weaponType");
    json.value(fighter.weaponType);
    json.key("weaponName");
    json.value(fighter.weaponName);
    json.key("shieldName");
    json.value(fighter.shieldName);
    json.endObject();
}

// The members of a run's JSON object, without its braces.
void writeRunMembers(JsonWriter& json, std::uint32_t seed, FightMode mode, std::int64_t fights,
                     const RunOutcome& outcome, const Fighter& you, const Fighter& opp) {
    json.key("seed");
    json.value(static_cast<std::int64_t>(seed));
    json.key("mode");
    json.value(static_cast<std::int64_t>(mode));
    json.key("fights");
    json.value(fights);

    const RunResults& r = outcome.results;
    json.key("results");
    json.beginObject();
    json.key("winPercent");
    json.value(r.resultWinPercent);
    json.key("damageTaken");
    json.value(r.resultDamageTaken);
    json.key("damageGiven");
    json.value(r.resultDamageGiven);
    json.key("time");
    json.value(r.resultTime);
    json.endObject();

    const RunTotals& t = outcome.totals;
    json.key("totals");
    json.beginObject();
    json.key("winCount");
    json.value(t.winCount);
    json.key("damageTakenSum");
    json.value(t.damageTakenSum);
    json.key("damageGivenSum");
    json.value(t.damageGivenSum);
    json.key("tickSum");
    json.value(t.tickSum);
    json.endObject();

    const RunIntervals& ci = outcome.intervals;
    json.key("ci95");
    json.beginObject();
    json.key("winPercent");
    writeInterval(json, ci.winPercent);
    json.key("damageTaken");
    writeInterval(json, ci.damageTaken);
    json.key("damageGiven");
    writeInterval(json, ci.damageGiven);
    json.key("time");
    writeInterval(json, ci.time);
    json.endObject();

    json.key("you");
    writeFighter(json, you);
    json.key("opp");
    writeFighter(json, opp);
}

std::string intervalText(const std::optional<Interval>& interval, std::int64_t fights) {
    if (!interval) return fights < 2 ? "n/a (one fight)" : "not counted in this mode";
    return "[" + fixed2(interval->low) + ", " + fixed2(interval->high) + "]";
}

std::string weaponText(const Fighter& f) {
    return quoteName(f.weaponName) + " (" + std::string(kWeaponTypeNames[f.weaponType]) + ")";
}

std::string damageText(const Combatant& c) {
    std::string text = std::to_string(c.diceCount) + "d" + std::to_string(c.diceSides);
    if (c.damageBonus > 0) text += "+" + std::to_string(c.damageBonus);
    if (c.damageBonus < 0) text += std::to_string(c.damageBonus);
    return text;
}

std::string shieldText(const Fighter& f) {
    if (f.combatant.shieldIndex >= 0) return quoteName(f.shieldName);
    return f.shieldDroppedForHands ? "none (two-handed weapon)" : "none";
}

std::string runText(std::uint32_t seed, FightMode mode, std::int64_t fights,
                    const RunOutcome& outcome, const Fighter& you, const Fighter& opp) {
    std::string out = "seed " + std::to_string(seed) + ", mode " + modeName(mode) + " (" +
                      modeCaption(mode) + "), " + std::to_string(fights) + " fights\n\n";
    const auto hitPoints = [](const Fighter& f) {
        return std::to_string(f.hitPoints) + (f.hitPointsStored ? "" : " (Str.)");
    };
    const auto absorb = [](const Fighter& f) {
        return f.combatant.shieldIndex >= 0 ? std::to_string(f.combatant.shieldAbsorb) : "-";
    };
    const Combatant& y = you.combatant;
    const Combatant& o = opp.combatant;
    std::vector<std::vector<std::string>> fighters = {
        {"", "You", "Opponent"},
        {"name", quoteName(you.name), quoteName(opp.name)},
        {"Str.", std::to_string(y.strength), std::to_string(o.strength)},
        {"Dex.", std::to_string(y.dexterity), std::to_string(o.dexterity)},
        {"A.R.", std::to_string(y.armorRating), std::to_string(o.armorRating)},
        {"W. Skill", std::to_string(y.weaponSkill), std::to_string(o.weaponSkill)},
        {"Tactics", std::to_string(y.tactics), std::to_string(o.tactics)},
        {"Parry", std::to_string(y.parry), std::to_string(o.parry)},
        {"hit points", hitPoints(you), hitPoints(opp)},
        {"weapon", weaponText(you), weaponText(opp)},
        {"speed", std::to_string(y.weaponSpeed), std::to_string(o.weaponSpeed)},
        {"damage", damageText(y), damageText(o)},
        {"hands", std::to_string(you.hands), std::to_string(opp.hands)},
        {"shield", shieldText(you), shieldText(opp)},
        {"absorb", absorb(you), absorb(opp)},
    };
    out += formatTable(fighters, {});

    // The results are cut as the Results dialog cuts them; the intervals
    // surround the unrounded means, shown beside them.
    const RunResults& r = outcome.results;
    const RunIntervals& ci = outcome.intervals;
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

// Loads and arms both fighters of a run or a ranking; prints the error and
// returns false when one cannot be resolved.
struct Matchup {
    StoredCharacter you, opp;
};

bool loadMatchup(DataFiles& files, const Arguments& args, Matchup& matchup) {
    std::string error;
    if (!loadCharacter(files, kYourChars, *args.you, matchup.you, error) ||
        !loadCharacter(files, kOppChars, *args.opp, matchup.opp, error)) {
        printError(error);
        return false;
    }
    return true;
}

std::uint32_t seedOf(const Arguments& args) {
    // The generator's state is 32 bits; the time is taken modulo 2^32.
    return args.seed ? *args.seed : static_cast<std::uint32_t>(std::time(nullptr));
}

int runRun(DataFiles& files, const Arguments& args) {
    Matchup matchup;
    if (!loadMatchup(files, args, matchup)) return kExitFailure;
    Fighter you, opp;
    std::string error;
    std::vector<std::string> warnings;
    if (!equipFighter(files, matchup.you, args.youWeapon, args.youShield, you, error, warnings) ||
        !equipFighter(files, matchup.opp, args.oppWeapon, args.oppShield, opp, error, warnings)) {
        printError(error);
        return kExitFailure;
    }
    if (const auto refused = refusal(you, opp, args.mode, args.fights)) {
        printError(*refused);
        return kExitFailure;
    }
    printWarnings(warnings);

    const std::uint32_t seed = seedOf(args);
    RunOutcome outcome;
    {
        Progress progress(args.fights);
        outcome = simulate(you, opp, args.mode, args.fights, seed, progress.callback());
    }
    if (args.json) {
        JsonWriter json;
        json.beginObject();
        writeRunMembers(json, seed, args.mode, args.fights, outcome, you, opp);
        json.endObject();
        printOut(json.text());
    } else {
        printOut(runText(seed, args.mode, args.fights, outcome, you, opp));
    }
    return kExitOk;
}

// ---- rank ------------------------------------------------------------------

struct Candidate {
    std::string name;  // the weapon or shield tried; "- none -" for no shield
    Fighter you;
    RunOutcome outcome;
    std::optional<Interval> measure;
    double value = 0.0;
};

enum class MeasureKind { WinPercent, Time, DamageGiven, DamageTaken };

struct Measure {
    MeasureKind kind;
    const char* key;      // in JSON
    const char* caption;  // in the table
    bool lowerIsBetter;
};

// Weapons are ranked by the measure of the mode. A shield changes only the
// blows that land on its bearer, so outside mode death, where it decides
// fights, shields are ranked by the damage taken: the damage given would
// differ between shields by chance alone.
Measure measureOf(FightMode mode, RankBy by) {
    if (mode == ToTheDeath) return {MeasureKind::WinPercent, "winPercent", "win %", false};
    if (by == RankBy::Shield)
        return {MeasureKind::DamageTaken, "damageTaken", "damage taken", true};
    if (mode == ToDeathOfOpponent)
        return {MeasureKind::Time, "time", "seconds to fell", true};
    return {MeasureKind::DamageGiven, "damageGiven", "damage given", false};
}

// The unrounded mean of the measure, and its interval.
void measure(Candidate& candidate, const Measure& m, std::int64_t fights) {
    const RunTotals& t = candidate.outcome.totals;
    const RunIntervals& ci = candidate.outcome.intervals;
    const double n = static_cast<double>(fights);
    switch (m.kind) {
    case MeasureKind::WinPercent:
        candidate.value = t.winCount * 100.0 / n;
        candidate.measure = ci.winPercent;
        break;
    case MeasureKind::Time:
        candidate.value = t.tickSum / n / 100.0;
        candidate.measure = ci.time;
        break;
    case MeasureKind::DamageGiven:
        candidate.value = t.damageGivenSum / n;
        candidate.measure = ci.damageGiven;
        break;
    case MeasureKind::DamageTaken:
        candidate.value = t.damageTakenSum / n;
        candidate.measure = ci.damageTaken;
        break;
    }
}

std::string bar(double value, double largest) {
    constexpr int kWidth = 30;
    if (!(largest > 0.0) || value <= 0.0) return "";
    const int length = std::max(1, static_cast<int>(value / largest * kWidth + 0.5));
    return std::string(static_cast<std::size_t>(std::min(length, kWidth)), '#');
}

int runRank(DataFiles& files, const Arguments& args) {
    Matchup matchup;
    if (!loadMatchup(files, args, matchup)) return kExitFailure;
    std::string error;
    std::vector<std::string> warnings;
    Fighter opp;
    if (!equipFighter(files, matchup.opp, args.oppWeapon, args.oppShield, opp, error, warnings)) {
        printError(error);
        return kExitFailure;
    }

    const bool byWeapon = *args.rankBy == RankBy::Weapon;
    std::vector<std::string> names;
    std::string what;  // for messages: "weapon" or "shield"
    if (byWeapon) {
        what = "weapon";
        const std::string_view section = weaponSection(matchup.you.weaponType);
        const auto listed = section.empty() ? std::nullopt
                                            : listSection(files.equipment, section, true);
        if (!listed) {
            // The same message as a run would give: no weapon type, or no section.
            Fighter unused;
            if (!equipFighter(files, matchup.you, std::nullopt, args.youShield, unused, error,
                              warnings))
                printError(error);
            else
                printError("no section [" + std::string(section) + "] in " + files.equiPath);
            return kExitFailure;
        }
        names = *listed;
    } else {
        what = "shield";
        Fighter base;
        if (!equipFighter(files, matchup.you, args.youWeapon, std::string(NoneEntry), base, error,
                          warnings)) {
            printError(error);
            return kExitFailure;
        }
        if (base.hands > 1) {
            printError("cannot rank shields: " + quoteName(base.weaponName) + " needs " +
                       std::to_string(base.hands) + " hands, so " + quoteName(base.name) +
                       " carries no shield");
            return kExitFailure;
        }
        const auto listed = listSection(files.equipment, kShields, true);
        if (listed) names = *listed;
        names.emplace_back(NoneEntry);
    }
    // A name listed twice is the same entry to every lookup: try it once.
    std::vector<std::string> unique;
    for (const std::string& name : names)
        if (std::find(unique.begin(), unique.end(), name) == unique.end()) unique.push_back(name);

    std::vector<Candidate> candidates;
    for (const std::string& name : unique) {
        Candidate candidate;
        candidate.name = name;
        std::string candidateError;
        const bool armed =
            byWeapon ? equipFighter(files, matchup.you, name, args.youShield, candidate.you,
                                    candidateError, warnings)
                     : equipFighter(files, matchup.you, args.youWeapon, name, candidate.you,
                                    candidateError, warnings);
        if (armed) {
            if (const auto refused = refusal(candidate.you, opp, args.mode, args.fights))
                candidateError = *refused;
        }
        if (!candidateError.empty()) {
            warnings.push_back("skipping " + what + " " + quoteName(name) + ": " + candidateError);
            continue;
        }
        candidates.push_back(std::move(candidate));
    }
    if (candidates.empty()) {
        printWarnings(warnings);
        printError("no " + what + " could be run against " + quoteName(opp.name));
        return kExitFailure;
    }
    printWarnings(warnings);

    const std::uint32_t seed = seedOf(args);
    const Measure m = measureOf(args.mode, *args.rankBy);
    {
        Progress progress(args.fights * static_cast<std::int64_t>(candidates.size()));
        const ProgressCallback callback = progress.callback();
        for (Candidate& candidate : candidates) {
            candidate.outcome =
                simulate(candidate.you, opp, args.mode, args.fights, seed, callback);
            measure(candidate, m, args.fights);
        }
    }
    // Equal win percentages (every fight won, say) are told apart by the
    // damage taken on the way; other ties keep the order of the file.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&m](const Candidate& a, const Candidate& b) {
                         if (a.value != b.value)
                             return m.lowerIsBetter ? a.value < b.value : a.value > b.value;
                         return m.kind == MeasureKind::WinPercent &&
                                a.outcome.totals.damageTakenSum < b.outcome.totals.damageTakenSum;
                     });

    if (args.json) {
        JsonWriter json;
        json.beginArray();
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const Candidate& c = candidates[i];
            json.beginObject();
            json.key("rank");
            json.value(static_cast<std::int64_t>(i + 1));
            json.key(what);
            json.value(c.name);
            json.key("measure");
            json.beginObject();
            json.key("name");
            json.value(m.key);
            json.key("value");
            json.value(c.value);
            json.key("low");
            if (c.measure) json.value(c.measure->low); else json.null();
            json.key("high");
            if (c.measure) json.value(c.measure->high); else json.null();
            json.endObject();
            writeRunMembers(json, seed, args.mode, args.fights, c.outcome, c.you, opp);
            json.endObject();
        }
        json.endArray();
        printOut(json.text());
        return kExitOk;
    }

    std::string out = "Ranking " + what + "s for " + quoteName(matchup.you.name) + " against " +
                      quoteName(opp.name) + ": seed " + std::to_string(seed) + ", mode " +
                      modeName(args.mode) + ", " + std::to_string(args.fights) +
                      " fights each, " + (m.lowerIsBetter ? "lowest" : "highest") + " " +
                      m.caption + " first\n\n";
    double largest = 0.0;
    for (const Candidate& c : candidates) largest = std::max(largest, c.value);
    std::vector<std::vector<std::string>> rows{{"#", what, m.caption, "95% interval", ""}};
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        std::string label = c.name == NoneEntry ? "none" : quoteName(c.name);
        if (c.you.shieldDroppedForHands) label += " (no shield: two hands)";
        rows.push_back({std::to_string(i + 1), label, fixed2(c.value),
                        intervalText(c.measure, args.fights), bar(c.value, largest)});
    }
    out += formatTable(rows, {0, 2});
    printOut(out);
    return kExitOk;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& words) {
    const ParseResult parsed = parseArguments(words);
    if (!parsed.error.empty()) {
        printError(parsed.error + " (see skarn-cli --help)");
        return kExitUsage;
    }
    const Arguments& args = parsed.arguments;
    if (args.command == Command::Help) {
        printOut(usageText());
        return kExitOk;
    }
    if (args.command == Command::Version) {
        printOut("skarn-cli " SKARN_VERSION "\n");
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
    case Command::Run: status = runRun(*files, args); break;
    case Command::Rank: status = runRank(*files, args); break;
    default: break;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printError("cannot write the output");
        return kExitFailure;
    }
    return status;
}

}  // namespace skarn::cli
