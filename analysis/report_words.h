#pragma once

// The words and numbers both faces write: skarn-cli's text and the Analysis
// window say each thing with these, so that they say it alike. Numbers are
// written with a decimal point whatever the locale. Pure functions: any
// thread may call them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/engine.h"
#include "analysis/histogram.h"
#include "analysis/interval.h"
#include "analysis/scale.h"
#include "model/fighter.h"

namespace skarn::report {

using analysis::Interval;
using analysis::Result;

// ---- numbers -------------------------------------------------------------------

// No number is written as a negative zero: a value that shows as zero has
// no sign ("0.00" for -0.0 and for -0.001 with two decimals).

// A result as the Results dialog shows it: "%.15g", so 66.6 and 60.
std::string resultText(double value);
// With `decimals` decimals: "22.39" for 2.
// REQUIRES: 0 <= decimals <= 30.
std::string fixedText(double value, int decimals);
std::string fixed2(double value);
// With `decimals` decimals and "+" above 0: "+0.27", "-1.50", "0.00" (also
// for 0.001).
std::string signedFixed(double value, int decimals);
// Six significant digits, as "%g" writes them: "0.5", "30", "1e+06".
std::string shortText(double value);
// A change in words, to two significant digits and at least one decimal,
// with its sign: "+1.8", "+0.062", "-12.4"; "0" for 0.
std::string approxText(double value);
// A count with its thousands set apart by `separator`: "100 000".
std::string groupedCount(std::int64_t count, std::string_view separator);

// ---- intervals -------------------------------------------------------------------

// "[22.16, 22.61]", or `missing` for no interval.
std::string intervalText(const std::optional<Interval>& interval, std::string_view missing = {});
// With `decimals` decimals and signs: "[+0.10, +0.42]"; "" for no interval.
std::string signedIntervalText(const std::optional<Interval>& interval, int decimals);
// Why a run of `fights` fights has no interval for a result: "n/a (one
// fight)", or else "not counted in this mode".
std::string noIntervalText(std::int64_t fights);

// ---- results -----------------------------------------------------------------------

// A result's row in the Results dialog and in the outcome's table: "Your
// Win %:", "Damage Taken", "Damage Given", "Time in seconds".
const char* resultLabel(Result result);
// A result in words: "win %", "damage taken", "damage given", "seconds".
const char* resultCaption(Result result);
// A result's name for titles: "Win %", "Damage given", "Damage taken",
// "Seconds to fell the Opponent".
const char* resultTitle(Result result);
// What one unit of a result is called after a number: "% win", "damage
// given", "damage taken", "s to fell the Opponent".
const char* resultUnit(Result result);
// The unit of a result's numbers in a table's column: "%", "damage",
// "seconds".
const char* resultColumnUnit(Result result);

// ---- the spread of a run's fights ----------------------------------------------------

// The three histograms of a run, in the order of Outcome::histograms.
enum class Spread { DamageGiven, DamageTaken, Time };
inline constexpr Spread kSpreads[] = {Spread::DamageGiven, Spread::DamageTaken, Spread::Time};

// "damageGiven", "damageTaken", "time": names in CSV and JSON.
const char* spreadKey(Spread spread);
// "Damage given per fight", "Damage taken per fight", "Fight time in seconds".
const char* spreadTitle(Spread spread);
// "damage", or "seconds" for the time.
const char* spreadUnit(Spread spread);
// A value of a histogram in its unit: fight lengths are counted in ticks
// and shown in seconds.
double inSpreadUnit(Spread spread, double value);

// The bins from the first to the last that holds a fight, as the faces draw
// them; the first bin alone when none holds one.
struct BinRange {
    int first = 0;
    int last = 0;
};
BinRange occupiedBins(const analysis::Histogram& histogram);

// ---- a run's target error -------------------------------------------------------------

// What a run with a target error aimed at.
struct Target {
    Result result = Result::DamageGiven;  // the result whose interval is measured
    double error = 0.0;  // in percent of the mean, or in points for the win %
    std::int64_t maxFights = 0;
};
// "Target +-0.5% of the mean for damage given: reached after 2048 fights",
// or "...: not reached within 10000000 fights".
std::string targetNote(const Target& target, bool reached, std::int64_t fights);

// ---- the scale factors ------------------------------------------------------------------

// Decimals that give the largest factor of `scale` three significant
// digits: 2 to 6.
int scaleDecimals(const analysis::Scale& scale);
// "Parry not scaled: <why>".
// REQUIRES: !stat.refused.empty().
std::string refusedNote(const analysis::StatScale& stat);
// "Parry 0 is at the end of its range: compared with 10 only".
// REQUIRES: stat.oneSided().
std::string oneSidedNote(const analysis::StatScale& stat);
// "<name> has no stored hit points, so its hit points are its Str. and
// change with it", `name` as the face shows it.
std::string hitPointsFollowNote(std::string_view name);

// ---- fighters ----------------------------------------------------------------------------

// "Fencing", "Mace", "Sword", "Wrestling"; "" for a value that is no
// weapon type.
std::string_view weaponTypeName(std::int32_t type);
// "3d6+2", "2d4", "2d6-3".
std::string damageText(const model::WeaponStats& weapon);

}  // namespace skarn::report
