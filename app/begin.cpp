// "Begin": a run of 3^k fights between the two sides as the window shows
// them, with k the slider's position, and its averages in the Results
// dialog. The whole run happens here, on the user-interface thread; the
// progress bar repaints as it moves. Its checks before the run are
// prepareRun, which the Analysis window runs too.

#include <cstdint>
#include <optional>

#include <QString>

#include "analysis/fighter.h"
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

// A side can fight only with a type from the list and a weapon of it. A type
// beyond the list (from a hand-edited file) counts as none.
bool isArmed(const Side& side) {
    return side.weaponType >= 0 && side.weaponType < kWeaponTypeCount && !side.weaponName.empty();
}

void copyIntoCombatant(const Side& side) {
    Combatant& c = side.combatant;
    analysis::copyStats(side, c);
    c.shieldAbsorb = side.shieldAbsorb;
    c.diceCount = side.diceCount;
    c.diceSides = side.diceSides;
    c.damageBonus = side.damageBonus;
    c.weaponSpeed = side.weaponSpeed;
    // shieldIndex is the selection's: a run keeps it as it is.
}

// A side as the window shows it, for the analysis layer: the typed values,
// the statistics its weapon and shield lookups found, and its hit points.
analysis::FighterValues valuesOf(const Side& side, model::HitPoints hitPoints) {
    analysis::FighterValues values;
    values.name = side.characterName;
    analysis::copyStats(side, values);
    values.weaponType = side.weaponType;
    values.weaponName = side.weaponName;
    values.weaponSpeed = side.weaponSpeed;
    values.diceCount = side.diceCount;
    values.diceSides = side.diceSides;
    values.damageBonus = side.damageBonus;
    // The weapon handler keeps no hands count; a field that cannot be read
    // means one hand, as it does there.
    const model::HandsLookup hands =
        model::lookupHands(equiFile(), weaponSection(side.weaponType), side.weaponName);
    if (hands.read) values.hands = hands.hands;
    values.hasShield = side.combatant.shieldIndex >= 0;
    values.shieldName = values.hasShield ? side.shieldName : std::string(NoneEntry);
    values.shieldAbsorb = side.shieldAbsorb;
    values.hitPoints = hitPoints;
    return values;
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

    copyIntoCombatant(you_);
    copyIntoCombatant(opp_);

    // Values the fight rules cannot take (a weapon of speed 0, a field that
    // failed its check, hand-edited hit points) refuse the run, naming the
    // side and the value, rather than divide by zero or never end.
    if (const std::optional<model::RunFault> fault =
            model::findRunFault(yourCombatant(), oppCombatant(), yourHitPoints, oppHitPoints, fightMode, fights)) {
        showStatus(QString::fromStdString(fault->message()));
        return std::nullopt;
    }
    return RunFighters{analysis::makeFighter(valuesOf(you_, hitPoints[0])),
                       analysis::makeFighter(valuesOf(opp_, hitPoints[1]))};
}

void SimulatorDialog::OnBegin() {
    std::int64_t fights = 1;
    for (int k = fightCountSlider->pos(); k > 0; --k) fights *= 3;
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
