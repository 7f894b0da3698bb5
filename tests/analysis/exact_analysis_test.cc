// The analyses answered exactly: outcomes carrying the engine's figures,
// rankings and scale factors built from single exact outcomes, the engine's
// refusals, and agreement with sampled fights.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/exact.h"
#include "analysis/exact_rank.h"
#include "analysis/exact_scale.h"
#include "analysis/outcome.h"
#include "data/platform_file_system.h"
#include "data/records.h"
#include "data/section_file.h"
#include "tests/analysis/examples.h"
#include "tests/analysis/fighters.h"

namespace skarn::analysis {
namespace {

using model::Stat;
using model::statInfo;
using skarn::testing::bruteFighter;
using skarn::testing::knightFighter;

constexpr FightMode kModes[] = {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath};

ExactSettings exactIn(FightMode mode, int threads = 2) {
    ExactSettings settings;
    settings.mode = mode;
    settings.threads = threads;
    return settings;
}

ExactOutcome single(const Fighter& you, const Fighter& opp, FightMode mode) {
    ExactRefusal declined;
    auto outcome = exactOutcome(you, opp, mode, declined);
    if (!outcome) throw std::runtime_error("declined: " + declined.message());
    return *outcome;
}

Candidate armed(const std::string& name, model::WeaponStats weapon) {
    Candidate c{name, knightFighter()};
    c.you.weaponName = name;
    c.you.weapon = weapon;
    if (weapon.hands > 1) {  // the Knight's buckler is dropped
        c.you.hasShield = false;
        c.you.shieldAbsorb = 0;
        c.you.shieldName = "- none -";
    }
    return c;
}

// Weapons for the Knight, with a twin under another name.
std::vector<Candidate> weapons() {
    return {armed("slow", {20, 2, 6, 2, 1}), armed("heavy", {40, 4, 6, 2, 1}),
            armed("heavy twin", {40, 4, 6, 2, 1}), armed("plain", {40, 2, 6, 2, 1}),
            armed("two-handed", {36, 4, 7, 5, 2})};
}

// 1000 dice of 1000 sides: too many for the engine to add up.
Candidate giant(const std::string& name) { return armed(name, {40, 1000, 1000, 0, 1}); }

std::string nameOf(FightMode mode) { return "mode " + std::to_string(mode); }

TEST(RankOrderTest, OrdersByTheValueThenTheDamageTakenForEqualWins) {
    struct Case {
        Result result;
        std::vector<RankKeys> keys;
        std::vector<int> order;
    };
    const Case cases[] = {
        {Result::DamageGiven, {{3, 9}, {5, 1}, {4, 0}}, {1, 2, 0}},
        {Result::Time, {{3, 9}, {5, 1}, {4, 0}}, {0, 2, 1}},
        // Equal win percentages: less damage taken first.
        {Result::WinPercent, {{50, 9}, {70, 9}, {50, 2}, {50, 5}}, {1, 2, 3, 0}},
        // Equal values of other results keep their order, whatever the damage.
        {Result::DamageGiven, {{4, 9}, {4, 2}, {4, 5}}, {0, 1, 2}},
        {Result::DamageTaken, {{4, 9}, {1, 2}, {4, 5}}, {1, 0, 2}},
        // Full ties keep their order.
        {Result::WinPercent, {{100, 3}, {100, 3}, {100, 1}}, {2, 0, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rankOrder(c.keys, c.result), c.order) << resultKey(c.result);
}

TEST(ExactOutcomeTest, CarriesTheEngineFiguresAndThePercentilesOfEachLaw) {
    const Fighter knight = knightFighter();
    const Fighter brute = bruteFighter();
    for (const FightMode mode : kModes) {
        const ExactOutcome outcome = single(knight, brute, mode);
        const Variant v = variantOf(knight, brute);
        const auto odds = exactOdds(v.you, v.opponent, v.yourHitPoints, v.oppHitPoints, mode);
        ASSERT_TRUE(odds) << nameOf(mode);
        EXPECT_EQ(outcome.method, Method::Exact);
        EXPECT_EQ(outcome.mode, mode);
        EXPECT_EQ(outcome.odds.damageGiven.mean, odds->damageGiven.mean) << nameOf(mode);
        EXPECT_EQ(outcome.odds.time.sd, odds->time.sd) << nameOf(mode);
        EXPECT_EQ(outcome.figure(Result::WinPercent).has_value(), mode == ToTheDeath);
        EXPECT_EQ(outcome.mean(Result::Time), odds->time.mean);
        EXPECT_EQ(outcome.mean(Result::DamageTaken), odds->damageTaken.mean);

        // Each percentile is the first value of its own law whose cumulative
        // probability reaches it.
        const auto check = [&](const char* what, const ExactLaw& law, const ExactPercentiles& p) {
            for (const auto& [fraction, value] :
                 {std::pair{0.05, p.p5}, std::pair{0.5, p.p50}, std::pair{0.95, p.p95}}) {
                double before = 0.0;
                std::size_t i = 0;
                while (i < law.size() && law[i].value < value) before += law[i++].probability;
                ASSERT_LT(i, law.size()) << what << " " << fraction << ", " << nameOf(mode);
                EXPECT_EQ(law[i].value, value) << what << " " << fraction;
                EXPECT_LT(before, fraction) << what << " " << fraction << ", " << nameOf(mode);
                EXPECT_GE(before + law[i].probability, fraction - 1e-12) << what << " " << fraction;
            }
        };
        check("time", outcome.odds.timeLaw, outcome.time);
        check("damage given", outcome.odds.damageGivenLaw, outcome.damageGiven);
        check("damage taken", outcome.odds.damageTakenLaw, outcome.damageTaken);
        if (mode == DamagePer60Seconds) {
            EXPECT_EQ(outcome.time.p5, 60.0);
            EXPECT_EQ(outcome.time.p95, 60.0);
        }
    }
}

TEST(ExactRankTest, EntriesAreTheSingleOutcomesInRankOrder) {
    const Fighter brute = bruteFighter();
    const std::vector<Candidate> candidates = weapons();
    for (const FightMode mode : kModes) {
        ExactRefusal declined;
        bool cancelled = true;
        const auto ranking =
            exactRank(candidates, brute, RankBy::Weapon, exactIn(mode), declined, cancelled);
        ASSERT_TRUE(ranking) << nameOf(mode) << ": " << declined.message();
        EXPECT_FALSE(cancelled);
        const Result result = ranking->result;
        EXPECT_EQ(result, mainResult(mode));
        ASSERT_EQ(ranking->entries.size(), candidates.size());
        std::vector<std::string> names;
        for (std::size_t i = 0; i < ranking->entries.size(); ++i) {
            const ExactRankEntry& e = ranking->entries[i];
            const std::string what = e.candidate.name + ", " + nameOf(mode);
            names.push_back(e.candidate.name);
            const ExactOutcome alone = single(e.candidate.you, brute, mode);
            EXPECT_EQ(e.value, alone.mean(result)) << what;
            EXPECT_EQ(e.outcome.odds.damageTaken.mean, alone.odds.damageTaken.mean) << what;
            EXPECT_EQ(e.outcome.odds.damageGiven.mean, alone.odds.damageGiven.mean) << what;
            EXPECT_EQ(e.versusBest, e.value - ranking->entries[0].value) << what;
            if (i == 0) continue;
            const double before = ranking->entries[i - 1].value;
            if (lowerIsBetter(result)) {
                EXPECT_LE(before, e.value) << what;
            } else {
                EXPECT_GE(before, e.value) << what;
            }
        }
        // Twins tie, in the candidates' order, with the same difference.
        const auto heavy = std::find(names.begin(), names.end(), "heavy");
        ASSERT_NE(heavy, names.end());
        ASSERT_NE(heavy + 1, names.end());
        EXPECT_EQ(*(heavy + 1), "heavy twin") << nameOf(mode);
        const auto at = static_cast<std::size_t>(heavy - names.begin());
        EXPECT_EQ(ranking->entries[at].versusBest, ranking->entries[at + 1].versusBest);
    }
}

TEST(ExactRankTest, EqualWinPercentagesGoByTheDamageTaken) {
    // The Knight swings on tick 0 and always lands, and one blow fells the
    // Brute, which is tested first: every shield wins every fight. The
    // Brute's blow on tick 0 is all the Knight takes, less the shield's
    // absorb when the Knight parries.
    Fighter knight = knightFighter();
    knight.stats[Stat::WeaponSkill] = 300;
    knight.weapon.speed = 10000;
    Fighter brute = bruteFighter();
    brute.weapon.speed = 10000;
    brute.hitPoints = {1, true};
    std::vector<Candidate> shields;
    for (const auto& [name, absorb] : {std::pair{"- none -", 0}, std::pair{"Buckler", 3},
                                       std::pair{"Spiked", 1}, std::pair{"Tower", 8},
                                       std::pair{"Buckler twin", 3}}) {
        Candidate c{name, knight};
        c.you.hasShield = absorb > 0;
        c.you.shieldAbsorb = absorb;
        c.you.shieldName = name;
        shields.push_back(c);
    }
    ExactRefusal declined;
    bool cancelled = false;
    const auto ranking =
        exactRank(shields, brute, RankBy::Shield, exactIn(ToTheDeath), declined, cancelled);
    ASSERT_TRUE(ranking) << declined.message();
    ASSERT_EQ(ranking->result, Result::WinPercent);
    std::vector<std::string> order;
    for (const ExactRankEntry& e : ranking->entries) {
        order.push_back(e.candidate.name);
        EXPECT_EQ(e.value, 100.0) << e.candidate.name;
        EXPECT_EQ(e.versusBest, 0.0) << e.candidate.name;
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Tower", "Buckler", "Buckler twin", "Spiked",
                                               "- none -"}));
    for (std::size_t i = 1; i < ranking->entries.size(); ++i) {
        const double before = ranking->entries[i - 1].outcome.odds.damageTaken.mean;
        const double taken = ranking->entries[i].outcome.odds.damageTaken.mean;
        if (order[i] == "Buckler twin") {
            EXPECT_EQ(before, taken);
        } else {
            EXPECT_LT(before, taken) << order[i];
        }
    }
}

TEST(ExactRankTest, ADeclinedCandidateMakesTheWholeRankingNotExact) {
    const Fighter brute = bruteFighter();
    std::vector<Candidate> candidates = weapons();
    candidates.insert(candidates.begin() + 1, giant("Giant \"Maul\""));
    candidates.push_back(giant("Second giant"));
    const auto before = findExactRankRefusal(candidates, brute, ToTheDeath);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->index, 1);
    EXPECT_EQ(before->subject, "\"Giant \"Maul\"\"");
    EXPECT_EQ(before->reason.rfind("Exact odds would take too long", 0), 0u) << before->reason;
    EXPECT_EQ(before->message(), before->subject + ": " + before->reason);
    // The first declined in the candidates' order, on any number of threads.
    for (const int threads : {1, 2, 4}) {
        ExactRefusal declined;
        bool cancelled = true;
        EXPECT_FALSE(exactRank(candidates, brute, RankBy::Weapon, exactIn(ToTheDeath, threads),
                               declined, cancelled))
            << threads;
        EXPECT_FALSE(cancelled);
        EXPECT_EQ(declined.index, 1) << threads;
        EXPECT_EQ(declined.subject, before->subject) << threads;
        EXPECT_EQ(declined.reason, before->reason) << threads;
    }
    // A single matchup is declined in the same words, with no subject.
    const auto alone = findExactOutcomeRefusal(candidates[1].you, brute, ToTheDeath);
    ASSERT_TRUE(alone);
    EXPECT_EQ(alone->message(), before->reason);
    ExactRefusal declined;
    EXPECT_FALSE(exactOutcome(candidates[1].you, brute, ToTheDeath, declined));
    EXPECT_EQ(declined.message(), before->reason);

