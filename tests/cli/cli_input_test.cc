// skarn-cli on command lines and data a careless or hostile user may give:
// empty values, options out of place, names that are formulas or terminal
// controls. Each is answered with a clear message or safe output.

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "analysis/engine.h"
#include "cli/commands.h"
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
// minutes with no --max-seconds); so is a target that cannot be met.
TEST(CliInputTest, EmptyValuesAndUnreachableTargetsAreUsageErrors) {
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
        // A target no run of the mode can meet is refused before a fight.
        {with(run, {"--target-error", "1", "--target-result", "winPercent"}),
         "--target-result winPercent needs --mode death"},
        {with(outcome, {"--mode", "opponent", "--target-error", "1", "--target-result",
                        "winPercent"}),
         "--target-result winPercent needs --mode death"},
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

std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// Data files whose names a spreadsheet would run as formulas.
class FormulaNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(folder_.path() / "charfile.cfg",
                   crlf({"[YourChars]",
                         "\"Hero\"\t100\t100\t100\t2\t30\t100\t80\t100\t\"=1+2\"\t\"=SUM(A1)\"",
                         "[OppChars]",
                         "\"@Brute\"\t100\t50\t100\t1\t30\t100\t50\t100\t\"- none -\"\t\"Club\""}));
        writeBytes(folder_.path() / "equifile.cfg",
                   crlf({"[SwordWeapons]", "\"=SUM(A1)\"\t46\t2\t5\t3\t1", "\"-1+2\"\t40\t2\t4\t2\t1",
                         "[MaceWeapons]", "\"Club\"\t40\t2\t4\t2\t1", "[Shields]", "\"=1+2\"\t2",
                         "\"+1+2\"\t3", "\"@SUM(1,2)\"\t4", "\"=cmd|' /C calc'!A0\"\t5"}));
    }
    CliResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data", folder_.path().string()});
        return runCli(args, folder_.path());
    }
    TempDir folder_;
};

TEST_F(FormulaNamesTest, CsvWritesThemAsText) {
    const CliResult shields = run({"rank", "--by", "shield", "--you", "Hero", "--opp", "@Brute",
                                   "--fights", "20", "--seed", "1", "--csv"});
    ASSERT_EQ(shields.status, 0) << shields.err;
    for (const char* cell : {",'=1+2,", ",'+1+2,", ",\"'@SUM(1,2)\",", ",'=cmd|' /C calc'!A0,",
                             ",'- none -,"})
        EXPECT_NE(shields.out.find(cell), std::string::npos) << cell << "\n" << shields.out;
    const CliResult weapons = run({"rank", "--by", "weapon", "--you", "Hero", "--opp", "@Brute",
                                   "--fights", "20", "--seed", "1", "--csv"});
    ASSERT_EQ(weapons.status, 0) << weapons.err;
    for (const char* cell : {",'=SUM(A1),", ",'-1+2,"})
        EXPECT_NE(weapons.out.find(cell), std::string::npos) << cell << "\n" << weapons.out;
    // No cell of either begins with a formula's first character but a number's sign.
    for (const std::string& out : {shields.out, weapons.out}) {
        for (const char* start : {",=", ",+", ",@", ",\"=", ",\"@", ",-1+2", ",- none"})
            EXPECT_EQ(out.find(start), std::string::npos) << start << "\n" << out;
    }
    // Text output shows the names as they are.
    const CliResult text = run({"rank", "--by", "shield", "--you", "Hero", "--opp", "@Brute",
                                "--fights", "20", "--seed", "1"});
    EXPECT_NE(text.out.find("\"=1+2\""), std::string::npos) << text.out;
}

// A difference of nothing is 0, never -0: in text, CSV and JSON.
TEST(CliNumbersTest, NoNegativeZeroInAnyOutput) {
    // Every shield gives the same damage to the Orc Brute on the same dice,
    // so each one's difference to the best is zero.
    const std::vector<std::string> rank{"rank", "--by", "shield", "--you", "Brannoc the Bold",
                                        "--opp", "Orc Brute", "--fights", "10", "--seed", "1"};
    const CliResult text = runOnExamples(rank);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("0.00  [0.00, 0.00]"), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("-0.00"), std::string::npos) << text.out;

    std::vector<std::string> csv = rank;
    csv.push_back("--csv");
    const CliResult table = runOnExamples(csv);
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out.find("-0,"), std::string::npos) << table.out;
    EXPECT_EQ(table.out.find("-0.0"), std::string::npos) << table.out;

    std::vector<std::string> json = rank;
    json.push_back("--json");
    const CliResult printed = runOnExamples(json);
    ASSERT_EQ(printed.status, 0) << printed.err;
    EXPECT_EQ(printed.out.find("-0.0"), std::string::npos) << printed.out;
    const Json entries = Json::parse(printed.out);
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[1]["versusBest"]["mean"].dump(), "0") << printed.out;
}

