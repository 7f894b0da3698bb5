#include "model/run_check.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "model/stats.h"

namespace skarn::model {

namespace {

// The longest a fight may be expected to take: 2187 fights in at most about
// 6.6 seconds. The longest fights statistics in their ranges can give, with
// weapons up to speed 200 and 100 dice, bonuses of up to 1000 and 10,000 hit
// points, stay below it (mode 2: one side landing 8 swings in 101 and the
// other every swing, 10,000 blows of 1 from 100 dice each, their swing
// delays balanced so that neither falls first; estimated at 2.8 ms, they
// take 1.7 ms).
constexpr double kMaxFightMicroseconds = 3000.0;

struct Range {
    const char* field;
    std::int64_t low;
    std::int64_t high;
};

std::optional<RunFault> checkSide(const Combatant& c, const char* side) {
    for (const Stat stat : kStats) {
        const StatInfo& info = statInfo(stat);
        const std::int32_t value = c.*combatantMember(stat);
        if (value < info.low || value > info.high)
            return RunFault{side, info.caption, value, info.low, info.high};
    }
    const Range weapon[] = {{"weapon speed", 1, 10000}, {"dice count", 0, 1000}};
    const std::int64_t values[] = {c.weaponSpeed, c.diceCount};
    for (std::size_t i = 0; i < std::size(weapon); ++i) {
        if (values[i] < weapon[i].low || values[i] > weapon[i].high)
            return RunFault{side, weapon[i].field, values[i], weapon[i].low, weapon[i].high};
    }
    if (c.diceCount > 0 && (c.diceSides < 1 || c.diceSides > 1000))
        return RunFault{side, "dice sides", c.diceSides, 1, 1000};
    if (c.damageBonus < -100000 || c.damageBonus > 100000)
        return RunFault{side, "damage bonus", c.damageBonus, -100000, 100000};
    if (c.shieldIndex >= 0 && (c.shieldAbsorb < -100000 || c.shieldAbsorb > 100000))
        return RunFault{side, "shield absorb", c.shieldAbsorb, -100000, 100000};
    return std::nullopt;
}

std::optional<RunFault> checkHitPoints(std::int32_t hitPoints, const char* side) {
    if (hitPoints < -1000000 || hitPoints > 1000000)
        return RunFault{side, "hit points", hitPoints, -1000000, 1000000};
    return std::nullopt;
}

}  // namespace

std::string RunFault::message() const {
    std::string text;
    if (!side.empty()) text = side + ": ";
    if (tooLong) {
        char figures[96];
        std::snprintf(figures, sizeof figures, "about %.1f ms each, at most %.1f ms",
                      static_cast<double>(value) / 1000.0, static_cast<double>(high) / 1000.0);
        return text + "Fights would last too long (" + figures + ").";
    }
    return text + field + " " + std::to_string(value) + " is out of range (" +
           std::to_string(low) + " to " + std::to_string(high) + ").";
}

std::optional<RunFault> findRunFault(const Combatant& you, const Combatant& opponent,
                                     std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                     FightMode mode, std::int64_t fights) {
    if (mode < DamagePer60Seconds || mode > ToTheDeath)
        return RunFault{"", "fight mode", mode, 0, 2};
    if (fights < 1 || fights > kMaxFights)
        return RunFault{"", "number of fights", fights, 1, kMaxFights};
    if (auto fault = checkSide(you, "You")) return fault;
    if (auto fault = checkSide(opponent, "Opponent")) return fault;
    if (mode == ToTheDeath) {
        if (auto fault = checkHitPoints(yourHitPoints, "You")) return fault;
    }
    if (mode != DamagePer60Seconds) {
        if (auto fault = checkHitPoints(oppHitPoints, "Opponent")) return fault;
    }

    const double us = expectedFightMicroseconds(you, opponent, yourHitPoints, oppHitPoints, mode);
    if (us > kMaxFightMicroseconds) {
        RunFault fault{"", "expected time per fight", 0, 0,
                       static_cast<std::int64_t>(kMaxFightMicroseconds)};
        fault.value = static_cast<std::int64_t>(std::min(us, 1e15));
        fault.tooLong = true;
        return fault;
    }
    return std::nullopt;
}

std::optional<RunFault> findRunFault(const Fighter& you, const Fighter& opponent, FightMode mode,
                                     std::int64_t fights) {
    return findRunFault(toCombatant(you), toCombatant(opponent), you.hitPoints.value,
                        opponent.hitPoints.value, mode, fights);
}

}  // namespace skarn::model
