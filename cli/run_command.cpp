#include <CLI/CLI.hpp>

#include "cli/command.h"
#include "cli/matchup_run.h"

namespace skarn::cli {

namespace {

class RunCommand : public Command {
public:
    RunCommand()
        : Command("run",
                  "fights --you against --opp on one generator chain, as the window's Begin "
                  "does, and prints the four results with their 95% intervals") {}

    void addOptions(CLI::App& app, Arguments& args, OptionTexts& texts) const override {
        addFightOptions(app, args, texts);
        addFights(app, texts, "2187");
        app.add_flag("--histogram", args.histogram,
                     "add histograms and percentiles of the damage given, the damage taken "
                     "and the fight time")
            ->disable_flag_override();
        addTarget(app, texts, true);
    }

    int execute(const Arguments& args) const override { return runMatchup(args, false); }
};

}  // namespace

const Command& runCommand() {
    static const RunCommand command;
    return command;
}

}  // namespace skarn::cli
