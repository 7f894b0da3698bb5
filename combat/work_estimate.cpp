#include <algorithm>
#include <cmath>
#include <limits>

#include "combat/passage.h"

namespace skarn::exact {

namespace {

// How far, in standard deviations, the laws reach before their trimmed
// tails (kTrim), the hits before kHitsLeft and the swings before
// kSwingsLeft, rounded up for tails heavier than a normal law's.
constexpr double kBandSds = 9.6;
constexpr double kHitSds = 9.0;
constexpr double kSwingSds = 9.0;

// The sum of f(x) for the whole numbers x from a to b: exact for a short
// run, else by the trapezoid rule over 64 pieces.
template <typename F>
double sumOver(double a, double b, F f) {
    if (!(b < 1e15)) return std::numeric_limits<double>::infinity();  // no fight is that long
    a = std::ceil(a);
    b = std::floor(b);
    if (b < a) return 0.0;
    if (b - a <= 64.0) {
        double sum = 0.0;
        for (double x = a; x <= b; x += 1.0) sum += f(x);
        return sum;
    }
    const double h = (b - a) / 64.0;
    double sum = 0.5 * (f(a) + f(b));
    for (int i = 1; i < 64; ++i) sum += f(a + h * i);
    return sum * h * (b - a + 1.0) / (b - a);
}

// The binary digits of x, at least 1: the convolutions of reaching x hits
// by squaring. Counted, not taken from a logarithm, which the platforms'
// libraries may round differently.
double bitsOf(double x) {
    double bits = 1.0;
    for (double power = 2.0; power <= x && bits < 64.0; power *= 2.0) bits += 1.0;
    return bits;
}

struct Side {
    SideShape s;

    double span() const { return s.high - s.low + 1.0; }
    bool limited() const { return s.limit != kNoLimit; }
    double limit() const { return static_cast<double>(s.limit); }

    // The width of the law of the sums of j blows (below the limit).
    double width(double j) const {
        const double w = std::min(j * (span() - 1.0) + 1.0, 2.0 * kBandSds * s.sd * std::sqrt(j) + span());
        return limited() ? std::min(w, limit()) : w;
    }
    // A step of those sums, and the running totals beside it.
    double stepCost(double j) const {
        const double w = width(j);
        return w * (s.blows <= w ? s.blows : span()) + 2.0 * w;
    }
    // Reaching j hits by squaring, or by as many steps.
    double skipCost(double j) const {
        if (j < 2.0) return stepCost(j) * j;
        const double w = width(j);
        const double stepping = sumOver(0.0, j - 1.0, [&](double x) { return stepCost(x); });
        return std::min(stepping, 3.0 * w * w + 2.0 * w * bitsOf(j));
    }
    // The hits by which it has reached its limit.
    double hitsNeeded() const {
        const double z = kHitSds * s.sd;
        const double root = (z + std::sqrt(z * z + 4.0 * s.mean * limit())) / (2.0 * s.mean);
        return std::min(root * root + 1.0, std::ceil(limit() / s.low) + 1.0);
    }
    double meanHits() const { return limit() / s.mean + 1.0; }
    // The swings by which it has reached its limit, and their spread.
    double meanSwings() const { return meanHits() / s.hit; }
    double sdSwings() const {
        const double hitsVariance = limit() * s.sd * s.sd / (s.mean * s.mean * s.mean);
        return std::sqrt(hitsVariance + meanHits() * (1.0 - s.hit)) / s.hit;
    }
    double swingsNeeded() const { return meanSwings() + kSwingSds * sdSwings(); }
    double roughEnd() const { return meanSwings() * static_cast<double>(s.period); }
    // The band of the law of the hits among k swings.
    double hitBand(double k) const {
        const double w = 2.0 * kBandSds * std::sqrt(k * s.hit * (1.0 - s.hit)) + 1.0;
        return limited() ? std::min(w, hitsNeeded()) : w;
    }

