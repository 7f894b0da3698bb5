#include "combat/combatant.h"

namespace skarn {

Combatant yourCombatant;
Combatant oppCombatant;

void Combatant::setSwingDelay() {
    swingDelay = 1500000 / (weaponSpeed * (dexterity + 100));
}

void Combatant::setHitSkill() { hitSkill = weaponSkill; }

void Combatant::resetSwingTimer() { swingTimer = 0; }

bool Combatant::tick() {
    ++swingTimer;
    if (swingTimer >= swingDelay) {
        swingTimer = 0;
        return true;
    }
    return false;
}

bool Combatant::rollToHit(Combatant& defender, Random& rng) {
    target = &defender;
    const int r = rng.draw() % 101;
    const std::int32_t chance = ((hitSkill + 50) * 50) / (defender.hitSkill + 50);
    if (r > chance) return false;
    rng.draw();  // a landed swing takes one more draw that changes nothing else
    return true;
}

std::int32_t Combatant::rollDamage(Random& rng) {
    std::int32_t sum = 0;
    for (std::int32_t i = 0; i < diceCount; ++i) sum += rng.draw() % diceSides + 1;

    // Two scaling steps in double, one rounding per operation, in this order.
    const double s1 = strength * 0.002;
    const double s2 = s1 + 1.0;
    const double s3 = static_cast<double>(sum + damageBonus) * s2;
    const auto base = static_cast<std::int32_t>(s3);
    const double t1 = tactics + 50.0;
    const double t2 = t1 * 0.01;
    const double t3 = base * t2;
    auto dmg = static_cast<std::int32_t>(t3);

    const Combatant& t = *target;
    if (t.shieldIndex >= 0) {
        const int p = rng.draw() % 101;
        if (p <= t.parry / 2) dmg -= t.shieldAbsorb;
    }
    const std::int32_t h = t.armorRating / 2;
    const std::int32_t a = rng.draw() % (h + 1);
    dmg = (dmg - h - a) / 2;
    return dmg < 1 ? 1 : dmg;
}

void Combatant::dealDamage(std::int32_t amount) { target->damageTaken += amount; }

}  // namespace skarn
