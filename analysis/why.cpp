#include "analysis/why.h"

#include <algorithm>
#include <cstdint>

#include "combat/blow.h"
#include "combat/exact_odds.h"
#include "combat/swing_law.h"

namespace skarn::analysis {
namespace {

constexpr double kTicksPerSecond = 100.0;

SideWhy sideWhy(const model::Fighter& attacker, const model::Fighter& defender) {
    Combatant a = model::toCombatant(attacker);
    const Combatant d = model::toCombatant(defender);
    const exact::SwingLaw law = exact::swingLaw(a, d);

    SideWhy why;
    a.setSwingDelay();
    const std::int64_t period = std::max<std::int64_t>(1, a.swingDelay);
    why.swingSeconds = static_cast<double>(period) / kTicksPerSecond;
    why.hitChance = law.hit;
    if (d.shieldIndex >= 0)
        why.parryChance = exact::countAtMost101(blow::parryBound(d.parry)) / 32768.0;
    why.meanBlow = law.meanBlow();

    // The same swing against the defender stripped of its shield, and of its
    // armour too: the differences are what each takes off.
    Combatant unshielded = d;
    unshielded.shieldIndex = -1;
    Combatant bare = unshielded;
    bare.armorRating = 0;
    const double againstArmour = exact::swingLaw(a, unshielded).meanBlow();
    const double againstNothing = exact::swingLaw(a, bare).meanBlow();
    why.armourSoak = againstNothing - againstArmour;
    why.shieldSoak = againstArmour - why.meanBlow;

    const std::int32_t hitPoints = defender.hitPoints.value;
    if (hitPoints <= 0) {
        why.swingsToFell = 0.0;
        why.secondsToFell = 0.0;
        return why;
    }
    // Alone, the attacker fells the defender on the tick of its k-th swing,
    // k * period - 1, and a fight's time is its last tick / 100.
    const auto odds = exactOdds(a, d, attacker.hitPoints.value, hitPoints, ToDeathOfOpponent);
    if (odds) {
        why.secondsToFell = odds->time.mean;
        why.swingsToFell = (odds->time.mean * kTicksPerSecond + 1.0) / static_cast<double>(period);
    }
    return why;
}

}  // namespace

Why whyOf(const model::Fighter& you, const model::Fighter& opp) {
    return {sideWhy(you, opp), sideWhy(opp, you)};
}

}  // namespace skarn::analysis
