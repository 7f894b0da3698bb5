// How honest the run-time estimate is: random pairs of fighters that
// model::findRunFault accepts, 220 in each of the three fight modes, each run
// for about kTargetMs by its estimate and timed by Google Benchmark. A run's
// time is the processor time of the least of its repetitions, so that
// another program taking the machine away for a while does not count against
// the estimate. The summary gives, per mode and over all, the largest ratio
// of measured to estimated time, which must stay below 1, and the pairs that
// came closest. --pairs_seed=N draws another set of pairs.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "combat/fight.h"
#include "model/run_check.h"
#include "tests/combat/random_fighters.h"

namespace {

using namespace skarn;

constexpr int kPairsPerMode = 220;
constexpr double kTargetMs = 10.0;
constexpr int kRepetitions = 5;

struct Pair {
    std::string name;
    Combatant you, opp;
    std::int32_t yourHp = 0, oppHp = 0;
    FightMode mode = DamagePer60Seconds;
    std::int64_t fights = 1;
    double estimateUs = 0.0;  // per fight
};

// Random pairs that model::findRunFault accepts in a given mode, each with the
// number of fights its estimate puts at about kTargetMs.
class PairMaker {
public:
    explicit PairMaker(std::uint32_t seed) : random_(seed) {}

    Pair make(FightMode mode) {
        for (;;) {
            Pair p;
            p.mode = mode;
            p.you = random_.fighter();
            p.opp = random_.fighter();
            p.yourHp = random_.hitPoints();
            p.oppHp = random_.hitPoints();
            if (model::findRunFault(p.you, p.opp, p.yourHp, p.oppHp, mode, 1)) continue;
            p.estimateUs = expectedFightMicroseconds(p.you, p.opp, p.yourHp, p.oppHp, mode);
            p.fights = std::clamp<std::int64_t>(std::llround(kTargetMs * 1000.0 / p.estimateUs), 1,
                                                10'000'000);
            return p;
        }
    }

private:
    testing::RandomFighters random_;
};

void BM_Run(benchmark::State& state, const Pair* p) {
    for (auto _ : state) {
        Combatant you = p->you, opp = p->opp;
        RunTotals totals;
        Random rng(1);
        benchmark::DoNotOptimize(
            runFights(you, opp, p->yourHp, p->oppHp, p->mode, p->fights, totals, {}, rng));
    }
}

// Keeps the least time of each pair's repetitions and prints nothing per run.
class LeastTimeReporter : public benchmark::BenchmarkReporter {
public:
    std::map<std::string, double> seconds;
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double s = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            auto [it, fresh] = seconds.emplace(run.run_name.function_name, s);
            if (!fresh) it->second = std::min(it->second, s);
        }
    }
};

std::string describe(const Pair& p) {
    char text[320];
    const auto side = [](const Combatant& c, std::int32_t hp) {
        char s[140];
        std::snprintf(s, sizeof s, "spd %d dex %d ws %d %dd%d%+d%s hp %d", c.weaponSpeed,
                      c.dexterity, c.weaponSkill, c.diceCount, c.diceSides, c.damageBonus,
                      c.shieldIndex >= 0 ? " shield" : "", hp);
        return std::string(s);
    };
    std::snprintf(text, sizeof text, "[%s] vs [%s]", side(p.you, p.yourHp).c_str(),
                  side(p.opp, p.oppHp).c_str());
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint32_t seed = 13;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--pairs_seed=", 0) == 0)
            seed = static_cast<std::uint32_t>(std::stoul(arg.substr(13)));
    }
    PairMaker maker(seed);
    std::vector<Pair> pairs;
    for (int i = 0; i < kPairsPerMode; ++i) {
        for (FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
            Pair p = maker.make(mode);
            p.name = "run/mode" + std::to_string(mode) + "/" + std::to_string(i);
            pairs.push_back(std::move(p));
        }
    }
    for (const Pair& p : pairs) {
        benchmark::RegisterBenchmark(p.name.c_str(), BM_Run, &p)
            ->Iterations(1)
            ->Repetitions(kRepetitions);
    }
    benchmark::Initialize(&argc, argv);
    LeastTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    struct Ratio {
        double ratio;
        const Pair* pair;
        double ms;
    };
    std::vector<Ratio> ratios;
    for (const Pair& p : pairs) {
        const auto it = reporter.seconds.find(p.name);
        if (it == reporter.seconds.end()) continue;
        const double estimateMs = p.estimateUs * static_cast<double>(p.fights) / 1000.0;
        ratios.push_back({it->second * 1000.0 / estimateMs, &p, it->second * 1000.0});
    }
    if (ratios.empty()) return 0;
    std::sort(ratios.begin(), ratios.end(),
              [](const Ratio& a, const Ratio& b) { return a.ratio > b.ratio; });

    std::printf("Measured / estimated time of a run, %zu random accepted pairs, least of %d runs:\n",
                ratios.size(), kRepetitions);
    for (FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
        double most = 0.0, sum = 0.0;
        int n = 0;
        for (const Ratio& r : ratios) {
            if (r.pair->mode != mode) continue;
            most = std::max(most, r.ratio);
            sum += r.ratio;
            ++n;
        }
        std::printf("  mode %d: %3d pairs, largest %.3f, mean %.3f\n", mode, n, most, sum / n);
    }
    std::printf("  largest measured/estimated ratio: %.3f (bar: below 1)\n", ratios.front().ratio);
    std::printf("Closest to their estimate:\n");
    for (std::size_t i = 0; i < std::min<std::size_t>(8, ratios.size()); ++i) {
        const Ratio& r = ratios[i];
        std::printf("  %.3f  mode %d  %lld fights  %.2f ms  %.1f us/fight est.  %s\n", r.ratio,
                    r.pair->mode, static_cast<long long>(r.pair->fights), r.ms, r.pair->estimateUs,
                    describe(*r.pair).c_str());
    }
    return 0;
}
