// skarn-cli on command lines and data a careless or hostile user may give:
// empty values, options out of place, names that are formulas or terminal
// controls. Each is answered with a clear message or safe output.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/cli/cli_runner.h"

namespace skarn::testing {
namespace {

using Json = nlohmann::json;

// Runs on the example data files.
CliResult runOnExamples(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data", SKARN_EXAMPLES_DIR});
    const TempDir cwd;
    return runCli(args, cwd.path());
}

struct UsageCase {
    std::vector<std::string> args;
    std::string mention;  // a text the message must hold
};

// A value given empty is refused like any malformed one, never taken as
// "not given" (which would fight with a seed from the clock, or for
// minutes with no --max-seconds).
TEST(CliInputTest, EmptyValuesAreUsageErrors) {
    const std::vector<std::string> run{"run", "--you", "Brannoc the Bold", "--opp", "Orc Brute"};
    const auto with = [](std::vector<std::string> base, std::vector<std::string> more) {
        base.insert(base.end(), more.begin(), more.end());
        return base;
    };
    const std::vector<std::string> outcome{"outcome", "--you", "Brannoc the Bold", "--opp",
                                           "Orc Brute"};
    const std::vector<std::string> rank{"rank", "--you", "Brannoc the Bold", "--opp",
                                        "Orc Brute"};
    const UsageCase cases[] = {
        {with(rank, {"--by", ""}), "--by must be weapon or shield"},
        {with(run, {"--fights", ""}), "--fights must be a whole number"},
        {with(run, {"--fights="}), "--fights"},
        {with(run, {"--seed", ""}), "--seed must be a whole number"},
        {with(outcome, {"--threads", ""}), "--threads must be a whole number"},
        {with(run, {"--target-error", ""}), "--target-error must be a number"},
        {with(run, {"--target-error", "1", "--target-result", ""}), "--target-result must be"},
        {with(run, {"--max-seconds", ""}), "--max-seconds must be a number"},
        {with(run, {"--mode", ""}), "--mode must be"},
        {{"scale", "--you", "Brannoc the Bold", "--opp", "Orc Brute", "--delta", ""},
         "--delta must be a whole number"},
        {{"run", "--you", "", "--opp", "Orc Brute"}, "--you needs a value"},
        {with(run, {"--you-shield", ""}), "--you-shield needs a value"},
        {{"--data", "", "list"}, "--data needs a value"},
    };
    for (const UsageCase& c : cases) {
        // Straight to the program, so that --data '' is the only folder given.
        const TempDir cwd;
        const CliResult result = runCli(c.args, cwd.path());
        const std::string what = describe(c.args);
        EXPECT_EQ(result.status, 2) << what << "\n" << result.err;
        EXPECT_EQ(result.out, "") << what;
        EXPECT_NE(result.err.find(c.mention), std::string::npos) << what << "\n" << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << what << "\n" << result.err;
    }
}

// A command's options may come before its name as well as after it.
TEST(CliInputTest, OptionsBeforeTheCommandNameAreTheCommands) {
    const CliResult after = runOnExamples({"list", "--json"});
    const CliResult before = runOnExamples({"--json", "list"});
    ASSERT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(before.status, 0) << before.err;
    EXPECT_EQ(before.err, "");
    EXPECT_EQ(before.out, after.out);

    const std::vector<std::string> fight{"--you", "Brannoc the Bold", "--opp", "Orc Brute",
                                         "--seed", "3", "--json"};
    std::vector<std::string> split{"--fights", "10", "outcome"};
    split.insert(split.end(), fight.begin(), fight.end());
    std::vector<std::string> usual{"outcome", "--fights", "10"};
    usual.insert(usual.end(), fight.begin(), fight.end());
    const CliResult given = runOnExamples(split);
    EXPECT_EQ(given.status, 0) << given.err;
    EXPECT_EQ(given.out, runOnExamples(usual).out);
    EXPECT_EQ(Json::parse(given.out).value("fights", 0), 10) << given.out;

    // An option that no form of the command takes is still named as such,
    // and a value that looks like a command stays the option's value.
    const CliResult misplaced = runOnExamples({"--fights", "10", "list"});
    EXPECT_EQ(misplaced.status, 2);
    EXPECT_NE(misplaced.err.find("--fights does not apply to list"), std::string::npos)
        << misplaced.err;
    const CliResult valueLikeACommand = runOnExamples({"--you", "list", "run", "--opp", "Orc Brute"});
    EXPECT_EQ(valueLikeACommand.status, 1) << valueLikeACommand.err;
    EXPECT_NE(valueLikeACommand.err.find("\"list\""), std::string::npos) << valueLikeACommand.err;
}

}  // namespace
}  // namespace skarn::testing