#ifndef _WIN32
// Whether `bytes` holds a C0 control other than the line end, DEL or a
// C1 control in UTF-8: what could drive a terminal. (Windows takes no
// control characters in a folder's name, so the test below is skipped
// there.)
bool holdsControls(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if ((c < 0x20 && c != '\n') || c == 0x7F) return true;
        if (c == 0xC2 && i + 1 < bytes.size() &&
            (static_cast<unsigned char>(bytes[i + 1]) & 0xE0u) == 0x80u)
            return true;
    }
    return false;
}
#endif

// Paths and names with terminal controls are escaped in every text output
// and error, and each error is one line.
TEST(CliControlsTest, TextAndErrorsEscapeC0AndC1Controls) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows takes no control characters in a folder's name";
#else
    const TempDir root;
    const std::string evil = "evil\n\x1b[2J\xc2\x9b" "31mdata";
    const std::filesystem::path folder = root.path() / evil;
    std::filesystem::create_directory(folder);
    writeBytes(folder / "charfile.cfg",
               crlf({"[YourChars]",
                     "\"Csi\xc2\x9b" "31mHero\"\t100\t100\t100\t2\t30\t100\t80\t100\t\"- none -\"\t\"Blade\"",
                     "\"Esc\x1b[2JHero\"\t100\t100\t100\t2\t30\t100\t80\t100\t\"- none -\"\t\"Blade\"",
                     "[OppChars]",
                     "\"Bell\x07Brute\"\t100\t50\t100\t2\t30\t100\t50\t100\t\"- none -\"\t\"Blade\""}));
    writeBytes(folder / "equifile.cfg",
               crlf({"[SwordWeapons]", "\"Blade\"\t46\t2\t5\t3\t1", "[Shields]",
                     "\"Old\x9b" "Shield\"\t2"}));
    const std::string folderText = folder.string();
    const std::vector<std::vector<std::string>> texts = {
        {"--data", folderText, "list"},
        {"--data", folderText, "run", "--you", "Csi\xc2\x9b" "31mHero", "--opp", "Bell\x07Brute",
         "--fights", "5", "--seed", "1"},
        {"--data", folderText, "rank", "--by", "shield", "--you", "Esc\x1b[2JHero", "--opp",
         "Bell\x07Brute", "--fights", "5", "--seed", "1"},
    };
    for (const std::vector<std::string>& args : texts) {
        const CliResult result = runCli(args, root.path());
        EXPECT_EQ(result.status, 0) << describe(args) << "\n" << result.err;
        EXPECT_FALSE(holdsControls(result.out)) << describe(args) << "\n" << result.out;
        EXPECT_FALSE(holdsControls(result.err)) << describe(args) << "\n" << result.err;
    }
    const CliResult list = runCli(texts[0], root.path());
    EXPECT_NE(list.out.find("\"Csi\\u009b31mHero\""), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("\"Esc\\x1b[2JHero\""), std::string::npos) << list.out;
    // A byte that is not UTF-8 is left as it is.
    EXPECT_NE(list.out.find("\"Old\x9bShield\""), std::string::npos) << list.out;

    const std::vector<std::vector<std::string>> errors = {
        {"--data", folderText, "run", "--you", "No\x1b]0;owned\x07body", "--opp", "Bell\x07Brute"},
        {"--data", folderText + "\n\x1b[31mmissing", "list"},
        {"--data", folderText, "run", "--you", "Csi\xc2\x9b" "31mHero", "--opp", "Bell\x07Brute",
         "--bogus\x1b[31m"},
        {"--data", folderText, "rank", "--by", "shield\n\x1b[31m", "--you", "x", "--opp", "y"},
    };
    for (const std::vector<std::string>& args : errors) {
        const CliResult result = runCli(args, root.path());
        EXPECT_NE(result.status, 0) << describe(args);
        EXPECT_EQ(result.out, "") << describe(args);
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << describe(args) << "\n" << result.err;
        EXPECT_FALSE(holdsControls(result.err)) << describe(args) << "\n" << result.err;
        EXPECT_NE(result.err.find("\\x1b"), std::string::npos) << describe(args) << "\n" << result.err;
    }