    EXPECT_FALSE(findExactRankRefusal(weapons(), brute, ToTheDeath));
}

TEST(ExactRankTest, GivesTheSameFiguresOnAnyNumberOfThreadsAndStopsWhenCancelled) {
    const Fighter brute = bruteFighter();
    std::vector<Candidate> candidates = weapons();
    for (const Candidate& c : weapons()) candidates.push_back(c);  // enough to share
    ExactRefusal declined;
    bool cancelled = false;
    const auto one =
        exactRank(candidates, brute, RankBy::Weapon, exactIn(ToTheDeath, 1), declined, cancelled);
    ASSERT_TRUE(one);
    for (const int threads : {2, 3, 8}) {
        const auto many = exactRank(candidates, brute, RankBy::Weapon,
                                    exactIn(ToTheDeath, threads), declined, cancelled);
        ASSERT_TRUE(many) << threads;
        ASSERT_EQ(many->entries.size(), one->entries.size());
        for (std::size_t i = 0; i < one->entries.size(); ++i) {
            EXPECT_EQ(many->entries[i].candidate.name, one->entries[i].candidate.name) << threads;
            EXPECT_EQ(many->entries[i].value, one->entries[i].value) << threads;
            EXPECT_EQ(many->entries[i].outcome.odds.time.sd, one->entries[i].outcome.odds.time.sd);
        }
    }

    std::atomic<bool> cancel{true};
    ExactSettings settings = exactIn(ToTheDeath);
    settings.cancel = &cancel;
    ExactRefusal untouched{"kept", 7, "kept"};
    EXPECT_FALSE(exactRank(candidates, brute, RankBy::Weapon, settings, untouched, cancelled));
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(untouched.subject, "kept");  // nothing was declined
}

const ExactStatScale& find(const ExactScale& scale, Stat stat) {
    for (const ExactStatScale& s : scale.stats)
        if (s.stat == stat) return s;
    throw std::logic_error("stat missing");
}

TEST(ExactScaleTest, AFactorIsTheDifferenceOfTwoOutcomesOverTheSpan) {
    const Fighter brute = bruteFighter();
    for (const bool stored : {true, false}) {
        Fighter knight = knightFighter();
        knight.stats[Stat::ArmorRating] = 95;  // compared with 85 and 100
        knight.hitPoints = {100, stored};      // Str. 100 either way
        for (const FightMode mode : kModes) {
            const std::string what = nameOf(mode) + (stored ? ", stored" : ", following Str.");
            ExactRefusal declined;
            bool cancelled = false;
            const auto scale = exactScale(knight, brute, 10, exactIn(mode), declined, cancelled);
            ASSERT_TRUE(scale) << what << ": " << declined.message();
            EXPECT_EQ(scale->result, mainResult(mode));
            EXPECT_EQ(scale->base.mean(scale->result), single(knight, brute, mode).mean(scale->result));
            ASSERT_EQ(scale->stats.size(), 6u);
            for (const Stat stat : model::kStats) {
                const ExactStatScale& s = find(*scale, stat);
                const std::string about = what + ", " + statInfo(stat).caption;
                const std::int32_t value = knight.stats[stat];
                EXPECT_EQ(s.low, std::max(statInfo(stat).low, value - 10)) << about;
                EXPECT_EQ(s.high, std::min(statInfo(stat).high, value + 10)) << about;
                EXPECT_EQ(s.hitPointsFollow, stat == Stat::Strength && !stored) << about;
                const auto at = [&](std::int32_t to) {
                    Fighter f = knight;
                    f.stats[stat] = to;
                    if (stat == Stat::Strength && !stored) f.hitPoints.value = to;
                    return single(f, brute, mode).mean(scale->result);
                };
                ASSERT_TRUE(s.perPoint) << about;
                EXPECT_EQ(*s.perPoint, (at(s.high) - at(s.low)) / (s.high - s.low)) << about;
                EXPECT_EQ(s.atHigh->mean(scale->result), at(s.high)) << about;
            }
            // The best to raise first.
            for (std::size_t i = 1; i < scale->stats.size(); ++i) {
                const double before = *scale->stats[i - 1].perPoint;
                const double next = *scale->stats[i].perPoint;
                if (lowerIsBetter(scale->result)) {
                    EXPECT_LE(before, next) << what;
                } else {
                    EXPECT_GE(before, next) << what;
                }
            }
        }
    }
}

TEST(ExactScaleTest, StatsThatChangeNoFightScaleByExactlyZero) {
    // A.R. and Parry act only on the blows the Knight takes: not on the
    // damage it gives in 60 seconds, nor on the time it needs to fell the
    // Brute.
    for (const FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent}) {
        ExactRefusal declined;
        bool cancelled = false;
        const auto scale =
            exactScale(knightFighter(), bruteFighter(), 10, exactIn(mode), declined, cancelled);
        ASSERT_TRUE(scale) << declined.message();
        for (const Stat stat : {Stat::ArmorRating, Stat::Parry}) {
            const ExactStatScale& s = find(*scale, stat);
            ASSERT_TRUE(s.perPoint) << nameOf(mode) << ", " << statInfo(stat).caption;
            EXPECT_EQ(*s.perPoint, 0.0) << nameOf(mode) << ", " << statInfo(stat).caption;
        }
        EXPECT_NE(*find(*scale, Stat::Tactics).perPoint, 0.0) << nameOf(mode);
    }
}

