// The fight loop against its floor and its reference. The headline is the
// 2187-fight, 60-second run of a typical pair, beside the plain tick-by-tick
// loop and a bare loop making the same number of generator draws and nothing
// else. Further pairs show that runFights is never the slower of the two
// loops, even where there are no ticks to skip (swing delays of 0 and 1) and
// in the other fight modes; the last row times the longest run the main
// window's values allow. A summary with the ratios ends the output.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/pairs.h"
#include "bench/support/recording_reporter.h"
#include "combat/fight.h"
#include "model/run_check.h"
#include "tests/combat/reference_loop.h"

namespace {

using namespace skarn;
using skarn::bench::kFights;
using skarn::bench::kPairs;
using skarn::bench::Pair;
using skarn::bench::prepare;

void BM_RunFights(benchmark::State& state, const Pair* pair) {
    Combatant you, opp;
    prepare(*pair, you, opp);
    if (auto fault = model::findRunFault(you, opp, pair->hitPoints, pair->hitPoints, pair->mode, kFights)) {
        state.SkipWithError(fault->message().c_str());
        return;
    }
    RunTotals totals;
    Random rng(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(runFights(you, opp, pair->hitPoints, pair->hitPoints, pair->mode,
                                           kFights, totals, [](int) {}, rng));
    }
}

void BM_TickLoop(benchmark::State& state, const Pair* pair) {
    Combatant you, opp;
    prepare(*pair, you, opp);
    RunTotals totals;
    Random rng(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(testing::referenceRunFights(you, opp, pair->hitPoints,
                                                             pair->hitPoints, pair->mode, kFights,
                                                             totals, [](int) {}, rng));
    }
}

// How many draws one run of the pair makes from seed 1, counted by stepping a
// second generator until it reaches the run's final state.
long drawsOfOneRun(const Pair& pair) {
    Combatant you, opp;
    prepare(pair, you, opp);
    RunTotals totals;
    Random rng(1);
    runFights(you, opp, pair.hitPoints, pair.hitPoints, pair.mode, kFights, totals, {}, rng);
    Random counter(1);
    long draws = 0;
    while (counter.state() != rng.state()) {
        counter.draw();
        ++draws;
    }
    return draws;
}

void BM_BareDraws(benchmark::State& state, const Pair* pair) {
    const long draws = drawsOfOneRun(*pair);
    Random rng(1);
    for (auto _ : state) {
        int sink = 0;
        for (long i = 0; i < draws; ++i) sink += rng.draw();
        benchmark::DoNotOptimize(sink);
    }
    state.counters["draws"] = static_cast<double>(draws);
}

}  // namespace

int main(int argc, char** argv) {
    for (const Pair& p : kPairs) {
        const std::string n = p.name;
        auto* fast = benchmark::RegisterBenchmark(("runFights/" + n).c_str(), BM_RunFights, &p);
        fast->Unit(benchmark::kMillisecond);
        if (!p.tickLoop) {
            fast->Iterations(1);  // seconds per run
            continue;
        }
        benchmark::RegisterBenchmark(("tickLoop/" + n).c_str(), BM_TickLoop, &p)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("bareDraws/" + n).c_str(), BM_BareDraws, &p)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    skarn::bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%d fights per run, times in ms, measured in this one run:\n", kFights);
    for (const Pair& p : kPairs) {
        const std::string n = p.name;
        const double fast = reporter.byFunction["runFights/" + n].real;
        if (fast <= 0) continue;
        if (!p.tickLoop) {
            std::printf("  %-14s runFights %9.3f  (the longest run the window's values allow)\n",
                        p.name, fast);
            continue;
        }
        const double tick = reporter.byFunction["tickLoop/" + n].real;
        const double bare = reporter.byFunction["bareDraws/" + n].real;
        if (tick <= 0 || bare <= 0) continue;
        std::printf("  %-14s runFights %9.3f  tick loop %9.3f  bare draws %9.3f  "
                    "runFights/bare %.2fx  tick loop/runFights %.2fx\n",
                    p.name, fast, tick, bare, fast / bare, tick / fast);
    }
    std::printf("Bars: runFights/bare at most 2x for 'typical'; tick loop/runFights at least 1x "
                "for every pair.\n");
    return 0;
}