#endif
}

#if defined(__SANITIZE_ADDRESS__)
#define SKARN_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKARN_UNDER_ASAN 1
#endif
#endif

// Under a memory limit the system makes only some of 64 threads: the run
// fights on those, warns once, and prints what one thread prints.
TEST(CliThreadsTest, FightsOnTheThreadsTheSystemMakes) {
#if defined(_WIN32) || defined(SKARN_UNDER_ASAN)
    GTEST_SKIP() << "needs ulimit -v, which AddressSanitizer's shadow memory does not fit in";
#else
    const TempDir scratch;
    const std::string args = "--data '" SKARN_EXAMPLES_DIR "' outcome --you 'Brannoc the Bold' "
                             "--opp 'Orc Brute' --fights 20000 --seed 1 --csv --threads ";
    const auto run = [&](const std::string& limit, const std::string& threads) {
        const std::string line = limit + "'" SKARN_CLI_PATH "' " + args + threads + " >'" +
                                 (scratch.path() / "out").string() + "' 2>'" +
                                 (scratch.path() / "err").string() + "'";
        const int status = std::system(("bash -c \"" + line + "\"").c_str());
        return CliResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                         readBytes(scratch.path() / "out"), readBytes(scratch.path() / "err")};
    };
    const CliResult one = run("", "1");
    ASSERT_EQ(one.status, 0) << one.err;
    // 64 thread stacks of 8 MiB do not fit in 400 MB of address space.
    const CliResult limited = run("ulimit -s 8192 && ulimit -v 400000 && ", "64");
    EXPECT_EQ(limited.status, 0) << limited.err;
    EXPECT_EQ(limited.out, one.out);
    EXPECT_EQ(limited.err.rfind("skarn-cli: warning: the system made only ", 0), 0u) << limited.err;
    EXPECT_EQ(limited.err.find('\n'), limited.err.size() - 1) << limited.err;
#endif
}

