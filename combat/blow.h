#pragma once

#include <cstdint>

// The arithmetic of one swing, written once for every part that works it
// out: the fighters' own rolls (Combatant), the fight loop's tables, the cost
// estimate of a run and the exact odds. A landed blow goes
//   dice sum + damage bonus  -> scaledDamage (Str., then Tactics, in double)
//   -> minus the shield's absorb when the defender parries
//   -> armoredBlow (half the A.R. and the armor draw off, halved, at least 1).
// Pure functions: any thread may call them.
namespace skarn::blow {

// A swing lands when draw % 101 is at most this.
// REQUIRES: defenderSkill + 50 != 0.
inline std::int32_t hitBound(std::int32_t attackerSkill, std::int32_t defenderSkill) {
    return ((attackerSkill + 50) * 50) / (defenderSkill + 50);
}

// A shield parries when draw % 101 is at most this.
inline std::int32_t parryBound(std::int32_t parry) { return parry / 2; }

// The armor draw is draw % (halfArmor + 1); the same half comes off every blow.
inline std::int32_t halfArmor(std::int32_t armorRating) { return armorRating / 2; }

// The two scaling factors, each operation rounded to the nearest double in
// this order: Str. * 0.002 + 1.0 and (Tactics + 50.0) * 0.01.
inline double strengthFactor(std::int32_t strength) {
    const double s1 = strength * 0.002;
    return s1 + 1.0;
}
inline double tacticsFactor(std::int32_t tactics) {
    const double t1 = tactics + 50.0;
    return t1 * 0.01;
}

// (sum + bonus) * strengthFactor cut toward zero, then times tacticsFactor
// cut toward zero. Products that are whole in decimal may come out just
// below and are cut down: Str. 80 with sum + bonus 25 gives 28.
inline std::int32_t scaledDamage(std::int32_t sumPlusBonus, double strengthFactor,
                                 double tacticsFactor) {
    const auto base = static_cast<std::int32_t>(static_cast<double>(sumPlusBonus) * strengthFactor);
    return static_cast<std::int32_t>(base * tacticsFactor);
}

// The blow after the shield: (damage - halfArmor - armorDraw) / 2, cut
// toward zero, and at least 1.
inline std::int32_t armoredBlow(std::int32_t damage, std::int32_t halfArmor,
                                 std::int32_t armorDraw) {
    const std::int32_t dmg = (damage - halfArmor - armorDraw) / 2;
    return dmg < 1 ? 1 : dmg;
}

}  // namespace skarn::blow
