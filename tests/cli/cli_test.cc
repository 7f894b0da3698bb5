// skarn-cli as a user runs it: the built program on fixture files written
// into a fresh folder, checked by its output and its exit status.

#include <cmath>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "combat/combatant.h"
#include "combat/fight.h"
#include "combat/random.h"
#include "tests/cli/cli_runner.h"
#include "tests/cli/json.h"

namespace skarn::testing {
namespace {

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
        return runCli(args, dataDir(), scratch_.path());
    }
    // Runs and reads the JSON on stdout; a failure marks the test.
    Json runJson(const std::vector<std::string>& args) {
        const CliResult result = run(args);
        EXPECT_EQ(result.status, 0) << describe(args) << "\n" << result.err;
        try {
            return Json::parse(result.out);
        } catch (const std::exception& e) {
            ADD_FAILURE() << describe(args) << ": " << e.what() << "\n" << result.out;
            return Json{nullptr};
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
                EXPECT_EQ(fighter[key].number(), *number) << c.what << ": " << key;
            } else {
                EXPECT_EQ(fighter[key].string(), std::get<std::string>(expected))
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
        ASSERT_FALSE(json.isNull()) << what;

        Combatant you = hero();
        Combatant opp = brute();
        RunTotals totals;
        Random rng(c.seed);
        const RunResults expected =
            runFights(you, opp, 100, 100, c.fightMode, c.fights, totals, {}, rng);

        EXPECT_EQ(json["seed"].number(), c.seed) << what;
        EXPECT_EQ(json["mode"].number(), static_cast<int>(c.fightMode)) << what;
        EXPECT_EQ(json["fights"].number(), static_cast<double>(c.fights)) << what;
        const Json& results = json["results"];
        EXPECT_EQ(results["winPercent"].number(), expected.resultWinPercent) << what;
        EXPECT_EQ(results["damageTaken"].number(), expected.resultDamageTaken) << what;
        EXPECT_EQ(results["damageGiven"].number(), expected.resultDamageGiven) << what;
        EXPECT_EQ(results["time"].number(), expected.resultTime) << what;
        const Json& sums = json["totals"];
        EXPECT_EQ(sums["winCount"].number(), totals.winCount) << what;
        EXPECT_EQ(sums["damageTakenSum"].number(), totals.damageTakenSum) << what;
        EXPECT_EQ(sums["damageGivenSum"].number(), totals.damageGivenSum) << what;
        EXPECT_EQ(sums["tickSum"].number(), totals.tickSum) << what;

        // One fight leaves no spread to estimate an interval from.
        const Json& ci = json["ci95"];
        EXPECT_EQ(ci["damageGiven"].isNull(), c.fights == 1) << what;
        EXPECT_EQ(ci["winPercent"].isNull(), c.fightMode != ToTheDeath) << what;
    }
}

TEST_F(CliTest, TheDefaultSeedIsPrintedAndRepeatsTheRun) {
    const std::time_t before = std::time(nullptr);
    const Json first = runJson(matchup("Hero", "Brute", {"--fights", "27"}));
    const std::time_t after = std::time(nullptr);
    ASSERT_FALSE(first.isNull());
    const double seed = first["seed"].number();
    EXPECT_GE(seed, static_cast<double>(static_cast<std::uint32_t>(before)));
    EXPECT_LE(seed, static_cast<double>(static_cast<std::uint32_t>(after)));
    EXPECT_EQ(first["mode"].number(), 0);  // damage60 by default

    const Json again = runJson(matchup("Hero", "Brute",
                                       {"--fights", "27", "--seed",
                                        std::to_string(static_cast<std::uint32_t>(seed))}));
    ASSERT_FALSE(again.isNull());
    EXPECT_EQ(again["totals"]["damageGivenSum"].number(),
              first["totals"]["damageGivenSum"].number());
    EXPECT_EQ(again["totals"]["damageTakenSum"].number(),
              first["totals"]["damageTakenSum"].number());

    const Json defaults = runJson(matchup("Hero", "Brute", {"--seed", "5"}));
    EXPECT_EQ(defaults["fights"].number(), 2187);
}

// ---- confidence intervals ---------------------------------------------------

TEST_F(CliTest, IntervalsOfAFighterWhoAlwaysWins) {
    // Hero's first swing comes on tick 162 and always lands (skill 100
    // against 0) on a Dummy of 1 hit point, whose own first swing would come
    // on tick 266: every fight is a win of exactly 162 ticks.
    const std::int64_t n = 2187;
    const Json json =
        runJson(matchup("Hero", "Dummy", {"--mode", "death", "--seed", "3", "--fights", "2187"}));
    ASSERT_FALSE(json.isNull());
    EXPECT_EQ(json["results"]["winPercent"].number(), 100.0);
    const Json& win = json["ci95"]["winPercent"];
    EXPECT_EQ(win["high"].number(), 100.0);
    EXPECT_LT(win["low"].number(), 100.0);
    // The Wilson interval's lower end at n wins out of n is n / (n + z^2).
    const double z = 1.959963984540054;
    EXPECT_NEAR(win["low"].number(), 100.0 * n / (n + z * z), 1e-9);

    // A constant fight length and a damage taken of 0 have no spread.
    const Json& time = json["ci95"]["time"];
    EXPECT_DOUBLE_EQ(time["low"].number(), 1.62);
    EXPECT_DOUBLE_EQ(time["high"].number(), 1.62);
    const Json& taken = json["ci95"]["damageTaken"];
    EXPECT_EQ(taken["low"].number(), 0.0);
    EXPECT_EQ(taken["high"].number(), 0.0);
}

TEST_F(CliTest, DamageIntervalSurroundsTheMeanAndNarrowsWithMoreFights) {
    const Json small = runJson(matchup("Hero", "Knight", {"--seed", "11", "--fights", "81"}));
    const Json large = runJson(matchup("Hero", "Knight", {"--seed", "11", "--fights", "7290"}));
    ASSERT_FALSE(small.isNull());
    ASSERT_FALSE(large.isNull());
    for (const Json* json : {&small, &large}) {
        const Json& given = (*json)["ci95"]["damageGiven"];
        const double mean = (*json)["totals"]["damageGivenSum"].number() / (*json)["fights"].number();
        EXPECT_DOUBLE_EQ(given["mean"].number(), mean);
        EXPECT_LT(given["low"].number(), mean);
        EXPECT_GT(given["high"].number(), mean);
    }
    // The width goes as 1 / sqrt(n): 90 times the fights, about a ninth.
    const auto width = [](const Json& json) {
        return json["ci95"]["damageGiven"]["high"].number() -
               json["ci95"]["damageGiven"]["low"].number();
    };
    const double ratio = width(large) / width(small);
    EXPECT_GT(ratio, 1.0 / 20.0);
    EXPECT_LT(ratio, 1.0 / 5.0);
    // Every fight of mode damage60 lasts 60 seconds.
    EXPECT_EQ(large["ci95"]["time"]["low"].number(), 60.0);
    EXPECT_EQ(large["ci95"]["time"]["high"].number(), 60.0);
}

// ---- rankings ---------------------------------------------------------------

TEST_F(CliTest, RanksWeaponsBestFirstOnTheSameDice) {
    const Json ranking = runJson({"rank", "--you", "Hero", "--opp", "Brute", "--by", "weapon",
                                  "--fights", "243", "--seed", "21", "--json"});
    ASSERT_FALSE(ranking.isNull());
    const Json::Array& rows = ranking.array();
    ASSERT_EQ(rows.size(), 4u);  // every weapon of the Sword section
    EXPECT_EQ(rows.front()["weapon"].string(), "Doom Blade");
    EXPECT_EQ(rows.back()["weapon"].string(), "Twig");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i]["rank"].number(), static_cast<double>(i + 1));
        EXPECT_EQ(rows[i]["measure"]["name"].string(), "damageGiven");
        EXPECT_EQ(rows[i]["measure"]["value"].number(),
                  rows[i]["totals"]["damageGivenSum"].number() / 243.0);
        if (i > 0) {
            EXPECT_GE(rows[i - 1]["measure"]["value"].number(), rows[i]["measure"]["value"].number());
        }
    }

    // Each candidate is the run of that weapon on the same seed.
    for (const Json& row : rows) {
        const std::string weapon = row["weapon"].string();
        const Json single = runJson(matchup("Hero", "Brute",
                                            {"--you-weapon", weapon, "--fights", "243", "--seed",
                                             "21"}));
        EXPECT_EQ(single["totals"]["damageGivenSum"].number(),
                  row["totals"]["damageGivenSum"].number()) << weapon;
        EXPECT_EQ(single["you"]["shieldIndex"].number(), row["you"]["shieldIndex"].number())
            << weapon;
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
    for (const Json& row : ranking.array()) names.insert(row["shield"].string());
    EXPECT_EQ(names, (std::set<std::string>{"Buckler", "Tower Shield", "Aegis", "- none -"}));
    EXPECT_EQ(ranking[0]["shield"].string(), "Aegis");
    EXPECT_EQ(ranking[0]["measure"]["name"].string(), "winPercent");

    // Outside mode death a shield shows in the damage taken, lowest first.
    const Json taken = runJson({"rank", "--you", "Squire", "--opp", "Knight", "--by", "shield",
                                "--fights", "81", "--seed", "5", "--json"});
    ASSERT_FALSE(taken.isNull());
    EXPECT_EQ(taken[0]["shield"].string(), "Aegis");
    EXPECT_EQ(taken[0]["measure"]["name"].string(), "damageTaken");
    EXPECT_EQ(taken.array().back()["shield"].string(), "- none -");
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
    ASSERT_FALSE(json.isNull());
    const auto names = [](const Json& array) {
        std::vector<std::string> out;
        for (const Json& item : array.array())
            out.push_back(std::holds_alternative<Json::Object>(item.value) ? item["name"].string()
                                                                           : item.string());
        return out;
    };
    EXPECT_EQ(names(json["characters"]["YourChars"]),
              (std::vector<std::string>{"Alpha", "", "Beta Two"}));
    EXPECT_EQ(names(json["characters"]["OppChars"]), (std::vector<std::string>{"Gamma"}));
    EXPECT_EQ(names(json["weapons"]["FencingWeapons"]),
              (std::vector<std::string>{"Dagger", "Bent", "Late"}));
    EXPECT_TRUE(json["weapons"]["MaceWeapons"].array().empty());
    EXPECT_TRUE(json["weapons"]["Wrestling"].array().empty());  // no such section
    EXPECT_EQ(names(json["shields"]), (std::vector<std::string>{"Buckler", "", "Cracked"}));

    const Json& dagger = json["weapons"]["FencingWeapons"][0];
    EXPECT_EQ(dagger["speed"].number(), 56);
    EXPECT_EQ(dagger["diceCount"].number(), 1);
    EXPECT_EQ(dagger["diceSides"].number(), 5);
    EXPECT_EQ(dagger["damageBonus"].number(), 2);
    EXPECT_EQ(dagger["hands"].number(), 1);
    const Json& bent = json["weapons"]["FencingWeapons"][1];
    EXPECT_TRUE(bent["diceSides"].isNull());
    EXPECT_EQ(bent["damageBonus"].number(), -1);  // one bad field hides no other
    EXPECT_EQ(bent["hands"].number(), 2);
    // A lookup by name stops at an entry with an empty name.
    EXPECT_TRUE(json["weapons"]["FencingWeapons"][2]["speed"].isNull());
    EXPECT_EQ(json["shields"][0]["absorb"].number(), 2);
    EXPECT_TRUE(json["shields"][1]["absorb"].isNull());  // an empty name is never found
    EXPECT_TRUE(json["shields"][2]["absorb"].isNull());

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
    ASSERT_FALSE(json.isNull());
    EXPECT_EQ(json["characters"]["YourChars"][0].string(), "Tab\there");
    EXPECT_EQ(json["characters"]["YourChars"][1].string(), "Ol\xc3\xa9 \xc3\xa9");
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
        {{"run", "--you"}, 2, {"--you", "value"}},
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

// ---- outputs recorded once, that must not change ----------------------------

TEST(CliGoldenTest, RunAndListPrintExactlyTheRecordedBytes) {
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
    };
    const TempDir cwd;
    const TempDir scratch;
    for (const Case& c : cases) {
        std::vector<std::string> args{"--data", SKARN_EXAMPLES_DIR};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliResult result = runCli(args, cwd.path(), scratch.path());
        EXPECT_EQ(result.status, 0) << describe(args) << "\n" << result.err;
        EXPECT_EQ(result.err, "") << describe(args);
        EXPECT_EQ(result.out, readBytes(std::filesystem::path(SKARN_GOLDEN_DIR) / c.recorded))
            << describe(args);
    }
}

}  // namespace
}  // namespace skarn::testing
