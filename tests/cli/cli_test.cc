// skarn-cli as a user runs it: the built program on fixture files written
// into a fresh folder, checked by its output and its exit status.

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <filesystem>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "combat/combatant.h"
#include "combat/fight.h"
#include "combat/random.h"
#include "tests/cli/cli_runner.h"

namespace skarn::testing {
namespace {

using Json = nlohmann::json;

std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// Field order of a character line: Str., Dex., W. Skill, weapon type, A.R.,
// Tactics, Parry, hit points, shield, weapon.
const std::string kCharFile = crlf({
    "[YourChars]",
    "\"Hero\"\t100\t100\t100\t2\t30\t100\t80\t100\t\"Buckler\"\t\"Short Sword\"",
    "\"Giant\"\t120\t80\t100\t2\t20\t100\t60\t120\t\"Tower Shield\"\t\"Greatsword\"",
    "\"Wanderer\"\t90\t90\t90\t2\t25\t90\t70\t90\t\"Mirror Shield\"\t\"Short Sword\"",
    "\"Frail\"\t70\t100\t100\t2\t30\t100\t80\t-\t\"Buckler\"\t\"Short Sword\"",
    "\"Tough\"\t100\t100\t100\t2\t30\t100\t80\t250\t\"Buckler\"\t\"Short Sword\"",
    "\"Sloppy\"\t100\t100\t100\t2\t30\tx\t80\t100\t\"Buckler\"\t\"Short Sword\"",
    "\"Squire\"\t100\t100\t100\t2\t0\t100\t80\t100\t\"- none -\"\t\"Short Sword\"",
    "end of the list",
    "\"Hidden\"\t100\t100\t100\t2\t30\t100\t80\t100\t\"Buckler\"\t\"Short Sword\"",
    "[OppChars]",
    "\"Brute\"\t100\t50\t100\t1\t30\t100\t50\t100\t\"Buckler\"\t\"Club\"",
    "\"Dummy\"\t0\t0\t0\t0\t0\t0\t0\t1\t\"- none -\"\t\"Dagger\"",
    "\"Knight\"\t100\t100\t100\t2\t0\t100\t80\t100\t\"- none -\"\t\"Short Sword\"",
    "\"Slowpoke\"\t50\t50\t50\t1\t10\t50\t50\t50\t\"- none -\"\t\"Zero Speed\"",
    "\"Rusty\"\t50\t50\t50\t0\t10\t50\t50\t50\t\"- none -\"\t\"Broken\"",
    "\"Odd\"\t50\t50\t50\t7\t10\t50\t50\t50\t\"- none -\"\t\"Dagger\"",
    "\"Armless\"\t50\t50\t50\t2\t10\t50\t50\t50\t\"- none -\"\t\"Excalibur\"",
});

// Weapon fields: speed, dice count, dice sides, damage bonus, hands.
const std::string kEquiFile = crlf({
    "# weapons and shields of the tests",
    "[FencingWeapons]",
    "\"Dagger\"\t56\t1\t5\t2\t1",
    "\"Pike\"\t34\t3\t6\t4\t2",
    "\"Broken\"\t40\tx\t5\t1\t1",
    "[MaceWeapons]",
    "\"Club\"\t40\t2\t4\t2\t1",
    "\"Zero Speed\"\t0\t2\t4\t2\t1",
    "[SwordWeapons]",
    "\"Short Sword\"\t46\t2\t5\t3\t1",
    "\"Greatsword\"\t28\t4\t6\t4\t2",
    "\"Twig\"\t10\t1\t1\t-50\t1",
    "\"Doom Blade\"\t60\t10\t10\t100\t1",
    "[Wrestling]",
    "\"Fists\"\t50\t1\t6\t0\t1",
    "[Shields]",
    "\"Buckler\"\t2",
    "\"Tower Shield\"\t8",
    "\"Aegis\"\t1000",
    "\"Cracked\"\tx",
});

// Each test gets a data folder with the fixture files, and a scratch folder
// of its own for the captured output.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(data_.path() / "data");
        writeFiles(kCharFile, kEquiFile);
    }
    void writeFiles(const std::string& charFile, const std::string& equiFile) {
        writeBytes(dataDir() / "charfile.cfg", charFile);
        writeBytes(dataDir() / "equifile.cfg", equiFile);
    }
    std::filesystem::path dataDir() const { return data_.path() / "data"; }

    // Runs in the data folder, as a player who keeps the files there.
    CliResult run(const std::vector<std::string>& args) {
        return runCli(args, dataDir());
    }
    // Runs and reads the JSON on stdout; a failure marks the test.
    Json runJson(const std::vector<std::string>& args) {
        const CliResult result = run(args);
        EXPECT_EQ(result.status, 0) << describe(args) << "\n" << result.err;
        try {
            return Json::parse(result.out);
        } catch (const std::exception& e) {
            ADD_FAILURE() << describe(args) << ": " << e.what() << "\n" << result.out;
            return Json(nullptr);
        }
    }

    TempDir data_;
    TempDir scratch_;
};