TEST(ExactScaleTest, ADeclinedStatMakesTheWholeScaleNotExact) {
    // Blows of 1 point against tens of thousands of hit points: the engine
    // takes on the Knight as it is but not with 10 points less W. Skill,
    // which needs more swings. The hit points where that starts are found
    // from the engine's own estimate.
    Fighter knight = knightFighter();
    knight.weapon = {40, 1, 1, -1000, 1};
    Fighter brute = bruteFighter();
    const auto declinedAt = [&](std::int32_t hitPoints) {
        brute.hitPoints = {hitPoints, true};
        return findExactOutcomeRefusal(knight, brute, ToDeathOfOpponent).has_value();
    };
    std::int32_t answered = 1000, refused = 1000000;
    ASSERT_FALSE(declinedAt(answered));
    ASSERT_TRUE(declinedAt(refused));
    while (refused - answered > 1) {
        const std::int32_t middle = answered + (refused - answered) / 2;
        (declinedAt(middle) ? refused : answered) = middle;
    }
    brute.hitPoints = {answered, true};

    const auto before = findExactScaleRefusal(knight, brute, 10, ToDeathOfOpponent);
    ASSERT_TRUE(before) << answered << " hit points";
    EXPECT_GT(before->index, 0);  // not the Knight as it is
    // The subject names a stat at a value, which alone is declined too.
    bool named = false;
    for (const Stat stat : model::kStats) {
        const std::string caption = statInfo(stat).caption;
        if (before->subject.rfind(caption + " ", 0) != 0) continue;
        named = true;
        Fighter changed = knight;
        changed.stats[stat] = std::stoi(before->subject.substr(caption.size() + 1));
        EXPECT_NE(changed.stats[stat], knight.stats[stat]);
        EXPECT_TRUE(findExactOutcomeRefusal(changed, brute, ToDeathOfOpponent)) << before->subject;
    }
    EXPECT_TRUE(named) << before->subject;

    ExactRefusal declined;
    bool cancelled = true;
    EXPECT_FALSE(exactScale(knight, brute, 10, exactIn(ToDeathOfOpponent), declined, cancelled));
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(declined.index, before->index);
    EXPECT_EQ(declined.message(), before->message());

    // The Knight as it is, declined, is named by its own name.
    Fighter hopeless = knight;
    hopeless.weapon = {40, 1000, 1000, 0, 1};
    const auto base = findExactScaleRefusal(hopeless, brute, 10, ToDeathOfOpponent);
    ASSERT_TRUE(base);
    EXPECT_EQ(base->index, 0);
    EXPECT_EQ(base->subject, "\"Knight\"");
}

