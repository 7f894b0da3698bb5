#include "tests/combat/reference_loop.h"

namespace skarn::testing {

namespace {

void swing(Combatant& attacker, Combatant& defender, Random& rng) {
    if (attacker.tick() && attacker.rollToHit(defender, rng))
        attacker.dealDamage(attacker.rollDamage(rng));
}

}  // namespace

RunResults referenceRunFights(Combatant& you, Combatant& opponent, std::int32_t yourHitPoints,
                              std::int32_t oppHitPoints, FightMode mode, std::int64_t fights,
                              RunTotals& totals, const ProgressCallback& progress, Random& rng) {
    opponent.setSwingDelay();
    you.setSwingDelay();
    opponent.setHitSkill();
    you.setHitSkill();
    totals = RunTotals{};
    for (std::int64_t f = 0; f < fights; ++f) {
        you.resetSwingTimer();
        opponent.resetSwingTimer();
        you.damageTaken = 0.0;
        opponent.damageTaken = 0.0;
        std::int64_t i = 0;
        for (;; ++i) {
            if (i % 2 == 0) {
                swing(you, opponent, rng);
                swing(opponent, you, rng);
            } else {
                swing(opponent, you, rng);
                swing(you, opponent, rng);
            }
            if (mode == DamagePer60Seconds) {
                if (i >= 6000) break;
            } else if (mode == ToDeathOfOpponent) {
                if (opponent.damageTaken >= static_cast<double>(oppHitPoints)) break;
            } else {
                if (opponent.damageTaken >= static_cast<double>(oppHitPoints)) {
                    totals.winCount += 1.0;
                    break;
                }
                if (you.damageTaken >= static_cast<double>(yourHitPoints)) break;
            }
        }
        totals.tickSum += static_cast<double>(i);
        totals.damageGivenSum += opponent.damageTaken;
        totals.damageTakenSum += you.damageTaken;
        if (progress) progress(static_cast<int>((100 * f) / fights));
    }
    return resultsOf(totals, fights);
}

}  // namespace skarn::testing