std::vector<std::string> matchup(const std::string& you, const std::string& opp,
                                 std::vector<std::string> more = {}) {
    std::vector<std::string> args{"run", "--you", you, "--opp", opp, "--json"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// ---- resolution of the fighters -------------------------------------------

using Expected = std::variant<double, std::string>;

struct ResolutionCase {
    std::string what;
    std::vector<std::string> args;
    std::string side;  // "you" or "opp"
    std::vector<std::pair<std::string, Expected>> fields;
    std::string warning;  // a text stderr must hold, or empty for no output there
};

TEST_F(CliTest, ResolvesFightersAsTheWindowDoes) {
    const ResolutionCase cases[] = {
        {"stored weapon and shield", matchup("Hero", "Brute"), "you",
         {{"name", "Hero"}, {"strength", 100.0}, {"dexterity", 100.0}, {"weaponSkill", 100.0},
          {"armorRating", 30.0}, {"tactics", 100.0}, {"parry", 80.0}, {"hitPoints", 100.0},
          {"weaponName", "Short Sword"}, {"weaponSpeed", 46.0}, {"diceCount", 2.0},
          {"diceSides", 5.0}, {"damageBonus", 3.0}, {"shieldName", "Buckler"},
          {"shieldIndex", 0.0}, {"shieldAbsorb", 2.0}},
         ""},
        {"the Opponent side reads OppChars and the Mace section", matchup("Hero", "Brute"), "opp",
         {{"name", "Brute"}, {"dexterity", 50.0}, {"parry", 50.0}, {"weaponName", "Club"},
          {"weaponSpeed", 40.0}, {"diceSides", 4.0}, {"shieldIndex", 0.0}},
         ""},
        {"a two-handed weapon drops the stored shield", matchup("Giant", "Brute"), "you",
         {{"weaponName", "Greatsword"}, {"shieldName", "- none -"}, {"shieldIndex", -1.0},
          {"hitPoints", 120.0}},
         ""},
        {"a stored shield missing from Shields means none", matchup("Wanderer", "Brute"), "you",
         {{"shieldName", "- none -"}, {"shieldIndex", -1.0}, {"weaponName", "Short Sword"}},
         "Mirror Shield"},
        {"hit points fall back to Str. when field 8 is unreadable", matchup("Frail", "Brute"),
         "you", {{"strength", 70.0}, {"hitPoints", 70.0}, {"shieldName", "Buckler"}}, ""},
        {"hit points come from field 8, not Str.", matchup("Tough", "Brute"), "you",
         {{"strength", 100.0}, {"hitPoints", 250.0}}, ""},
        {"an unreadable field ends the loading and skips the shield", matchup("Sloppy", "Brute"),
         "you",
         {{"armorRating", 30.0}, {"tactics", 0.0}, {"parry", 0.0}, {"hitPoints", 100.0},
          {"shieldIndex", -1.0}, {"weaponName", "Short Sword"}},
         "tactics"},
        {"--you-shield none", matchup("Hero", "Brute", {"--you-shield", "none"}), "you",
         {{"shieldName", "- none -"}, {"shieldIndex", -1.0}}, ""},
        {"--you-shield \"- none -\"", matchup("Hero", "Brute", {"--you-shield", "- none -"}),
         "you", {{"shieldIndex", -1.0}}, ""},
        {"--you-shield replaces the stored one",
         matchup("Hero", "Brute", {"--you-shield", "Tower Shield"}), "you",
         {{"shieldName", "Tower Shield"}, {"shieldIndex", 0.0}, {"shieldAbsorb", 8.0}}, ""},
        {"--you-weapon two-handed drops the stored shield",
         matchup("Hero", "Brute", {"--you-weapon", "Greatsword"}), "you",
         {{"weaponName", "Greatsword"}, {"weaponSpeed", 28.0}, {"shieldIndex", -1.0}}, ""},
        {"a one-handed --you-weapon brings back the stored shield",
         matchup("Giant", "Brute", {"--you-weapon", "Short Sword"}), "you",
         {{"weaponName", "Short Sword"}, {"shieldName", "Tower Shield"}, {"shieldIndex", 0.0},
          {"shieldAbsorb", 8.0}},
         ""},
        {"a shield asked for with a two-handed weapon is dropped, with a note",
         matchup("Hero", "Brute", {"--you-weapon", "Greatsword", "--you-shield", "Buckler"}),
         "you", {{"shieldName", "- none -"}, {"shieldIndex", -1.0}}, "needs 2 hands"},
        {"--opp-weapon and --opp-shield",
         matchup("Hero", "Brute", {"--opp-weapon", "Zero Speed", "--opp-weapon", "Club",
                                   "--opp-shield", "Aegis"}),
         "opp", {{"weaponName", "Club"}, {"shieldName", "Aegis"}, {"shieldAbsorb", 1000.0}}, ""},
    };
    for (const ResolutionCase& c : cases) {
        const CliResult result = run(c.args);
        ASSERT_EQ(result.status, 0) << c.what << "\n" << result.err;
        if (c.warning.empty()) {
            EXPECT_EQ(result.err, "") << c.what;
        } else {
            EXPECT_NE(result.err.find(c.warning), std::string::npos) << c.what << "\n" << result.err;
        }
        const Json json = Json::parse(result.out);
        const Json& fighter = json[c.side];
        for (const auto& [key, expected] : c.fields) {
            if (const double* number = std::get_if<double>(&expected)) {
                EXPECT_EQ(fighter[key].get<double>(), *number) << c.what << ": " << key;
            } else {
                EXPECT_EQ(fighter[key].get<std::string>(), std::get<std::string>(expected))
                    << c.what << ": " << key;
            }
        }
    }
}

// ---- the run is runFights itself --------------------------------------------

Combatant hero() {
    Combatant c;
    c.strength = 100; c.dexterity = 100; c.weaponSkill = 100; c.armorRating = 30;
    c.tactics = 100; c.parry = 80;
    c.weaponSpeed = 46; c.diceCount = 2; c.diceSides = 5; c.damageBonus = 3;  // Short Sword
    c.shieldIndex = 0; c.shieldAbsorb = 2;                                     // Buckler
    return c;
}

Combatant brute() {
    Combatant c;
    c.strength = 100; c.dexterity = 50; c.weaponSkill = 100; c.armorRating = 30;
    c.tactics = 100; c.parry = 50;
    c.weaponSpeed = 40; c.diceCount = 2; c.diceSides = 4; c.damageBonus = 2;  // Club
    c.shieldIndex = 0; c.shieldAbsorb = 2;                                    // Buckler
    return c;
}

TEST_F(CliTest, JsonHoldsTheCombatCoresResultsForTheSameSeed) {
    struct Case {
        std::string mode;
        FightMode fightMode;
        std::int64_t fights;
        std::uint32_t seed;
    };
    const Case cases[] = {
        {"damage60", DamagePer60Seconds, 2187, 7},
        {"opponent", ToDeathOfOpponent, 243, 12345},
        {"death", ToTheDeath, 729, 4294967295u},
        {"death", ToTheDeath, 1, 0},
        {"damage60", DamagePer60Seconds, 3, 99},
    };
    for (const Case& c : cases) {
        const std::string what = c.mode + " " + std::to_string(c.fights) + " fights, seed " +
                                 std::to_string(c.seed);
        const Json json = runJson(matchup("Hero", "Brute",
                                          {"--mode", c.mode, "--fights", std::to_string(c.fights),
                                           "--seed", std::to_string(c.seed)}));
        ASSERT_FALSE(json.is_null()) << what;

        Combatant you = hero();
        Combatant opp = brute();
        RunTotals totals;
        Random rng(c.seed);
        const RunResults expected =
            runFights(you, opp, 100, 100, c.fightMode, c.fights, totals, {}, rng);

        EXPECT_EQ(json["seed"].get<double>(), c.seed) << what;
        EXPECT_EQ(json["mode"].get<double>(), static_cast<int>(c.fightMode)) << what;
        EXPECT_EQ(json["fights"].get<double>(), static_cast<double>(c.fights)) << what;
        const Json& results = json["results"];
        EXPECT_EQ(results["winPercent"].get<double>(), expected.resultWinPercent) << what;
        EXPECT_EQ(results["damageTaken"].get<double>(), expected.resultDamageTaken) << what;
        EXPECT_EQ(results["damageGiven"].get<double>(), expected.resultDamageGiven) << what;
        EXPECT_EQ(results["time"].get<double>(), expected.resultTime) << what;
        const Json& sums = json["totals"];
        EXPECT_EQ(sums["winCount"].get<double>(), totals.winCount) << what;
        EXPECT_EQ(sums["damageTakenSum"].get<double>(), totals.damageTakenSum) << what;
        EXPECT_EQ(sums["damageGivenSum"].get<double>(), totals.damageGivenSum) << what;
        EXPECT_EQ(sums["tickSum"].get<double>(), totals.tickSum) << what;

        // One fight leaves no spread to estimate an interval from.
        const Json& ci = json["ci95"];
        EXPECT_EQ(ci["damageGiven"].is_null(), c.fights == 1) << what;
        EXPECT_EQ(ci["winPercent"].is_null(), c.fightMode != ToTheDeath) << what;
    }
}

TEST_F(CliTest, TheDefaultSeedIsPrintedAndRepeatsTheRun) {
    const std::time_t before = std::time(nullptr);
    const Json first = runJson(matchup("Hero", "Brute", {"--fights", "27"}));
    const std::time_t after = std::time(nullptr);
    ASSERT_FALSE(first.is_null());
    const double seed = first["seed"].get<double>();
    EXPECT_GE(seed, static_cast<double>(static_cast<std::uint32_t>(before)));
    EXPECT_LE(seed, static_cast<double>(static_cast<std::uint32_t>(after)));
    EXPECT_EQ(first["mode"].get<double>(), 0);  // damage60 by default

    const Json again = runJson(matchup("Hero", "Brute",
                                       {"--fights", "27", "--seed",
                                        std::to_string(static_cast<std::uint32_t>(seed))}));
    ASSERT_FALSE(again.is_null());
    EXPECT_EQ(again["totals"]["damageGivenSum"].get<double>(),
              first["totals"]["damageGivenSum"].get<double>());
    EXPECT_EQ(again["totals"]["damageTakenSum"].get<double>(),
              first["totals"]["damageTakenSum"].get<double>());

    const Json defaults = runJson(matchup("Hero", "Brute", {"--seed", "5"}));
    EXPECT_EQ(defaults["fights"].get<double>(), 2187);
}

// ---- confidence intervals ---------------------------------------------------

TEST_F(CliTest, IntervalsOfAFighterWhoAlwaysWins) {
    // Hero's first swing comes on tick 162 and always lands (skill 100
    // against 0) on a Dummy of 1 hit point, whose own first swing would come
    // on tick 266: every fight is a win of exactly 162 ticks.
    const std::int64_t n = 2187;
    const Json json =
        runJson(matchup("Hero", "Dummy", {"--mode", "death", "--seed", "3", "--fights", "2187"}));
    ASSERT_FALSE(json.is_null());
    EXPECT_EQ(json["results"]["winPercent"].get<double>(), 100.0);
    const Json& win = json["ci95"]["winPercent"];
    EXPECT_EQ(win["high"].get<double>(), 100.0);
    EXPECT_LT(win["low"].get<double>(), 100.0);
    // The Wilson interval's lower end at n wins out of n is n / (n + z^2).
    const double z = 1.959963984540054;
    EXPECT_NEAR(win["low"].get<double>(), 100.0 * n / (n + z * z), 1e-9);

    // A constant fight length and a damage taken of 0 have no spread.
    const Json& time = json["ci95"]["time"];
    EXPECT_DOUBLE_EQ(time["low"].get<double>(), 1.62);
    EXPECT_DOUBLE_EQ(time["high"].get<double>(), 1.62);
    const Json& taken = json["ci95"]["damageTaken"];
    EXPECT_EQ(taken["low"].get<double>(), 0.0);
    EXPECT_EQ(taken["high"].get<double>(), 0.0);
}

TEST_F(CliTest, DamageIntervalSurroundsTheMeanAndNarrowsWithMoreFights) {
    const Json small = runJson(matchup("Hero", "Knight", {"--seed", "11", "--fights", "81"}));
    const Json large = runJson(matchup("Hero", "Knight", {"--seed", "11", "--fights", "7290"}));
    ASSERT_FALSE(small.is_null());
    ASSERT_FALSE(large.is_null());
    for (const Json* json : {&small, &large}) {
        const Json& given = (*json)["ci95"]["damageGiven"];
        const double mean = (*json)["totals"]["damageGivenSum"].get<double>() / (*json)["fights"].get<double>();
        EXPECT_DOUBLE_EQ(given["mean"].get<double>(), mean);
        EXPECT_LT(given["low"].get<double>(), mean);
        EXPECT_GT(given["high"].get<double>(), mean);
    }
    // The width goes as 1 / sqrt(n): 90 times the fights, about a ninth.
    const auto width = [](const Json& json) {
        return json["ci95"]["damageGiven"]["high"].get<double>() -
               json["ci95"]["damageGiven"]["low"].get<double>();
    };
    const double ratio = width(large) / width(small);
    EXPECT_GT(ratio, 1.0 / 20.0);
    EXPECT_LT(ratio, 1.0 / 5.0);
    // Every fight of mode damage60 lasts 60 seconds.
    EXPECT_EQ(large["ci95"]["time"]["low"].get<double>(), 60.0);
    EXPECT_EQ(large["ci95"]["time"]["high"].get<double>(), 60.0);
}

// ---- rankings ---------------------------------------------------------------

TEST_F(CliTest, RanksWeaponsBestFirstOnTheSameDice) {
    const Json ranking = runJson({"rank", "--you", "Hero", "--opp", "Brute", "--by", "weapon",
                                  "--fights", "243", "--seed", "21", "--json"});
    ASSERT_FALSE(ranking.is_null());
    const Json& rows = ranking;
    ASSERT_EQ(rows.size(), 4u);  // every weapon of the Sword section
    EXPECT_EQ(rows.front()["weapon"].get<std::string>(), "Doom Blade");
    EXPECT_EQ(rows.back()["weapon"].get<std::string>(), "Twig");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i]["rank"].get<double>(), static_cast<double>(i + 1));
        EXPECT_EQ(rows[i]["measure"]["name"].get<std::string>(), "damageGiven");
        EXPECT_EQ(rows[i]["measure"]["value"].get<double>(),
                  rows[i]["totals"]["damageGivenSum"].get<double>() / 243.0);
        if (i > 0) {
            EXPECT_GE(rows[i - 1]["measure"]["value"].get<double>(), rows[i]["measure"]["value"].get<double>());
        }
    }

    // Each candidate is the outcome of that weapon on the same per-fight
    // dice, and its difference to the best is paired fight by fight.
    const Json& best = rows.front();
    EXPECT_EQ(best["versusBest"], Json({{"mean", 0}, {"low", 0}, {"high", 0}}));
    for (const Json& row : rows) {
        const std::string weapon = row["weapon"].get<std::string>();
        std::vector<std::string> args = matchup("Hero", "Brute", {"--you-weapon", weapon,
                                                                  "--fights", "243", "--seed", "21"});
        args[0] = "outcome";
        const Json single = runJson(args);
        EXPECT_EQ(single["totals"], row["totals"]) << weapon;
        EXPECT_EQ(single["you"], row["you"]) << weapon;
        const Json& versus = row["versusBest"];
        EXPECT_NEAR(versus["mean"].get<double>(),
                    row["measure"]["value"].get<double>() - best["measure"]["value"].get<double>(),
                    1e-9)
            << weapon;
        EXPECT_LE(versus["low"].get<double>(), versus["mean"].get<double>()) << weapon;
        EXPECT_GE(versus["high"].get<double>(), versus["mean"].get<double>()) << weapon;
    }

    // The table: best first, a bar for each.
    const CliResult text = run({"rank", "--you", "Hero", "--opp", "Brute", "--by", "weapon",
                                "--fights", "243", "--seed", "21"});
    ASSERT_EQ(text.status, 0) << text.err;
    const auto doom = text.out.find("\"Doom Blade\"");
    const auto twig = text.out.find("\"Twig\"");
    ASSERT_NE(doom, std::string::npos) << text.out;
    ASSERT_NE(twig, std::string::npos) << text.out;
    EXPECT_LT(doom, twig);
    EXPECT_NE(text.out.find("seed 21"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("##############################"), std::string::npos) << text.out;
}

