#pragma once

#include <optional>

#include "model/fighter.h"

// Why a matchup comes out as it does: for each side, what its swings do to
// the other, worked out exactly from the laws of one swing. It explains a
// result that does not move: a stat whose change moves none of these
// figures changes no fight. Pure: any thread may call it.
namespace skarn::analysis {

struct SideWhy {
    double swingSeconds = 0.0;  // between two swings: the swing delay, at least 1 tick, / 100
    double hitChance = 0.0;     // that a swing lands
    double parryChance = 0.0;   // that the other's shield parries a landed blow; 0 without one
    double meanBlow = 0.0;      // of a landed blow, after the shield and the armour
    // What the other's armour and shield take off a landed blow, on average:
    // the mean blow against no armour and no shield less the mean blow
    // against the armour alone, and that less the mean blow.
    double armourSoak = 0.0;
    double shieldSoak = 0.0;
    // The mean number of swings, and of seconds, until the other falls, with
    // the other's own swings left out ("to the death of the opponent"); 0
    // when the other has no hit points. Absent when the exact engine
    // declines that fight (it would take too long).
    std::optional<double> swingsToFell;
    std::optional<double> secondsToFell;
};

struct Why {
    SideWhy you;  // your swings at the opponent
    SideWhy opp;  // the opponent's swings at you
};

// REQUIRES: both fighters within the run limits (model::findRunFault).
Why whyOf(const model::Fighter& you, const model::Fighter& opp);

}  // namespace skarn::analysis
