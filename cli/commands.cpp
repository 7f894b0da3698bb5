#include "cli/commands.h"

#include <cstdio>

#include "cli/command.h"
#include "cli/options.h"
#include "cli/output.h"

namespace skarn::cli {

const std::vector<const Command*>& commands() {
    static const std::vector<const Command*> all = {&listCommand(),    &runCommand(),
                                                    &outcomeCommand(), &rankCommand(),
                                                    &scaleCommand(),   &completionCommand()};
    return all;
}

int runCommandLine(int argc, const char* const* argv) {
    const ParseResult parsed = parseArguments(argc, argv);
    if (parsed.done) {
        if (!parsed.error.empty()) printError(parsed.error);
        printOut(parsed.output);
        return parsed.status;
    }
    const int status = parsed.arguments.command->execute(parsed.arguments);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printError("cannot write the output");
        return kExitFailure;
    }
    return status;
}

}  // namespace skarn::cli
