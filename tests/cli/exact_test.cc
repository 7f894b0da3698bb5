// skarn-cli's exact answers, checked against its own sampled fights, and
// the context every CSV carries.

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/cli/cli_runner.h"

namespace skarn::testing {
namespace {

using Json = nlohmann::json;

CliResult runExamples(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data", SKARN_EXAMPLES_DIR});
    static const TempDir cwd;
    return runCli(args, cwd.path());
}

Json jsonOf(const std::vector<std::string>& args) {
    const CliResult result = runExamples(args);
    EXPECT_EQ(result.status, 0) << describe(args) << "\n" << result.err;
    try {
        return Json::parse(result.out);
    } catch (const std::exception& e) {
        ADD_FAILURE() << describe(args) << ": " << e.what() << "\n" << result.out;
        return Json(nullptr);
    }
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    return out;
}

std::vector<std::string> cells(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = line.find(',', start)) != std::string::npos; start = end + 1)
        out.push_back(line.substr(start, end - start));
    out.push_back(line.substr(start));
    return out;
}

struct Matchup {
    std::string you, opp, mode;
};

const Matchup kMatchups[] = {
    {"Brannoc the Bold", "Orc Brute", "damage60"},
    {"Ysolde Vane", "Marsh Lizardman", "opponent"},
    {"Old Tam", "Skeleton Knight", "death"},
};

// By default the answer is exact; --sampled fights. A sampled run of 10^5
// fights strays from the exact means by at most 4.5 standard errors (the
// exact standard deviation over the square root of the fights), and
// results with no spread are met exactly.
TEST(CliExactTest, ExactByDefaultAgreesWithTheSampledFights) {
    constexpr double kFights = 100'000;
    for (const Matchup& m : kMatchups) {
        const std::vector<std::string> base{"outcome", "--you", m.you,  "--opp",
                                            m.opp,     "--mode", m.mode, "--json"};
        const Json exact = jsonOf(base);
        std::vector<std::string> sampledArgs = base;
        sampledArgs.insert(sampledArgs.end(), {"--sampled", "--fights", "100000", "--seed", "11"});
        const Json sampled = jsonOf(sampledArgs);
        ASSERT_EQ(exact["method"], "exact") << m.mode;
        ASSERT_EQ(sampled["method"], "sampled") << m.mode;
        const Json& totals = sampled["totals"];
        const std::map<std::string, double> sampledMeans = {
            {"winPercent", totals["winCount"].get<double>() * 100.0 / kFights},
            {"damageTaken", totals["damageTakenSum"].get<double>() / kFights},
            {"damageGiven", totals["damageGivenSum"].get<double>() / kFights},
            {"time", totals["tickSum"].get<double>() / kFights / 100.0},
        };
        for (const auto& [key, mean] : sampledMeans) {
            const Json& figure = exact["exact"][key];
            if (figure.is_null()) {
                EXPECT_EQ(m.mode == "death", false) << key << ": only death counts wins";
                continue;
            }
            const double sd = exact["exact"]["sd"][key].get<double>();
            const double error = sd / std::sqrt(kFights);
            if (sd == 0.0) {
                EXPECT_NEAR(mean, figure.get<double>(), 1e-9) << m.mode << " " << key;
                continue;
            }
            EXPECT_LE(std::fabs(mean - figure.get<double>()), 4.5 * error)
                    << m.mode << " " << key << ": sampled " << mean << ", exact " << figure;
        }
        // The results are the exact means cut as the Results dialog cuts them.
        EXPECT_EQ(exact["results"]["time"].get<double>(),
                  std::trunc(exact["exact"]["time"].get<double>()))
            << m.mode;
        EXPECT_EQ(exact["you"], sampled["you"]) << m.mode;
    }
}

