#include "cli/json_output.h"

#include <cmath>
#include <cstdint>

#include "analysis/report_words.h"
#include "model/modes.h"
#include "model/stats.h"

namespace skarn::cli {

namespace {

// The length of the valid UTF-8 sequence at the start of `bytes`, or 0.
std::size_t utf8SequenceLength(std::string_view bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) { length = 2; code = lead & 0x1Fu; }
    else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; code = lead & 0x0Fu; }
    else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; code = lead & 0x07u; }
    else return 0;
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u) return 0;
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    // Over-long forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) ||
        (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

}  // namespace

Json number(double value) {
    if (!std::isfinite(value)) return nullptr;
    // Zero of either sign is 0: a negative zero would read as a change.
    if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0)
        return static_cast<std::int64_t>(value);
    return value;
}

Json text(std::string_view bytes) {
    std::string valid;
    valid.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            valid += static_cast<char>(c);
            ++i;
        } else if (const std::size_t length = utf8SequenceLength(bytes.substr(i))) {
            valid.append(bytes.substr(i, length));
            i += length;
        } else {
            valid += static_cast<char>(0xC0 | (c >> 6));
            valid += static_cast<char>(0x80 | (c & 0x3F));
            ++i;
        }
    }
    return valid;
}

Json interval(const std::optional<analysis::Interval>& interval) {
    if (!interval) return nullptr;
    Json json = Json::object();
    json["mean"] = number(interval->mean);
    json["low"] = number(interval->low);
    json["high"] = number(interval->high);
    return json;
}

Json fighter(const model::Fighter& fighter) {
    using model::Stat;
    // The statistics in the order the fighters' JSON has always had.
    constexpr Stat kOrder[] = {Stat::Strength, Stat::Dexterity, Stat::ArmorRating,
                               Stat::Tactics,  Stat::WeaponSkill, Stat::Parry};
    Json json = Json::object();
    json["name"] = text(fighter.name);
    for (const Stat stat : kOrder) json[model::statInfo(stat).jsonKey] = fighter.stats[stat];
    json["weaponSpeed"] = fighter.weapon.speed;
    json["diceCount"] = fighter.weapon.diceCount;
    json["diceSides"] = fighter.weapon.diceSides;
    json["damageBonus"] = fighter.weapon.damageBonus;
    json["shieldAbsorb"] = fighter.shieldAbsorb;
    json["shieldIndex"] = fighter.hasShield ? 0 : -1;
    json["hitPoints"] = fighter.hitPoints.value;
    json["weaponType"] = fighter.weaponType;
    json["weaponTypeName"] = std::string(report::weaponTypeName(fighter.weaponType));
    json["weaponName"] = text(fighter.weaponName);
    json["shieldName"] = text(fighter.shieldName);
    return json;
}

void addMode(Json& object, FightMode mode) {
    object["mode"] = static_cast<std::int32_t>(mode);
    object["modeName"] = model::modeName(mode);
}

void addRun(Json& object, const analysis::Outcome& outcome) {
    object["method"] = analysis::methodKey(analysis::Method::Sampled);
    object["seed"] = outcome.seed;
    addMode(object, outcome.mode);
    object["fights"] = outcome.fights;

    const RunResults& r = outcome.results;
    Json& results = object["results"] = Json::object();
    results["winPercent"] = number(r.resultWinPercent);
    results["damageTaken"] = number(r.resultDamageTaken);
    results["damageGiven"] = number(r.resultDamageGiven);
    results["time"] = number(r.resultTime);

    const RunTotals& t = outcome.totals;
    Json& totals = object["totals"] = Json::object();
    totals["winCount"] = number(t.winCount);
    totals["damageTakenSum"] = number(t.damageTakenSum);
    totals["damageGivenSum"] = number(t.damageGivenSum);
    totals["tickSum"] = number(t.tickSum);

    const analysis::RunIntervals& ci = outcome.intervals;
    Json& intervals = object["ci95"] = Json::object();
    intervals["winPercent"] = interval(ci.winPercent);
    intervals["damageTaken"] = interval(ci.damageTaken);
    intervals["damageGiven"] = interval(ci.damageGiven);
    intervals["time"] = interval(ci.time);
}

namespace {

constexpr const char* kHistogramKeys[] = {"damageGiven", "damageTaken", "time"};

// Ticks are shown as seconds.
double inUnit(std::size_t h, double value) { return h == 2 ? value / 100.0 : value; }

}  // namespace

Json histograms(const std::array<analysis::Histogram, 3>& histograms) {
    Json json = Json::object();
    for (std::size_t h = 0; h < 3; ++h) {
        const analysis::Histogram& histogram = histograms[h];
        Json& one = json[kHistogramKeys[h]] = Json::object();
        one["unit"] = h == 2 ? "seconds" : "damage";
        Json edges = Json::array();
        Json counts = Json::array();
        for (int k = 0; k <= histogram.bins(); ++k)
            edges.push_back(number(inUnit(h, static_cast<double>(histogram.edge(k)))));
        for (int k = 0; k < histogram.bins(); ++k) counts.push_back(histogram.count(k));
        one["edges"] = std::move(edges);
        one["counts"] = std::move(counts);
        one["below"] = histogram.below();
        one["above"] = histogram.above();
    }
    return json;
}

Json percentiles(const std::array<analysis::Histogram, 3>& histograms) {
    Json json = Json::object();
    for (std::size_t h = 0; h < 3; ++h) {
        Json& one = json[kHistogramKeys[h]] = Json::object();
        if (histograms[h].total() == 0) {
            one = nullptr;
            continue;
        }
        const analysis::Percentiles p = analysis::percentilesOf(histograms[h]);
        one["p5"] = number(inUnit(h, p.p5));
        one["p50"] = number(inUnit(h, p.p50));
        one["p95"] = number(inUnit(h, p.p95));
    }
    return json;
}

std::string printed(const Json& json) { return json.dump(2) + "\n"; }

}  // namespace skarn::cli