// ---- against sampled fights --------------------------------------------

// Fights per matchup; rankings and scales, which run a dozen fighters
// each, take a quarter as many, to keep the test within a few seconds. An
// unoptimised build (the sanitizers' one) fights a tenth as many for the
// same reason; the bound in standard errors stays as strict.
#ifdef __OPTIMIZE__
constexpr std::int64_t kFights = 100'000;
#else
constexpr std::int64_t kFights = 10'000;
#endif
constexpr std::int64_t kFightsEach = kFights / 4;
constexpr double kMostZ = 4.5;

using skarn::testing::Examples;

RunSettings sampledIn(FightMode mode, std::int64_t fights) {
    RunSettings settings;
    settings.mode = mode;
    settings.seed = 2026;
    settings.fights = fights;
    settings.threads = 2;
    return settings;
}

// A sampled mean against the exact one: within kMostZ standard errors, or
// equal when there is no spread.
void expectAgree(double sampled, double exact, double standardError, const std::string& what) {
    if (standardError == 0.0) {
        EXPECT_NEAR(sampled, exact, 1e-9 * std::max(1.0, std::fabs(exact))) << what << " (no spread)";
        return;
    }
    EXPECT_LE(std::fabs(sampled - exact) / standardError, kMostZ)
        << what << ": sampled " << sampled << ", exact " << exact;
}

