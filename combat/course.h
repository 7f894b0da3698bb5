#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "combat/passage.h"
#include "combat/swing_law.h"

// The stop rules of a fight read from the two sides' first passages: on
// which tick it stops, with what probability, and the swings each side has
// made by then. exactOdds and the cached parts (combat/fight_parts.h) both
// walk the stops here, so they stop alike.
namespace skarn::exact {

// One side's swings at the other: their first passage counted in swings and
// the ticks they fall on. Swing k falls on tick k * period - 1.
struct Course {
    // Null for a side whose fall does not stop the fight (the Opponent in
    // "to the death of the opponent"): it is never felled.
    const SwingPassage* passage = nullptr;
    std::int64_t period = 1;

    std::int64_t tickOf(std::int64_t swing) const { return swing * period - 1; }
    // Swings made on ticks 0 to t.
    std::int64_t swingsBy(std::int64_t t) const { return (t + 1) / period; }
    // The last swing followed (0 when there is no passage).
    std::int64_t lastSwing() const {
        return passage ? static_cast<std::int64_t>(passage->fall.size()) - 1 : 0;
    }
    // P(swing n is the one that fells).
    double fall(std::int64_t n) const { return passage->fall[static_cast<std::size_t>(n)]; }
    // P(more than n swings are needed): 0 past what was followed, 1 without
    // a passage.
    double survival(std::int64_t n) const {
        if (passage == nullptr) return 1.0;
        return n < static_cast<std::int64_t>(passage->survival.size())
                   ? passage->survival[static_cast<std::size_t>(n)]
                   : 0.0;
    }
    // P(this side has not reached the limit by the end of tick t).
    double standingAfter(std::int64_t t) const { return survival(swingsBy(t)); }
    // P(it reaches it on tick t or later).
    double standingAt(std::int64_t t) const { return survival(t / period); }
};

// One tick on which the fight may stop.
struct Stop {
    std::int64_t tick = 0;
    double probability = 0.0;  // P(the fight stops on this tick)
    double yourPart = 0.0;     // of which by the Opponent's fall (You swinging)
    std::int64_t yourSwings = 0;  // made on ticks 0 to tick
    std::int64_t oppSwings = 0;
};

// Calls visit(const Stop&) for every tick on which `you` may fell the
// Opponent or (when opp.passage is set) the Opponent may fell You, in
// increasing order, with the stop rule of "Fight to the death": the stop is
// checked after both swings of a tick, and the Opponent's fall is tested
// first, so falling on the same tick counts as You felling it. Ticks whose
// probability is 0 are passed over; the walk ends once no later tick can
// carry any (a side past what was followed of it stands with chance 0).
// Counters step with the ticks, with no division, since the searches walk
// hundreds of thousands of fights.
// REQUIRES: you.passage is set; both periods >= 1.
template <typename Visit>
void forEachStop(const Course& you, const Course& opp, Visit&& visit) {
    constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
    const bool oppFalls = opp.passage != nullptr;
    const std::int64_t yourLast = you.lastSwing();
    const std::int64_t oppLast = opp.lastSwing();
    std::int64_t a = 0, b = 0;  // swings made on the ticks before the next one visited
    std::int64_t nextA = you.period - 1, nextB = opp.period - 1;  // the ticks of swings a + 1, b + 1
    for (;;) {
        // Your swing a + 1 can stop the fight while You have swings left to
        // follow and the Opponent may still stand; its swing b + 1 while it
        // has and You may.
        const bool youMay = a < yourLast && (!oppFalls || b <= oppLast);
        const bool oppMay = oppFalls && b < oppLast && a <= yourLast;
        if (!youMay && !oppMay) return;
        const std::int64_t t = std::min(youMay ? nextA : kNever, oppMay ? nextB : kNever);
        while (nextA < t) {
            ++a;
            nextA += you.period;
        }
        while (nextB < t) {
            ++b;
            nextB += opp.period;
        }
        const bool yourSwing = nextA == t;
        const bool oppSwing = nextB == t;
        Stop stop;
        stop.tick = t;
        stop.yourSwings = a + (yourSwing ? 1 : 0);
        stop.oppSwings = b + (oppSwing ? 1 : 0);
        // You fell the Opponent on tick t unless You fell before it; the
        // Opponent fells You only while it still stands after the tick.
        const double yours = yourSwing && stop.yourSwings <= yourLast
                                 ? you.fall(stop.yourSwings) * opp.survival(b)
                                 : 0.0;
        const double theirs = oppFalls && oppSwing && stop.oppSwings <= oppLast
                                  ? opp.fall(stop.oppSwings) * you.survival(stop.yourSwings)
                                  : 0.0;
        stop.yourPart = yours;
        stop.probability = yours + theirs;
        if (stop.probability > 0.0) visit(stop);
        a = stop.yourSwings;
        b = stop.oppSwings;
        nextA = you.tickOf(a + 1);
        nextB = opp.tickOf(b + 1);
    }
}

// What the four expected results of a fight that stops at a side's fall
// are made of.
struct StopSums {
    double won = 0.0;         // P(the Opponent falls first or on the same tick)
    double seconds = 0.0;     // the expected stop tick / 100
    double yourSwings = 0.0;  // expected, made by the stop
    double oppSwings = 0.0;
};

// The sums over forEachStop(you, opp), each added in tick order. `won` is
// the probability You fell the Opponent, which only "Fight to the death"
// counts as a win.
StopSums stopSums(const Course& you, const Course& opp);

}  // namespace skarn::exact
