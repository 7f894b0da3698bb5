#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/engine.h"
#include "analysis/fighter.h"
#include "analysis/interval.h"
#include "analysis/method.h"
#include "data/section_file.h"

namespace skarn::analysis {

enum class RankBy { Weapon, Shield };

// A weapon or a shield to try, and the You fighter armed with it.
struct Candidate {
    std::string name;  // the weapon, or the shield ("- none -" for none)
    Fighter you;
};

// The candidates of a ranking for `you` against `opp`. By weapon: every
// weapon of the section of `you.weaponType` (of every weapon type with
// `allTypes`), each with the shield `you` wants, which a two-handed weapon
// drops. By shield: every shield of "Shields", and none, with the weapon
// `you` holds; refused when that weapon needs both hands. A name listed
// twice is tried once. A candidate that cannot be armed, or that
// model::findRunFault refuses for `mode` and `fights`, is left out with a
// note in `warnings`.
// False with `error` when nothing can be ranked.
// It reads `equipment`; rank() reads no file, so the candidates can be
// gathered on the thread that owns the file and ranked on another.
bool rankCandidates(SectionFile& equipment, const Fighter& you, const Fighter& opp, RankBy by,
                    bool allTypes, FightMode mode, std::int64_t fights,
                    std::vector<Candidate>& candidates, std::string& error,
                    std::vector<std::string>& warnings);

// The result a ranking orders by: the mode's main result; but shields,
// outside mode ToTheDeath, by the damage taken, the one result they change.
Result rankResult(FightMode mode, RankBy by);

// What a ranking orders one entry by.
struct RankKeys {
    double value = 0.0;  // the mean of the ranked result
    // Breaks ties of the win %: the mean damage taken, or any figure that
    // orders the entries as it does (a sum over the same number of fights).
    double damageTaken = 0.0;
};

// The order of a ranking, best first, as indices into `keys`: by value,
// the lowest first when lowerIsBetter(result), else the highest; equal win
// percentages by the least damage taken; other ties keep the order of
// `keys`. The sampled and the exact rankings both order by it.
std::vector<int> rankOrder(const std::vector<RankKeys>& keys, Result result);

struct RankEntry {
    Candidate candidate;
    VariantSums sums;
    double value = 0.0;               // the mean of the ranked result
    std::optional<Interval> interval; // its 95% interval
    // This entry minus the best, fight by fight on the same dice, with the
    // 95% interval of those differences; exactly 0 for the best.
    std::optional<Interval> versusBest;
};

struct Ranking {
    Method method = Method::Sampled;
    Result result = Result::DamageGiven;
    FightMode mode = DamagePer60Seconds;  // the settings' stop rule
    std::uint32_t seed = 0;               // the settings' seed
    std::int64_t fights = 0;              // per candidate
    bool cancelled = false;
    bool targetReached = false;  // every candidate's ranked result reached it
    std::vector<RankEntry> entries;  // best first
};

// Runs every candidate against `opp` on the same per-fight streams and
// orders them best first; equal win percentages go by the damage taken,
// other ties keep the candidates' order.
// REQUIRES: candidates not empty, each passing model::findRunFault.
Ranking rank(const std::vector<Candidate>& candidates, const Fighter& opp, RankBy by,
             const RunSettings& settings);

}  // namespace skarn::analysis
