// The engine: per-fight streams, threads, exact sums, target error,
// cancellation, and the outcome built on it.

#include <atomic>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/engine.h"
#include "analysis/outcome.h"
#include "analysis/streams.h"
#include "tests/analysis/fighters.h"

namespace skarn::analysis {
namespace {

using skarn::testing::bruteFighter;
using skarn::testing::knightFighter;
using model::Stat;

RunSettings settingsFor(FightMode mode, std::int64_t fights, int threads) {
    RunSettings settings;
    settings.mode = mode;
    settings.seed = 7;
    settings.fights = fights;
    settings.threads = threads;
    return settings;
}

// The Knight against the Brute, with more Tactics, and with a faster sword.
Job threeVariants() {
    const Fighter brute = bruteFighter();
    Fighter knight = knightFighter();
    Job job;
    job.variants.push_back(variantOf(knight, brute));
    knight.stats[Stat::Tactics] += 50;
    job.variants.push_back(variantOf(knight, brute));
    knight.weapon.speed += 10;
    job.variants.push_back(variantOf(knight, brute));
    job.pairs = {{0, 1}, {0, 2}, {2, 1}};
    job.histograms = {Histogram(0, 10, 30), Histogram(0, 10, 30), Histogram(0, 500, 20)};
    return job;
}

void expectSameSums(const VariantSums& a, const VariantSums& b, const std::string& what) {
    EXPECT_EQ(a.fights, b.fights) << what;
    EXPECT_EQ(a.wins, b.wins) << what;
    EXPECT_EQ(a.damageTaken, b.damageTaken) << what;
    EXPECT_EQ(a.damageGiven, b.damageGiven) << what;
    EXPECT_EQ(a.ticks, b.ticks) << what;
    EXPECT_EQ(a.damageTakenSq, b.damageTakenSq) << what;
    EXPECT_EQ(a.damageGivenSq, b.damageGivenSq) << what;
    EXPECT_EQ(a.ticksSq, b.ticksSq) << what;
}

TEST(EngineTest, GivesTheSameFiguresOnAnyNumberOfThreads) {
    const Job job = threeVariants();
    for (const FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
        // Ten blocks, the last one short.
        const JobResult one = runJob(job, settingsFor(mode, 9 * kBlockFights + 100, 1));
        ASSERT_EQ(one.fights, 9 * kBlockFights + 100);
        for (const int threads : {2, 7}) {
            const std::string what = "mode " + std::to_string(mode) + ", " +
                                     std::to_string(threads) + " threads";
            const JobResult many = runJob(job, settingsFor(mode, one.fights, threads));
            EXPECT_EQ(many.fights, one.fights) << what;
            for (std::size_t v = 0; v < job.variants.size(); ++v)
                expectSameSums(many.variants[v], one.variants[v], what);
            for (std::size_t p = 0; p < job.pairs.size(); ++p) {
                EXPECT_EQ(many.pairs[p].difference, one.pairs[p].difference) << what;
                EXPECT_EQ(many.pairs[p].differenceSq, one.pairs[p].differenceSq) << what;
            }
            EXPECT_TRUE(many.histograms == one.histograms) << what;
        }
    }
}

// A system that makes fewer threads than asked for: the run goes on with
// those (or on the calling thread alone), says so once, and its figures are
// those of any other number of threads.
TEST(EngineTest, FightsOnTheThreadsTheSystemCouldMake) {
    const Job job = threeVariants();
    const JobResult one = runJob(job, settingsFor(ToTheDeath, 9 * kBlockFights + 100, 1));
    for (const int allowed : {2, 0}) {
        int started = 0;
        setThreadStartHook([&started, allowed] {
            if (started == allowed)
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            ++started;
        });
        RunSettings settings = settingsFor(ToTheDeath, one.fights, 8);
        std::vector<std::pair<int, int>> told;
        settings.fewerThreads = [&told](int made, int wanted) { told.emplace_back(made, wanted); };
        const JobResult few = runJob(job, settings);
        setThreadStartHook({});
        const std::string what = std::to_string(allowed) + " threads made";
        EXPECT_EQ(told, (std::vector<std::pair<int, int>>{{allowed, 8}})) << what;
        EXPECT_EQ(few.fights, one.fights) << what;
        EXPECT_FALSE(few.cancelled) << what;
        for (std::size_t v = 0; v < job.variants.size(); ++v)
            expectSameSums(few.variants[v], one.variants[v], what);
        for (std::size_t p = 0; p < job.pairs.size(); ++p)
            EXPECT_EQ(few.pairs[p].difference, one.pairs[p].difference) << what;
        EXPECT_TRUE(few.histograms == one.histograms) << what;
    }
}

TEST(EngineTest, FightIStartsFromTheStreamOfFightI) {
    const Job job = threeVariants();
    const RunSettings settings = settingsFor(ToTheDeath, 3 * kBlockFights - 5, 2);
    const JobResult run = runJob(job, settings);
    for (std::size_t v = 0; v < job.variants.size(); ++v) {
        const Variant& variant = job.variants[v];
        const PreparedFights prepared(variant.you, variant.opponent, variant.yourHitPoints,
                                      variant.oppHitPoints, settings.mode, settings.fights);
        std::vector<std::uint32_t> starts;
        for (std::int64_t i = 0; i < settings.fights; ++i)
            starts.push_back(fightStart(settings.seed, static_cast<std::uint64_t>(i)));
        std::vector<FightEnd> ends(starts.size());
        prepared.fight(starts, ends);
        VariantSums expected;
        for (const FightEnd& end : ends) expected.add(end);
        expectSameSums(run.variants[v], expected, "variant " + std::to_string(v));
    }
}

TEST(EngineTest, PairedDifferencesAreTheDifferencesOfTheSums) {
    Job job = threeVariants();
    for (const Result result :
         {Result::WinPercent, Result::DamageTaken, Result::DamageGiven, Result::Time}) {
        job.pairedResult = result;
        const JobResult run = runJob(job, settingsFor(ToTheDeath, 2000, 2));
        const auto sum = [&](std::size_t v) {
            const VariantSums& s = run.variants[v];
            switch (result) {
            case Result::WinPercent: return s.wins.value();
            case Result::DamageTaken: return s.damageTaken.value();
            case Result::DamageGiven: return s.damageGiven.value();
            case Result::Time: return s.ticks.value();
            }
            return 0.0;
        };
        for (std::size_t p = 0; p < job.pairs.size(); ++p) {
            const auto [a, b] = job.pairs[p];
            const std::string what = std::string(resultKey(result)) + " pair " + std::to_string(p);
            EXPECT_EQ(run.pairs[p].difference.value(),
                      sum(static_cast<std::size_t>(a)) - sum(static_cast<std::size_t>(b)))
                << what;
            const auto interval = run.pairs[p].interval(result);
            ASSERT_TRUE(interval) << what;
            EXPECT_NEAR(interval->mean,
                        run.variants[static_cast<std::size_t>(a)].mean(result) -
                            run.variants[static_cast<std::size_t>(b)].mean(result),
                        1e-9)
                << what;
        }
    }
}

TEST(EngineTest, StopsAtTheFirstBlockThatReachesTheTargetError) {
    Job job;
    job.variants.push_back(variantOf(knightFighter(), bruteFighter()));
    struct Case {
        FightMode mode;
        Result result;
        double target;  // percent of the mean; points for the win %
    };
    for (const Case& c : {Case{DamagePer60Seconds, Result::DamageGiven, 0.5},
                          Case{ToTheDeath, Result::WinPercent, 1.5},
                          Case{ToTheDeath, Result::Time, 1.0}}) {
        const std::string what = resultKey(c.result);
        RunSettings settings = settingsFor(c.mode, 1'000'000, 2);
        settings.targetError = c.target;
        settings.targetResult = c.result;
        const JobResult run = runJob(job, settings);
        EXPECT_TRUE(run.targetReached) << what;
        EXPECT_EQ(run.fights % kBlockFights, 0) << what;
        ASSERT_GT(run.fights, kBlockFights) << what;
        EXPECT_TRUE(withinTarget(run.variants[0].intervals(c.mode), c.result, c.target)) << what;

        // One block fewer was not enough, and one thread stops at the same block.
        const JobResult before = runJob(job, settingsFor(c.mode, run.fights - kBlockFights, 1));
        EXPECT_FALSE(withinTarget(before.variants[0].intervals(c.mode), c.result, c.target))
            << what;
        settings.threads = 1;
        EXPECT_EQ(runJob(job, settings).fights, run.fights) << what;
    }
}

TEST(EngineTest, ACancelStopsTheRunAndSaysSo) {
    Job job;
    job.variants.push_back(variantOf(knightFighter(), bruteFighter()));
    std::atomic<bool> cancel{false};
    RunSettings settings = settingsFor(ToTheDeath, 100'000'000, 2);
    settings.cancel = &cancel;
    std::int64_t reports = 0;
    settings.progress = [&](std::int64_t done, std::int64_t total) {
        EXPECT_EQ(total, 100'000'000);
        EXPECT_LE(done, total);
        ++reports;
        cancel = true;
    };
    const JobResult run = runJob(job, settings);
    EXPECT_TRUE(run.cancelled);
    EXPECT_GE(reports, 1);
    EXPECT_LT(run.fights, settings.fights);
    EXPECT_EQ(run.fights % kBlockFights, 0);
    EXPECT_EQ(run.variants[0].fights, run.fights);
}

// ---- outcome ------------------------------------------------------------------

TEST(OutcomeTest, HistogramsHoldEveryFightAndMatchTheMeans) {
    const Fighter knight = knightFighter();
    const Fighter brute = bruteFighter();
    for (const FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
        const Outcome outcome = analyseOutcome(knight, brute, settingsFor(mode, 3000, 2));
        ASSERT_EQ(outcome.fights, 3000);
        ASSERT_TRUE(outcome.histograms);
        const double means[] = {outcome.totals.damageGivenSum / 3000.0,
                                outcome.totals.damageTakenSum / 3000.0,
                                outcome.totals.tickSum / 3000.0};
        for (std::size_t h = 0; h < 3; ++h) {
            const std::string what = "mode " + std::to_string(mode) + " histogram " + std::to_string(h);
            const Histogram& histogram = (*outcome.histograms)[h];
            EXPECT_EQ(histogram.total(), 3000) << what;
            ASSERT_EQ(histogram.below() + histogram.above(), 0) << what;
            // A bin's whole numbers are taken at their middle.
            double sum = 0.0;
            for (int k = 0; k < histogram.bins(); ++k)
                sum += histogram.count(k) *
                       (histogram.edge(k) + (histogram.width() - 1) / 2.0);
            EXPECT_NEAR(sum / 3000.0, means[h], (histogram.width() - 1) / 2.0 + 1e-9) << what;
            const Percentiles p = percentilesOf(histogram);
            EXPECT_LE(p.p5, p.p50) << what;
            EXPECT_LE(p.p50, p.p95) << what;
        }
        // The results are those of the totals, cut as the Results dialog cuts them.
        EXPECT_EQ(outcome.results.resultDamageGiven, resultsOf(outcome.totals, 3000).resultDamageGiven);
    }
}

TEST(OutcomeTest, TheChainIsRunFightsInWholeOrInBatches) {
    const Fighter knight = knightFighter();
    const Fighter brute = bruteFighter();
    for (const FightMode mode : {DamagePer60Seconds, ToTheDeath}) {
        const std::string what = "mode " + std::to_string(mode);
        RunSettings settings = settingsFor(mode, 2500, 1);
        Combatant you = model::toCombatant(knight), opp = model::toCombatant(brute);
        RunTotals totals;
        Random rng(settings.seed);
        runFights(you, opp, knight.hitPoints.value, brute.hitPoints.value, mode, 2500, totals, {}, rng);

        const Outcome whole = runChain(knight, brute, settings, false);
        const Outcome batches = runChain(knight, brute, settings, true);
        for (const Outcome* o : {&whole, &batches}) {
            EXPECT_EQ(o->totals.damageGivenSum, totals.damageGivenSum) << what;
            EXPECT_EQ(o->totals.damageTakenSum, totals.damageTakenSum) << what;
            EXPECT_EQ(o->totals.tickSum, totals.tickSum) << what;
            EXPECT_EQ(o->totals.winCount, totals.winCount) << what;
            EXPECT_EQ(o->squares.damageGivenSq, whole.squares.damageGivenSq) << what;
        }
        ASSERT_TRUE(batches.histograms);
        EXPECT_EQ((*batches.histograms)[0].total(), 2500) << what;

        // A target stops the chain early; the fights used are a plain run's.
        settings.fights = 1'000'000;
        settings.targetError = mode == ToTheDeath ? 3.0 : 1.0;
        const Outcome target = runChain(knight, brute, settings, false);
        EXPECT_TRUE(target.targetReached) << what;
        ASSERT_LT(target.fights, settings.fights) << what;
        settings.fights = target.fights;
        settings.targetError.reset();
        const Outcome plain = runChain(knight, brute, settings, false);
        EXPECT_EQ(target.totals.damageGivenSum, plain.totals.damageGivenSum) << what;
        EXPECT_EQ(target.totals.tickSum, plain.totals.tickSum) << what;
        EXPECT_EQ(target.squares.tickSq, plain.squares.tickSq) << what;
    }
}

}  // namespace
}  // namespace skarn::analysis
