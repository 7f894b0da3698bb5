// "Begin": a run of 3^k fights between the two sides as the window shows
// them, with k the slider's position, and its averages in the Results
// dialog. The whole run happens here, on the user-interface thread; the
// progress bar repaints as it moves. Its checks before the run are
// prepareRun, which the Analysis window runs too (prepareFighters).

#include <cstdint>
#include <optional>

#include <QString>

#include "app/program_objects.h"
#include "app/simulator_dialog.h"
#include "combat/combatant.h"
#include "combat/fight.h"
#include "data/records.h"
#include "dialogs/results_dialog.h"
#include "model/equipment.h"
#include "model/fighter.h"
#include "model/run_check.h"

namespace skarn {
namespace {

using Side = SimulatorDialog::Side;
using model::Stat;

// A side can fight only with a type from the list and a weapon of it. A type
// beyond the list (from a hand-edited file) counts as none.
bool isArmed(const Side& side) {
    return side.weaponType >= 0 && side.weaponType < kWeaponTypeCount && !side.weaponName.empty();
}

// A side as the window shows it: the values typed, the statistics its
// weapon and shield lookups found, and its hit points. The one place the
// side's members are copied from.
model::Fighter fighterOf(const Side& side, model::HitPoints hitPoints) {
    model::Fighter f;
    f.name = side.characterName;
    f.stats[Stat::Strength] = side.strength;
    f.stats[Stat::Dexterity] = side.dexterity;
    f.stats[Stat::ArmorRating] = side.armorRating;
    f.stats[Stat::WeaponSkill] = side.weaponSkill;
    f.stats[Stat::Tactics] = side.tactics;
    f.stats[Stat::Parry] = side.parry;
    f.hitPoints = hitPoints;
    f.weaponType = side.weaponType;
    f.weaponName = side.weaponName;
    f.weapon.speed = side.weaponSpeed;
    f.weapon.diceCount = side.diceCount;
    f.weapon.diceSides = side.diceSides;
    f.weapon.damageBonus = side.damageBonus;
    // The weapon handler keeps no hands count; a field that cannot be read
    // means one hand, as it does there.
    const model::HandsLookup hands =
        model::lookupHands(equiFile(), weaponSection(side.weaponType), side.weaponName);
    f.weapon.hands = hands.read ? hands.hands : 1;
    // The shield handler has settled the side's shield in its combatant.
    f.hasShield = side.combatant.shieldIndex >= 0;
    f.shieldName = f.hasShield ? side.shieldName : std::string(NoneEntry);
    f.shieldAbsorb = f.hasShield ? side.shieldAbsorb : 0;
    f.wantedShield = f.shieldName;
    return f;
}

}  // namespace

std::optional<SimulatorDialog::RunFighters> SimulatorDialog::prepareRun(std::int64_t fights) {
    // A message left by an earlier command must not stand beside this run's
    // results.
    clearStatus();
    updateData(true);  // a failed field has shown its message; the run goes on with the rest

    // Hit points are field 8 of the stored character, or else the Str. shown.
    model::HitPoints hitPoints[2];
    Side* const sides[2] = {&you_, &opp_};
    for (int i = 0; i < 2; ++i) {
        hitPoints[i] = model::hitPointsOf(charFile(), sides[i]->characterSection,
                                          sides[i]->characterName, sides[i]->strength);
        sides[i]->hitPoints = hitPoints[i].value;
    }

    if (!isArmed(you_) || !isArmed(opp_)) {
        showStatus(QStringLiteral("Information incomplete, can't continue."));
        return std::nullopt;
    }

    RunFighters fighters{fighterOf(you_, hitPoints[0]), fighterOf(opp_, hitPoints[1])};
    // The run's statistics go into the program-wide combatants; their shield
    // flags are the selection's, and a run keeps them as they are.
    model::copyInto(fighters.you, you_.combatant);
    model::copyInto(fighters.opp, opp_.combatant);

    // Values the fight rules cannot take (a weapon of speed 0, a field that
    // failed its check, hand-edited hit points) refuse the run, naming the
    // side and the value, rather than divide by zero or never end.
    if (const std::optional<model::RunFault> fault =
            model::findRunFault(yourCombatant(), oppCombatant(), yourHitPoints, oppHitPoints, fightMode, fights)) {
        showStatus(QString::fromStdString(fault->message()));
        return std::nullopt;
    }
    return fighters;
}

std::int64_t SimulatorDialog::sliderFights() const {
    std::int64_t fights = 1;
    for (int k = fightCountSlider->pos(); k > 0; --k) fights *= 3;
    return fights;
}

void SimulatorDialog::OnBegin() {
    const std::int64_t fights = sliderFights();
    if (!prepareRun(fights)) return;

    RunTotals totals;
    const RunResults results =
        runFights(yourCombatant(), oppCombatant(), yourHitPoints, oppHitPoints, fightMode, fights, totals,
                  [this](int percent) { progressBar->setPos(percent); }, generator());
    winCount = totals.winCount;
    damageTakenSum = totals.damageTakenSum;
    damageGivenSum = totals.damageGivenSum;
    tickSum = totals.tickSum;

    ResultsDialog shown(this);
    shown.resultDamageGiven = results.resultDamageGiven;
    shown.resultDamageTaken = results.resultDamageTaken;
    shown.resultTime = results.resultTime;
    shown.resultWinPercent = results.resultWinPercent;
    shown.doModal();
    progressBar->setPos(0);
}

}  // namespace skarn
