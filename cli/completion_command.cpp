#include <CLI/CLI.hpp>

#include "cli/command.h"
#include "cli/commands.h"
#include "cli/output.h"

namespace skarn::cli {

namespace {

class CompletionCommand : public Command {
public:
    CompletionCommand() : Command("completion", "prints a completion script: completion bash") {}

    void addOptions(CLI::App& app, Arguments& args, OptionTexts&) const override {
        app.add_option("shell", args.shell, "the shell: bash")->required();
    }

    std::string check(const Arguments& args) const override {
        if (args.shell != "bash") return "completion knows bash only, not '" + args.shell + "'";
        return "";
    }

    int execute(const Arguments&) const override {
        printOut(bashCompletion());
        return kExitOk;
    }
};

}  // namespace

const Command& completionCommand() {
    static const CompletionCommand command;
    return command;
}

}  // namespace skarn::cli
