#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analysis/engine.h"
#include "analysis/rank.h"
#include "combat/fight.h"

namespace CLI {
class App;
}

namespace skarn::cli {

class Command;

// What the command line asks for, checked for form only: names are looked up
// later, against the data files.
struct Arguments {
    const Command* command = nullptr;  // the command to run
    std::optional<std::string> dataDir;  // --data; the working directory when absent
    bool json = false;
    bool csv = false;

    std::optional<std::string> you, opp;
    FightMode mode = DamagePer60Seconds;
    std::optional<std::int64_t> fights;  // the command's default when absent
    std::optional<std::uint32_t> seed;   // the current time when absent
    std::optional<std::string> youWeapon, youShield, oppWeapon, oppShield;
    std::optional<analysis::RankBy> rankBy;
    bool allTypes = false;
    bool exact = false;    // --exact: exact odds or nothing
    bool sampled = false;  // --sampled: fight, even where exact odds could answer
    bool histogram = false;
    bool stats = false;  // list --stats
    std::optional<double> targetError;
    std::optional<analysis::Result> targetResult;
    int threads = 0;  // 0: one per core
    std::int32_t delta = 10;
    std::optional<double> maxSeconds;
    std::string shell;  // of completion
};

// The raw texts of the options whose values are checked after parsing, so
// that the messages say what a value must be.
struct OptionTexts {
    std::string mode, fights, seed, by, targetError, targetResult, threads, delta, maxSeconds;
};

// The options the commands share, for their addOptions.
// --you, --opp, --mode, --seed, the weapons and shields, --max-seconds,
// --json and --csv: every command that fights takes them.
void addFightOptions(CLI::App& command, Arguments& args, OptionTexts& texts);
// --fights, with the command's default in its help.
void addFights(CLI::App& command, OptionTexts& texts, const char* defaultText);
void addThreads(CLI::App& command, OptionTexts& texts);
// --target-error, and --target-result unless the command decides what the
// target is about.
void addTarget(CLI::App& command, OptionTexts& texts, bool chooseResult);
// --json alone.
void addJson(CLI::App& command, Arguments& args);

// The outcome of reading the command line: the arguments to run, or text to
// print and an exit status (help, version, a usage error).
struct ParseResult {
    Arguments arguments;
    bool done = false;    // nothing to run: print `output` or `error`, exit with `status`
    int status = 0;
    std::string output;   // for stdout
    std::string error;    // one line, without the program's name
};

// Reads the words of the command line, the program name first.
ParseResult parseArguments(int argc, const char* const* argv);

// A bash completion script for skarn-cli, made from its commands and options.
std::string bashCompletion();

}  // namespace skarn::cli
