#pragma once

#include <string>
#include <vector>

#include "cli/options.h"

namespace CLI {
class App;
}

namespace skarn::cli {

// One command of skarn-cli: its name and its line in the help, its options,
// the checks of their combinations, and what it does. Each lives in a file
// of its own (list_command.cpp, ...); the parser and runCommandLine go
// through commands() alone.
class Command {
public:
    Command(const char* name, const char* description) : name(name), description(description) {}
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    // Adds the command's options to its `app`, bound to `args` and, for the
    // values checked after parsing, to `texts`.
    virtual void addOptions(CLI::App& app, Arguments& args, OptionTexts& texts) const = 0;
    // What CLI11 cannot check: combinations of this command's options, once
    // every value was read. The error, or "".
    virtual std::string check(const Arguments&) const { return ""; }
    // Runs the command on checked arguments: the output on stdout, errors
    // (one line each) and warnings on stderr. Returns the exit status.
    virtual int execute(const Arguments& args) const = 0;

    const char* const name;
    const char* const description;
};

// Every command, in the order the help lists them.
const std::vector<const Command*>& commands();

// The commands, each defined in its own file.
const Command& listCommand();
const Command& runCommand();
const Command& outcomeCommand();
const Command& rankCommand();
const Command& scaleCommand();
const Command& completionCommand();

}  // namespace skarn::cli
