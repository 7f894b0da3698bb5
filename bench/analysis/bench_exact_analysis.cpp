// The analyses answered exactly, on the example characters, against the bar
// of the Analysis window (each tab filled in under 100 ms):
// - the outcome of a matchup;
// - the ranking of every weapon of every type, and of every shield;
// - the scale factors (delta 10);
// for "Old Tam" against "Skeleton Knight" and "Brannoc the Bold" against
// "Orc Brute" in the three modes, on 2 threads and on 1; beside them the
// checks that say beforehand whether the engine answers a whole analysis,
// and each analysis sampled at the fights a face asks for by default
// (rank 10,000 a candidate, scale 50,000), on 2 threads. A summary with the
// times and the ratios ends the output.

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/best_gear.h"
#include "analysis/curve.h"
#include "analysis/exact.h"
#include "analysis/exact_rank.h"
#include "analysis/exact_scale.h"
#include "analysis/opponents.h"
#include "analysis/outcome.h"
#include "bench/support/examples.h"
#include "bench/support/recording_reporter.h"

namespace {

using namespace skarn;
using namespace skarn::analysis;

constexpr FightMode kModes[] = {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath};
constexpr std::int64_t kRankFights = 10'000;
constexpr std::int64_t kScaleFights = 50'000;
constexpr std::int32_t kDelta = 10;

struct Matchup {
    std::string name;
    Fighter you, opp;
    std::vector<Candidate> weapons, shields;
    std::vector<GearCandidate> gear;  // every weapon with every shield it allows
    std::vector<Fighter> opponents;   // every opponent of the examples
};

std::vector<Matchup> exampleMatchups() {
    bench::ExampleFiles examples("bench_exact_analysis");
    SectionFile& equipment = examples.equipment;
    const auto fail = [](const std::string& error) { bench::giveUp("bench_exact_analysis", error); };
    const auto arm = [&](std::string_view section, const std::string& name) {
        return examples.fighter(section, name);
    };
    std::vector<Matchup> matchups;
    for (const auto& [you, opp] : {std::pair{"Old Tam", "Skeleton Knight"},
                                   std::pair{"Brannoc the Bold", "Orc Brute"}}) {
        Matchup m{std::string(you) + " vs " + opp, arm(kYourChars, you), arm(kOppChars, opp), {}, {}, {}, {}};
        std::string error;
        std::vector<std::string> warnings;
        // The candidates do not depend on the mode, only on the fights'
        // run limits, which every mode passes here.
        if (!rankCandidates(equipment, m.you, m.opp, RankBy::Weapon, true, ToTheDeath, 1, m.weapons,
                            error, warnings) ||
            !rankCandidates(equipment, m.you, m.opp, RankBy::Shield, false, ToTheDeath, 1,
                            m.shields, error, warnings))
            fail(error);
        std::vector<LeftOut> leftOut;
        if (!gearCandidates(equipment, m.you, m.opp, ToTheDeath, m.gear, error, warnings) ||
            !armOpponents(examples.characters, equipment, m.you, ToTheDeath, m.opponents, leftOut,
                          error))
            fail(error);
        matchups.push_back(std::move(m));
    }
    return matchups;
}

ExactSettings exactSettings(FightMode mode, int threads) {
    ExactSettings settings;
    settings.mode = mode;
    settings.threads = threads;
    return settings;
}

RunSettings sampledSettings(FightMode mode, std::int64_t fights) {
    RunSettings settings;
    settings.mode = mode;
    settings.seed = 1;
    settings.fights = fights;
    settings.threads = 2;
    return settings;
}

void BM_Outcome(benchmark::State& state, const Matchup* m, FightMode mode) {
    for (auto _ : state) {
        ExactRefusal declined;
        auto outcome = exactOutcome(m->you, m->opp, mode, declined);
        if (!outcome) return state.SkipWithError(declined.message().c_str());
        benchmark::DoNotOptimize(outcome);
    }
}

void BM_Rank(benchmark::State& state, const Matchup* m, FightMode mode, RankBy by) {
    const auto& candidates = by == RankBy::Weapon ? m->weapons : m->shields;
    for (auto _ : state) {
        ExactRefusal declined;
        bool cancelled = false;
        auto ranking = exactRank(candidates, m->opp, by,
                                 exactSettings(mode, static_cast<int>(state.range(0))), declined,
                                 cancelled);
        if (!ranking) return state.SkipWithError(declined.message().c_str());
        benchmark::DoNotOptimize(ranking);
    }
    state.counters["candidates"] = static_cast<double>(candidates.size());
}

void BM_Scale(benchmark::State& state, const Matchup* m, FightMode mode) {
    for (auto _ : state) {
        ExactRefusal declined;
        bool cancelled = false;
        auto scale = exactScale(m->you, m->opp, kDelta,
                                exactSettings(mode, static_cast<int>(state.range(0))), declined,
                                cancelled);
        if (!scale) return state.SkipWithError(declined.message().c_str());
        benchmark::DoNotOptimize(scale);
    }
}

// The curves of all six stats over their whole ranges, a point for every
// value, with the changes at -10, +10 and +1.
void BM_Curves(benchmark::State& state, const Matchup* m, FightMode mode) {
    const std::vector<Stat> stats(std::begin(model::kStats), std::end(model::kStats));
    for (auto _ : state) {
        ExactRefusal declined;
        bool cancelled = false;
        auto curves = exactCurves(m->you, m->opp, stats, 1, kDelta, true, exactSettings(mode, 2),
                                  declined, cancelled);
        if (!curves) return state.SkipWithError(declined.message().c_str());
        benchmark::DoNotOptimize(curves);
    }
}

// Every weapon of every type with every shield it allows.
void BM_BestGear(benchmark::State& state, const Matchup* m, FightMode mode) {
    for (auto _ : state) {
        ExactRefusal declined;
        bool cancelled = false;
        auto best = exactBestGear(m->you, m->gear, {m->opp}, exactSettings(mode, 2), declined, cancelled);
        if (!best) return state.SkipWithError(declined.message().c_str());
        benchmark::DoNotOptimize(best);
    }
    state.counters["pairs"] = static_cast<double>(m->gear.size());
}

// The same against every opponent, ordered by the means.
void BM_BestGearAll(benchmark::State& state, const Matchup* m, FightMode mode) {
    for (auto _ : state) {
        ExactRefusal declined;
        bool cancelled = false;
        auto best = exactBestGear(m->you, m->gear, m->opponents, exactSettings(mode, 2), declined,
                                  cancelled);
        if (!best) return state.SkipWithError(declined.message().c_str());
        benchmark::DoNotOptimize(best);
    }
    state.counters["matchups"] = static_cast<double>(m->gear.size() * m->opponents.size());
}

// The checks a face makes before it chooses the method.
void BM_RankCheck(benchmark::State& state, const Matchup* m, FightMode mode) {
    for (auto _ : state) benchmark::DoNotOptimize(findExactRankRefusal(m->weapons, m->opp, mode));
}

void BM_ScaleCheck(benchmark::State& state, const Matchup* m, FightMode mode) {
    for (auto _ : state)
        benchmark::DoNotOptimize(findExactScaleRefusal(m->you, m->opp, kDelta, mode));
}

void BM_SampledRank(benchmark::State& state, const Matchup* m, FightMode mode) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            rank(m->weapons, m->opp, RankBy::Weapon, sampledSettings(mode, kRankFights)));
}

