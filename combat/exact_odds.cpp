#include "combat/exact_odds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "combat/course.h"
#include "combat/passage.h"
#include "combat/swing_law.h"

namespace skarn {

namespace {

using exact::Runs;
using exact::HitPassage;
using exact::HitWeights;
using exact::kNoLimit;
using exact::SwingLaw;
using exact::SwingPassage;
using exact::Work;

constexpr std::int64_t kSixtySeconds = 6000;  // the last tick of a 60-second fight

// One side's swings at the other: their law, their ticks, the hit points
// they must reach, and how long that takes.
struct Side {
    SwingLaw law;
    std::int64_t period = 1;      // ticks between swings; the first falls on tick period - 1
    std::int64_t limit = kNoLimit;  // the other's hit points
    HitPassage hits;
    SwingPassage swings;

    // Its course as the stop rules read it; `falls` false for a side whose
    // fall does not stop the fight.
    exact::Course course(bool falls = true) const { return {falls ? &swings : nullptr, period}; }
    std::int64_t tickOf(std::int64_t swing) const { return swing * period - 1; }
    // Swings made on ticks 0 to t.
    std::int64_t swingsBy(std::int64_t t) const { return (t + 1) / period; }
    std::int64_t lastSwing() const { return static_cast<std::int64_t>(swings.fall.size()) - 1; }
    // A rough tick by which it gets there, to choose which side to follow first.
    double roughEnd() const {
        return (static_cast<double>(limit) / law.meanBlow() + 1.0) / law.hit *
               static_cast<double>(period);
    }
};

Side sideOf(const Combatant& attacker, const Combatant& defender, std::int64_t limit) {
    Side side;
    side.law = exact::swingLaw(attacker, defender);
    Combatant timed = attacker;
    timed.setSwingDelay();
    side.period = std::max<std::int64_t>(1, timed.swingDelay);
    side.limit = limit;
    return side;
}

ExactLaw lawOf(const Runs& runs) {
    ExactLaw law;
    for (const exact::Dense& run : runs) {
        for (std::size_t i = 0; i < run.p.size(); ++i) {
            if (run.p[i] > 0.0)
                law.push_back({static_cast<double>(run.first + static_cast<std::int64_t>(i)), run.p[i]});
        }
    }
    return law;
}

// The standard deviation of a law, taken as a whole (its unaccounted part
// left out), so that a law of one value has none. Laws have up to hundreds
// of thousands of values, so their sums are compensated.
double sdOf(const ExactLaw& law) {
    exact::CompensatedSum total, sum;
    for (const ExactPoint& p : law) {
        total.add(p.probability);
        sum.add(p.probability * p.value);
    }
    const double mean = sum.value() / total.value();
    exact::CompensatedSum sq;
    for (const ExactPoint& p : law) sq.add(p.probability * (p.value - mean) * (p.value - mean));
    return std::sqrt(sq.value() / total.value());
}

double shortfall(const ExactLaw& law) {
    exact::CompensatedSum total;
    for (const ExactPoint& p : law) total.add(p.probability);
    return std::max(0.0, 1.0 - total.value());
}

// The law of a side's damage after `swings` swings, with no hit points in
// the way.
bool damageAfter(const Side& side, std::int64_t swings, Work& work, Runs& out) {
    std::vector<double> stopped(static_cast<std::size_t>(swings) + 1, 0.0);
    stopped.back() = 1.0;
    HitWeights weights;
    return exact::hitWeights(side.law.hit, kNoLimit, kNoLimit, {}, stopped, work, weights) &&
           exact::damageLaw(side.law, kNoLimit, weights, work, out);
}

// A fight with a fixed end: tick 6000 of a 60-second fight, or tick 0 when
// the hit points stop it at once.
std::optional<ExactOdds> fixedEnd(const Side& you, const Side& opp, std::int64_t tick,
                                  FightMode mode, std::int64_t oppHitPoints, Work& work) {
    ExactOdds odds;
    odds.mode = mode;
    Runs given, taken;
    const std::int64_t yourSwings = you.swingsBy(tick);
    const std::int64_t oppSwings = opp.swingsBy(tick);
    if (!damageAfter(you, yourSwings, work, given) || !damageAfter(opp, oppSwings, work, taken))
        return std::nullopt;
    odds.damageGivenLaw = lawOf(given);
    odds.damageTakenLaw = lawOf(taken);
    const auto n = [](std::int64_t swings) { return static_cast<double>(swings); };
    odds.damageGiven = {n(yourSwings) * you.law.mean(), std::sqrt(n(yourSwings) * you.law.variance())};
    odds.damageTaken = {n(oppSwings) * opp.law.mean(), std::sqrt(n(oppSwings) * opp.law.variance())};
    const double seconds = static_cast<double>(tick) / 100.0;
    odds.time = {seconds, 0.0};
    odds.timeLaw = {{seconds, 1.0}};
    if (mode == ToTheDeath) {
        // Stopped on tick 0: a win when the Opponent's damage has reached its hit points.
        double won = 0.0;
        for (const ExactPoint& p : odds.damageGivenLaw)
            if (p.value >= static_cast<double>(oppHitPoints)) won += p.probability;
        odds.winPercent = ExactFigure{100.0 * won, 100.0 * std::sqrt(std::max(0.0, won * (1.0 - won)))};
    }
    odds.unaccounted = std::max(shortfall(odds.damageGivenLaw), shortfall(odds.damageTakenLaw));
    return odds;
}

bool follow(Side& side, std::int64_t maxSwings, Work& work) {
    return exact::hitPassage(side.law, side.limit, maxSwings, work, side.hits) &&
           exact::swingPassage(side.law.hit, side.hits, maxSwings, work, side.swings);
}

// The weights of a side's damage law (see exact::hitWeights) when the fight
// stops at its own fall, or at `other`'s (none: only at its own).
bool weightsOf(const Side& side, const Side* other, Work& work, HitWeights& out) {
    const std::int64_t last = side.lastSwing();
    std::vector<double> felled(static_cast<std::size_t>(last) + 1, 0.0);
    std::vector<double> stopped(static_cast<std::size_t>(last) + 1, 0.0);
    for (std::int64_t k = 1; k <= last; ++k)
        felled[static_cast<std::size_t>(k)] = other ? other->course().standingAt(side.tickOf(k)) : 1.0;
    if (other != nullptr) {
        for (std::int64_t k = 1; k <= other->lastSwing(); ++k) {
            const std::int64_t n = side.swingsBy(other->tickOf(k));
            if (n <= last) stopped[static_cast<std::size_t>(n)] += other->swings.fall[static_cast<std::size_t>(k)];
        }
    }
    return exact::hitWeights(side.law.hit, static_cast<std::int64_t>(side.hits.alive.size()),
                             side.hits.firstFall(), felled, stopped, work, out);
}

std::optional<ExactOdds> toTheEnd(Side& you, Side& opp, FightMode mode, Work& work) {
    ExactOdds odds;
    odds.mode = mode;
    const bool both = mode == ToTheDeath;
    if (both) {
        // The side that should fall first is followed to the end; the other
        // only as long as the first may still stand.
        Side& first = you.roughEnd() <= opp.roughEnd() ? you : opp;
        Side& second = &first == &you ? opp : you;
        if (!follow(first, kNoLimit, work)) return std::nullopt;
        const std::int64_t horizon = first.tickOf(first.lastSwing());
        if (!follow(second, second.swingsBy(horizon) + 1, work)) return std::nullopt;
    } else if (!follow(you, kNoLimit, work)) {
        return std::nullopt;
    }

    // The means from the sums the searches take too (combat/fight_parts.h);
    // the laws from the same walk.
    const exact::Course yours = you.course();
    const exact::Course theirs = opp.course(both);
    const exact::StopSums sums = exact::stopSums(yours, theirs);
    std::vector<exact::Stop> stops;
    exact::forEachStop(yours, theirs, [&stops](const exact::Stop& s) { stops.push_back(s); });
    double oppSwingsSq = 0.0;
    for (const exact::Stop& s : stops) {
        odds.timeLaw.push_back({static_cast<double>(s.tick) / 100.0, s.probability});
        const auto n = static_cast<double>(s.oppSwings);
        oppSwingsSq += s.probability * n * n;
    }
    const double oppSwings = sums.oppSwings;
    odds.time.mean = sums.seconds;
    odds.time.sd = sdOf(odds.timeLaw);

    // Damage: by Wald's identity each side's mean blow times its expected
    // swings; the laws from a second pass over the hits.
    HitWeights yourWeights, oppWeights;
    Runs given, taken;
    if (!weightsOf(you, both ? &opp : nullptr, work, yourWeights) ||
        !exact::damageLaw(you.law, you.limit, yourWeights, work, given))
        return std::nullopt;
    if (both) {
        if (!weightsOf(opp, &you, work, oppWeights) ||
            !exact::damageLaw(opp.law, opp.limit, oppWeights, work, taken))
            return std::nullopt;
    } else {
        // The Opponent swings on regardless: its damage after the swings it
        // has made by the stop tick.
        std::vector<double> stopped;
        for (const exact::Stop& s : stops) {
            const auto n = static_cast<std::size_t>(s.oppSwings);
            if (stopped.size() <= n) stopped.resize(n + 1, 0.0);
            stopped[n] += s.probability;
        }
        if (!exact::hitWeights(opp.law.hit, kNoLimit, kNoLimit, {}, stopped, work, oppWeights) ||
            !exact::damageLaw(opp.law, kNoLimit, oppWeights, work, taken))
            return std::nullopt;
    }
    odds.damageGivenLaw = lawOf(given);
    odds.damageTakenLaw = lawOf(taken);
    odds.damageGiven.mean = you.law.mean() * sums.yourSwings;
    odds.damageTaken.mean = opp.law.mean() * oppSwings;
    odds.damageGiven.sd = sdOf(odds.damageGivenLaw);
    if (both) {
        odds.damageTaken.sd = sdOf(odds.damageTakenLaw);
        const double won = sums.won;
        odds.winPercent = ExactFigure{100.0 * won, 100.0 * std::sqrt(std::max(0.0, won * (1.0 - won)))};
    } else {
        // A sum of a number of swings that does not depend on them.
        const double mean = opp.law.mean();
        const double swingsVariance = std::max(0.0, oppSwingsSq - oppSwings * oppSwings);
        odds.damageTaken.sd =
            std::sqrt(oppSwings * opp.law.variance() + swingsVariance * mean * mean);
    }
    odds.unaccounted = std::max({shortfall(odds.timeLaw), shortfall(odds.damageGivenLaw),
                                 shortfall(odds.damageTakenLaw)});
    return odds;
}

using exact::kGuardWork;
using exact::kMostWork;

// The two sides of a fight with their swing laws, how it ends, and the work
// it is expected to take.
struct Plan {
    Side you;
    Side opp;
    exact::Ending ending = exact::Ending::AtTick0;
    double lawWork = 0.0;  // of the swing laws
    double work = 0.0;     // all told
};

Plan planOf(const Combatant& you, const Combatant& opponent, std::int32_t yourHitPoints,
            std::int32_t oppHitPoints, FightMode mode) {
    Plan plan;
    const bool toTheDeath = mode == ToTheDeath;
    if (mode == DamagePer60Seconds) {
        plan.ending = exact::Ending::AfterSixtySeconds;
    } else if (oppHitPoints <= 0 || (toTheDeath && yourHitPoints <= 0)) {
        plan.ending = exact::Ending::AtTick0;
    } else {
        plan.ending = toTheDeath ? exact::Ending::AtEitherFall : exact::Ending::AtOpponentsFall;
    }
    plan.lawWork = exact::swingLawWork(you, opponent) + exact::swingLawWork(opponent, you);
    plan.work = plan.lawWork;
    // Dice too many to add up are not even tried.
    if (plan.lawWork > kMostWork) return plan;
    const bool limited = plan.ending == exact::Ending::AtOpponentsFall ||
                         plan.ending == exact::Ending::AtEitherFall;
    plan.you = sideOf(you, opponent, limited ? oppHitPoints : kNoLimit);
    plan.opp = sideOf(opponent, you,
                      plan.ending == exact::Ending::AtEitherFall ? yourHitPoints : kNoLimit);
    plan.work += exact::estimateWork(exact::shapeOf(plan.you.law, plan.you.period, plan.you.limit),
                                     exact::shapeOf(plan.opp.law, plan.opp.period, plan.opp.limit),
                                     plan.ending);
    return plan;
}

}  // namespace

std::string ExactOddsLimit::message() const {
    char text[128];
    std::snprintf(text, sizeof text, "Exact odds would take too long (about %.1e steps, at most %.1e).",
                  work, most);
    return text;
}

double exactOddsWork(const Combatant& you, const Combatant& opponent, std::int32_t yourHitPoints,
                     std::int32_t oppHitPoints, FightMode mode) {
    return planOf(you, opponent, yourHitPoints, oppHitPoints, mode).work;
}

std::optional<ExactOddsLimit> findExactOddsLimit(const Combatant& you, const Combatant& opponent,
                                                 std::int32_t yourHitPoints,
                                                 std::int32_t oppHitPoints, FightMode mode) {
    const double work = exactOddsWork(you, opponent, yourHitPoints, oppHitPoints, mode);
    if (work <= kMostWork) return std::nullopt;
    return ExactOddsLimit{work, kMostWork};
}

std::optional<ExactOdds> exactOdds(const Combatant& you, const Combatant& opponent,
                                   std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                   FightMode mode) {
    Plan plan = planOf(you, opponent, yourHitPoints, oppHitPoints, mode);
    if (plan.work > kMostWork) return std::nullopt;
    // The estimate may fall short for shapes it does not foresee; the work
    // done is counted as it goes, so the engine still stops in time, at the
    // same point on every machine.
    Work work;
    work.done = plan.lawWork;
    work.most = kGuardWork;
    std::optional<ExactOdds> odds;
    switch (plan.ending) {
        case exact::Ending::AfterSixtySeconds:
            odds = fixedEnd(plan.you, plan.opp, kSixtySeconds, mode, 0, work);
            break;
        case exact::Ending::AtTick0:
            odds = fixedEnd(plan.you, plan.opp, 0, mode, oppHitPoints, work);
            break;
        default:
            odds = toTheEnd(plan.you, plan.opp, mode, work);
            break;
    }
    if (odds) odds->work = work.done;
    return odds;
}

double percentile(const ExactLaw& law, double fraction) {
    double cumulative = 0.0;
    for (const ExactPoint& p : law) {
        cumulative += p.probability;
        if (cumulative >= fraction - 1e-12) return p.value;
    }
    return law.back().value;
}

}  // namespace skarn
