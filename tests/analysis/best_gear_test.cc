#include "analysis/best_gear.h"
#include "analysis/opponents.h"
#include "analysis/rank.h"

#include <map>
#include <stdexcept>

#include <gtest/gtest.h>

#include "data/platform_file_system.h"
#include "data/records.h"
#include "model/equipment.h"
#include "model/sections.h"
#include "tests/analysis/examples.h"
#include "tests/analysis/fighters.h"
#include "tests/support/files.h"

namespace skarn::analysis {
namespace {

using skarn::testing::Examples;

TEST(BestGearTest, TriesEveryWeaponWithEveryShieldTheHandsAllow) {
    Examples e;
    const Fighter you = e.arm(kYourChars, "Brannoc the Bold");
    const Fighter opp = e.arm(kOppChars, "Orc Brute");
    std::vector<GearCandidate> candidates;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(gearCandidates(e.equipment, you, opp, ToTheDeath, candidates, error, warnings))
        << error;
    const auto shields = model::sectionNames(e.equipment, kShields, model::EmptyNames::Skip);
    ASSERT_TRUE(shields);
    // Each weapon, whether it needs both hands, and the shields tried with it.
    std::map<std::string, std::pair<bool, std::vector<std::string>>> byWeapon;
    for (const GearCandidate& c : candidates) {
        auto& [twoHanded, with] = byWeapon[c.weapon];
        twoHanded = model::rulesOutShield(c.you.weapon.hands);
        with.push_back(c.shield);
        EXPECT_EQ(c.you.shieldName, c.shield);
        EXPECT_EQ(c.you.weaponName, c.weapon);
        EXPECT_EQ(c.you.stats, you.stats) << "one W. Skill, and every stat, for every type";
    }
    std::vector<Candidate> weapons;
    ASSERT_TRUE(rankCandidates(e.equipment, you, opp, RankBy::Weapon, true, ToTheDeath, 1, weapons,
                               error, warnings));
    EXPECT_EQ(byWeapon.size(), weapons.size());
    for (const auto& entry : byWeapon) {
        const auto& [twoHanded, with] = entry.second;
        if (twoHanded) {
            EXPECT_EQ(with, std::vector<std::string>{std::string(NoneEntry)}) << entry.first;
        } else {
            EXPECT_EQ(with.size(), shields->size() + 1) << entry.first;
        }
    }
}

TEST(BestGearTest, EntriesAreSingleOutcomesInMainResultOrderWithTiesMarked) {
    Examples e;
    const Fighter you = e.arm(kYourChars, "Brannoc the Bold");
    const Fighter opp = e.arm(kOppChars, "Orc Brute");
    for (const FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
        std::vector<GearCandidate> candidates;
        std::string error;
        std::vector<std::string> warnings;
        ASSERT_TRUE(gearCandidates(e.equipment, you, opp, mode, candidates, error, warnings));
        ExactSettings settings;
        settings.mode = mode;
        ExactRefusal declined;
        bool cancelled = false;
        const auto best = exactBestGear(you, candidates, {opp}, settings, declined, cancelled);
        ASSERT_TRUE(best) << declined.message();
        ASSERT_EQ(best->entries.size(), candidates.size());
        ExactRefusal unused;
        EXPECT_EQ(best->now, mainFigure(exactOutcome(you, opp, mode, unused)->odds));
        int current = 0;
        for (std::size_t i = 0; i < best->entries.size(); ++i) {
            const GearEntry& entry = best->entries[i];
            const auto single = exactOutcome(entry.candidate.you, opp, mode, unused);
            ASSERT_TRUE(single);
            EXPECT_EQ(entry.figure, mainFigure(single->odds));
            EXPECT_EQ(entry.versusBest, entry.figure - best->entries[0].figure);
            EXPECT_EQ(entry.versusCurrent, entry.figure - best->now);
            EXPECT_EQ(entry.tied, tiedWith(entry.odds, best->entries[0].odds));
            if (i > 0) {
                EXPECT_LE(compareMain(best->entries[i - 1].odds, entry.odds), 0);
            }
            if (entry.current) {
                ++current;
                EXPECT_EQ(entry.candidate.weapon, you.weaponName);
                EXPECT_EQ(entry.candidate.shield, you.shieldName);
                EXPECT_DOUBLE_EQ(entry.versusCurrent, 0.0);
            }
        }
        EXPECT_EQ(current, 1);
        EXPECT_TRUE(best->entries[0].tied);
    }
}

}  // namespace
}  // namespace skarn::analysis

