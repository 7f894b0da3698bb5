// The fight loop against its floor and its reference: the 2187-fight,
// 60-second run of a typical pair, beside the plain tick-by-tick loop and a
// bare loop making the same number of generator draws. Also the pairs that
// swing on every tick, where skipping ticks gains nothing, to show the fast
// loop is never the slower one. Prints the ratios at the end.

#include <cstdio>
#include <map>
#include <string>

#include <benchmark/benchmark.h>

#include "combat/fight.h"
#include "tests/combat/reference_loop.h"

namespace {

using namespace skarn;

struct Pair {
    const char* name;
    int yourSpeed, yourDex, oppSpeed, oppDex;
};

// Speed 40 with Dex. 100 swings every 187 ticks; the opponent every 267.
constexpr Pair kTypical{"typical", 40, 100, 30, 87};
constexpr Pair kEveryTick{"delay0", 4000, 300, 7500, 100};  // delays 0 and 1

void prepare(const Pair& p, Combatant& you, Combatant& opp) {
    for (Combatant* c : {&you, &opp}) {
        c->strength = 100;
        c->tactics = 100;
        c->weaponSkill = 100;
        c->armorRating = 30;
        c->parry = 100;
        c->diceCount = 2;
        c->diceSides = 6;
        c->damageBonus = 2;
        c->shieldAbsorb = 3;
    }
    you.weaponSpeed = p.yourSpeed;
    you.dexterity = p.yourDex;
    opp.weaponSpeed = p.oppSpeed;
    opp.dexterity = p.oppDex;
    opp.shieldIndex = 0;
}

constexpr int kFights = 2187;

void BM_RunFights(benchmark::State& state, Pair pair) {
    Combatant you, opp;
    prepare(pair, you, opp);
    RunTotals totals;
    Random rng(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(runFights(you, opp, 100, 100, DamagePer60Seconds, kFights, totals,
                                           [](int) {}, rng));
    }
}

void BM_TickLoop(benchmark::State& state, Pair pair) {
    Combatant you, opp;
    prepare(pair, you, opp);
    RunTotals totals;
    Random rng(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(testing::referenceRunFights(
            you, opp, 100, 100, DamagePer60Seconds, kFights, totals, [](int) {}, rng));
    }
}

// How many draws one run of the pair makes, counted by stepping a second
// generator until it reaches the run's final state.
long drawsOfOneRun(const Pair& pair) {
    Combatant you, opp;
    prepare(pair, you, opp);
    RunTotals totals;
    Random rng(1);
    runFights(you, opp, 100, 100, DamagePer60Seconds, kFights, totals, {}, rng);
    Random counter(1);
    long draws = 0;
    while (counter.state() != rng.state()) {
        counter.draw();
        ++draws;
    }
    return draws;
}

void BM_BareDraws(benchmark::State& state, Pair pair) {
    const long draws = drawsOfOneRun(pair);
    Random rng(1);
    for (auto _ : state) {
        int sink = 0;
        for (long i = 0; i < draws; ++i) sink += rng.draw();
        benchmark::DoNotOptimize(sink);
    }
    state.counters["draws"] = static_cast<double>(draws);
}

// Keeps every benchmark's time per iteration for the summary.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    for (const Pair& p : {kTypical, kEveryTick}) {
        const std::string n = p.name;
        benchmark::RegisterBenchmark(("runFights/" + n).c_str(), BM_RunFights, p)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("tickLoop/" + n).c_str(), BM_TickLoop, p)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("bareDraws/" + n).c_str(), BM_BareDraws, p)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n2187 fights of 60 seconds, times in ms (one run):\n");
    for (const Pair& p : {kTypical, kEveryTick}) {
        const std::string n = p.name;
        const double fast = reporter.seconds["runFights/" + n];
        const double tick = reporter.seconds["tickLoop/" + n];
        const double bare = reporter.seconds["bareDraws/" + n];
        if (fast <= 0 || tick <= 0 || bare <= 0) continue;
        std::printf("  %-8s runFights %8.3f  tick loop %8.3f  bare draws %8.3f  "
                    "runFights/bare %.2fx (bar 2x)  tick loop/runFights %.2fx (bar >= 1x)\n",
                    p.name, fast, tick, bare, fast / bare, tick / fast);
    }
    return 0;
}
