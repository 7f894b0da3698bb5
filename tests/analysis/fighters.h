#pragma once

#include "analysis/fighter.h"

namespace skarn::testing {

// A sword and board fighter: a 187-tick swing of 2d6 + 2.
inline analysis::FighterValues knightValues() {
    analysis::FighterValues v;
    v.name = "Knight";
    v.strength = 100;
    v.dexterity = 100;
    v.armorRating = 30;
    v.weaponSkill = 100;
    v.tactics = 100;
    v.parry = 80;
    v.weaponType = 2;
    v.weaponName = "Sword";
    v.weaponSpeed = 40;
    v.diceCount = 2;
    v.diceSides = 6;
    v.damageBonus = 2;
    v.hands = 1;
    v.hasShield = true;
    v.shieldName = "Buckler";
    v.shieldAbsorb = 3;
    v.hitPoints = {100, true};
    return v;
}

// A slower brute with a heavy club and no shield, about a match for the Knight.
inline analysis::FighterValues bruteValues() {
    analysis::FighterValues v;
    v.name = "Brute";
    v.strength = 120;
    v.dexterity = 60;
    v.armorRating = 20;
    v.weaponSkill = 90;
    v.tactics = 80;
    v.parry = 0;
    v.weaponType = 1;
    v.weaponName = "Club";
    v.weaponSpeed = 30;
    v.diceCount = 3;
    v.diceSides = 8;
    v.damageBonus = 4;
    v.hands = 1;
    v.hitPoints = {120, true};
    return v;
}

}  // namespace skarn::testing
