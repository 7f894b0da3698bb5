#include "model/stats.h"

namespace skarn::model {

namespace {

// In the order of Stat.
constexpr StatInfo kInfo[kStatCount] = {
    {"Str.", "strength", "str", 0, 400},
    {"Dex.", "dexterity", "dex", 0, 400},
    {"A.R.", "armorRating", "ar", 0, 100},
    {"W. Skill", "weaponSkill", "skill", 0, 300},
    {"Tactics", "tactics", "tactics", 0, 300},
    {"Parry", "parry", "parry", 0, 300},
};

}  // namespace

const StatInfo& statInfo(Stat stat) { return kInfo[static_cast<std::size_t>(stat)]; }

std::optional<Stat> statWithCliKey(std::string_view key) {
    for (const Stat stat : kStats)
        if (key == statInfo(stat).cliKey) return stat;
    return std::nullopt;
}

}  // namespace skarn::model
