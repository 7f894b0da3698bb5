#include "cli/arguments.h"

#include <charconv>
#include <string_view>

namespace skarn::cli {

namespace {

enum class Opt {
    Data, Json, You, Opp, Mode, Fights, Seed, YouWeapon, YouShield, OppWeapon, OppShield, By,
    Help, Version,
};

struct OptionSpec {
    std::string_view name;
    Opt opt;
    bool takesValue;
};

constexpr OptionSpec kOptions[] = {
    {"--data", Opt::Data, true},
    {"--json", Opt::Json, false},
    {"--you", Opt::You, true},
    {"--opp", Opt::Opp, true},
    {"--mode", Opt::Mode, true},
    {"--fights", Opt::Fights, true},
    {"--seed", Opt::Seed, true},
    {"--you-weapon", Opt::YouWeapon, true},
    {"--you-shield", Opt::YouShield, true},
    {"--opp-weapon", Opt::OppWeapon, true},
    {"--opp-shield", Opt::OppShield, true},
    {"--by", Opt::By, true},
    {"--help", Opt::Help, false},
    {"-h", Opt::Help, false},
    {"--version", Opt::Version, false},
};

const OptionSpec* findOption(std::string_view name) {
    for (const OptionSpec& option : kOptions) {
        if (option.name == name) return &option;
    }
    return nullptr;
}

// A whole word of decimal digits, within [low, high].
template <typename T>
bool parseWhole(const std::string& text, T low, T high, T& out) {
    if (text.empty() || text.front() < '0' || text.front() > '9') return false;
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < low || value > high) return false;
    out = value;
    return true;
}

// The options each command accepts, besides --data, --help and --version.
bool applies(Command command, Opt opt) {
    switch (opt) {
    case Opt::Data: case Opt::Help: case Opt::Version: return true;
    case Opt::Json: return true;
    case Opt::By: return command == Command::Rank;
    default: return command == Command::Run || command == Command::Rank;
    }
}

}  // namespace

const char* modeName(FightMode mode) {
    switch (mode) {
    case DamagePer60Seconds: return "damage60";
    case ToDeathOfOpponent: return "opponent";
    case ToTheDeath: return "death";
    }
    return "?";
}

