#pragma once

#include "model/fighter.h"

namespace skarn::testing {

// A sword and board fighter: a 187-tick swing of 2d6 + 2.
inline model::Fighter knightFighter() {
    using model::Stat;
    model::Fighter f;
    f.name = "Knight";
    f.stats[Stat::Strength] = 100;
    f.stats[Stat::Dexterity] = 100;
    f.stats[Stat::ArmorRating] = 30;
    f.stats[Stat::WeaponSkill] = 100;
    f.stats[Stat::Tactics] = 100;
    f.stats[Stat::Parry] = 80;
    f.weaponType = 2;
    f.weaponName = "Sword";
    f.weapon = {40, 2, 6, 2, 1};
    f.hasShield = true;
    f.shieldName = f.wantedShield = "Buckler";
    f.shieldAbsorb = 3;
    f.hitPoints = {100, true};
    return f;
}

// A slower brute with a heavy club and no shield, about a match for the Knight.
inline model::Fighter bruteFighter() {
    using model::Stat;
    model::Fighter f;
    f.name = "Brute";
    f.stats[Stat::Strength] = 120;
    f.stats[Stat::Dexterity] = 60;
    f.stats[Stat::ArmorRating] = 20;
    f.stats[Stat::WeaponSkill] = 90;
    f.stats[Stat::Tactics] = 80;
    f.stats[Stat::Parry] = 0;
    f.weaponType = 1;
    f.weaponName = "Club";
    f.weapon = {30, 3, 8, 4, 1};
    f.hitPoints = {120, true};
    return f;
}

}  // namespace skarn::testing
