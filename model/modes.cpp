#include "model/modes.h"

namespace skarn::model {

namespace {

struct ModeWords {
    const char* name;
    const char* caption;
};

// Indexed by the mode's value.
constexpr ModeWords kWords[] = {
    {"damage60", "Find damage per 60 seconds"},
    {"opponent", "Fight to the death of the opponent"},
    {"death", "Fight to the death"},
};

bool isMode(FightMode mode) { return mode >= DamagePer60Seconds && mode <= ToTheDeath; }

}  // namespace

const char* modeName(FightMode mode) { return isMode(mode) ? kWords[mode].name : "?"; }

const char* modeCaption(FightMode mode) { return isMode(mode) ? kWords[mode].caption : ""; }

std::optional<FightMode> modeNamed(std::string_view name) {
    for (const FightMode mode : kFightModes)
        if (name == kWords[mode].name) return mode;
    return std::nullopt;
}

}  // namespace skarn::model
