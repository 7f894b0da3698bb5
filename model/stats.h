#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// Constant tables, plain values and pure functions: any thread may use them.
namespace skarn::model {

// The six statistics a fighter has, in the order players see them.
enum class Stat { Strength, Dexterity, ArmorRating, WeaponSkill, Tactics, Parry };
inline constexpr int kStatCount = 6;
inline constexpr Stat kStats[kStatCount] = {Stat::Strength,    Stat::Dexterity, Stat::ArmorRating,
                                            Stat::WeaponSkill, Stat::Tactics,   Stat::Parry};

// What the program calls a statistic, and the values a character's
// statistic may take (both bounds included).
struct StatInfo {
    const char* caption;  // in fields and tables: "Str.", "Dex.", "A.R.", "W. Skill", "Tactics", "Parry"
    const char* jsonKey;  // "strength", "dexterity", "armorRating", "weaponSkill", "tactics", "parry"
    const char* cliKey;   // on the command line: "str", "dex", "ar", "skill", "tactics", "parry"
    std::int32_t low;     // 0
    std::int32_t high;    // 400 for Str. and Dex., 100 for A.R., 300 for the others
};
const StatInfo& statInfo(Stat stat);

// The statistic whose cliKey is `key` (case-sensitive); nothing for any
// other text.
std::optional<Stat> statWithCliKey(std::string_view key);

// A fighter's six statistics, indexed by Stat.
struct Stats {
    std::array<std::int32_t, kStatCount> values{};

    std::int32_t& operator[](Stat stat) { return values[static_cast<std::size_t>(stat)]; }
    std::int32_t operator[](Stat stat) const { return values[static_cast<std::size_t>(stat)]; }
    bool operator==(const Stats&) const = default;
};

}  // namespace skarn::model
