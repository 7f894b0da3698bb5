#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "combat/combatant.h"
#include "combat/fight.h"
#include "model/fighter.h"

// Pure functions of their arguments: any thread may call them.
namespace skarn::model {

// The most fights one run may have.
inline constexpr std::int64_t kMaxFights = 1'000'000'000;

// A reason a pair of fighters may not be run: the side ("You" or
// "Opponent", empty for the run as a whole), the value's name, the value and
// the range it must lie in.
struct RunFault {
    std::string side;
    std::string field;
    std::int64_t value = 0;
    std::int64_t low = 0;
    std::int64_t high = 0;
    // Every value is in range, but the fights would last too long: `value` is
    // the expected time of one fight and `high` the most allowed, in
    // microseconds (see expectedFightMicroseconds).
    bool tooLong = false;

    // One sentence for the user, e.g.
    // "Opponent: weapon speed 0 is out of range (1 to 10000)." or
    // "Fights would last too long (about 38.0 ms each, at most 3.0 ms)."
    std::string message() const;
};

// Checks the values a run depends on, before runFights is called, and
// returns the first fault found, or nothing when the run may go ahead:
// - the fight mode is 0, 1 or 2 and there are 1 to kMaxFights fights;
// - each side's six statistics lie in their ranges (statInfo), its
//   weapon speed in 1..10000, dice count in 0..1000, dice sides in 1..1000
//   (when there are dice), damage bonus and (with a shield) shield absorb in
//   -100000..100000, and the hit points the stop rule uses in
//   -1000000..1000000: the limits runFights is made for, so that no divisor
//   is zero and every product and conversion stays within 32 bits;
// - the expected time of one fight (expectedFightMicroseconds) is at most
//   3 ms, so that 2187 fights take at most about 6.6 seconds. Statistics
//   in their ranges with weapons up to speed 200 and 100 dice of up to
//   100 sides, bonuses of +-1000 and 10,000 hit points always pass in modes 0
//   and 2; in mode 1 a You side that would need millions of ticks to fell
//   the Opponent, while the Opponent swings on, is refused.
// The checks run in that order, You before Opponent; within a side, the
// statistics in the order of kStats come first. Statistics are read from the
// fighters as copied in by the caller (before setSwingDelay / setHitSkill).
std::optional<RunFault> findRunFault(const Combatant& you, const Combatant& opponent,
                                     std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                     FightMode mode, std::int64_t fights);

// The same check for two fighters as they would be run (toCombatant, and
// their hit points).
std::optional<RunFault> findRunFault(const Fighter& you, const Fighter& opponent, FightMode mode,
                                     std::int64_t fights);

}  // namespace skarn::model
