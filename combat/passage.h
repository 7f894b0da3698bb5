#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "combat/swing_law.h"

// The building blocks of the exact odds: the first passage of one side's
// damage through the other's hit points, first counted in landed blows
// ("hits"), then in swings. Splitting the two keeps the costly convolution
// of the blows to one step per landed blow, however rarely swings land; the
// misses come in through the law of the number of hits in k swings, a
// binomial that costs one step per swing over a narrow band.
//
// Every law here is a run of probabilities on consecutive integers. Each
// step drops from both ends of a law what together carries less than kTrim,
// and what is dropped is never seen again: the laws the engine returns add
// up to slightly less than 1, and their shortfall is what it reports as
// unaccounted.
//
// The functions keep no state but the Work they are given: several threads
// may call them at once, each with a Work of its own.
namespace skarn::exact {

// What a step may drop from the two ends of a law.
inline constexpr double kTrim = 1e-21;
// A count of hits is followed until less than this is still short of the
// hit points.
inline constexpr double kHitsLeft = 1e-18;
// A count of swings is followed until less than this is still standing.
inline constexpr double kSwingsLeft = 1e-16;
// The most work the engine takes on for one fight, in multiply-adds: about
// half a second on the development machine (a 2-core AMD EPYC), where the
// 10,000 blows of 1 point of the longest fights the statistics' ranges allow
// take 0.3 s.
inline constexpr double kMostWork = 8e8;
// Where it stops when its estimate fell short: about a second.
inline constexpr double kGuardWork = 1.2e9;
// No hit points: the damage is never cut off.
inline constexpr std::int64_t kNoLimit = std::numeric_limits<std::int64_t>::max() / 4;

// The work done, in multiply-adds; the engine gives up once it passes
// `most`.
struct Work {
    double done = 0.0;
    double most = std::numeric_limits<double>::infinity();

    // Counts `steps` more; false once the total is past `most`.
    bool spend(double steps) {
        done += steps;
        return done <= most;
    }
};

// A law on the integers first, first + 1, ...
struct Dense {
    std::int64_t first = 0;
    std::vector<double> p;

    // Adds weight * (values[0] at `from`, values[1] at from + 1, ...),
    // growing the law as needed.
    void add(std::int64_t from, const double* values, std::size_t count, double weight);
    // Makes room for `value` and adds `probability` to it.
    void add(std::int64_t value, double probability);
};

// The first passage counted in hits, against hit points `limit`:
// fall[j] = P(the j-th hit is the first to bring the damage to `limit`),
// alive[j] = P(j hits still leave it below). fall[0] = 0 and alive[0] = 1
// (limit >= 1); the vectors end where alive drops below kHitsLeft, or at
// `maxHits`.
struct HitPassage {
    std::vector<double> fall;
    std::vector<double> alive;

    // The first count of hits that can fell (fall.size() when none can).
    std::int64_t firstFall() const;
};

// REQUIRES: limit >= 1.
// False when `work` runs out.
bool hitPassage(const SwingLaw& law, std::int64_t limit, std::int64_t maxHits, Work& work,
                HitPassage& out);

// The first passage counted in swings, given the one counted in hits:
// fall[k] = P(the k-th swing brings the damage to the limit),
// survival[k] = P(k swings leave it below). fall[0] = 0, survival[0] = 1;
// the vectors end where survival drops below kSwingsLeft, or at
// `maxSwings`.
struct SwingPassage {
    std::vector<double> fall;
    std::vector<double> survival;
};

// REQUIRES: 0 < hit <= 1.
bool swingPassage(double hit, const HitPassage& hits, std::int64_t maxSwings, Work& work,
                  SwingPassage& out);

// Weights per count of hits for the damage law of a side, given how the
// fight stops for it:
// - overshoot[j] = sum over k of P(the k-th swing is the j-th hit) * felled[k]:
//   felled[k] is the chance that the fight stops when this side's k-th swing
//   reaches the limit (the other side still standing, or falling on the same
//   tick);
// - standing[j] = sum over n of P(n swings land j hits) * stopped[n]:
//   stopped[n] is the chance that the fight stops, by the other side's fall
//   or the clock, with this side having swung n times.
// `cap` is where the first passage in hits ends (no j at or past it is
// needed; kNoLimit without hit points), and no overshoot is needed before
// `firstFall` hits.
struct HitWeights {
    std::vector<double> overshoot;
    std::vector<double> standing;
};

// REQUIRES: 0 < hit <= 1.
bool hitWeights(double hit, std::int64_t cap, std::int64_t firstFall,
                const std::vector<double>& felled, const std::vector<double>& stopped,
                Work& work, HitWeights& out);

// A law held as runs of consecutive values, the runs in increasing order
// with gaps between them: the sums of many equal, large blows lie far
// apart.
using Runs = std::vector<Dense>;

// The law of this side's damage when the fight stops:
// sum over j of overshoot[j] * P(the j-th hit is the first to reach `limit`,
// with that sum) + standing[j] * P(j hits sum to that, below `limit`).
// REQUIRES: limit >= 1 (kNoLimit without hit points).
bool damageLaw(const SwingLaw& law, std::int64_t limit, const HitWeights& weights, Work& work,
               Runs& out);

// What the work of the engine depends on, for one side: its swing law in
// brief, its ticks and the hit points it must reach.
struct SideShape {
    double hit = 0.0;
    double mean = 0.0;  // of a landed blow
    double sd = 0.0;
    double low = 1.0;   // the least and the highest blow
    double high = 1.0;
    double blows = 1.0;  // how many blow values occur
    std::int64_t period = 1;
    std::int64_t limit = kNoLimit;
};

SideShape shapeOf(const SwingLaw& law, std::int64_t period, std::int64_t limit);

// The work of following one side's first passage to its end, in
// multiply-adds, worked out from its shape alone: in hits (hitPassage, with
// no cap) and then in swings (swingPassage, with no cap). A side that cannot
// fell (limit kNoLimit) has none to follow.
// REQUIRES: shape.limit >= 1 and not kNoLimit.
double hitPassageWork(const SideShape& shape);
double swingPassageWork(const SideShape& shape);
// The swings by which the side has, but for about 1e-16, reached its limit.
// REQUIRES: as hitPassageWork.
double swingsNeeded(const SideShape& shape);

// How a fight ends, for the estimate.
enum class Ending { AtTick0, AfterSixtySeconds, AtOpponentsFall, AtEitherFall };

// An estimate of the multiply-adds the passes above take for a fight
// between `you` and `opp` that ends as `ending` says: the steps each pass
// takes, at about ten standard deviations past the mean, times the widths of
// the laws it steps, worked out from the shapes alone.
double estimateWork(const SideShape& you, const SideShape& opp, Ending ending);

}  // namespace skarn::exact
