#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/command.h"
#include "model/modes.h"
#include "model/run_check.h"

namespace skarn::cli {

namespace {

using analysis::RankBy;
using analysis::Result;

constexpr const char* kCommandNames = "list, run, outcome, rank, scale or completion";

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

// A decimal number such as 0.5, above `low` (or at it, when `inclusive`).
bool parseDecimal(const std::string& text, double low, bool inclusive, double& out) {
    if (text.empty() || (text.front() != '.' && (text.front() < '0' || text.front() > '9')))
        return false;
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return false;
    if (inclusive ? value < low : value <= low) return false;
    out = value;
    return true;
}

// The flags that take no value, for the check of "--flag=value".
const std::set<std::string>& flagNames() {
    static const std::set<std::string> names{"--json", "--csv", "--histogram", "--all-types",
                                             "--exact", "--sampled", "--stats",
                                             "--help", "-h", "--version"};
    return names;
}

struct Parser {
    CLI::App app{"Melee combat simulations on the characters of charfile.cfg and the weapons "
                 "and shields of equifile.cfg, read from DIR (default: the working directory). "
                 "The data files are only read.",
                 "skarn-cli"};
    Arguments args;
    OptionTexts texts;
    std::map<std::string, CLI::App*> subcommands;  // by name

    Parser() {
        app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        app.fallthrough();
        app.allow_extras();
        app.set_version_flag("--version", std::string("skarn-cli " SKARN_VERSION),
                             "print the version");
        app.add_option("--data", args.dataDir, "folder of charfile.cfg and equifile.cfg")
            ->type_name("DIR");
        app.footer(
            "Each command has its own --help. Exit status: 0 on success, 1 when a name cannot "
            "be resolved, a file cannot be read or a simulation is refused, 2 for a usage "
            "error.");

        for (const Command* command : cli::commands())
            command->addOptions(*add(command->name, command->description), args, texts);
    }

    CLI::App* add(const std::string& name, const std::string& description) {
        CLI::App* command = app.add_subcommand(name, description);
        command->allow_extras();
        subcommands[name] = command;
        return command;
    }

    // Whether `word` names an option of skarn-cli or of any command that
    // takes a value in the next word (as "--fights 10" does).
    bool takesNextWord(const std::string& word) const {
        if (word.size() < 2 || word[0] != '-' || word.find('=') != std::string::npos) return false;
        const auto takes = [&word](const CLI::App* app) {
            for (const CLI::Option* option : app->get_options())
                if (option->check_name(word) && option->get_items_expected_max() > 0) return true;
            return false;
        };
        if (takes(&app)) return true;
        for (const auto& entry : subcommands)
            if (takes(entry.second)) return true;
        return false;
    }

    // The words with the command's name moved to the front, so that the
    // options a player writes before it ("--json list", "--fights 10
    // outcome ...") are read as the command's own. The name is the first
    // word that is neither an option nor an option's value; anything else
    // stays where it is.
    std::vector<std::string> commandFirst(const std::vector<std::string>& words) const {
        for (std::size_t i = 0; i < words.size(); ++i) {
            const std::string& word = words[i];
            if (word.size() > 1 && word[0] == '-') {
                if (takesNextWord(word)) ++i;
                continue;
            }
            if (subcommands.count(word) == 0 || i == 0) return words;
            std::vector<std::string> moved{word};
            moved.insert(moved.end(), words.begin(), words.begin() + static_cast<std::ptrdiff_t>(i));
            moved.insert(moved.end(), words.begin() + static_cast<std::ptrdiff_t>(i) + 1, words.end());
            return moved;
        }
        return words;
    }

    // The names of the options among `apps` that the command line gives.
    static std::set<std::string> given(const std::vector<const CLI::App*>& apps) {
        std::set<std::string> names;
        for (const CLI::App* app : apps)
            for (const CLI::Option* option : app->get_options())
                if (option->count() > 0) names.insert(option->get_name());
        return names;
    }