// A run on one generator chain that would draw past the generator's cycle
// is warned of before it starts; with a target error it stops there. The
// runs are refused by --max-seconds, so that nothing is fought.
TEST(CliCycleTest, RunWarnsPastTheGeneratorsCycleAndATargetStopsThere) {
    const std::vector<std::string> bear{"--you", "Brannoc the Bold", "--opp", "Cave Bear",
                                        "--mode", "opponent", "--max-seconds", "0.001"};
    const auto command = [&bear](const char* name, std::vector<std::string> more) {
        std::vector<std::string> args{name};
        args.insert(args.end(), bear.begin(), bear.end());
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const CliResult past = runOnExamples(command("run", {"--fights", "10000000"}));
    EXPECT_EQ(past.status, 1);
    EXPECT_EQ(past.err.rfind("skarn-cli: warning: this run is expected to draw more than 2^31", 0),
              0u)
        << past.err;

    const CliResult target = runOnExamples(command("run", {"--target-error", "0.01"}));
    EXPECT_EQ(target.status, 1);
    const std::string stops = "skarn-cli: warning: --target-error stops this run after ";
    ASSERT_EQ(target.err.rfind(stops, 0), 0u) << target.err;
    const long long most = std::stoll(target.err.substr(stops.size()));
    EXPECT_GT(most, 100000);
    EXPECT_LT(most, 10000000);

    // Below the cycle, and in outcome, whose fights have dice of their own:
    // no warning, only the refusal.
    for (const auto& args : {command("run", {"--fights", "100000"}),
                             command("outcome", {"--fights", "10000000"})}) {
        const CliResult quiet = runOnExamples(args);
        EXPECT_EQ(quiet.status, 1) << describe(args);
        EXPECT_EQ(quiet.err.find("warning"), std::string::npos) << describe(args) << quiet.err;
    }
}

// Completing --data offers folder names whole: with blanks, and with
// brackets that a pattern would read as a set.
TEST(CliCompletionTest, DataFolderNamesAreOfferedAsTheyAre) {
#ifdef _WIN32
    GTEST_SKIP() << "needs bash";
#else
    const TempDir scratch;
    for (const char* name : {"my data", "[x]", "x", "plain"})
        std::filesystem::create_directories(scratch.path() / "folders" / name);
    writeBytes(scratch.path() / "folders" / "afile", "");
    const CliResult script = runCli({"completion", "bash"}, scratch.path());
    ASSERT_EQ(script.status, 0) << script.err;
    writeBytes(scratch.path() / "completion.bash", script.out);
    writeBytes(scratch.path() / "complete.sh",
               "cd folders && source ../completion.bash\n"
               "for cur in '' 'my' '[' 'x'; do\n"
               "  COMP_WORDS=(skarn-cli --data \"$cur\"); COMP_CWORD=2; COMPREPLY=()\n"
               "  _skarn_cli\n"
               "  printf '%s|' \"${COMPREPLY[@]}\"; echo\n"
               "done\n");
    const std::string line = "cd '" + scratch.path().string() + "' && bash complete.sh >out 2>err";
    ASSERT_EQ(std::system(line.c_str()), 0) << readBytes(scratch.path() / "err");
    const std::string out = readBytes(scratch.path() / "out");
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < out.size();) {
        const std::size_t end = out.find('\n', start);
        lines.push_back(out.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(lines.size(), 4u) << out;
    // compgen lists in the order of the folder; sort each line's names.
    const auto names = [](const std::string& text) {
        std::vector<std::string> found;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = text.find('|', start);
            found.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    EXPECT_EQ(names(lines[0]), (std::vector<std::string>{"[x]", "my data", "plain", "x"}));
    EXPECT_EQ(names(lines[1]), (std::vector<std::string>{"my data"}));
    EXPECT_EQ(names(lines[2]), (std::vector<std::string>{"[x]"}));
    EXPECT_EQ(names(lines[3]), (std::vector<std::string>{"x"}));
#endif
}

// Memory that runs out mid-run ends the command with one line and status 1,
// in place of an abort; here the first thread of the run cannot be had.
TEST(CliMemoryTest, OutOfMemoryIsOneLineAndAFailure) {
    analysis::setThreadStartHook([] { throw std::bad_alloc(); });
    const char* argv[] = {"skarn-cli", "--data", SKARN_EXAMPLES_DIR, "outcome", "--you",
                          "Brannoc the Bold", "--opp", "Orc Brute", "--fights", "1000",
                          "--seed", "1", "--threads", "2"};
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = cli::runCommandLine(static_cast<int>(std::size(argv)), argv);
    const std::string err = ::testing::internal::GetCapturedStderr();
    const std::string out = ::testing::internal::GetCapturedStdout();
    analysis::setThreadStartHook({});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, "skarn-cli: out of memory\n");
    EXPECT_EQ(out, "");
}

// A ranking of shields stops on the damage taken, the result it ranks, in
// the modes whose main result is another: text and JSON name that one.
TEST(CliTargetTest, ShieldRankingsNameTheResultTheirTargetMeasures) {
    for (const char* mode : {"opponent", "damage60"}) {
        const std::vector<std::string> rank{"rank", "--by", "shield", "--you", "Brannoc the Bold",
                                            "--opp", "Orc Brute", "--mode", mode,
                                            "--target-error", "5", "--fights", "3000", "--seed", "1"};
        const CliResult text = runOnExamples(rank);
        ASSERT_EQ(text.status, 0) << mode << "\n" << text.err;
        EXPECT_NE(text.out.find("Target +-5% of the mean for damage taken:"), std::string::npos)
            << mode << "\n" << text.out;
        std::vector<std::string> json = rank;
        json.push_back("--json");
        const CliResult printed = runOnExamples(json);
        ASSERT_EQ(printed.status, 0) << printed.err;
        const Json entries = Json::parse(printed.out);
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries[0]["target"]["result"], "damageTaken") << mode;
        EXPECT_EQ(entries[0]["measure"]["name"], "damageTaken") << mode;
    }
}

// An estimate below a tenth of a second is not written as 0.0 s.
TEST(CliNumbersTest, MaxSecondsZeroNamesTheEstimate) {
    const CliResult refused = runOnExamples({"run", "--you", "Brannoc the Bold", "--opp",
                                             "Orc Brute", "--fights", "10", "--max-seconds", "0"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.find("about 0.0 s"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--max-seconds 0\n"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace skarn::testing
