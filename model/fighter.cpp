#include "model/fighter.h"

#include "data/records.h"

namespace skarn::model {

HitPoints hitPointsOf(SectionFile& characters, std::string_view section, std::string_view name,
                      std::int32_t strength) {
    HitPoints hitPoints;
    hitPoints.stored =
        characters.lookupInt(section, name, CharacterRecord::hitPoints, hitPoints.value);
    if (!hitPoints.stored) hitPoints.value = strength;
    return hitPoints;
}

std::int32_t Combatant::*combatantMember(Stat stat) {
    switch (stat) {
    case Stat::Strength: return &Combatant::strength;
    case Stat::Dexterity: return &Combatant::dexterity;
    case Stat::ArmorRating: return &Combatant::armorRating;
    case Stat::WeaponSkill: return &Combatant::weaponSkill;
    case Stat::Tactics: return &Combatant::tactics;
    case Stat::Parry: return &Combatant::parry;
    }
    return &Combatant::strength;
}

void copyInto(const Fighter& fighter, Combatant& combatant) {
    for (const Stat stat : kStats) combatant.*combatantMember(stat) = fighter.stats[stat];
    combatant.weaponSpeed = fighter.weapon.speed;
    combatant.diceCount = fighter.weapon.diceCount;
    combatant.diceSides = fighter.weapon.diceSides;
    combatant.damageBonus = fighter.weapon.damageBonus;
    combatant.shieldAbsorb = fighter.shieldAbsorb;
}

Combatant toCombatant(const Fighter& fighter) {
    Combatant combatant;
    copyInto(fighter, combatant);
    combatant.shieldIndex = fighter.hasShield ? 0 : -1;
    return combatant;
}

Fighter withStat(Fighter fighter, Stat stat, std::int32_t value, bool hitPointsFollow) {
    if (stat == Stat::Strength && hitPointsFollow)
        fighter.hitPoints.value += value - fighter.stats[stat];
    fighter.stats[stat] = value;
    return fighter;
}

}  // namespace skarn::model
