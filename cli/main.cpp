#include "cli/commands.h"
#include "cli/console.h"

int main(int argc, char** argv) {
    skarn::cli::Utf8Arguments arguments(argc, argv);
    skarn::cli::setUpStandardStreams();
    return skarn::cli::runCommandLine(arguments.argc(), arguments.argv());
}