// An exact outcome in JSON: the method, no seed, fights, totals or target,
// null intervals, and whole laws whose percentiles are the smallest values
// reaching their fraction.
TEST(CliExactTest, ExactOutcomeJsonHoldsTheWholeLaws) {
    for (const Matchup& m : kMatchups) {
        const Json json = jsonOf({"outcome", "--you", m.you, "--opp", m.opp, "--mode", m.mode,
                                  "--json"});
        ASSERT_TRUE(json.is_object()) << m.mode;
        for (const char* absent : {"seed", "fights", "totals", "target", "histograms"})
            EXPECT_FALSE(json.contains(absent)) << m.mode << " " << absent;
        EXPECT_EQ(json["modeName"], m.mode);
        for (const auto& [key, value] : json["ci95"].items()) EXPECT_TRUE(value.is_null()) << key;
        const Json& exact = json["exact"];
        EXPECT_EQ(exact["winPercent"].is_null(), m.mode != "death") << m.mode;
        EXPECT_EQ(exact["sd"]["winPercent"].is_null(), m.mode != "death") << m.mode;
        const double unaccounted = exact["unaccounted"].get<double>();
        EXPECT_GE(unaccounted, 0.0);
        EXPECT_LT(unaccounted, 1e-12);
        for (const char* key : {"damageGiven", "damageTaken", "time"}) {
            const Json& law = exact["distributions"][key];
            const Json& values = law["values"];
            const Json& probabilities = law["probabilities"];
            ASSERT_EQ(values.size(), probabilities.size()) << key;
            ASSERT_FALSE(values.empty()) << key;
            double total = 0.0, mean = 0.0;
            for (std::size_t i = 0; i < values.size(); ++i) {
                total += probabilities[i].get<double>();
                mean += probabilities[i].get<double>() * values[i].get<double>();
                if (i > 0) {
                    EXPECT_LT(values[i - 1].get<double>(), values[i].get<double>()) << key;
                }
            }
            EXPECT_NEAR(total, 1.0, 1e-12) << m.mode << " " << key;
            EXPECT_NEAR(mean, exact[key].get<double>(), 1e-9 * std::fabs(mean) + 1e-12)
                << m.mode << " " << key;
            for (const auto& [name, fraction] :
                 std::map<std::string, double>{{"p5", 0.05}, {"p50", 0.5}, {"p95", 0.95}}) {
                const double p = exact["percentiles"][key][name].get<double>();
                double below = 0.0;
                std::size_t i = 0;
                while (values[i].get<double>() < p) below += probabilities[i++].get<double>();
                ASSERT_EQ(values[i].get<double>(), p) << key << " " << name << " is a value";
                EXPECT_LT(below, fraction) << key << " " << name << " is the smallest";
                EXPECT_GE(below + probabilities[i].get<double>(), fraction - 1e-12) << key << name;
            }
        }
        if (m.mode == "damage60") {
            // Every fight lasts 60 seconds, in seconds and not truncated.
            EXPECT_EQ(exact["time"], 60);
            EXPECT_EQ(exact["distributions"]["time"]["values"], Json::array({60}));
        }
    }
}