    // The first option among `apps` given with an empty value ("--seed ''"
    // or "--seed="), or nullptr. CLI11 takes such a value as given, and an
    // empty text would otherwise read as "not given".
    static const CLI::Option* emptyValue(const std::vector<const CLI::App*>& apps) {
        for (const CLI::App* app : apps) {
            for (const CLI::Option* option : app->get_options()) {
                if (option->get_items_expected_max() == 0 || option->count() == 0) continue;
                for (const std::string& value : option->results())
                    if (value.empty()) return option;
            }
        }
        return nullptr;
    }

    // The commands other than `except` that have option `name`.
    std::vector<std::string> commandsWith(const std::string& name, const CLI::App* except) {
        std::vector<std::string> found;
        for (const auto& [commandName, command] : subcommands) {
            if (command == except) continue;
            for (const CLI::Option* option : command->get_options()) {
                if (option->check_name(name)) {
                    found.push_back(commandName);
                    break;
                }
            }
        }
        return found;
    }
};

const Command* commandNamed(const std::string& name) {
    for (const Command* command : cli::commands())
        if (name == command->name) return command;
    return nullptr;
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) text += i + 1 == words.size() ? " and " : ", ";
        text += words[i];
    }
    return text;
}

// The checks of values and combinations that CLI11 leaves to us, on the
// texts of the options in `given` (an empty text is checked like any other).
// Returns the error, or the empty text.
std::string checkValues(Arguments& args, const OptionTexts& t, const std::set<std::string>& given) {
    const auto has = [&given](const char* name) { return given.count(name) != 0; };
    if (has("--mode")) {
        const std::optional<FightMode> mode = model::modeNamed(t.mode);
        if (!mode) return "--mode must be damage60, opponent or death, not '" + t.mode + "'";
        args.mode = *mode;
    }
    if (has("--fights")) {
        std::int64_t fights = 0;
        if (!parseWhole<std::int64_t>(t.fights, 1, model::kMaxFights, fights))
            return "--fights must be a whole number from 1 to 1000000000, not '" + t.fights + "'";
        args.fights = fights;
    }
    if (has("--seed")) {
        std::uint32_t seed = 0;
        if (!parseWhole<std::uint32_t>(t.seed, 0, UINT32_MAX, seed))
            return "--seed must be a whole number from 0 to 4294967295, not '" + t.seed + "'";
        args.seed = seed;
    }
    if (has("--by")) {
        if (t.by == "weapon") args.rankBy = RankBy::Weapon;
        else if (t.by == "shield") args.rankBy = RankBy::Shield;
        else return "--by must be weapon or shield, not '" + t.by + "'";
    }
    if (has("--threads") && !parseWhole<int>(t.threads, 1, 1024, args.threads))
        return "--threads must be a whole number from 1 to 1024, not '" + t.threads + "'";
    if (has("--delta") && !parseWhole<std::int32_t>(t.delta, 1, 400, args.delta))
        return "--delta must be a whole number from 1 to 400, not '" + t.delta + "'";
    if (has("--target-error")) {
        double target = 0.0;
        if (!parseDecimal(t.targetError, 0.0, false, target))
            return "--target-error must be a number above 0, such as 0.5, not '" +
                   t.targetError + "'";
        args.targetError = target;
    }
    if (has("--target-result")) {
        bool known = false;
        for (const Result r : {Result::WinPercent, Result::DamageTaken, Result::DamageGiven,
                               Result::Time}) {
            if (t.targetResult == analysis::resultKey(r)) {
                args.targetResult = r;
                known = true;
            }
        }
        if (!known)
            return "--target-result must be winPercent, damageTaken, damageGiven or time, not '" +
                   t.targetResult + "'";
        if (!args.targetError) return "--target-result needs --target-error";
        // No other mode counts wins: the target could never be met, and the
        // run would fight to its cap for nothing.
        if (args.targetResult == Result::WinPercent && args.mode != ToTheDeath)
            return "--target-result winPercent needs --mode death, the only mode that counts wins";
    }
    if (has("--max-seconds")) {
        double seconds = 0.0;
        if (!parseDecimal(t.maxSeconds, 0.0, true, seconds))
            return "--max-seconds must be a number of seconds, such as 30, not '" +
                   t.maxSeconds + "'";
        args.maxSeconds = seconds;
    }
    if (args.json && args.csv) return "--json and --csv cannot be combined";
    return args.command->check(args);
}

}  // namespace

