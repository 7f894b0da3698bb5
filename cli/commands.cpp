#include "cli/commands.h"

#include <cstdio>
#include <new>

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
    int status = kExitOk;
    try {
        status = parsed.arguments.command->execute(parsed.arguments);
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        printError("out of memory");
        return kExitFailure;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printError("cannot write the output");
        return kExitFailure;
    }
    return status;
}

}  // namespace skarn::cli
