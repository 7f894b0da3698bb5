#include "combat/combatant.h"

#include "combat/blow.h"

namespace skarn {

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
    if (r > blow::hitBound(hitSkill, defender.hitSkill)) return false;
    rng.draw();  // a landed swing takes one more draw that changes nothing else
    return true;
}

std::int32_t Combatant::rollDamage(Random& rng) {
    std::int32_t sum = 0;
    for (std::int32_t i = 0; i < diceCount; ++i) sum += rng.draw() % diceSides + 1;

    std::int32_t dmg = blow::scaledDamage(sum + damageBonus, blow::strengthFactor(strength),
                                          blow::tacticsFactor(tactics));
    const Combatant& t = *target;
    if (t.shieldIndex >= 0) {
        const int p = rng.draw() % 101;
        if (p <= blow::parryBound(t.parry)) dmg -= t.shieldAbsorb;
    }
    const std::int32_t h = blow::halfArmor(t.armorRating);
    return blow::armoredBlow(dmg, h, rng.draw() % (h + 1));
}

void Combatant::dealDamage(std::int32_t amount) { target->damageTaken += amount; }

}  // namespace skarn
