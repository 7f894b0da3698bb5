// "Begin": a run of 3^k fights between the two sides as the window shows
// them, with k the slider's position, and its averages in the Results
// dialog. The whole run happens here, on the user-interface thread; the
// progress bar repaints as it moves.

#include <cstdint>
#include <optional>

#include <QString>

#include "app/simulator_dialog.h"
#include "combat/combatant.h"
#include "combat/fight.h"
#include "data/records.h"
#include "data/section_file.h"
#include "dialogs/results_dialog.h"

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
    c.strength = side.strength;
    c.dexterity = side.dexterity;
    c.armorRating = side.armorRating;
    c.tactics = side.tactics;
    c.weaponSkill = side.weaponSkill;
    c.parry = side.parry;
    c.shieldAbsorb = side.shieldAbsorb;
    c.diceCount = side.diceCount;
    c.diceSides = side.diceSides;
    c.damageBonus = side.damageBonus;
    c.weaponSpeed = side.weaponSpeed;
    // shieldIndex is the selection's: a run keeps it as it is.
}

}  // namespace

void SimulatorDialog::OnBegin() {
    // A message left by an earlier command must not stand beside this run's
    // results.
    clearStatus();
    updateData(true);  // a failed field has shown its message; the run goes on with the rest

    // Hit points are field 8 of the stored character, or else the Str. shown.
    for (Side* side : {&you_, &opp_}) {
        if (!charFile().lookupInt(side->characterSection, side->characterName, CharacterRecord::hitPoints,
                                  side->hitPoints))
            side->hitPoints = side->strength;
    }

    if (!isArmed(you_) || !isArmed(opp_)) {
        showStatus(QStringLiteral("Information incomplete, can't continue."));
        return;
    }

    copyIntoCombatant(you_);
    copyIntoCombatant(opp_);

    std::int64_t fights = 1;
    for (int k = fightCountSlider->pos(); k > 0; --k) fights *= 3;

    // Values the fight rules cannot take (a weapon of speed 0, a field that
    // failed its check, hand-edited hit points) refuse the run, naming the
    // side and the value, rather than divide by zero or never end.
    if (const std::optional<RunFault> fault =
            findRunFault(yourCombatant, oppCombatant, yourHitPoints, oppHitPoints, fightMode, fights)) {
        showStatus(QString::fromStdString(fault->message()));
        return;
    }

    RunTotals totals;
    const RunResults results =
        runFights(yourCombatant, oppCombatant, yourHitPoints, oppHitPoints, fightMode, fights, totals,
                  [this](int percent) { progressBar->setPos(percent); });
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
