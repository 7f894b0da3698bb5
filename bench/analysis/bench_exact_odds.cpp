// The exact odds against sampling, on the example characters: every
// YourChars character against every OppChars character, armed as the window
// arms them, in the three fight modes. For each matchup the engine's time
// beside 10^6 sampled fights on one thread (analyseOutcome, as
// `skarn-cli outcome --fights 1000000` runs them); then the longest fights
// the engine takes on, 10,000 hit points worn down by blows of 1 point. A
// summary with the medians, the maxima and the ratios ends the output.
//
// The sampled fights take about five minutes; --benchmark_filter=exact
// leaves them out. analyseOutcome fights on a thread of its own, so the
// ratios are taken between wall-clock times (the exact odds' CPU time is
// their wall-clock time on an idle core).

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/fighter.h"
#include "analysis/outcome.h"
#include "bench/pairs.h"
#include "combat/exact_odds.h"
#include "bench/support/examples.h"
#include "bench/support/recording_reporter.h"
#include "model/sections.h"

namespace {

using namespace skarn;
using namespace skarn::analysis;

constexpr std::int64_t kSampledFights = 1'000'000;
constexpr FightMode kModes[] = {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath};

struct Matchup {
    std::string name;
    Fighter you;
    Fighter opp;
    FightMode mode;
};

// Every example matchup in every mode, armed from the example files.
std::vector<Matchup> exampleMatchups() {
    bench::ExampleFiles examples("bench_exact_odds");
    SectionFile& characters = examples.characters;
    const auto arm = [&](std::string_view section, const std::string& name) {
        return examples.fighter(section, name);
    };
    const auto yours = model::sectionNames(characters, kYourChars, model::EmptyNames::Skip);
    const auto theirs = model::sectionNames(characters, kOppChars, model::EmptyNames::Skip);
    if (!yours || !theirs) bench::giveUp("bench_exact_odds", "the example characters are missing");
    std::vector<Matchup> matchups;
    for (const std::string& y : *yours) {
        for (const std::string& o : *theirs) {
            for (const FightMode mode : kModes) {
                matchups.push_back({y + " vs " + o + "/mode" + std::to_string(mode),
                                    arm(kYourChars, y), arm(kOppChars, o), mode});
            }
        }
    }
    return matchups;
}

void BM_Exact(benchmark::State& state, const Matchup* m) {
    const Variant v = variantOf(m->you, m->opp);
    for (auto _ : state) {
        auto odds = exactOdds(v.you, v.opponent, v.yourHitPoints, v.oppHitPoints, m->mode);
        if (!odds) {
            state.SkipWithError("declined");
            return;
        }
        benchmark::DoNotOptimize(odds);
    }
}

void BM_Sampled(benchmark::State& state, const Matchup* m) {
    RunSettings settings;
    settings.mode = m->mode;
    settings.seed = 1;
    settings.fights = kSampledFights;
    settings.threads = 1;
    for (auto _ : state) benchmark::DoNotOptimize(analyseOutcome(m->you, m->opp, settings));
}

// 10,000 hit points on both sides, every blow 1 point: the pair of
// bench_combat whose fights are the longest the window's values allow (one
// side landing 8 swings in 101), and two equal fighters.
struct LongFight {
    const char* name;
    bench::Side you, opp;
};
constexpr bench::Side kEqualFeeble{40, 100, 100, 100, 1, -1000, -1};
const LongFight kLongFights[] = {
    {"longest", bench::kQuickFeeble, bench::kSlowSure},
    {"equal", kEqualFeeble, kEqualFeeble},
};

void BM_LongFight(benchmark::State& state, const LongFight* f, FightMode mode) {
    bench::Pair pair{f->name, f->you, f->opp, mode, 10000, false};
    Combatant you, opp;
    bench::prepare(pair, you, opp);
    for (auto _ : state) {
        auto odds = exactOdds(you, opp, 10000, 10000, mode);
        if (!odds) {
            state.SkipWithError("declined");
            return;
        }
        benchmark::DoNotOptimize(odds);
    }
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Matchup> matchups = exampleMatchups();
    for (const Matchup& m : matchups) {
        benchmark::RegisterBenchmark(("exact/" + m.name).c_str(), BM_Exact, &m)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.05);
    }
    for (const LongFight& f : kLongFights) {
        for (const FightMode mode : {ToDeathOfOpponent, ToTheDeath}) {
            benchmark::RegisterBenchmark(
                ("exact/hp10000/" + std::string(f.name) + "/mode" + std::to_string(mode)).c_str(),
                BM_LongFight, &f, mode)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(3);
        }
    }
    for (const Matchup& m : matchups) {
        benchmark::RegisterBenchmark(("sampled/" + m.name).c_str(), BM_Sampled, &m)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    skarn::bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::vector<double> exact, ratios;
    std::string slowest;
    double slowestMs = 0.0;
    for (const Matchup& m : matchups) {
        const auto e = reporter.byFunction.find("exact/" + m.name);
        if (e == reporter.byFunction.end()) continue;
        const double exactCpu = e->second.cpu;
        exact.push_back(exactCpu);
        if (exactCpu > slowestMs) {
            slowestMs = exactCpu;
            slowest = m.name;
        }
        const auto s = reporter.byFunction.find("sampled/" + m.name);
        const double exactWall = e->second.real;
        if (s != reporter.byFunction.end() && exactWall > 0.0)
            ratios.push_back(s->second.real / exactWall);
    }
    if (!exact.empty()) {
        std::printf("\nExact odds of the %zu example matchups (CPU time, one core): median %.3f ms "
                    "(bar: under 1 ms), max %.3f ms (bar: under 20 ms) for %s\n",
                    exact.size(), median(exact), slowestMs, slowest.c_str());
    }
    if (!ratios.empty()) {
        std::printf("10^6 sampled fights (analyseOutcome, 1 thread) / exact odds, wall-clock, per "
                    "matchup: median %.0fx, least %.0fx\n",
                    median(ratios), *std::min_element(ratios.begin(), ratios.end()));
    }
    for (const LongFight& f : kLongFights) {
        for (const FightMode mode : {ToDeathOfOpponent, ToTheDeath}) {
            const std::string name =
                "exact/hp10000/" + std::string(f.name) + "/mode" + std::to_string(mode);
            const auto it = reporter.byFunction.find(name);
            if (it != reporter.byFunction.end())
                std::printf("%s: %.0f ms (bar: under 1 s)\n", name.c_str(), it->second.cpu);
        }
    }
    return 0;
}