void addFightOptions(CLI::App& command, Arguments& args, OptionTexts& texts) {
    command.add_option("--you", args.you, "the You character, from [YourChars]")
        ->type_name("NAME")
        ->required();
    command.add_option("--opp", args.opp, "the Opponent, from [OppChars]")
        ->type_name("NAME")
        ->required();
    command.add_option("--mode", texts.mode,
                       "when a fight stops: damage60 (60 seconds, the default), opponent (the "
                       "Opponent's death) or death (either's death; only this counts wins)")
        ->type_name("MODE");
    command.add_option("--seed", texts.seed,
                       "seed of the dice, 0 to 4294967295 (default: the current time)")
        ->type_name("S");
    command.add_option("--you-weapon", args.youWeapon,
                       "fight with weapon W of the character's weapon type instead of its own")
        ->type_name("W");
    command.add_option("--you-shield", args.youShield,
                       "carry shield S instead of the stored one; \"none\" for no shield")
        ->type_name("S");
    command.add_option("--opp-weapon", args.oppWeapon, "the Opponent's weapon instead of its own")
        ->type_name("W");
    command.add_option("--opp-shield", args.oppShield, "the Opponent's shield; \"none\" for none")
        ->type_name("S");
    command.add_option("--max-seconds", texts.maxSeconds,
                       "refuse to start when the run is expected to take longer than this")
        ->type_name("S");
    command.add_flag("--json", args.json, "print JSON instead of tables")->disable_flag_override();
    command.add_flag("--csv", args.csv, "print the table as CSV")->disable_flag_override();
}

void addFights(CLI::App& command, OptionTexts& texts, const char* defaultText) {
    command.add_option("--fights", texts.fights,
                       std::string("number of fights, 1 to 1000000000 (default ") + defaultText +
                           ")")
        ->type_name("N");
}

void addThreads(CLI::App& command, OptionTexts& texts) {
    command.add_option("--threads", texts.threads,
                       "threads to fight on, 1 to 1024 (default: one per core); the figures "
                       "are the same for any number")
        ->type_name("N");
}

// --target-error, and --target-result unless the command decides what the
// target is about.
void addTarget(CLI::App& command, OptionTexts& texts, bool chooseResult) {
    command.add_option("--target-error", texts.targetError,
                       chooseResult
                           ? "fight in batches until the 95% interval of the target result is "
                             "within E percent of its mean (E points for the win %); --fights is "
                             "then the most (default 10000000)"
                           : "fight in batches until the 95% interval of every entry's ranked "
                             "result is within E percent of its mean (E points for the win %); "
                             "--fights is then the most (default 10000000)")
        ->type_name("E");
    if (!chooseResult) return;
    command.add_option("--target-result", texts.targetResult,
                       "the result --target-error is about: winPercent, damageTaken, "
                       "damageGiven or time (default: winPercent in death, time in opponent, "
                       "damageGiven in damage60)")
        ->type_name("R");
}

void addJson(CLI::App& command, Arguments& args) {
    command.add_flag("--json", args.json, "print JSON instead of tables")->disable_flag_override();
}