namespace skarn::analysis {
namespace {

TEST(AllOpponentsTest, MeansAndWorstCasesAreThoseOfSingleOutcomes) {
    Examples e;
    const Fighter you = e.arm(kYourChars, "Brannoc the Bold");
    std::vector<Fighter> opponents;
    std::vector<LeftOut> leftOut;
    std::string error;
    ASSERT_TRUE(armOpponents(e.characters, e.equipment, you, ToTheDeath, opponents, leftOut, error))
        << error;
    const auto names = model::sectionNames(e.characters, kOppChars, model::EmptyNames::Skip);
    ASSERT_TRUE(names);
    EXPECT_EQ(opponents.size(), names->size());
    EXPECT_TRUE(leftOut.empty());
    ExactSettings settings;
    settings.mode = ToTheDeath;
    ExactRefusal declined;
    bool cancelled = false;
    const auto all = exactAgainstAll(you, opponents, settings, declined, cancelled);
    ASSERT_TRUE(all) << declined.message();
    double sum = 0.0;
    std::size_t worst = 0;
    std::vector<double> figures;
    for (const Fighter& opp : opponents) {
        ExactRefusal unused;
        figures.push_back(mainFigure(exactOutcome(you, opp, ToTheDeath, unused)->odds));
        sum += figures.back();
        if (figures.back() < figures[worst]) worst = figures.size() - 1;  // the lowest win %
    }
    EXPECT_NEAR(all->meanFigure, sum / static_cast<double>(opponents.size()), 1e-12);
    EXPECT_EQ(all->worst, worst);

    // Best gear against them all: each entry's figure is the mean of its
    // single outcomes, and its worst case the lowest of them.
    std::vector<GearCandidate> candidates;
    std::vector<std::string> warnings;
    ASSERT_TRUE(gearCandidates(e.equipment, you, opponents.front(), ToTheDeath, candidates, error,
                               warnings));
    candidates.resize(5);
    const auto best = exactBestGear(you, candidates, opponents, settings, declined, cancelled);
    ASSERT_TRUE(best) << declined.message();
    EXPECT_NEAR(best->now, all->meanFigure, 1e-12);
    for (const GearEntry& entry : best->entries) {
        double total = 0.0, lowest = 1e300;
        for (const Fighter& opp : opponents) {
            ExactRefusal unused;
            const double f = mainFigure(exactOutcome(entry.candidate.you, opp, ToTheDeath, unused)->odds);
            total += f;
            lowest = std::min(lowest, f);
        }
        EXPECT_NEAR(entry.figure, total / static_cast<double>(opponents.size()), 1e-12);
        EXPECT_EQ(entry.worstFigure, lowest);
    }
}

TEST(AllOpponentsTest, AnOpponentThatCannotFightIsNamedAndLeftOut) {
    testing::TempDir dir;
    testing::writeBytes(dir.path() / "charfile.cfg",
                        "[OppChars]\r\n"
                        "\"Orc Brute\"\t150\t40\t70\t1\t35\t80\t30\t150\t\"- none -\"\t\"Club\"\r\n"
                        "\"Ghost\"\t100\t100\t10\t1\t100\t100\t0\t100\t\"- none -\"\t\"Spectral Rod\"\r\n");
    testing::writeBytes(dir.path() / "equifile.cfg",
                        "[MaceWeapons]\r\n\"Club\"\t40\t2\t4\t2\t1\r\n[Shields]\r\n\"Buckler\"\t2\r\n");
    PlatformFileSystem files;
    SectionFile characters(dir.file("charfile.cfg"), files, SectionFile::Mode::ReadOnly);
    SectionFile equipment(dir.file("equifile.cfg"), files, SectionFile::Mode::ReadOnly);
    std::vector<Fighter> opponents;
    std::vector<LeftOut> leftOut;
    std::string error;
    ASSERT_TRUE(armOpponents(characters, equipment, testing::knightFighter(), ToTheDeath, opponents,
                             leftOut, error))
        << error;
    ASSERT_EQ(opponents.size(), 1u);
    EXPECT_EQ(opponents[0].name, "Orc Brute");
    ASSERT_EQ(leftOut.size(), 1u);
    EXPECT_EQ(leftOut[0].name, "Ghost");
    EXPECT_NE(leftOut[0].why.find("Spectral Rod"), std::string::npos) << leftOut[0].why;
}

}  // namespace
}  // namespace skarn::analysis