TEST(ExactAgreesWithSamplingTest, OutcomesOfExampleMatchups) {
    Examples examples;
    for (const auto& [yours, theirs] :
         {std::pair{"Old Tam", "Skeleton Knight"}, std::pair{"Brannoc the Bold", "Orc Brute"}}) {
        const Fighter you = examples.arm(kYourChars, yours);
        const Fighter opp = examples.arm(kOppChars, theirs);
        for (const FightMode mode : kModes) {
            const std::string what = std::string(yours) + " vs " + theirs + ", " + nameOf(mode);
            const ExactOutcome exact = single(you, opp, mode);
            const Outcome sampled = analyseOutcome(you, opp, sampledIn(mode, kFights));
            const double n = static_cast<double>(sampled.fights);
            ASSERT_EQ(sampled.fights, kFights);
            for (const Result result :
                 {Result::WinPercent, Result::DamageTaken, Result::DamageGiven, Result::Time}) {
                const std::optional<ExactFigure> figure = exact.figure(result);
                const double mean =
                    result == Result::WinPercent ? sampled.totals.winCount * 100.0 / n
                    : result == Result::DamageTaken ? sampled.totals.damageTakenSum / n
                    : result == Result::DamageGiven ? sampled.totals.damageGivenSum / n
                                                    : sampled.totals.tickSum / n / 100.0;
                if (!figure) {
                    EXPECT_EQ(mean, 0.0) << what << ": no wins are counted";
                    continue;
                }
                expectAgree(mean, figure->mean, figure->sd / std::sqrt(n),
                            what + ", " + resultKey(result));
            }
        }
    }
}

