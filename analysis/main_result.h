#pragma once

#include <span>
#include <vector>

#include "combat/exact_odds.h"
#include "combat/fight.h"

// The main result of each fight mode, as an ordered key: the figures an
// answer is judged by, the most important first. A single figure (a point of
// a curve, a change) is the first key.
//   ToTheDeath:          win %, then less damage taken, then a shorter fight;
//   ToDeathOfOpponent:   a shorter fight, then less damage taken;
//   DamagePer60Seconds:  damage given less damage taken, then less damage
//                        taken.
// Pure: any thread may call these.
namespace skarn::analysis {

enum class KeyFigure { WinPercent, DamageTaken, Time, Margin };

struct KeyPart {
    KeyFigure figure = KeyFigure::WinPercent;
    bool higherIsBetter = true;
};

std::span<const KeyPart> mainKey(FightMode mode);

// Its name in JSON and CSV: "winPercent", "damageTaken", "time", "margin".
const char* keyFigureKey(KeyFigure figure);

// The figure's mean: the win % in percent (0 outside ToTheDeath), the
// damage per fight, the time in seconds, the margin as damage given less
// damage taken.
double keyValue(const ExactOdds& odds, KeyFigure figure);

// The first key's value: what a curve plots and a change measures.
double mainFigure(const ExactOdds& odds);

// Two figures closer than this, in their own unit (win-% points, damage,
// seconds), are the same to a player.
inline constexpr double kTieTolerance = 0.05;

// True when `entry` is tied with `best`: every key of the mode within
// kTieTolerance of best's.
bool tiedWith(const ExactOdds& entry, const ExactOdds& best);

// The means of several matchups' figures, each weighed alike: what a fighter
// meets on average against all of them, ordered and tied as one matchup.
// Standard deviations and laws are left empty.
// REQUIRES: odds not empty, all of one mode.
ExactOdds meanOdds(std::span<const ExactOdds* const> odds);

// Below 0 when `a` is the better by the ordered key (the first key that
// differs decides), above 0 when `b` is, 0 when every key is equal.
// REQUIRES: a.mode == b.mode.
int compareMain(const ExactOdds& a, const ExactOdds& b);

}  // namespace skarn::analysis
