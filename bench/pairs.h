#pragma once

// The pairs of fighters the benchmarks time: a typical pair, swing delays of
// 0 and 1 (no ticks to skip), both in two modes, and the longest run the
// main window's values allow.

#include "combat/fight.h"

namespace skarn::bench {

struct Side {
    int speed, dexterity, weaponSkill, diceCount, diceSides, damageBonus, shieldIndex;
};

struct Pair {
    const char* name;
    Side you, opp;
    FightMode mode;
    int hitPoints;
    bool tickLoop;  // whether the tick loop is measured too
};

inline constexpr int kFights = 2187;

// Speed 40 with Dex. 100 swings every 187 ticks; speed 30 with Dex. 87 every
// 267; 2d6 + 2, Str. and Tactics 100, A.R. 30, the Opponent with a shield.
inline constexpr Side kYou{40, 100, 100, 2, 6, 2, -1};
inline constexpr Side kOpp{30, 87, 100, 2, 6, 2, 0};
inline constexpr Side kEveryTick{4000, 300, 100, 2, 6, 2, -1};  // swing delay 0
inline constexpr Side kEveryTickToo{7500, 100, 100, 2, 6, 2, 0};  // swing delay 1
// 100 dice for blows of 1, and the swing delays (225 and 2840 ticks) that let
// neither side of the longest window-range fights fall first.
inline constexpr Side kQuickFeeble{14, 375, 0, 100, 1, -1000, 0};
inline constexpr Side kSlowSure{2, 164, 300, 100, 1, -1000, 0};

inline const Pair kPairs[] = {
    {"typical", kYou, kOpp, DamagePer60Seconds, 100, true},
    {"delay0", kEveryTick, kEveryTickToo, DamagePer60Seconds, 100, true},
    {"delay0/mode2", kEveryTick, kEveryTickToo, ToTheDeath, 100, true},
    {"typical/mode2", kYou, kOpp, ToTheDeath, 100, true},
    {"longest/mode2", kQuickFeeble, kSlowSure, ToTheDeath, 10000, false},
};

inline void prepare(const Pair& p, Combatant& you, Combatant& opp) {
    const auto set = [](Combatant& c, const Side& s) {
        c.strength = 100;
        c.tactics = 100;
        c.armorRating = 30;
        c.parry = 100;
        c.shieldAbsorb = 3;
        c.weaponSpeed = s.speed;
        c.dexterity = s.dexterity;
        c.weaponSkill = s.weaponSkill;
        c.diceCount = s.diceCount;
        c.diceSides = s.diceSides;
        c.damageBonus = s.damageBonus;
        c.shieldIndex = s.shieldIndex;
    };
    set(you, p.you);
    set(opp, p.opp);
}

}  // namespace skarn::bench