ParseResult parseArguments(const std::vector<std::string>& words) {
    ParseResult result;
    Arguments& args = result.arguments;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        return result;
    };

    std::optional<Command> command;
    bool help = false, version = false;
    std::vector<Opt> seen;  // in order, to check them against the command afterwards
    std::vector<std::string> seenNames;

    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 2 || word[0] != '-') {
            if (command) return fail("unexpected argument '" + word + "'");
            if (word == "list") command = Command::List;
            else if (word == "run") command = Command::Run;
            else if (word == "rank") command = Command::Rank;
            else return fail("unknown command '" + word + "' (try list, run or rank)");
            continue;
        }
        std::string name = word;
        std::optional<std::string> value;
        if (const auto eq = word.find('='); word.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = word.substr(0, eq);
            value = word.substr(eq + 1);
        }
        const OptionSpec* option = findOption(name);
        if (!option) return fail("unknown option '" + name + "'");
        if (option->takesValue && !value) {
            if (i + 1 >= words.size()) return fail("option " + name + " needs a value");
            value = words[++i];
        }
        if (!option->takesValue && value) return fail("option " + name + " takes no value");
        seen.push_back(option->opt);
        seenNames.push_back(name);

        switch (option->opt) {
        case Opt::Help: help = true; break;
        case Opt::Version: version = true; break;
        case Opt::Json: args.json = true; break;
        case Opt::Data:
            if (value->empty()) return fail("option --data needs a folder name");
            args.dataDir = *value;
            break;
        case Opt::You: args.you = *value; break;
        case Opt::Opp: args.opp = *value; break;
        case Opt::YouWeapon: args.youWeapon = *value; break;
        case Opt::YouShield: args.youShield = *value; break;
        case Opt::OppWeapon: args.oppWeapon = *value; break;
        case Opt::OppShield: args.oppShield = *value; break;
        case Opt::Mode:
            if (*value == "damage60") args.mode = DamagePer60Seconds;
            else if (*value == "opponent") args.mode = ToDeathOfOpponent;
            else if (*value == "death") args.mode = ToTheDeath;
            else return fail("--mode must be damage60, opponent or death, not '" + *value + "'");
            break;
        case Opt::Fights:
            if (!parseWhole<std::int64_t>(*value, 1, kMaxFights, args.fights))
                return fail("--fights must be a whole number from 1 to 1000000000, not '" +
                            *value + "'");
            break;
        case Opt::Seed: {
            std::uint32_t seed = 0;
            if (!parseWhole<std::uint32_t>(*value, 0, UINT32_MAX, seed))
                return fail("--seed must be a whole number from 0 to 4294967295, not '" +
                            *value + "'");
            args.seed = seed;
            break;
        }
        case Opt::By:
            if (*value == "weapon") args.rankBy = RankBy::Weapon;
            else if (*value == "shield") args.rankBy = RankBy::Shield;
            else return fail("--by must be weapon or shield, not '" + *value + "'");
            break;
        }
    }

    if (help) {
        args.command = Command::Help;
        return result;
    }
    if (version) {
        args.command = Command::Version;
        return result;
    }
    if (!command) return fail("no command given (try list, run or rank; --help tells more)");
    args.command = *command;

    for (std::size_t k = 0; k < seen.size(); ++k) {
        if (!applies(args.command, seen[k])) {
            return fail("option " + seenNames[k] + " does not apply to " +
                        (args.command == Command::List ? "list" : "run") +
                        (args.command == Command::List ? "" : " (it belongs to rank)"));
        }
    }
    if (args.command == Command::Run || args.command == Command::Rank) {
        if (!args.you) return fail("--you NAME is required");
        if (!args.opp) return fail("--opp NAME is required");
    }
    if (args.command == Command::Rank) {
        if (!args.rankBy) return fail("--by weapon or --by shield is required");
        if (*args.rankBy == RankBy::Weapon && args.youWeapon)
            return fail("--you-weapon cannot be combined with --by weapon");
        if (*args.rankBy == RankBy::Shield && args.youShield)
            return fail("--you-shield cannot be combined with --by shield");
    }
    return result;
}

std::string usageText() {
    return R"(Usage: skarn-cli [--data DIR] COMMAND [OPTIONS]

Melee combat simulations on the characters of charfile.cfg and the weapons
and shields of equifile.cfg, read from DIR (default: the working directory).
The data files are only read.

Commands:
  list [--json]
      The characters of [YourChars] and [OppChars], the weapons of each type
      and the shields, with their statistics.
  run --you NAME --opp NAME [RUN OPTIONS] [--json]
      Fights the You character against the Opponent and prints the four
      results with their 95% confidence intervals.
  rank --you NAME --opp NAME --by weapon|shield [RUN OPTIONS] [--json]
      Runs the matchup once for each weapon of the You character's weapon
      type (or each shield, and none), all on the same seed, best first.

Run options:
  --mode damage60|opponent|death   when a fight stops (default damage60)
  --fights N                       number of fights, 1 to 1000000000
                                   (default 2187)
  --seed S                         seed of the dice, 0 to 4294967295
                                   (default: the current time in seconds)
  --you-weapon W, --opp-weapon W   fight with weapon W instead of the stored
                                   one (same weapon type)
  --you-shield S, --opp-shield S   carry shield S instead of the stored one;
                                   "none" for no shield

Other options:
  --data DIR     folder of charfile.cfg and equifile.cfg
  --json         print JSON instead of tables
  -h, --help     print this help
  --version      print the version

Exit status: 0 on success, 1 when a name cannot be resolved or a simulation
is refused, 2 for a usage error.
)";
}

}  // namespace skarn::cli