TEST_F(CliTest, RanksShieldsAndSkipsOnesThatCannotBeRead) {
    const CliResult result = run({"rank", "--you", "Squire", "--opp", "Knight", "--by", "shield",
                                  "--mode", "death", "--fights", "729", "--seed", "5", "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    // "Cracked" has no readable absorb: left out, with a note.
    EXPECT_NE(result.err.find("Cracked"), std::string::npos) << result.err;
    const Json ranking = Json::parse(result.out);
    std::set<std::string> names;
    for (const Json& row : ranking) names.insert(row["shield"].get<std::string>());
    EXPECT_EQ(names, (std::set<std::string>{"Buckler", "Tower Shield", "Aegis", "- none -"}));
    EXPECT_EQ(ranking[0]["shield"].get<std::string>(), "Aegis");
    EXPECT_EQ(ranking[0]["measure"]["name"].get<std::string>(), "winPercent");

    // Outside mode death a shield shows in the damage taken, lowest first.
    const Json taken = runJson({"rank", "--you", "Squire", "--opp", "Knight", "--by", "shield",
                                "--fights", "81", "--seed", "5", "--json"});
    ASSERT_FALSE(taken.is_null());
    EXPECT_EQ(taken[0]["shield"].get<std::string>(), "Aegis");
    EXPECT_EQ(taken[0]["measure"]["name"].get<std::string>(), "damageTaken");
    EXPECT_EQ(taken.back()["shield"].get<std::string>(), "- none -");
}

// ---- listing ----------------------------------------------------------------

TEST_F(CliTest, ListsEveryListAsTheWindowReceivesIt) {
    writeFiles(crlf({
                   "[YourChars]",
                   "# a comment line",
                   "\"Alpha\"\t1\t1\t1\t0\t1\t1\t1\t1\t\"- none -\"\t\"Dagger\"",
                   "\"\"\t1\t1\t1\t0\t1\t1\t1\t1\t\"- none -\"\t\"Dagger\"",
                   "\"Beta Two\"\t1\t1\t1\t0\t1\t1\t1\t1\t\"- none -\"\t\"Dagger\"",
                   "bare word",
                   "\"Hidden\"\t1\t1\t1\t0\t1\t1\t1\t1\t\"- none -\"\t\"Dagger\"",
                   "[OppChars]",
                   "\"Gamma\"\t1\t1\t1\t0\t1\t1\t1\t1\t\"- none -\"\t\"Dagger\"",
               }),
               crlf({
                   "[FencingWeapons]",
                   "\"Dagger\"\t56\t1\t5\t2\t1",
                   "\"Bent\"\t40\t1\tx\t-1\t2",
                   "\"\"\t1\t1\t1\t1\t1",
                   "\"Late\"\t30\t1\t4\t0\t1",
                   "[MaceWeapons]",
                   "[SwordWeapons]",
                   "\"Short Sword\"\t46\t2\t5\t3\t1",
                   "[Shields]",
                   "\"Buckler\"\t2",
                   "\"\"\t5",
                   "\"Cracked\"\tx",
               }));
    const Json json = runJson({"list", "--json"});
    ASSERT_FALSE(json.is_null());
    const auto names = [](const Json& array) {
        std::vector<std::string> out;
        for (const Json& item : array)
            out.push_back(item.is_object() ? item["name"].get<std::string>()
                                           : item.get<std::string>());
        return out;
    };
    EXPECT_EQ(names(json["characters"]["YourChars"]),
              (std::vector<std::string>{"Alpha", "", "Beta Two"}));
    EXPECT_EQ(names(json["characters"]["OppChars"]), (std::vector<std::string>{"Gamma"}));
    EXPECT_EQ(names(json["weapons"]["FencingWeapons"]),
              (std::vector<std::string>{"Dagger", "Bent", "Late"}));
    EXPECT_TRUE(json["weapons"]["MaceWeapons"].empty());
    EXPECT_TRUE(json["weapons"]["Wrestling"].empty());  // no such section
    EXPECT_EQ(names(json["shields"]), (std::vector<std::string>{"Buckler", "", "Cracked"}));

    const Json& dagger = json["weapons"]["FencingWeapons"][0];
    EXPECT_EQ(dagger["speed"].get<double>(), 56);
    EXPECT_EQ(dagger["diceCount"].get<double>(), 1);
    EXPECT_EQ(dagger["diceSides"].get<double>(), 5);
    EXPECT_EQ(dagger["damageBonus"].get<double>(), 2);
    EXPECT_EQ(dagger["hands"].get<double>(), 1);
    const Json& bent = json["weapons"]["FencingWeapons"][1];
    EXPECT_TRUE(bent["diceSides"].is_null());
    EXPECT_EQ(bent["damageBonus"].get<double>(), -1);  // one bad field hides no other
    EXPECT_EQ(bent["hands"].get<double>(), 2);
    // A lookup by name stops at an entry with an empty name.
    EXPECT_TRUE(json["weapons"]["FencingWeapons"][2]["speed"].is_null());
    EXPECT_EQ(json["shields"][0]["absorb"].get<double>(), 2);
    EXPECT_TRUE(json["shields"][1]["absorb"].is_null());  // an empty name is never found
    EXPECT_TRUE(json["shields"][2]["absorb"].is_null());

    const CliResult text = run({"list"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.err, "");
    for (const char* shown : {"\"Alpha\"", "\"Beta Two\"", "\"Gamma\"", "\"Bent\"", "\"Cracked\""})
        EXPECT_NE(text.out.find(shown), std::string::npos) << shown << "\n" << text.out;
    EXPECT_EQ(text.out.find("Hidden"), std::string::npos) << text.out;
}

TEST_F(CliTest, JsonEscapesNamesAndStaysValid) {
    // A quoted name may hold a tab; bytes that are not UTF-8 are kept as
    // their Latin-1 code points.
    writeFiles(crlf({"[YourChars]", "\"Tab\there\"\t1\t1\t1\t0\t1\t1\t1\t1\t\"- none -\"\t\"Dagger\"",
                     "\"Ol\xe9 \xc3\xa9\"\t1\t1\t1\t0\t1\t1\t1\t1\t\"- none -\"\t\"Dagger\"",
                     "[OppChars]"}),
               crlf({"[FencingWeapons]", "\"Dagger\"\t56\t1\t5\t2\t1", "[Shields]"}));
    const Json json = runJson({"list", "--json"});
    ASSERT_FALSE(json.is_null());
    EXPECT_EQ(json["characters"]["YourChars"][0].get<std::string>(), "Tab\there");
    EXPECT_EQ(json["characters"]["YourChars"][1].get<std::string>(), "Ol\xc3\xa9 \xc3\xa9");
}

// Names outside ASCII, in the arguments and in the data folder's name, reach
// the program as the UTF-8 the data files hold (on Windows through the wide
// command line and the wide file names).
TEST_F(CliTest, NamesOutsideAsciiResolveFromTheCommandLine) {
    const std::string you = "Ysolde V\xc3\xa9ne \xc3\x9e\xc3\xb3rr \xe5\xa4\xa9";
    const std::string folder = "donn\xc3\xa9" "es \xce\xb1\xce\xb2";
    const std::filesystem::path dir = data_.path() / std::u8string(folder.begin(), folder.end());
    std::filesystem::create_directory(dir);
    writeBytes(dir / "charfile.cfg",
               crlf({"[YourChars]", "\"" + you + "\"\t100\t100\t100\t0\t30\t100\t80\t100\t\"- none -\"\t\"Dagger\"",
                     "[OppChars]", "\"Brute\"\t100\t50\t100\t0\t30\t100\t50\t100\t\"- none -\"\t\"Dagger\""}));
    writeBytes(dir / "equifile.cfg", crlf({"[FencingWeapons]", "\"Dagger\"\t56\t1\t5\t2\t1", "[Shields]"}));
    const std::u8string dirText = dir.u8string();
    const Json json = runJson({"--data", std::string(dirText.begin(), dirText.end()), "run", "--you", you,
                               "--opp", "Brute", "--fights", "3", "--seed", "1", "--json"});
    ASSERT_FALSE(json.is_null());
    EXPECT_EQ(json["you"]["name"].get<std::string>(), you);
    EXPECT_EQ(json["opp"]["weaponName"].get<std::string>(), "Dagger");
}

// ---- the readable run -------------------------------------------------------

TEST_F(CliTest, PrintsAReadableTableWithTheSeed) {
    const CliResult result = run({"run", "--you", "Giant", "--opp", "Brute", "--seed", "7",
                                  "--fights", "243", "--mode", "opponent"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    for (const char* shown : {"seed 7", "mode opponent", "243 fights", "\"Giant\"", "\"Brute\"",
                              "\"Greatsword\"", "two-handed", "Your Win %:", "Damage Taken",
                              "Damage Given", "Time in seconds", "95% interval"})
        EXPECT_NE(result.out.find(shown), std::string::npos) << shown << "\n" << result.out;
}

// ---- errors -------------------------------------------------------------------

struct ErrorCase {
    std::vector<std::string> args;
    int status;
    std::vector<std::string> mentions;  // texts the message must hold
};

TEST_F(CliTest, ErrorsGiveOneLineAndTheirExitStatus) {
    const std::vector<std::string> ok{"run", "--you", "Hero", "--opp", "Brute"};
    const auto with = [&ok](std::vector<std::string> more) {
        std::vector<std::string> args = ok;
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const ErrorCase cases[] = {
        // Usage errors.
        {{}, 2, {"no command"}},
        {{"fight"}, 2, {"fight"}},
        {{"run", "--opp", "Brute"}, 2, {"--you"}},
        {{"run", "--you", "Hero"}, 2, {"--opp"}},
        {{"run", "--you"}, 2, {"--you", "missing"}},
        {with({"--bogus"}), 2, {"--bogus"}},
        {with({"--fights", "0"}), 2, {"--fights"}},
        {with({"--fights", "1000000001"}), 2, {"--fights"}},
        {with({"--fights", "12x"}), 2, {"--fights"}},
        {with({"--seed", "-1"}), 2, {"--seed"}},
        {with({"--seed", "4294967296"}), 2, {"--seed"}},
        {with({"--mode", "fast"}), 2, {"--mode", "fast"}},
        {with({"--json=yes"}), 2, {"--json"}},
        {with({"--by", "weapon"}), 2, {"--by"}},
        {{"list", "--you", "Hero"}, 2, {"--you", "list"}},
        {{"rank", "--you", "Hero", "--opp", "Brute"}, 2, {"--by"}},
        {{"rank", "--you", "Hero", "--opp", "Brute", "--by", "armour"}, 2, {"--by"}},
        {{"rank", "--you", "Hero", "--opp", "Brute", "--by", "weapon", "--you-weapon", "Twig"},
         2, {"--you-weapon"}},
        {{"rank", "--you", "Hero", "--opp", "Brute", "--by", "shield", "--all-types"}, 2,
         {"--all-types"}},
        {with({"--threads", "2"}), 2, {"--threads", "run"}},
        {{"outcome", "--you", "Hero", "--opp", "Brute", "--threads", "0"}, 2, {"--threads"}},
        {{"scale", "--you", "Hero", "--opp", "Brute", "--delta", "0"}, 2, {"--delta"}},
        {with({"--target-error", "-1"}), 2, {"--target-error"}},
        {with({"--target-error", "abc"}), 2, {"--target-error"}},
        {with({"--target-result", "time"}), 2, {"--target-result", "--target-error"}},
        {with({"--target-error", "1", "--target-result", "speed"}), 2, {"--target-result"}},
        {with({"--json", "--csv"}), 2, {"--json", "--csv"}},
        {with({"--max-seconds", "soon"}), 2, {"--max-seconds"}},
        {{"completion", "zsh"}, 2, {"zsh"}},
        // Names that cannot be resolved.
        {{"run", "--you", "Nobody", "--opp", "Brute"}, 1, {"Nobody", "YourChars", "charfile.cfg"}},
        {{"run", "--you", "Hero", "--opp", "Hero"}, 1, {"Hero", "OppChars", "charfile.cfg"}},
        {{"run", "--you", "hero", "--opp", "Brute"}, 1, {"hero", "YourChars"}},
        {{"run", "--you", "Hidden", "--opp", "Brute"}, 1, {"Hidden", "YourChars"}},
        {with({"--you-weapon", "Excalibur"}), 1, {"Excalibur", "SwordWeapons", "equifile.cfg"}},
        {with({"--opp-weapon", "Dagger"}), 1, {"Dagger", "MaceWeapons", "equifile.cfg"}},
        {with({"--you-shield", "Mirror"}), 1, {"Mirror", "Shields", "equifile.cfg"}},
        {with({"--you-shield", "Cracked"}), 1, {"Cracked", "absorb"}},
        {{"run", "--you", "Hero", "--opp", "Armless"}, 1, {"Excalibur", "SwordWeapons"}},
        {{"run", "--you", "Hero", "--opp", "Rusty"}, 1, {"Broken", "diceCount"}},
        {{"run", "--you", "Hero", "--opp", "Odd"}, 1, {"Odd", "weapon type"}},
        {{"rank", "--you", "Giant", "--opp", "Brute", "--by", "shield"}, 1, {"Greatsword", "hands"}},
        // Simulations the combat core refuses.
        {{"run", "--you", "Hero", "--opp", "Slowpoke"}, 1, {"cannot simulate", "Opponent"}},
        {with({"--opp-weapon", "Zero Speed"}), 1, {"cannot simulate", "Opponent"}},
        // Data folders.
        {{"--data", "no-such-folder", "list"}, 1, {"no-such-folder"}},
        {{"list", "--data", "charfile.cfg"}, 1, {"charfile.cfg", "not a folder"}},
    };
    for (const ErrorCase& c : cases) {
        const CliResult result = run(c.args);
        const std::string what = describe(c.args);
        EXPECT_EQ(result.status, c.status) << what << "\n" << result.err;
        EXPECT_EQ(result.out, "") << what;
        ASSERT_FALSE(result.err.empty()) << what;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << what << ": one line\n"
                                                                << result.err;
        EXPECT_EQ(result.err.rfind("skarn-cli: ", 0), 0u) << what << "\n" << result.err;
        for (const std::string& mention : c.mentions)
            EXPECT_NE(result.err.find(mention), std::string::npos)
                << what << ": should mention " << mention << "\n" << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dataDir() / "no-such-folder"));
}

TEST_F(CliTest, AMissingDataFileIsNamedAndNotCreated) {
    const TempDir empty;
    std::filesystem::copy_file(dataDir() / "charfile.cfg", empty.path() / "charfile.cfg");
    const CliResult result = run({"--data", empty.path().string(), "list"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("equifile.cfg"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(empty.path() / "equifile.cfg"));
}

// Run outside a data folder, the message says what to do about it.
TEST_F(CliTest, OutsideADataFolderSaysWhereTheFilesAre) {
#ifdef _WIN32
    const std::string where = "";
#else
    const std::string where = " (~/.local/share/skarn for the installed window)";
#endif
    const std::string advice =
        ": no such file in the current folder; give --data DIR, the folder that holds charfile.cfg"
        " and equifile.cfg" + where + "\n";
    const TempDir elsewhere;
    CliResult result = runCli({"list"}, elsewhere.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "skarn-cli: cannot read charfile.cfg" + advice);

    // Half a data folder: the missing file is named, with the same advice.
    std::filesystem::copy_file(dataDir() / "charfile.cfg", elsewhere.path() / "charfile.cfg");
    result = runCli({"run", "--you", "Hero", "--opp", "Brute"}, elsewhere.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "skarn-cli: cannot read equifile.cfg" + advice);
}

TEST_F(CliTest, HelpAndVersion) {
    const CliResult help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: skarn-cli"), std::string::npos) << help.out;
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(run({"rank", "-h"}).status, 0);

    const CliResult version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "skarn-cli " SKARN_PROJECT_VERSION "\n");
}

// ---- the data files are only read ----------------------------------------------

TEST_F(CliTest, ReadsDataFilesOnlyAndTakesLongPaths) {
    // A folder path far beyond any fixed-size name buffer.
#ifdef _WIN32
    GTEST_SKIP() << "MinGW's std::filesystem cannot list a folder whose path is longer than MAX_PATH";
#endif
    std::filesystem::path deep = data_.path();
    for (int i = 0; i < 6; ++i) deep /= std::string(60, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    ASSERT_GT(deep.string().size(), 300u);
    writeBytes(deep / "charfile.cfg", kCharFile);
    writeBytes(deep / "equifile.cfg", kEquiFile);
    writeBytes(deep / "temp.btb", "left over");
    writeBytes(dataDir() / "temp.btb", "left over");

    const auto snapshot = [](const std::filesystem::path& dir) {
        std::vector<std::pair<std::string, std::string>> files;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            if (entry.is_regular_file())
                files.emplace_back(entry.path().filename().string(), readBytes(entry.path()));
        std::sort(files.begin(), files.end());
        return files;
    };
    const auto deepBefore = snapshot(deep);
    const auto hereBefore = snapshot(dataDir());

    const std::string dir = deep.string();
    const std::vector<std::vector<std::string>> commands = {
        {"--data", dir, "list"},
        {"--data", dir, "list", "--json"},
        {"--data", dir, "run", "--you", "Hero", "--opp", "Brute", "--fights", "9", "--seed", "1"},
        {"--data", dir, "rank", "--you", "Hero", "--opp", "Brute", "--by", "weapon", "--fights",
         "3", "--seed", "1"},
        {"run", "--you", "Hero", "--opp", "Brute", "--fights", "3", "--seed", "1"},
        {"run", "--you", "Nobody", "--opp", "Brute"},
    };
    for (const auto& args : commands) {
        const CliResult result = run(args);
        EXPECT_NE(result.status, -1) << describe(args);
    }
    const CliResult deepRun = run(commands[2]);
    EXPECT_EQ(deepRun.status, 0) << deepRun.err;
    EXPECT_EQ(snapshot(deep), deepBefore);
    EXPECT_EQ(snapshot(dataDir()), hereBefore);
}

// ---- odd data files and bad numbers --------------------------------------------

TEST_F(CliTest, RefusesDataFilesThatAreNotRegularFilesWithoutWaiting) {
    const std::filesystem::path charFile = dataDir() / "charfile.cfg";
    struct Case {
        std::string what;
        std::function<bool()> make;  // puts the odd file in charfile.cfg's place
    };
    std::vector<Case> cases = {
        {"a folder", [&] { return std::filesystem::create_directory(charFile); }},
    };
#ifndef _WIN32
    // Windows puts no FIFOs, devices or sockets among the files of a folder,
    // and making a link there takes a right a test does not have.
    cases.push_back({"a FIFO", [&] { return mkfifo(charFile.c_str(), 0600) == 0; }});
    cases.push_back({"a link to /dev/zero", [&] { return symlink("/dev/zero", charFile.c_str()) == 0; }});
    cases.push_back({"a dangling link", [&] { return symlink("no-such-target", charFile.c_str()) == 0; }});
    cases.push_back({"a socket", [&] {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = charFile.string();
        if (fd < 0 || path.size() >= sizeof address.sun_path) return false;
        std::copy(path.begin(), path.end(), address.sun_path);
        const bool bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return bound;
    }});
#endif
    for (const Case& c : cases) {
        std::filesystem::remove_all(charFile);
        ASSERT_TRUE(c.make()) << c.what;
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"list"},
              std::vector<std::string>{"run", "--you", "Hero", "--opp", "Brute"}}) {
            const CliResult result = run(args);
            EXPECT_EQ(result.status, 1) << c.what << ": " << describe(args);
            EXPECT_EQ(result.err, "skarn-cli: cannot read charfile.cfg: not a regular file\n")
                << c.what;
            EXPECT_EQ(result.out, "") << c.what;
        }
    }
}

TEST_F(CliTest, NamesANumberBeyond32Bits) {
    const std::string line = "\t100\t100\t100\t2\t30\t100\t80\t100\t\"- none -\"\t\"Short Sword\"";
    writeFiles(crlf({"[YourChars]",
                     "\"Huge\"\t99999999999\t100\t100\t2\t30\t100\t80\t100\t\"- none -\"\t\"Short Sword\"",
                     "\"Hex\"\t100\t100\t100\t2\t30\t0x80000000\t80\t100\t\"- none -\"\t\"Short Sword\"",
                     "\"Deep\"\t100\t100\t100\t2\t30\t100\t80\t-2147483649\t\"- none -\"\t\"Short Sword\"",
                     "\"Hero\"" + line, "[OppChars]", "\"Brute\"" + line}),
               crlf({"[SwordWeapons]", "\"Short Sword\"\t46\t2\t5\t3\t1",
                     "\"Wild\"\t46\t2\t5\t4294967296\t1", "[Shields]", "\"Buckler\"\t2",
                     "\"Vast\"\t-99999999999"}));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string field;  // "field N (name)"
        std::string text;   // the number as written
    };
    const Case cases[] = {
        {{"run", "--you", "Huge", "--opp", "Brute"}, 1, "field 1 (strength)", "99999999999"},
        {{"run", "--you", "Hex", "--opp", "Brute"}, 1, "field 6 (tactics)", "0x80000000"},
        {{"run", "--you", "Hero", "--opp", "Brute", "--you-weapon", "Wild"}, 1,
         "field 4 (damageBonus)", "4294967296"},
        {{"run", "--you", "Hero", "--opp", "Brute", "--you-shield", "Vast"}, 1,
         "field 1 (absorb)", "-99999999999"},
        // Unreadable hit points fall back to Str., as in the window, with a note.
        {{"run", "--you", "Deep", "--opp", "Brute", "--fights", "3", "--seed", "1"}, 0,
         "field 8 (hitPoints)", "-2147483649"},
    };
    for (const Case& c : cases) {
        const CliResult result = run(c.args);
        const std::string what = describe(c.args);
        EXPECT_EQ(result.status, c.status) << what << "\n" << result.err;
        for (const std::string& mention :
             std::vector<std::string>{c.field, "is " + c.text, "out of the 32-bit range"})
            EXPECT_NE(result.err.find(mention), std::string::npos) << what << ": " << mention
                                                                   << "\n" << result.err;
        EXPECT_EQ(result.err.find("cannot be read"), std::string::npos) << what;
    }
}

// ---- analyses on per-fight streams ------------------------------------------------

TEST_F(CliTest, AnalysesGiveTheSameOutputOnAnyNumberOfThreads) {
    const std::vector<std::vector<std::string>> commands = {
        {"outcome", "--you", "Hero", "--opp", "Brute", "--mode", "death", "--fights", "1000"},
        {"rank", "--you", "Hero", "--opp", "Brute", "--by", "weapon", "--all-types", "--fights",
         "600"},
        {"scale", "--you", "Hero", "--opp", "Brute", "--fights", "700"},
        {"outcome", "--you", "Hero", "--opp", "Knight", "--target-error", "2", "--fights",
         "100000"},
    };
    for (std::vector<std::string> args : commands) {
        args.insert(args.end(), {"--seed", "9", "--json"});
        std::string first;
        for (const char* threads : {"1", "2", "7"}) {
            std::vector<std::string> withThreads = args;
            withThreads.insert(withThreads.end(), {"--threads", threads});
            const CliResult result = run(withThreads);
            ASSERT_EQ(result.status, 0) << describe(withThreads) << "\n" << result.err;
            if (first.empty()) first = result.out;
            EXPECT_EQ(result.out, first) << describe(withThreads);
        }
    }
}

TEST_F(CliTest, HistogramsHoldEveryFightOfTheRunUnchanged) {
    for (const char* command : {"run", "outcome"}) {
        const std::vector<std::string> base{command, "--you", "Hero", "--opp", "Knight", "--mode",
                                            "death", "--fights", "2500", "--seed", "4", "--json"};
        std::vector<std::string> args = base;
        args.push_back("--histogram");
        if (std::string(command) == "outcome") args.pop_back();  // always there
        const Json json = runJson(args);
        ASSERT_FALSE(json.is_null()) << command;
        const Json plain = runJson(base);
        // The histograms change nothing of the run.
        for (const char* key : {"results", "totals", "ci95", "you", "opp"})
            EXPECT_EQ(json[key], plain[key]) << command << " " << key;

        const double fights = json["fights"].get<double>();
        const std::pair<const char*, double> means[] = {
            {"damageGiven", json["totals"]["damageGivenSum"].get<double>() / fights},
            {"damageTaken", json["totals"]["damageTakenSum"].get<double>() / fights},
            {"time", json["totals"]["tickSum"].get<double>() / fights / 100.0}};
        for (const auto& [key, mean] : means) {
            const std::string what = std::string(command) + " " + key;
            const Json& h = json["histograms"][key];
            const Json& edges = h["edges"];
            const Json& counts = h["counts"];
            ASSERT_EQ(edges.size(), counts.size() + 1) << what;
            double total = h["below"].get<double>() + h["above"].get<double>();
            double sum = 0.0;
            for (std::size_t k = 0; k < counts.size(); ++k) {
                total += counts[k].get<double>();
                sum += counts[k].get<double>() *
                       (edges[k].get<double>() + edges[k + 1].get<double>()) / 2.0;
            }
            EXPECT_EQ(total, fights) << what;
            const double width = edges[1].get<double>() - edges[0].get<double>();
            EXPECT_NEAR(sum / fights, mean, width / 2.0) << what;
            const Json& p = json["percentiles"][key];
            EXPECT_LE(p["p5"].get<double>(), p["p50"].get<double>()) << what;
            EXPECT_LE(p["p50"].get<double>(), p["p95"].get<double>()) << what;
        }
    }
}

TEST_F(CliTest, TargetErrorStopsTheRunOnceReachedAndTellsTheFightsUsed) {
    const Json json = runJson(matchup("Hero", "Knight", {"--seed", "3", "--target-error", "0.5"}));
    ASSERT_FALSE(json.is_null());
    const double fights = json["fights"].get<double>();
    EXPECT_TRUE(json["target"]["reached"].get<bool>());
    EXPECT_EQ(json["target"]["result"].get<std::string>(), "damageGiven");
    EXPECT_GT(fights, 1024.0);
    EXPECT_LT(fights, 10'000'000.0);
    const Json& given = json["ci95"]["damageGiven"];
    EXPECT_LE((given["high"].get<double>() - given["low"].get<double>()) / 2.0,
              0.005 * given["mean"].get<double>());
    // The same chain as a plain run of that many fights.
    const Json plain = runJson(matchup(
        "Hero", "Knight", {"--seed", "3", "--fights", std::to_string(static_cast<long>(fights))}));
    EXPECT_EQ(json["totals"], plain["totals"]);
    EXPECT_EQ(json["ci95"], plain["ci95"]);
}

TEST_F(CliTest, ScaleNamesWhatCannotChangeAndHowHitPointsFollow) {
    const auto stats = [this](const std::string& you, const std::vector<std::string>& more) {
        std::vector<std::string> args{"scale", "--you", you, "--opp", "Brute", "--fights", "500",
                                      "--seed", "2", "--json"};
        args.insert(args.end(), more.begin(), more.end());
        std::map<std::string, Json> byKey;
        const Json json = runJson(args);
        for (const Json& stat : json["stats"]) byKey[stat["stat"].get<std::string>()] = stat;
        return byKey;
    };
    // In damage60, A.R. and Parry act only on the blows the Hero takes.
    auto hero = stats("Hero", {});
    for (const char* key : {"armorRating", "parry"})
        EXPECT_EQ(hero[key]["perPoint"], Json({{"mean", 0}, {"low", 0}, {"high", 0}})) << key;
    EXPECT_GT(hero["tactics"]["perPoint"]["mean"].get<double>(), 0.0);
    EXPECT_FALSE(hero["strength"]["hitPointsFollow"].get<bool>());  // field 8 is stored
    // Frail has no readable field 8: its hit points are its Str.
    EXPECT_TRUE(stats("Frail", {})["strength"]["hitPointsFollow"].get<bool>());
    // Squire's A.R. is 0, the bottom of its range.
    auto squire = stats("Squire", {"--mode", "death"});
    EXPECT_EQ(squire["armorRating"]["tried"]["low"].get<double>(), 0);
    EXPECT_EQ(squire["armorRating"]["tried"]["high"].get<double>(), 10);
    EXPECT_TRUE(squire["armorRating"]["oneSided"].get<bool>());

    const CliResult text = run({"scale", "--you", "Frail", "--opp", "Brute", "--fights", "300",
                                "--seed", "2", "--mode", "death"});
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* shown : {"Str.", "A.R.", "per point", "hit points are its Str."})
        EXPECT_NE(text.out.find(shown), std::string::npos) << shown << "\n" << text.out;
}

TEST_F(CliTest, RefusesRunsOverMaxSecondsAndAnnouncesLongOnes) {
    const CliResult refused =
        run({"rank", "--you", "Hero", "--opp", "Brute", "--by", "weapon", "--all-types",
             "--fights", "1000000000", "--max-seconds", "60"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("--max-seconds 60"), std::string::npos) << refused.err;

    // A target error that is met at once: the estimate is the cap's.
    const CliResult announced =
        run({"rank", "--you", "Hero", "--opp", "Brute", "--by", "weapon", "--all-types",
             "--target-error", "50", "--fights", "100000000", "--seed", "1", "--csv"});
    EXPECT_EQ(announced.status, 0) << announced.err;
    const auto line = announced.err.find("skarn-cli: this will take up to about ");
    ASSERT_NE(line, std::string::npos) << announced.err;
    EXPECT_TRUE(line == 0 || announced.err[line - 1] == '\n') << announced.err;
    // The table as CSV: a header and a row for each of the eight weapons that
    // can fight (two of the ten are skipped with a warning).
    EXPECT_EQ(announced.out.rfind("you,opp,mode,seed,fights,rank,weapon,", 0), 0u)
        << announced.out;
    EXPECT_EQ(std::count(announced.out.begin(), announced.out.end(), '\n'), 9) << announced.out;
}

TEST_F(CliTest, CompletionForBashIsAScriptBashReads) {
#ifdef _WIN32
    GTEST_SKIP() << "reading the script back needs bash, which Windows does not have";
#endif
    const CliResult result = run({"completion", "bash"});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* word : {"complete -F", "outcome", "scale", "--target-error", "--by"})
        EXPECT_NE(result.out.find(word), std::string::npos) << word;
    const std::filesystem::path script = scratch_.path() / "completion.bash";
    writeBytes(script, result.out);
    EXPECT_EQ(std::system(("bash -n " + script.string()).c_str()), 0);
}

// Output that cannot be written fails the command, whichever it is.
TEST_F(CliTest, OutputThatCannotBeWrittenIsAFailure) {
#ifdef _WIN32
    GTEST_SKIP() << "needs /dev/full";
#else
    const std::filesystem::path err = scratch_.path() / "err.txt";
    for (const std::string command : {"list", "completion bash"}) {
        const std::string line = "'" SKARN_CLI_PATH "' --data '" + dataDir().string() + "' " +
                                 command + " >/dev/full 2>'" + err.string() + "'";
        const int status = std::system(line.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << command;
        EXPECT_EQ(WEXITSTATUS(status), 1) << command;
        EXPECT_EQ(readBytes(err), "skarn-cli: cannot write the output\n") << command;
    }
#endif
}

// ---- outputs recorded once, that must not change ----------------------------

TEST(CliGoldenTest, OutputsAreExactlyTheRecordedBytes) {
    struct Case {
        std::vector<std::string> args;
        const char* recorded;  // in tests/fixtures/cli
    };
    const Case cases[] = {
        {{"run", "--you", "Brannoc the Bold", "--opp", "Orc Brute", "--seed", "7", "--json"},
         "run-damage60.json"},
        {{"run", "--you", "Brannoc the Bold", "--opp", "Skeleton Knight", "--mode", "death",
          "--fights", "729", "--seed", "42", "--json"},
         "run-death.json"},
        {{"run", "--you", "Ysolde Vane", "--opp", "Marsh Lizardman", "--mode", "opponent",
          "--fights", "243", "--seed", "4294967295", "--json"},
         "run-opponent.json"},
        {{"run", "--you", "Old Tam", "--opp", "Cave Bear", "--you-weapon", "Flanged Mace",
          "--you-shield", "none", "--mode", "death", "--fights", "729", "--seed", "42", "--json"},
         "run-overrides.json"},
        {{"run", "--you", "Hrolf Greatmaul", "--opp", "Arena Champion", "--mode", "death",
          "--fights", "1", "--seed", "0", "--json"},
         "run-one-fight.json"},
        {{"run", "--you", "Brannoc the Bold", "--opp", "Orc Brute", "--seed", "7"},
         "run-damage60.txt"},
        {{"list", "--json"}, "list.json"},
        {{"outcome", "--you", "Old Tam", "--opp", "Cave Bear", "--mode", "death", "--fights", "5000",
          "--seed", "3", "--csv"},
         "outcome-death.csv"},
        {{"rank", "--by", "weapon", "--all-types", "--you", "Kessa Ironhand", "--opp",
          "Arena Champion", "--mode", "death", "--fights", "2000", "--seed", "5", "--csv"},
         "rank-all-types.csv"},
        {{"rank", "--by", "shield", "--you", "Brannoc the Bold", "--opp", "Troll Bonecrusher",
          "--mode", "opponent", "--fights", "3000", "--seed", "5", "--csv"},
         "rank-shields.csv"},
        {{"scale", "--you", "Hrolf Greatmaul", "--opp", "Marsh Lizardman", "--mode", "opponent",
          "--fights", "3000", "--seed", "9", "--csv"},
         "scale-opponent.csv"},
    };
    const TempDir cwd;
    for (const Case& c : cases) {
        std::vector<std::string> args{"--data", SKARN_EXAMPLES_DIR};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliResult result = runCli(args, cwd.path());
        EXPECT_EQ(result.status, 0) << describe(args) << "\n" << result.err;
        EXPECT_EQ(result.err, "") << describe(args);
        EXPECT_EQ(result.out, readBytes(std::filesystem::path(SKARN_GOLDEN_DIR) / c.recorded))
            << describe(args);
    }
}

}  // namespace
}  // namespace skarn::testing
