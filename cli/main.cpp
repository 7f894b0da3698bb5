#include "cli/commands.h"

int main(int argc, char** argv) { return skarn::cli::runCommandLine(argc, argv); }
