#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "combat/combatant.h"

namespace skarn::testing {

// Fighters drawn over the whole of the run limits (combat/fight.h), weighted
// towards the values players use: weapon speeds, dice, sides and hit points
// spread evenly over their orders of magnitude, bonuses and shield absorbs
// mostly within 0..1000 or +-1000, a shield on every other fighter.
class RandomFighters {
public:
    explicit RandomFighters(std::uint32_t seed) : gen_(seed) {}

    Combatant fighter() {
        Combatant c;
        c.strength = uniform(0, 400);
        c.dexterity = uniform(0, 400);
        c.armorRating = uniform(0, 100);
        c.weaponSkill = uniform(0, 300);
        c.tactics = uniform(0, 300);
        c.parry = uniform(0, 300);
        c.weaponSpeed = spread(1, 10000);
        c.diceCount = chance(0.1) ? 0 : spread(1, 1000);
        c.diceSides = spread(1, 1000);
        c.damageBonus = chance(0.8) ? uniform(-1000, 1000) : uniform(-100000, 100000);
        if (chance(0.5)) {
            c.shieldIndex = 0;
            c.shieldAbsorb = chance(0.8) ? uniform(0, 1000) : uniform(-100000, 100000);
        }
        return c;
    }

    // Mostly 1 to 10^6, now and then none.
    std::int32_t hitPoints() { return chance(0.05) ? uniform(-10, 0) : spread(1, 1000000); }

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(gen_); }

private:
    bool chance(double p) { return std::bernoulli_distribution(p)(gen_); }
    int spread(int low, int high) {
        const double x =
            std::uniform_real_distribution<double>(std::log(low), std::log(high + 1.0))(gen_);
        return std::clamp(static_cast<int>(std::exp(x)), low, high);
    }

    std::mt19937 gen_;
};

}  // namespace skarn::testing
