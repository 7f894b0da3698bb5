#pragma once

#include "combat/fight.h"

namespace skarn::testing {

// The fight loop in its plainest form: every tick of every fight, each
// fighter ticked once, in the order the rules give. The fast loop must match
// it in every result, total, end state and in the generator's state.
RunResults referenceRunFights(Combatant& you, Combatant& opponent, std::int32_t yourHitPoints,
                              std::int32_t oppHitPoints, FightMode mode, std::int64_t fights,
                              RunTotals& totals, const ProgressCallback& progress, Random& rng);

}  // namespace skarn::testing
