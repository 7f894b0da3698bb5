#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/exact.h"
#include "analysis/fighter.h"
#include "analysis/main_result.h"
#include "data/section_file.h"

// The best gear over every weapon type: every weapon of every type with
// every shield and with none, as the two-handed rule allows, answered
// exactly and ordered by the mode's main result (main_result.h). The
// fighter keeps its one W. Skill for every type.
namespace skarn::analysis {

// A weapon and a shield to try, and the You fighter carrying them.
struct GearCandidate {
    std::string weapon;
    std::int32_t weaponType = 0;
    std::string shield;  // "- none -" for none
    Fighter you;
};

// Every weapon of every type (rankCandidates' weapons), each with every
// shield of "Shields" and with none, or with none alone when it needs both
// hands. A pair that cannot be armed or run (model::findRunFault for `mode`)
// is left out with a note in `warnings`. False with `error` when nothing
// can be tried. It reads `equipment`: call it on the thread that owns it.
bool gearCandidates(SectionFile& equipment, const Fighter& you, const Fighter& opp, FightMode mode,
                    std::vector<GearCandidate>& candidates, std::string& error,
                    std::vector<std::string>& warnings);

struct GearEntry {
    GearCandidate candidate;
    // Against one opponent, its exact figures; against several, the means
    // of their figures over the opponents (standard deviations and laws
    // left empty), which the main result orders by.
    ExactOdds odds;
    double figure = 0.0;         // the main result's first key
    double versusBest = 0.0;     // figure minus the best's
    double versusCurrent = 0.0;  // figure minus that of the gear `you` carries now
    bool current = false;        // the gear `you` carries now
    bool tied = false;           // tied with the best (tiedWith); the best itself is
    // The opponent this gear does worst against (compareMain), as an index
    // into the opponents, and the first key against it.
    std::size_t worstOpponent = 0;
    double worstFigure = 0.0;
};

struct BestGear {
    FightMode mode = DamagePer60Seconds;
    KeyFigure figure = KeyFigure::Margin;  // mainKey(mode).front()
    double now = 0.0;                      // the figure with the gear `you` carries now
    std::vector<GearEntry> entries;        // best first (compareMain); equal entries keep their order
};

// The candidates answered exactly against every one of `opponents`, on up
// to threadCount(settings.threads) threads with the same figures for any
// number, and ordered by the means over the opponents. All or nothing: when
// the engine declines a pair, nothing, with `declined` naming it ("Club with
// Buckler"; `you`'s quoted name for the gear it carries now, and the
// opponent's after " against " when there are several); when cancelled,
// nothing with `cancelled` set.
// REQUIRES: candidates and opponents not empty; `you` and each candidate
// within the run limits against each opponent.
std::optional<BestGear> exactBestGear(const Fighter& you, const std::vector<GearCandidate>& candidates,
                                      const std::vector<Fighter>& opponents,
                                      const ExactSettings& settings, ExactRefusal& declined,
                                      bool& cancelled);

}  // namespace skarn::analysis