    // Following the passage in hits to as many as `swings` swings land.
    double overHits(double swings) const {
        const double hits = std::min(hitsNeeded(), swings);
        const double safe = std::min(hits, std::floor((limit() - 1.0) / s.high));
        return skipCost(safe) + sumOver(safe, hits, [&](double j) { return stepCost(j); });
    }
    // Following it in swings, to `swings`.
    double overSwings(double swings) const {
        return sumOver(1.0, swings, [&](double k) { return 3.5 * hitBand(k); });
    }
    // Following the passage to `swings` swings (and the hits they land),
    // and the second pass over it.
    double passage(double swings) const {
        // The second pass steps the sums again, from wherever the other
        // side may first stop it.
        return 2.0 * overHits(swings) + overSwings(swings);
    }

    // The law of its damage after between `fewest` and `most` swings, with
    // no limit.
    double unlimited(double fewest, double most) const {
        const double p = s.hit;
        const double firstHits = std::max(0.0, p * fewest - kBandSds * std::sqrt(fewest * p * (1.0 - p)));
        const double lastHits = p * most + kBandSds * std::sqrt(most * p * (1.0 - p)) + 1.0;
        const double counts = sumOver(1.0, most, [&](double k) { return hitBand(k); }) +
                              sumOver(fewest, most, [&](double k) { return hitBand(k); });
        return counts + skipCost(firstHits) +
               sumOver(firstHits, lastHits, [&](double j) { return stepCost(j); });
    }
};

}  // namespace

SideShape shapeOf(const SwingLaw& law, std::int64_t period, std::int64_t limit) {
    SideShape s;
    s.hit = law.hit;
    s.mean = law.meanBlow();
    s.sd = std::sqrt(law.blowVariance());
    s.low = law.low;
    s.high = law.high();
    s.blows = static_cast<double>(std::count_if(law.blow.begin(), law.blow.end(),
                                                [](double p) { return p > 0.0; }));
    s.period = period;
    s.limit = limit;
    return s;
}

double hitPassageWork(const SideShape& shape) {
    return Side{shape}.overHits(std::numeric_limits<double>::infinity());
}

double swingPassageWork(const SideShape& shape) {
    const Side side{shape};
    return side.overSwings(side.swingsNeeded());
}

double swingsNeeded(const SideShape& shape) { return Side{shape}.swingsNeeded(); }

double estimateWork(const SideShape& yourShape, const SideShape& oppShape, Ending ending) {
    const Side you{yourShape};
    const Side opp{oppShape};
    const auto swingsBy = [](const Side& side, double tick) {
        return std::floor((tick + 1.0) / static_cast<double>(side.s.period));
    };
    switch (ending) {
        case Ending::AtTick0:
            return you.unlimited(swingsBy(you, 0.0), swingsBy(you, 0.0)) +
                   opp.unlimited(swingsBy(opp, 0.0), swingsBy(opp, 0.0));
        case Ending::AfterSixtySeconds: {
            const double yours = swingsBy(you, 6000.0);
            const double theirs = swingsBy(opp, 6000.0);
            return you.unlimited(yours, yours) + opp.unlimited(theirs, theirs);
        }
        case Ending::AtOpponentsFall: {
            const double last = you.swingsNeeded();
            const double first = std::max(0.0, you.meanSwings() - kSwingSds * you.sdSwings());
            const double ticksPerSwing = static_cast<double>(you.s.period);
            return you.passage(last) +
                   opp.unlimited(swingsBy(opp, first * ticksPerSwing), swingsBy(opp, last * ticksPerSwing));
        }
        case Ending::AtEitherFall: {
            const bool youFirst = you.roughEnd() <= opp.roughEnd();
            const Side& first = youFirst ? you : opp;
            const Side& second = youFirst ? opp : you;
            const double last = first.swingsNeeded();
            const double horizon = last * static_cast<double>(first.s.period);
            return first.passage(last) +
                   second.passage(std::min(second.swingsNeeded(), swingsBy(second, horizon) + 1.0));
        }
    }
    return 0.0;
}

}  // namespace skarn::exact
