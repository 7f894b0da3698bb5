#include "analysis/report_words.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "data/records.h"
#include "model/stats.h"

namespace skarn::report {

namespace {

// Whether a number's text shows the value zero: no digit but 0 before its
// exponent.
bool isZeroText(std::string_view text) {
    for (const char c : text.substr(0, text.find_first_of("eE"))) {
        if (c >= '1' && c <= '9') return false;
    }
    return true;
}

// std::to_chars writes as printf does in the "C" locale, whatever the
// program's locale: a window that sets the user's locale still gets "22.39".
// A value that shows as zero is written without a sign: -0.0, and -0.001
// with two decimals, are "0.00", never "-0.00".
std::string written(double value, std::chars_format format, int precision) {
    char buffer[400];  // room for any double with 30 decimals
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    std::string text(buffer, result.ptr);
    if (text.front() == '-' && isZeroText(text)) text.erase(0, 1);
    return text;
}

}  // namespace

std::string resultText(double value) { return written(value, std::chars_format::general, 15); }

std::string fixedText(double value, int decimals) {
    return written(value, std::chars_format::fixed, decimals);
}

std::string fixed2(double value) { return fixedText(value, 2); }

std::string signedFixed(double value, int decimals) {
    std::string text = fixedText(value, decimals);
    // Like a sign below zero, "+" is kept for a value that shows as nonzero.
    return value > 0.0 && !isZeroText(text) ? "+" + text : text;
}

std::string shortText(double value) { return written(value, std::chars_format::general, 6); }

std::string approxText(double value) {
    if (value == 0.0) return "0";
    const double size = std::fabs(value);
    // Two significant digits, but never fewer than one decimal.
    const int decimals =
        size >= 1.0 ? 1 : std::min(6, 1 - static_cast<int>(std::floor(std::log10(size))));
    return signedFixed(value, decimals);
}

std::string groupedCount(std::int64_t count, std::string_view separator) {
    // The size as unsigned, so that the most negative count has one too.
    const std::uint64_t size = count < 0 ? 0 - static_cast<std::uint64_t>(count)
                                         : static_cast<std::uint64_t>(count);
    const std::string digits = std::to_string(size);
    std::string out = count < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

std::string intervalText(const std::optional<Interval>& interval, std::string_view missing) {
    if (!interval) return std::string(missing);
    return "[" + fixed2(interval->low) + ", " + fixed2(interval->high) + "]";
}

std::string signedIntervalText(const std::optional<Interval>& interval, int decimals) {
    if (!interval) return "";
    return "[" + signedFixed(interval->low, decimals) + ", " +
           signedFixed(interval->high, decimals) + "]";
}

std::string noIntervalText(std::int64_t fights) {
    return fights < 2 ? "n/a (one fight)" : "not counted in this mode";
}

const char* resultLabel(Result result) {
    switch (result) {
    case Result::WinPercent: return "Your Win %:";
    case Result::DamageTaken: return "Damage Taken";
    case Result::DamageGiven: return "Damage Given";
    case Result::Time: return "Time in seconds";
    }
    return "";
}

const char* resultCaption(Result result) {
    switch (result) {
    case Result::WinPercent: return "win %";
    case Result::DamageTaken: return "damage taken";
    case Result::DamageGiven: return "damage given";
    case Result::Time: return "seconds";
    }
    return "";
}

const char* resultTitle(Result result) {
    switch (result) {
    case Result::WinPercent: return "Win %";
    case Result::DamageTaken: return "Damage taken";
    case Result::DamageGiven: return "Damage given";
    case Result::Time: return "Seconds to fell the Opponent";
    }
    return "";
}

const char* resultUnit(Result result) {
    switch (result) {
    case Result::WinPercent: return "% win";
    case Result::DamageTaken: return "damage taken";
    case Result::DamageGiven: return "damage given";
    case Result::Time: return "s to fell the Opponent";
    }
    return "";
}

const char* resultColumnUnit(Result result) {
    switch (result) {
    case Result::WinPercent: return "%";
    case Result::DamageTaken:
    case Result::DamageGiven: return "damage";
    case Result::Time: return "seconds";
    }
    return "";
}

const char* spreadKey(Spread spread) {
    switch (spread) {
    case Spread::DamageGiven: return "damageGiven";
    case Spread::DamageTaken: return "damageTaken";
    case Spread::Time: return "time";
    }
    return "";
}

const char* spreadTitle(Spread spread) {
    switch (spread) {
    case Spread::DamageGiven: return "Damage given per fight";
    case Spread::DamageTaken: return "Damage taken per fight";
    case Spread::Time: return "Fight time in seconds";
    }
    return "";
}

const char* spreadUnit(Spread spread) { return spread == Spread::Time ? "seconds" : "damage"; }

double inSpreadUnit(Spread spread, double value) {
    return spread == Spread::Time ? value / 100.0 : value;
}

BinRange occupiedBins(const analysis::Histogram& histogram) {
    BinRange range{0, histogram.bins() - 1};
    while (range.first < range.last && histogram.count(range.first) == 0) ++range.first;
    while (range.last > range.first && histogram.count(range.last) == 0) --range.last;
    return range;
}

std::string targetNote(const Target& target, bool reached, std::int64_t fights) {
    const std::string error = shortText(target.error);
    const std::string within = target.result == Result::WinPercent
                                   ? "+-" + error + " points"
                                   : "+-" + error + "% of the mean";
    return "Target " + within + " for " + resultCaption(target.result) + ": " +
           (reached ? "reached after " + std::to_string(fights) + " fights"
                    : "not reached within " + std::to_string(target.maxFights) + " fights");
}

int scaleDecimals(const analysis::Scale& scale) {
    double largest = 0.0;
    for (const analysis::StatScale& s : scale.stats)
        if (s.perPoint) largest = std::max(largest, std::fabs(s.perPoint->mean));
    if (!(largest > 0.0)) return 2;
    return std::clamp(2 - static_cast<int>(std::floor(std::log10(largest))), 2, 6);
}

std::string refusedNote(const analysis::StatScale& stat) {
    return std::string(model::statInfo(stat.stat).caption) + " not scaled: " + stat.refused;
}

std::string oneSidedNote(const analysis::StatScale& stat) {
    return std::string(model::statInfo(stat.stat).caption) + " " + std::to_string(stat.value) +
           " is at the end of its range: compared with " +
           std::to_string(stat.low == stat.value ? stat.high : stat.low) + " only";
}

std::string hitPointsFollowNote(std::string_view name) {
    return std::string(name) +
           " has no stored hit points, so its hit points are its Str. and change with it";
}

std::string_view weaponTypeName(std::int32_t type) {
    return type >= 0 && type < kWeaponTypeCount ? kWeaponTypeNames[type] : std::string_view();
}

std::string damageText(const model::WeaponStats& weapon) {
    std::string text = std::to_string(weapon.diceCount) + "d" + std::to_string(weapon.diceSides);
    if (weapon.damageBonus > 0) text += "+" + std::to_string(weapon.damageBonus);
    if (weapon.damageBonus < 0) text += std::to_string(weapon.damageBonus);
    return text;
}

}  // namespace skarn::report
