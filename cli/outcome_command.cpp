#include "cli/command.h"
#include "cli/exact_choice.h"
#include "cli/matchup_run.h"

namespace skarn::cli {

namespace {

class OutcomeCommand : public Command {
public:
    OutcomeCommand()
        : Command("outcome",
                  "the four results exactly, with their standard deviations, distributions and "
                  "percentiles; or, sampled, with their 95% intervals, histograms and "
                  "percentiles from fights on per-fight dice streams over every core") {}

    void addOptions(CLI::App& app, Arguments& args, OptionTexts& texts) const override {
        addFightOptions(app, args, texts);
        addFights(app, texts, "2187");
        addThreads(app, texts);
        addTarget(app, texts, true);
        addMethodOptions(app, args);
    }

    std::string check(const Arguments& args) const override { return checkMethodOptions(args); }

    int execute(const Arguments& args) const override { return runMatchup(args, true); }
};

}  // namespace

const Command& outcomeCommand() {
    static const OutcomeCommand command;
    return command;
}

}  // namespace skarn::cli
