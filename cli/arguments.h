#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "combat/fight.h"

namespace skarn::cli {

enum class Command { List, Run, Rank, Help, Version };
enum class RankBy { Weapon, Shield };

// What the command line asks for, checked for form only: names are looked up
// later, against the data files.
struct Arguments {
    Command command = Command::Help;
    std::optional<std::string> dataDir;  // --data; the working directory when absent
    bool json = false;

    std::optional<std::string> you, opp;
    FightMode mode = DamagePer60Seconds;
    std::int64_t fights = 2187;
    std::optional<std::uint32_t> seed;  // the current time when absent
    std::optional<std::string> youWeapon, youShield, oppWeapon, oppShield;
    std::optional<RankBy> rankBy;
};

// The outcome of parsing: the arguments, or the one-line reason they are
// not usable (a usage error).
struct ParseResult {
    Arguments arguments;
    std::string error;  // empty on success
};

inline constexpr std::int64_t kMaxFights = 1'000'000'000;

// Parses the words after the program name. Options take their value from the
// next word, whatever it looks like (a shield may be called "- none -"), or
// after "=" in the same word. The last of a repeated option counts.
ParseResult parseArguments(const std::vector<std::string>& words);

// The text of --help.
std::string usageText();

// The name of a mode on the command line: "damage60", "opponent", "death".
const char* modeName(FightMode mode);

}  // namespace skarn::cli