TEST(ExactAgreesWithSamplingTest, RankingAndScaleOfAnExampleMatchup) {
    Examples examples;
    const Fighter you = examples.arm(kYourChars, "Old Tam");
    const Fighter opp = examples.arm(kOppChars, "Skeleton Knight");
    const FightMode mode = ToTheDeath;

    std::vector<Candidate> candidates;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(rankCandidates(examples.equipment, you, opp, RankBy::Weapon, false, mode,
                               kFightsEach, candidates, error, warnings))
        << error;
    ASSERT_GE(candidates.size(), 4u);
    candidates.resize(4);
    ExactRefusal declined;
    bool cancelled = false;
    const auto exact = exactRank(candidates, opp, RankBy::Weapon, exactIn(mode), declined, cancelled);
    ASSERT_TRUE(exact) << declined.message();
    const Ranking sampled = rank(candidates, opp, RankBy::Weapon, sampledIn(mode, kFightsEach));
    ASSERT_EQ(sampled.entries.size(), exact->entries.size());
    for (const RankEntry& s : sampled.entries) {
        const auto e = std::find_if(exact->entries.begin(), exact->entries.end(), [&](const auto& x) {
            return x.candidate.name == s.candidate.name;
        });
        ASSERT_NE(e, exact->entries.end()) << s.candidate.name;
        const ExactFigure figure = *e->outcome.figure(sampled.result);
        expectAgree(s.value, figure.mean, figure.sd / std::sqrt(static_cast<double>(kFightsEach)),
                    "rank " + s.candidate.name);
    }

    const auto exactFactors = exactScale(you, opp, 10, exactIn(mode), declined, cancelled);
    ASSERT_TRUE(exactFactors) << declined.message();
    const Scale sampledFactors = scaleStats(you, opp, 10, sampledIn(mode, kFightsEach));
    for (const StatScale& s : sampledFactors.stats) {
        const ExactStatScale& e = find(*exactFactors, s.stat);
        ASSERT_TRUE(s.perPoint && e.perPoint) << statInfo(s.stat).caption;
        EXPECT_EQ(e.low, s.low);
        EXPECT_EQ(e.high, s.high);
        // The paired interval's half width is kZ95 standard errors.
        expectAgree(s.perPoint->mean, *e.perPoint, s.perPoint->halfWidth() / kZ95,
                    std::string("scale ") + statInfo(s.stat).caption);
    }
}

}  // namespace
}  // namespace skarn::analysis