// Every CSV leads with the matchup: you, opp, mode, then seed and fights
// for sampled figures or the method for exact ones; the outcome is one
// table whose kind column says what each row holds.
TEST(CliExactTest, CsvLinesNameTheirMatchupAndMethod) {
    struct Case {
        std::vector<std::string> args;
        std::string header;   // the start of the first line
        std::string context;  // the start of every other line
        std::set<std::string> kinds;  // of the outcome's rows
    };
    const Case cases[] = {
        {{"outcome", "--you", "Old Tam", "--opp", "Cave Bear", "--mode", "death", "--csv"},
         "you,opp,mode,method,kind,result,value,mean,sd,low,high,p5,p50,p95,probability",
         "Old Tam,Cave Bear,death,exact,",
         {"result", "unaccounted", "distribution"}},
        {{"outcome", "--you", "Old Tam", "--opp", "Cave Bear", "--sampled", "--fights", "300",
          "--seed", "8", "--csv"},
         "you,opp,mode,seed,fights,kind,result,value,mean,low,high,from,to,count",
         "Old Tam,Cave Bear,damage60,8,300,",
         {"result", "histogram"}},
        {{"rank", "--by", "shield", "--you", "Brannoc the Bold", "--opp", "Orc Brute", "--csv"},
         "you,opp,mode,method,rank,shield,weaponType,damageTaken,low,high,versusBest,",
         "Brannoc the Bold,Orc Brute,damage60,exact,",
         {}},
        {{"scale", "--you", "Hrolf Greatmaul", "--opp", "Orc Brute", "--mode", "opponent",
          "--csv"},
         "you,opp,mode,method,stat,value,tried_low,tried_high,",
         "Hrolf Greatmaul,Orc Brute,opponent,exact,",
         {}},
    };
    for (const Case& c : cases) {
        const CliResult result = runExamples(c.args);
        ASSERT_EQ(result.status, 0) << describe(c.args) << "\n" << result.err;
        EXPECT_EQ(result.err, "") << describe(c.args);
        const std::vector<std::string> rows = lines(result.out);
        ASSERT_GE(rows.size(), 2u) << result.out;
        EXPECT_EQ(rows[0].rfind(c.header, 0), 0u) << rows[0];
        const std::vector<std::string> header = cells(rows[0]);
        std::set<std::string> kinds;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].rfind(c.context, 0), 0u) << "line " << i << ": " << rows[i];
            const std::vector<std::string> row = cells(rows[i]);
            ASSERT_EQ(row.size(), header.size()) << "line " << i << ": " << rows[i];
            const auto kind = std::find(header.begin(), header.end(), "kind");
            if (kind != header.end()) kinds.insert(row[static_cast<std::size_t>(kind - header.begin())]);
            // Exact figures have no interval: their bounds are empty.
            if (c.context.find(",exact,") != std::string::npos) {
                for (std::size_t k = 0; k < header.size(); ++k) {
                    if (header[k] == "low" || header[k] == "high" || header[k] == "versusBestLow" ||
                        header[k] == "versusBestHigh" || header[k] == "perPointLow" ||
                        header[k] == "perPointHigh") {
                        EXPECT_EQ(row[k], "") << header[k] << " in " << rows[i];
                    }
                }
            }
        }
        EXPECT_EQ(kinds, c.kinds) << describe(c.args);
    }
}

// A fixture the engine declines: a You side that needs hours to fell an
// Opponent of 1000 hit points, in mode opponent, while the Opponent's
// thousands of heavy blows pile up.
class CliDeclinedTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(data_.path() / "charfile.cfg",
                   "[YourChars]\r\n"
                   "\"Hero\"\t100\t100\t100\t2\t30\t100\t80\t100\t\"- none -\"\t\"Short Sword\"\r\n"
                   "[OppChars]\r\n"
                   "\"Wall\"\t400\t400\t100\t2\t0\t300\t0\t1000\t\"- none -\"\t\"Doom Blade\"\r\n"
                   "\"Brute\"\t100\t50\t100\t1\t30\t100\t50\t100\t\"- none -\"\t\"Club\"\r\n");
        writeBytes(data_.path() / "equifile.cfg",
                   "[MaceWeapons]\r\n\"Club\"\t40\t2\t4\t2\t1\r\n"
                   "[SwordWeapons]\r\n\"Short Sword\"\t46\t2\t5\t3\t1\r\n"
                   "\"Doom Blade\"\t60\t10\t10\t100\t1\r\n"
                   "[Shields]\r\n\"Buckler\"\t2\r\n");
    }
    CliResult run(const std::vector<std::string>& args) { return runCli(args, data_.path()); }
    TempDir data_;
};

