// The analysis engine against the loop it is built on, and on the example
// characters:
// - per fight, the engine on one thread (each fight from its own stream,
//   summed exactly) against runFights, on the pairs of bench_combat;
// - rank --all-types over the example weapons, 100,000 fights each, on 2
//   threads against 1;
// - scale at its default settings (50,000 fights, delta 10) for two example
//   characters, on 2 threads.
// A summary with the ratios ends the output.

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/engine.h"
#include "analysis/rank.h"
#include "analysis/scale.h"
#include "analysis/streams.h"
#include "bench/pairs.h"
#include "bench/support/examples.h"
#include "bench/support/recording_reporter.h"

namespace {

using namespace skarn;
using namespace skarn::analysis;
using skarn::bench::kPairs;
using skarn::bench::Pair;

constexpr std::int64_t kPerFightFights = 4 * bench::kFights;
constexpr std::int64_t kRankFights = 100'000;
constexpr std::int64_t kScaleFights = 50'000;

void BM_RunFights(benchmark::State& state, const Pair* pair) {
    Combatant you, opp;
    bench::prepare(*pair, you, opp);
    RunTotals totals;
    Random rng(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(runFights(you, opp, pair->hitPoints, pair->hitPoints, pair->mode,
                                           kPerFightFights, totals, {}, rng));
    }
}

// The fights alone, each from its own stream, as the engine fights them.
void BM_FightsFromStreams(benchmark::State& state, const Pair* pair) {
    Combatant you, opp;
    bench::prepare(*pair, you, opp);
    const PreparedFights prepared(you, opp, pair->hitPoints, pair->hitPoints, pair->mode,
                                  kPerFightFights);
    std::vector<std::uint32_t> starts(kPerFightFights);
    for (std::size_t i = 0; i < starts.size(); ++i) starts[i] = fightStart(1, i);
    std::vector<FightEnd> ends(starts.size());
    for (auto _ : state) {
        prepared.fight(starts, ends);
        benchmark::DoNotOptimize(ends.data());
    }
}

// The whole engine on one thread: streams, blocks, exact sums.
void BM_Engine(benchmark::State& state, const Pair* pair) {
    Job job;
    Variant& v = job.variants.emplace_back();
    bench::prepare(*pair, v.you, v.opponent);
    v.yourHitPoints = v.oppHitPoints = pair->hitPoints;
    RunSettings settings;
    settings.mode = pair->mode;
    settings.seed = 1;
    settings.fights = kPerFightFights;
    settings.threads = 1;
    for (auto _ : state) benchmark::DoNotOptimize(runJob(job, settings));
}

// "Brannoc the Bold" against "Orc Brute" from the example files.
struct Examples {
    bench::ExampleFiles files{"bench_analysis"};
    StoredCharacter brannoc = files.character(kYourChars, "Brannoc the Bold");
    Fighter you = files.armed(brannoc);
    Fighter opp = files.fighter(kOppChars, "Orc Brute");
    Fighter unarmed = unarmedFighter(brannoc);
    SectionFile& equipment = files.equipment;
};

Examples& examples() {
    static Examples e;
    return e;
}

void BM_RankAllTypes(benchmark::State& state) {
    Examples& e = examples();
    std::vector<Candidate> candidates;
    std::string error;
    std::vector<std::string> warnings;
    if (!rankCandidates(e.equipment, e.unarmed, e.opp, RankBy::Weapon, true, DamagePer60Seconds,
                        kRankFights, candidates, error, warnings)) {
        state.SkipWithError(error.c_str());
        return;
    }
    RunSettings settings;
    settings.seed = 1;
    settings.fights = kRankFights;
    settings.threads = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(rank(candidates, e.opp, RankBy::Weapon, settings));
    state.counters["weapons"] = static_cast<double>(candidates.size());
}

void BM_Scale(benchmark::State& state) {
    Examples& e = examples();
    RunSettings settings;
    settings.mode = static_cast<FightMode>(state.range(0));
    settings.seed = 1;
    settings.fights = kScaleFights;
    settings.threads = 2;
    for (auto _ : state) benchmark::DoNotOptimize(scaleStats(e.you, e.opp, 10, settings));
}

}  // namespace

int main(int argc, char** argv) {
    for (const Pair& p : kPairs) {
        if (!p.tickLoop) continue;  // the longest pair takes seconds per fight count
        const std::string n = p.name;
        // The fastest of five repetitions each, against a shared machine.
        benchmark::RegisterBenchmark(("runFights/" + n).c_str(), BM_RunFights, &p)
            ->Unit(benchmark::kMillisecond)->Repetitions(5);
        benchmark::RegisterBenchmark(("streams/" + n).c_str(), BM_FightsFromStreams, &p)
            ->Unit(benchmark::kMillisecond)->Repetitions(5);
        benchmark::RegisterBenchmark(("engine/" + n).c_str(), BM_Engine, &p)
            ->Unit(benchmark::kMillisecond)->Repetitions(5);
    }
    benchmark::RegisterBenchmark("rankAllTypes", BM_RankAllTypes)
        ->Arg(1)->Arg(2)->Iterations(1)->Repetitions(3)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("scale", BM_Scale)
        ->Arg(DamagePer60Seconds)->Arg(ToTheDeath)->Iterations(1)->Repetitions(3)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    skarn::bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto fastest = [&](const std::string& prefix) { return reporter.fastest(prefix); };
    std::printf("\nPer fight, %lld fights per run, in ms, measured in this one run:\n",
                static_cast<long long>(kPerFightFights));
    double sum = 0.0;
    int pairs = 0;
    for (const Pair& p : kPairs) {
        const std::string n = p.name;
        const double chain = fastest("runFights/" + n + "/repeats:");
        const double streams = fastest("streams/" + n + "/repeats:");
        const double engine = fastest("engine/" + n + "/repeats:");
        if (chain <= 0 || streams <= 0 || engine <= 0) continue;
        std::printf("  %-14s runFights %8.3f  from streams %8.3f  engine %8.3f  "
                    "engine/runFights %.3fx\n",
                    p.name, chain, streams, engine, engine / chain);
        sum += engine / chain;
        ++pairs;
    }
    if (pairs > 0)
        std::printf("  engine/runFights averaged over the pairs: %.3fx (bar: at most 1.1x)\n",
                    sum / pairs);
    const double one = fastest("rankAllTypes/1/");
    const double two = fastest("rankAllTypes/2/");
    if (one > 0 && two > 0) {
        std::printf("rank --all-types, %lld fights per weapon: 1 thread %.0f ms, 2 threads %.0f "
                    "ms, 2/1 = %.3f (bar: at most 0.55 on 2 cores)\n",
                    static_cast<long long>(kRankFights), one, two, two / one);
    }
    const double scale60 = fastest("scale/0/");
    const double scaleDeath = fastest("scale/2/");
    if (scale60 > 0 && scaleDeath > 0) {
        std::printf("scale at its defaults (%lld fights, delta 10) on 2 threads: damage60 %.0f "
                    "ms (bar: under 2 s), death %.0f ms\n",
                    static_cast<long long>(kScaleFights), scale60, scaleDeath);
    }
    return 0;
}
