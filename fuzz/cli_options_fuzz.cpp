// libFuzzer target over skarn-cli's command line: the input is split at NUL
// bytes into the words after the program's name, and only the option parsing
// reads them (parseArguments); no command runs and no file is opened.
//
// Checked on every input, besides the sanitizers: a usage error exits 2 with
// a one-line message; help and version exit 0 with text and no error; a
// command line that parses names a command, and the values it checked lie
// within their ranges.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/options.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words{"skarn-cli"};
    std::string word;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    if (size > 0) words.push_back(word);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);

    const skarn::cli::ParseResult result =
        skarn::cli::parseArguments(static_cast<int>(words.size()), argv.data());
    if (result.done) {
        if (result.status == 2) {
            check(!result.error.empty());
            check(result.output.empty());
        } else {
            check(result.status == 0 && result.error.empty() && !result.output.empty());
        }
        return 0;
    }
    const skarn::cli::Arguments& args = result.arguments;
    check(args.command != nullptr);
    check(!(args.json && args.csv));
    check(!args.fights || (*args.fights >= 1 && *args.fights <= 1'000'000'000));
    check(args.threads >= 0 && args.threads <= 1024);
    check(args.delta >= 1 && args.delta <= 400);
    check(!args.targetError || *args.targetError > 0.0);
    check(!args.maxSeconds || *args.maxSeconds >= 0.0);
    return 0;
}