TEST_F(CliDeclinedTest, ExactInsistsWhereTheEngineDeclinesAndTheDefaultSamples) {
    const std::vector<std::string> wall{"--you", "Hero", "--opp", "Wall", "--mode", "opponent"};
    const auto with = [&](std::string command, std::vector<std::string> more) {
        std::vector<std::string> args{std::move(command)};
        args.insert(args.end(), wall.begin(), wall.end());
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };

    // --exact refuses, with the engine's reason; in a ranking, naming the
    // candidate it declines.
    const CliResult refused = run(with("outcome", {"--exact", "--json"}));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err.rfind("skarn-cli: no exact answer: Exact odds would take too long", 0),
              0u)
        << refused.err;
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    const CliResult rank = run(with("rank", {"--by", "shield", "--exact"}));
    EXPECT_EQ(rank.status, 1);
    EXPECT_NE(rank.err.find("\"Buckler\": Exact odds would take too long"), std::string::npos)
        << rank.err;

    // Without it the whole answer is sampled, and says so.
    const CliResult sampled = run(with("outcome", {"--json"}));
    ASSERT_EQ(sampled.status, 0) << sampled.err;
    EXPECT_EQ(sampled.err.rfind("skarn-cli: sampled, as exact odds cannot answer: ", 0), 0u)
        << sampled.err;
    const Json json = Json::parse(sampled.out);
    EXPECT_EQ(json["method"], "sampled");
    EXPECT_EQ(json["fights"], 2187);
    EXPECT_TRUE(json.contains("seed"));
    EXPECT_FALSE(json.contains("exact"));

    // The same fighters against an Opponent the engine answers: exact.
    const CliResult brute = run({"outcome", "--you", "Hero", "--opp", "Brute", "--exact", "--json"});
    ASSERT_EQ(brute.status, 0) << brute.err;
    EXPECT_EQ(Json::parse(brute.out)["method"], "exact");
}

TEST_F(CliDeclinedTest, ExactGoesWithNoOptionOfSampling) {
    const std::vector<std::string> base{"outcome", "--you", "Hero", "--opp", "Brute", "--exact"};
    for (const std::vector<std::string>& more :
         std::vector<std::vector<std::string>>{{"--sampled"},
                                               {"--fights", "10"},
                                               {"--seed", "1"},
                                               {"--target-error", "1"}}) {
        std::vector<std::string> args = base;
        args.insert(args.end(), more.begin(), more.end());
        const CliResult result = run(args);
        EXPECT_EQ(result.status, 2) << describe(args);
        EXPECT_NE(result.err.find(more.front()), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

// list --stats: each character as it fights, in JSON as outcome's fighters
// are; a character that cannot fight says why.
TEST(CliListTest, StatsShowEachCharacterAsItFights) {
    const Json listed = jsonOf({"list", "--stats", "--json"});
    const Json outcome = jsonOf({"outcome", "--you", "Old Tam", "--opp", "Cave Bear", "--json"});
    const Json* tam = nullptr;
    for (const Json& c : listed["characters"]["YourChars"])
        if (c["name"] == "Old Tam") tam = &c;
    ASSERT_NE(tam, nullptr) << listed;
    EXPECT_EQ(*tam, outcome["you"]);
    EXPECT_EQ((*tam)["weaponTypeName"], "Mace");
    EXPECT_EQ(listed["characters"]["OppChars"].size(), 7u);
    for (const Json& c : listed["characters"]["OppChars"])
        if (c["name"] == "Cave Bear") {
            EXPECT_EQ(c, outcome["opp"]);
        }

    const CliResult text = runExamples({"list", "--stats"});
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* shown : {"W. Skill", "hit points", "\"Old Tam\"", "\"Tower Shield\"",
                              "Wrestling", "\"Bear Hug\""})
        EXPECT_NE(text.out.find(shown), std::string::npos) << shown << "\n" << text.out;

    const TempDir data;
    writeBytes(data.path() / "charfile.cfg",
               "[YourChars]\r\n\"Odd\"\t50\t50\t50\t7\t10\t50\t50\t50\t\"- none -\"\t\"Club\"\r\n"
               "[OppChars]\r\n");
    writeBytes(data.path() / "equifile.cfg", "[MaceWeapons]\r\n\"Club\"\t40\t2\t4\t2\t1\r\n");
    const CliResult odd = runCli({"list", "--stats", "--json"}, data.path());
    ASSERT_EQ(odd.status, 0) << odd.err;
    const Json entry = Json::parse(odd.out)["characters"]["YourChars"][0];
    EXPECT_EQ(entry["name"], "Odd");
    EXPECT_NE(entry["error"].get<std::string>().find("weapon type"), std::string::npos) << entry;
    EXPECT_FALSE(entry.contains("strength"));
}

}  // namespace
}  // namespace skarn::testing