ParseResult parseArguments(int argc, const char* const* argv) {
    ParseResult result;
    Parser parser;
    const auto usageError = [&result](const std::string& message) {
        result.done = true;
        result.status = 2;
        result.error = message + " (see skarn-cli --help)";
        return result;
    };

    std::vector<std::string> words(argv + 1, argv + argc);
    for (const std::string& word : words) {
        const auto eq = word.find('=');
        if (word.rfind("--", 0) == 0 && eq != std::string::npos &&
            flagNames().count(word.substr(0, eq)) != 0)
            return usageError("option " + word.substr(0, eq) + " takes no value");
    }

    try {
        // CLI11 reads the words from the back.
        std::vector<std::string> reversed = parser.commandFirst(words);
        std::reverse(reversed.begin(), reversed.end());
        parser.app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        result.done = true;
        result.output = parser.app.help();
        return result;
    } catch (const CLI::CallForVersion& e) {
        result.done = true;
        result.output = std::string(e.what()) + "\n";
        return result;
    } catch (const CLI::ParseError& e) {
        return usageError(e.what());
    }

    const std::vector<CLI::App*> chosen = parser.app.get_subcommands();
    CLI::App* command = chosen.empty() ? nullptr : chosen.front();

    // Words nobody took, reported in the order they were given, options first.
    std::vector<std::string> leftover = parser.app.remaining();
    if (command) {
        for (const std::string& word : command->remaining()) leftover.push_back(word);
    }
    if (!leftover.empty()) {
        std::string first;
        for (const bool options : {true, false}) {
            for (const std::string& word : words) {
                const bool isOption = word.size() > 1 && word[0] == '-';
                if (isOption == options &&
                    std::find(leftover.begin(), leftover.end(), word) != leftover.end()) {
                    first = word;
                    break;
                }
            }
            if (!first.empty()) break;
        }
        if (first.empty()) first = leftover.front();
        if (first.size() > 1 && first[0] == '-') {
            const std::string name = first.substr(0, first.find('='));
            const std::vector<std::string> others = parser.commandsWith(name, command);
            if (command && !others.empty()) {
                return usageError("option " + name + " does not apply to " + command->get_name() +
                                  " (it belongs to " + joined(others) + ")");
            }
            return usageError("unknown option '" + name + "'");
        }
        if (!command) return usageError("unknown command '" + first + "' (try " + kCommandNames + ")");
        return usageError("unexpected argument '" + first + "'");
    }
    if (!command) return usageError(std::string("no command given (try ") + kCommandNames + ")");

    result.arguments = parser.args;
    result.arguments.command = commandNamed(command->get_name());
    const std::set<std::string> given = Parser::given({&parser.app, command});
    if (const std::string error = checkValues(result.arguments, parser.texts, given);
        !error.empty())
        return usageError(error);
    if (const CLI::Option* option = Parser::emptyValue({&parser.app, command}))
        return usageError(option->get_name() + " needs a value, not an empty one");
    return result;
}

std::string bashCompletion() {
    Parser parser;
    std::ostringstream out;
    out << "# bash completion for skarn-cli: source this file, or put it in\n"
           "# ~/.local/share/bash-completion/completions/skarn-cli\n"
           "_skarn_cli() {\n"
           "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} cmd= i\n"
           "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "    case ${COMP_WORDS[i]} in\n";
    std::string names;
    for (const auto& [name, command] : parser.subcommands) names += (names.empty() ? "" : "|") + name;
    std::string modeNames;
    for (const FightMode mode : model::kFightModes)
        modeNames += (modeNames.empty() ? "" : " ") + std::string(model::modeName(mode));
    out << "      " << names << ") cmd=${COMP_WORDS[i]}; break ;;\n"
        << "    esac\n  done\n"
        << "  case $prev in\n"
        << "    --mode) COMPREPLY=($(compgen -W \"" << modeNames << "\" -- \"$cur\")); return ;;\n"
        << "    --by) COMPREPLY=($(compgen -W \"weapon shield\" -- \"$cur\")); return ;;\n"
        << "    --target-result) COMPREPLY=($(compgen -W \"winPercent damageTaken damageGiven time\" -- \"$cur\")); return ;;\n"
        // Folder names one to a line, neither split at blanks nor taken as
        // patterns ("my data", "[x]"); bash then quotes them as file names.
        << "    --data) compopt -o filenames 2>/dev/null\n"
        << "      mapfile -t COMPREPLY < <(compgen -d -- \"$cur\"); return ;;\n"
        << "  esac\n"
        << "  local words\n"
        << "  case $cmd in\n";
    for (const auto& [name, command] : parser.subcommands) {
        std::string options;
        for (const CLI::Option* option : command->get_options()) {
            for (const std::string& flag : option->get_lnames()) options += " --" + flag;
            for (const std::string& flag : option->get_snames()) options += " -" + flag;
        }
        if (name == "completion") options += " bash";
        out << "    " << name << ") words=\"" << options.substr(options.empty() ? 0 : 1)
            << " --data\" ;;\n";
    }
    std::string top;
    for (const auto& [name, command] : parser.subcommands) top += name + " ";
    out << "    *) words=\"" << top << "--data --help --version\" ;;\n"
        << "  esac\n"
        << "  COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
        << "}\n"
        << "complete -F _skarn_cli skarn-cli\n";
    return out.str();
}

}  // namespace skarn::cli
