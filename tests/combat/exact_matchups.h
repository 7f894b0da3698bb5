#pragma once

#include <cstdint>
#include <random>
#include <sstream>
#include <string>

#include "combat/combatant.h"
#include "combat/fight.h"

namespace skarn::testing {

// Fighters in the main window's ranges with weapons like the examples', and
// hit points up to a few hundred, now and then none.
struct Matchup {
    Combatant you, opp;
    int yourHp, oppHp;
    FightMode mode;

    std::string describe() const {
        std::ostringstream s;
        s << "mode " << mode << " hp " << yourHp << "/" << oppHp << " skills " << you.weaponSkill
          << "/" << opp.weaponSkill << " speeds " << you.weaponSpeed << "/" << opp.weaponSpeed
          << " dice " << you.diceCount << "d" << you.diceSides << "/" << opp.diceCount << "d"
          << opp.diceSides;
        return s.str();
    }
};

inline Matchup randomMatchup(std::mt19937& gen) {
    const auto uniform = [&gen](int low, int high) {
        return low + static_cast<int>(gen() % static_cast<std::uint32_t>(high - low + 1));
    };
    Matchup m;
    for (Combatant* c : {&m.you, &m.opp}) {
        c->strength = uniform(0, 400);
        c->dexterity = uniform(0, 400);
        c->armorRating = uniform(0, 100);
        c->weaponSkill = uniform(0, 300);
        c->tactics = uniform(0, 300);
        c->parry = uniform(0, 300);
        c->weaponSpeed = uniform(24, 60);
        c->diceCount = uniform(0, 5);
        c->diceSides = uniform(2, 8);
        c->damageBonus = uniform(0, 6);
        c->shieldIndex = uniform(0, 1) - 1;
        c->shieldAbsorb = uniform(2, 8);
    }
    m.yourHp = uniform(0, 19) == 0 ? uniform(-3, 0) : uniform(1, 300);
    m.oppHp = uniform(0, 19) == 0 ? uniform(-3, 0) : uniform(1, 300);
    m.mode = static_cast<FightMode>(uniform(0, 2));
    return m;
}

}  // namespace skarn::testing
