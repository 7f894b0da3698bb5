#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/files.h"

namespace skarn::testing {

// What one run of the program left behind.
struct CliResult {
    int status = -1;  // the exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs the built skarn-cli with `args` in the working directory `cwd`,
// stdin empty and stdout and stderr captured through files in `scratch`
// (which must not be `cwd`, so that the program's folder holds only what
// the test put there).
inline CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                        const std::filesystem::path& scratch) {
    const std::string outPath = (scratch / "stdout").string();
    const std::string errPath = (scratch / "stderr").string();
    std::vector<std::string> words{SKARN_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
            dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0)
            _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    CliResult result;
    int wstatus = 0;
    if (pid > 0 && waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus))
        result.status = WEXITSTATUS(wstatus);
    result.out = readBytes(outPath);
    result.err = readBytes(errPath);
    return result;
}

// The text of the command line, to attach to failures.
inline std::string describe(const std::vector<std::string>& args) {
    std::string text = "skarn-cli";
    for (const std::string& arg : args) text += " '" + arg + "'";
    return text;
}

}  // namespace skarn::testing
