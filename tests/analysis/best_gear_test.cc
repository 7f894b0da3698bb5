#include "analysis/best_gear.h"

#include <map>
#include <stdexcept>

#include <gtest/gtest.h>

#include "data/platform_file_system.h"
#include "data/records.h"
#include "model/equipment.h"
#include "model/sections.h"

namespace skarn::analysis {
namespace {

struct Examples {
    PlatformFileSystem files;
    SectionFile characters{SKARN_EXAMPLES_DIR "/charfile.cfg", files, SectionFile::Mode::ReadOnly};
    SectionFile equipment{SKARN_EXAMPLES_DIR "/equifile.cfg", files, SectionFile::Mode::ReadOnly};

    Fighter arm(std::string_view section, const std::string& name) {
        StoredCharacter character;
        Fighter fighter;
        std::string error;
        std::vector<std::string> warnings;
        if (!loadCharacter(characters, section, name, character, error) ||
            !equipFighter(equipment, character, std::nullopt, std::nullopt, fighter, error,
                          warnings))
            throw std::runtime_error(error);
        return fighter;
    }
};

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
    std::map<std::string, std::vector<std::string>> byWeapon;
    for (const GearCandidate& c : candidates) {
        byWeapon[c.weapon].push_back(c.shield);
        EXPECT_EQ(c.you.shieldName, c.shield);
        EXPECT_EQ(c.you.weaponName, c.weapon);
        EXPECT_EQ(c.you.stats, you.stats) << "one W. Skill, and every stat, for every type";
    }
    EXPECT_EQ(byWeapon.size(), 28u);
    for (const auto& [weapon, with] : byWeapon) {
        const GearCandidate& c = *std::find_if(candidates.begin(), candidates.end(),
                                               [&](const GearCandidate& g) { return g.weapon == weapon; });
        if (model::rulesOutShield(c.you.weapon.hands)) {
            EXPECT_EQ(with, std::vector<std::string>{std::string(NoneEntry)}) << weapon;
        } else {
            EXPECT_EQ(with.size(), shields->size() + 1) << weapon;
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
        const auto best = exactBestGear(you, candidates, opp, settings, declined, cancelled);
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
            EXPECT_EQ(entry.tied, tiedWith(entry.outcome.odds, best->entries[0].outcome.odds));
            if (i > 0) EXPECT_LE(compareMain(best->entries[i - 1].outcome.odds, entry.outcome.odds), 0);
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