void BM_SampledScale(benchmark::State& state, const Matchup* m, FightMode mode) {
    for (auto _ : state)
        benchmark::DoNotOptimize(scaleStats(m->you, m->opp, kDelta, sampledSettings(mode, kScaleFights)));
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Matchup> matchups = exampleMatchups();
    for (const Matchup& m : matchups) {
        for (const FightMode mode : kModes) {
            const std::string at = m.name + "/mode" + std::to_string(mode);
            const auto add = [&](const std::string& name, auto... args) {
                return benchmark::RegisterBenchmark(name.c_str(), args...)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime();
            };
            add("outcome/" + at, BM_Outcome, &m, mode)->MinTime(0.02)->Repetitions(5);
            for (const int threads : {1, 2}) {
                add("rankWeapons/" + at, BM_Rank, &m, mode, RankBy::Weapon)
                    ->Arg(threads)->MinTime(0.05)->Repetitions(5);
                add("rankShields/" + at, BM_Rank, &m, mode, RankBy::Shield)
                    ->Arg(threads)->MinTime(0.05)->Repetitions(5);
                add("scale/" + at, BM_Scale, &m, mode)->Arg(threads)->MinTime(0.05)->Repetitions(5);
            }
            add("bestGear/" + at, BM_BestGear, &m, mode)->MinTime(0.05)->Repetitions(5);
            add("bestGearAll/" + at, BM_BestGearAll, &m, mode)->Iterations(1)->Repetitions(3);
            add("curves/" + at, BM_Curves, &m, mode)->Iterations(1)->Repetitions(3);
            add("rankCheck/" + at, BM_RankCheck, &m, mode)->MinTime(0.02)->Repetitions(5);
            add("scaleCheck/" + at, BM_ScaleCheck, &m, mode)->MinTime(0.02)->Repetitions(5);
            add("sampledRank/" + at, BM_SampledRank, &m, mode)->Iterations(1)->Repetitions(3);
            add("sampledScale/" + at, BM_SampledScale, &m, mode)->Iterations(1)->Repetitions(3);
        }
    }
    benchmark::Initialize(&argc, argv);
    skarn::bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto get = [&](const std::string& prefix) { return reporter.fastest(prefix); };
    std::printf("\nExact analyses in ms (wall clock, the fastest of 5 runs) on 2 threads; "
                "bar: each under 100 ms.\n"
                "w 2/1, s 2/1: the weapons' ranking and the scale on 2 threads against 1; "
                "checks: findExactRankRefusal + findExactScaleRefusal.\n");
    std::printf("%-40s %8s %8s %8s %8s %8s %8s %8s\n", "matchup / mode", "outcome", "weapons",
                "shields", "scale", "w 2/1", "s 2/1", "checks");
    double most = 0.0;
    for (const Matchup& m : matchups) {
        for (const FightMode mode : kModes) {
            const std::string at = m.name + "/mode" + std::to_string(mode) + "/";
            const double outcome = get("outcome/" + at);
            const double weapons1 = get("rankWeapons/" + at + "1/");
            const double weapons2 = get("rankWeapons/" + at + "2/");
            const double shields2 = get("rankShields/" + at + "2/");
            const double scale1 = get("scale/" + at + "1/");
            const double scale2 = get("scale/" + at + "2/");
            const double checks = get("rankCheck/" + at) + get("scaleCheck/" + at);
            most = std::max({most, outcome, weapons2, shields2, scale2});
            std::printf("%-40s %8.3f %8.3f %8.3f %8.3f %8.2f %8.2f %8.3f\n",
                        (m.name + "/mode" + std::to_string(mode)).c_str(), outcome, weapons2,
                        shields2, scale2, weapons1 > 0 ? weapons2 / weapons1 : 0.0,
                        scale1 > 0 ? scale2 / scale1 : 0.0, checks);
            const double sampledRank = get("sampledRank/" + at);
            const double sampledScale = get("sampledScale/" + at);
            if (sampledRank > 0 && sampledScale > 0 && weapons2 > 0 && scale2 > 0) {
                std::printf("%-40s sampled: weapons %.0f ms (%.0fx), scale %.0f ms (%.0fx)\n", "",
                            sampledRank, sampledRank / weapons2, sampledScale,
                            sampledScale / scale2);
            }
        }
    }
    std::printf("The slowest exact analysis on 2 threads: %.3f ms (bar: under 100 ms)\n", most);
    double bestGear = 0.0;
    for (const Matchup& m : matchups)
        for (const FightMode mode : kModes)
            bestGear = std::max(bestGear, get("bestGear/" + m.name + "/mode" + std::to_string(mode) + "/"));
    std::printf("The slowest best gear (%zu weapon and shield pairs) on 2 threads: %.1f ms\n",
                matchups.front().gear.size(), bestGear);
    double bestGearAll = 0.0;
    for (const Matchup& m : matchups)
        for (const FightMode mode : kModes)
            bestGearAll = std::max(bestGearAll, get("bestGearAll/" + m.name + "/mode" + std::to_string(mode) + "/"));
    std::printf("The slowest best gear against all %zu opponents (%zu matchups) on 2 threads: %.0f ms\n",
                matchups.front().opponents.size(),
                matchups.front().gear.size() * matchups.front().opponents.size(), bestGearAll);
    double curves = 0.0;
    for (const Matchup& m : matchups)
        for (const FightMode mode : kModes)
            curves = std::max(curves, get("curves/" + m.name + "/mode" + std::to_string(mode) + "/"));
    std::printf("The slowest curves of all six stats, every value, on 2 threads: %.0f ms "
                "(bar: under 1 s)\n", curves);
}
