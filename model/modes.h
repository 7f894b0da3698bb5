#pragma once

#include <optional>
#include <string_view>

#include "combat/fight.h"

// Constant tables and pure functions: any thread may use them.
namespace skarn::model {

// The three stop rules, in the order of their values.
inline constexpr FightMode kFightModes[] = {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath};

// A mode's name on the command line: "damage60", "opponent", "death"; "?"
// for a value that is no mode.
const char* modeName(FightMode mode);

// A mode's caption, as the player reads it: "Find damage per 60 seconds",
// "Fight to the death of the opponent", "Fight to the death"; "" for a value
// that is no mode.
const char* modeCaption(FightMode mode);

// The mode whose modeName is `name` (case-sensitive); nothing for any other
// text.
std::optional<FightMode> modeNamed(std::string_view name);

}  // namespace skarn::model
