// The exact odds against the fight loop itself: a table of matchups in the
// three modes, each fought 10^6 times from independent generator states.
// Every sampled mean must lie within 4.5 standard errors of the exact one;
// a result with no spread must come out exactly. Heavy (about half a
// minute): labelled `heavy`, run once per CI run on a Release build.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "combat/exact_odds.h"
#include "combat/fight.h"
#include "tests/combat/run_limits.h"

namespace skarn {
namespace {

constexpr std::int64_t kFights = 1'000'000;
constexpr double kMostZ = 4.5;

struct Matchup {
    std::string name;
    Combatant you, opp;
    int yourHp = 100, oppHp = 100;
    // A fight of 60 seconds swinging on every tick takes 12,000 swings:
    // too many to fight 10^6 times here.
    bool sixtySeconds = true;
};

Combatant fighter(int strength, int dexterity, int armor, int skill, int tactics, int parry,
                  int speed, int dice, int sides, int bonus, bool shield, int absorb) {
    Combatant c;
    c.strength = strength;
    c.dexterity = dexterity;
    c.armorRating = armor;
    c.weaponSkill = skill;
    c.tactics = tactics;
    c.parry = parry;
    c.weaponSpeed = speed;
    c.diceCount = dice;
    c.diceSides = sides;
    c.damageBonus = bonus;
    c.shieldIndex = shield ? 0 : -1;
    c.shieldAbsorb = absorb;
    return c;
}

// Chosen matchups, then generated ones in the main window's ranges with
// weapons like the examples', kept to fights that 10^6 times take well
// under a second.
std::vector<Matchup> matchups() {
    std::vector<Matchup> table = {
        {"typical", fighter(100, 100, 30, 100, 100, 100, 40, 2, 6, 2, false, 0),
         fighter(100, 87, 30, 100, 100, 100, 30, 2, 6, 2, true, 3), 30, 30},
        {"every tick: delays 0 and 1", fighter(80, 300, 20, 120, 90, 50, 4000, 2, 6, 2, false, 0),
         fighter(120, 100, 40, 100, 100, 300, 7500, 1, 8, 1, true, 5), 60, 50, false},
        {"the least hit chance", fighter(150, 100, 10, 0, 150, 0, 40, 3, 6, 4, false, 0),
         fighter(60, 60, 80, 300, 50, 240, 36, 2, 5, 3, true, 40), 80, 25},
        {"no dice, a parry beyond the blow", fighter(300, 200, 0, 200, 300, 0, 50, 0, 1, 12, false, 0),
         fighter(0, 0, 100, 150, 0, 300, 30, 4, 4, 0, true, 200), 150, 60},
        {"hit points 0, every tick", fighter(100, 100, 30, 100, 100, 100, 5000, 2, 6, 2, false, 0),
         fighter(100, 87, 30, 100, 100, 100, 30, 2, 6, 2, true, 3), 0, 0, false},
    };
    std::mt19937 gen(2024);
    const auto uniform = [&gen](int low, int high) {
        return low + static_cast<int>(gen() % static_cast<std::uint32_t>(high - low + 1));
    };
    while (table.size() < 16) {
        Matchup m;
        for (Combatant* c : {&m.you, &m.opp}) {
            *c = fighter(uniform(0, 400), uniform(0, 400), uniform(0, 100), uniform(0, 300),
                         uniform(0, 300), uniform(0, 300), uniform(24, 60), uniform(0, 5),
                         uniform(2, 8), uniform(0, 6), uniform(0, 1) == 1, uniform(2, 8));
        }
        m.yourHp = uniform(1, 300);
        m.oppHp = uniform(1, 300);
        bool quick = true;
        for (FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath})
            quick = quick && expectedFightMicroseconds(m.you, m.opp, m.yourHp, m.oppHp, mode) < 0.5;
        if (!quick) continue;
        m.name = "generated " + std::to_string(table.size());
        table.push_back(m);
    }
    return table;
}

// Sums of a result over the sampled fights.
struct Sums {
    double sum = 0.0;
    double n = 0.0;
    void add(double x) {
        sum += x;
        n += 1.0;
    }
    double mean() const { return sum / n; }
};

TEST(ExactOddsSamplingTest, AgreesWithTheFightLoop) {
    std::vector<double> zs;
    std::vector<std::pair<double, std::string>> largest;  // |z| and where
    std::mt19937 starts(1);
    for (const Matchup& m : matchups()) {
        for (FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
            if (mode == DamagePer60Seconds && !m.sixtySeconds) continue;
            std::ostringstream what;
            what << m.name << ", mode " << mode;
            ASSERT_TRUE(testing::withinRunLimits(m.you, m.opp, m.yourHp, m.oppHp, mode)) << what.str();
            const auto odds = exactOdds(m.you, m.opp, m.yourHp, m.oppHp, mode);
            ASSERT_TRUE(odds) << what.str();

            const PreparedFights prepared(m.you, m.opp, m.yourHp, m.oppHp, mode, kFights);
            Sums wins, taken, given, seconds;
            std::vector<std::uint32_t> from(1 << 16);
            std::vector<FightEnd> ends(from.size());
            for (std::int64_t done = 0; done < kFights; done += static_cast<std::int64_t>(from.size())) {
                const auto n = static_cast<std::size_t>(
                    std::min<std::int64_t>(static_cast<std::int64_t>(from.size()), kFights - done));
                for (std::size_t i = 0; i < n; ++i) from[i] = starts();
                prepared.fight(std::span(from.data(), n), std::span(ends.data(), n));
                for (std::size_t i = 0; i < n; ++i) {
                    wins.add(ends[i].won ? 100.0 : 0.0);
                    taken.add(ends[i].yourDamage);
                    given.add(ends[i].oppDamage);
                    seconds.add(static_cast<double>(ends[i].length) / 100.0);
                }
            }

            const auto check = [&](const char* result, const Sums& sampled, const ExactFigure& exact) {
                if (exact.sd == 0.0) {
                    EXPECT_NEAR(sampled.mean(), exact.mean, 1e-9 * std::max(1.0, exact.mean))
                        << what.str() << ": " << result << " has no spread";
                    return;
                }
                const double z = (sampled.mean() - exact.mean) / (exact.sd / std::sqrt(sampled.n));
                zs.push_back(z);
                largest.emplace_back(std::abs(z), what.str() + ": " + result);
                EXPECT_LE(std::abs(z), kMostZ)
                    << what.str() << ": " << result << " sampled " << sampled.mean() << ", exact "
                    << exact.mean << " (sd " << exact.sd << ")";
            };
            if (odds->winPercent) {
                check("win %", wins, *odds->winPercent);
            } else {
                EXPECT_EQ(wins.sum, 0.0) << what.str();
            }
            check("damage taken", taken, odds->damageTaken);
            check("damage given", given, odds->damageGiven);
            check("time", seconds, odds->time);
        }
    }
    ASSERT_FALSE(zs.empty());
    double sum = 0.0, sq = 0.0;
    for (const double z : zs) {
        sum += z;
        sq += z * z;
    }
    const double mean = sum / static_cast<double>(zs.size());
    const double sd = std::sqrt(sq / static_cast<double>(zs.size()) - mean * mean);
    const auto [least, most] = std::minmax_element(zs.begin(), zs.end());
    std::printf("%zu z-scores: min %.2f, max %.2f, mean %.3f, sd %.3f; the largest:\n", zs.size(),
                *least, *most, mean, sd);
    std::sort(largest.rbegin(), largest.rend());
    for (std::size_t i = 0; i < std::min<std::size_t>(3, largest.size()); ++i)
        std::printf("  |z| %.2f  %s\n", largest[i].first, largest[i].second.c_str());
}

}  // namespace
}  // namespace skarn
