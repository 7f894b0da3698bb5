// The searches the cached parts of the exact odds are for (combat/fight_parts.h),
// on the example characters, each from an empty cache:
// - "spend": every way of adding 30 points to Old Tam's six statistics
//   (324,632 splits, hit points following Str.) against Skeleton Knight, in
//   each fight mode: first the decline rule for every split, then the means
//   of every split, on 1 and 2 threads;
// - "best": Old Tam with every weapon of every type and every shield or none
//   (a two-handed weapon with none), against Skeleton Knight and against
//   every opponent, in each mode, on 2 threads;
// - "plain": a whole exactOdds per fight on one thread, for the first few
//   thousand splits and for every gear against every opponent, to give the
//   ratio.
// Counters: fights, the parts built (blow laws, passages in hits, in
// swings), the fights declined, and the best fight's first figure.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/engine.h"
#include "analysis/fighter.h"
#include "analysis/main_result.h"
#include "bench/support/examples.h"
#include "combat/exact_odds.h"
#include "combat/fight_parts.h"
#include "data/records.h"
#include "model/equipment.h"
#include "model/sections.h"
#include "model/stats.h"

namespace {

using namespace skarn;
using namespace skarn::analysis;

constexpr FightMode kModes[] = {ToTheDeath, ToDeathOfOpponent, DamagePer60Seconds};
constexpr int kSpendPoints = 30;

[[noreturn]] void fail(const std::string& why) { bench::giveUp("bench_exact_parts", why); }

// One fight as the engine takes it.
struct Fight {
    Combatant you, opp;
    std::int32_t yourHp = 0, oppHp = 0;
};

// A figure of the main result's key, from the means alone.
double keyValue(const ExactMeans& m, KeyFigure figure) {
    switch (figure) {
        case KeyFigure::WinPercent: return m.winPercent.value_or(0.0);
        case KeyFigure::DamageTaken: return m.damageTaken;
        case KeyFigure::Time: return m.time;
        case KeyFigure::Margin: return m.damageGiven - m.damageTaken;
    }
    return 0.0;
}

// Whether `a` ranks above `b` by the main result of `mode`, key by key.
bool better(const ExactMeans& a, const ExactMeans& b, FightMode mode) {
    for (const KeyPart& part : mainKey(mode)) {
        const double x = keyValue(a, part.figure);
        const double y = keyValue(b, part.figure);
        if (x != y) return part.higherIsBetter ? x > y : x < y;
    }
    return false;
}

double firstKey(const ExactMeans& m, FightMode mode) {
    return keyValue(m, mainKey(mode).front().figure);
}

// Calls work(i) for i in [0, n) on `threads` threads, in blocks.
void parallelFor(std::size_t n, int threads, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    constexpr std::size_t kBlock = 512;
    const auto run = [&] {
        for (std::size_t from; (from = next.fetch_add(kBlock)) < n;)
            for (std::size_t i = from; i < std::min(n, from + kBlock); ++i) work(i);
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(run);
    run();
    for (std::thread& t : pool) t.join();
}

// A search over `count` fights made by `fightOf`: the decline rule for
// every fight, then the means of each, from an empty cache.
struct SearchResult {
    std::int64_t declined = 0;
    std::int64_t unanswered = 0;
    std::size_t best = 0;
    ExactMeans bestMeans;
    PartCounts built;
    double plannedWork = 0.0;
};

SearchResult search(std::size_t count, const std::function<Fight(std::size_t)>& fightOf,
                    FightMode mode, int threads) {
    ExactParts parts;
    SearchResult r;
    std::atomic<std::int64_t> declined{0}, unanswered{0};
    parallelFor(count, threads, [&](std::size_t i) {
        const Fight f = fightOf(i);
        if (parts.limit(f.you, f.opp, f.yourHp, f.oppHp, mode)) ++declined;
    });
    r.declined = declined;
    if (r.declined > 0) return r;  // a search refuses up front
    std::vector<ExactMeans> means(count);
    parallelFor(count, threads, [&](std::size_t i) {
        const Fight f = fightOf(i);
        const auto m = parts.means(f.you, f.opp, f.yourHp, f.oppHp, mode);
        if (m) {
            means[i] = *m;
        } else {
            ++unanswered;
        }
    });
    r.unanswered = unanswered;
    for (std::size_t i = 1; i < count; ++i)
        if (better(means[i], means[r.best], mode)) r.best = i;
    r.bestMeans = means[r.best];
    r.built = parts.built();
    r.plannedWork = parts.plannedWork();
    return r;
}

void report(benchmark::State& state, const SearchResult& r, std::size_t fights, FightMode mode) {
    state.counters["fights"] = static_cast<double>(fights);
    state.counters["blowLaws"] = static_cast<double>(r.built.blowLaws);
    state.counters["hitPassages"] = static_cast<double>(r.built.hitPassages);
    state.counters["swingPassages"] = static_cast<double>(r.built.swingPassages);
    state.counters["declined"] = static_cast<double>(r.declined + r.unanswered);
    state.counters["plannedWork"] = r.plannedWork;
    if (r.declined == 0) state.counters["bestKey"] = firstKey(r.bestMeans, mode);
}

// Every way of adding `points` to the six statistics, none past its range.
std::vector<std::array<std::int8_t, 6>> splitsOf(const model::Stats& stats, int points) {
    std::vector<std::array<std::int8_t, 6>> splits;
    std::array<std::int8_t, 6> add{};
    std::function<void(int, int)> place = [&](int stat, int left) {
        const std::int32_t room = model::statInfo(model::kStats[stat]).high - stats[model::kStats[stat]];
        if (stat == 5) {
            if (left <= room) {
                add[5] = static_cast<std::int8_t>(left);
                splits.push_back(add);
            }
            return;
        }
        for (int a = 0; a <= std::min(left, room); ++a) {
            add[static_cast<std::size_t>(stat)] = static_cast<std::int8_t>(a);
            place(stat + 1, left - a);
        }
    };
    place(0, points);
    return splits;
}

// Old Tam against Skeleton Knight with `points` spent.
struct Spend {
    Variant base;
    std::vector<std::array<std::int8_t, 6>> splits;

    Fight fight(std::size_t i) const {
        Fight f{base.you, base.opponent, base.yourHitPoints, base.oppHitPoints};
        const auto& add = splits[i];
        for (int s = 0; s < model::kStatCount; ++s)
            f.you.*model::combatantMember(model::kStats[s]) += add[static_cast<std::size_t>(s)];
        f.yourHp += add[0];  // hit points follow Str.
        return f;
    }
};

// Old Tam with every weapon and shield, against each opponent.
struct Gear {
    Combatant you;
    std::int32_t yourHp = 0;
    std::vector<Combatant> weapons;  // you with each weapon, no shield
    std::vector<std::int32_t> absorbs;  // of each shield
    std::vector<std::pair<std::size_t, int>> choices;  // weapon, shield (-1 none)
    std::vector<Variant> opponents;

    std::size_t fights(std::size_t opponents) const { return choices.size() * opponents; }
    Fight fight(std::size_t i, std::size_t firstOpponent) const {
        const auto& [weapon, shield] = choices[i % choices.size()];
        const Variant& o = opponents[firstOpponent + i / choices.size()];
        Fight f{weapons[weapon], o.opponent, yourHp, o.oppHitPoints};
        f.you.shieldIndex = shield >= 0 ? 0 : -1;
        f.you.shieldAbsorb = shield >= 0 ? absorbs[static_cast<std::size_t>(shield)] : 0;
        return f;
    }
};

Spend spendSetup() {
    bench::ExampleFiles ex("bench_exact_parts");
    Spend s;
    const Fighter tam = ex.fighter(kYourChars, "Old Tam");
    s.base = variantOf(tam, ex.fighter(kOppChars, "Skeleton Knight"));
    s.splits = splitsOf(tam.stats, kSpendPoints);
    return s;
}

Gear gearSetup() {
    bench::ExampleFiles ex("bench_exact_parts");
    Gear g;
    const Fighter tam = ex.fighter(kYourChars, "Old Tam");
    g.you = model::toCombatant(tam);
    g.yourHp = tam.hitPoints.value;
    const auto shields = model::sectionNames(ex.equipment, kShields, model::EmptyNames::Skip);
    if (!shields) fail("no shields");
    for (const std::string& name : *shields) {
        const auto shield = model::lookupShield(ex.equipment, name);
        if (shield.read) g.absorbs.push_back(shield.absorb);
    }
    for (int type = 0; type < kWeaponTypeCount; ++type) {
        const auto names = model::weaponNames(ex.equipment, weaponSection(type));
        if (!names) continue;
        for (const std::string& name : *names) {
            const auto weapon = model::lookupWeapon(ex.equipment, weaponSection(type), name);
            if (!weapon.hasStatistics()) continue;
            Combatant c = g.you;
            c.weaponSpeed = weapon.stats.speed;
            c.diceCount = weapon.stats.diceCount;
            c.diceSides = weapon.stats.diceSides;
            c.damageBonus = weapon.stats.damageBonus;
            g.choices.emplace_back(g.weapons.size(), -1);
            if (!model::rulesOutShield(weapon.stats.hands)) {
                for (std::size_t s = 0; s < g.absorbs.size(); ++s)
                    g.choices.emplace_back(g.weapons.size(), static_cast<int>(s));
            }
            g.weapons.push_back(c);
        }
    }
    const auto opponents = model::sectionNames(ex.characters, kOppChars, model::EmptyNames::Skip);
    if (!opponents) fail("no opponents");
    // Skeleton Knight first, for the search against one opponent.
    g.opponents.push_back(variantOf(tam, ex.fighter(kOppChars, "Skeleton Knight")));
    for (const std::string& name : *opponents)
        if (name != "Skeleton Knight") g.opponents.push_back(variantOf(tam, ex.fighter(kOppChars, name)));
    return g;
}

const Spend& spend() {
    static const Spend s = spendSetup();
    return s;
}
const Gear& gear() {
    static const Gear g = gearSetup();
    return g;
}

void BM_Spend(benchmark::State& state, FightMode mode, int threads) {
    const Spend& s = spend();
    SearchResult r;
    for (auto _ : state) r = search(s.splits.size(), [&](std::size_t i) { return s.fight(i); }, mode, threads);
    report(state, r, s.splits.size(), mode);
}

void BM_Best(benchmark::State& state, FightMode mode, bool allOpponents) {
    const Gear& g = gear();
    const std::size_t n = g.fights(allOpponents ? g.opponents.size() : 1);
    SearchResult r;
    for (auto _ : state) r = search(n, [&](std::size_t i) { return g.fight(i, 0); }, mode, 2);
    report(state, r, n, mode);
}

// A whole exactOdds per fight, one thread: the first `count` splits.
void BM_PlainSpend(benchmark::State& state, FightMode mode, std::size_t count) {
    const Spend& s = spend();
    for (auto _ : state) {
        for (std::size_t i = 0; i < count; ++i) {
            const Fight f = s.fight(i);
            benchmark::DoNotOptimize(exactOdds(f.you, f.opp, f.yourHp, f.oppHp, mode));
        }
    }
    state.counters["fights"] = static_cast<double>(count);
}

void BM_PlainBest(benchmark::State& state, FightMode mode) {
    const Gear& g = gear();
    const std::size_t n = g.fights(g.opponents.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < n; ++i) {
            const Fight f = g.fight(i, 0);
            benchmark::DoNotOptimize(exactOdds(f.you, f.opp, f.yourHp, f.oppHp, mode));
        }
    }
    state.counters["fights"] = static_cast<double>(n);
}

}  // namespace

int main(int argc, char** argv) {
    for (const FightMode mode : kModes) {
        const std::string m = "/mode" + std::to_string(mode);
        for (const int threads : {1, 2}) {
            benchmark::RegisterBenchmark(("spend30" + m + "/threads" + std::to_string(threads)).c_str(),
                                         BM_Spend, mode, threads)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1)
                ->UseRealTime();
        }
        benchmark::RegisterBenchmark(("best" + m).c_str(), BM_Best, mode, false)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("best/allOpponents" + m).c_str(), BM_Best, mode, true)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("plain/spend30/first3000" + m).c_str(), BM_PlainSpend, mode,
                                     std::size_t{3000})
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("plain/best/allOpponents" + m).c_str(), BM_PlainBest, mode)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
