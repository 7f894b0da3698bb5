#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process.h"

namespace skarn::testing {

// What one run of the program left behind.
struct CliResult {
    int status = -1;  // the exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs the built skarn-cli with `args` in the working directory `cwd`, stdin
// empty and stdout and stderr captured byte for byte. A run that has not
// ended after two minutes is killed (status -1).
inline CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& cwd) {
    std::vector<std::string> words{SKARN_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    ChildProcess child(words, cwd);
    CliResult result;
    EXPECT_TRUE(child.started()) << "cannot start " << SKARN_CLI_PATH;
    result.status = child.wait(std::chrono::steady_clock::now() + std::chrono::minutes(2)).value_or(-1);
    result.out = child.out();
    result.err = child.err();
    return result;
}

// The text of the command line, to attach to failures.
inline std::string describe(const std::vector<std::string>& args) {
    std::string text = "skarn-cli";
    for (const std::string& arg : args) text += " '" + arg + "'";
    return text;
}

}  // namespace skarn::testing
