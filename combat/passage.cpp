#include "combat/passage.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace skarn::exact {

namespace {

// A sum in four interleaved parts, so that the additions do not all wait on
// one another; the order is fixed here, so every platform adds alike.
double sumOf(const double* x, std::size_t n) {
    double part[4] = {0.0, 0.0, 0.0, 0.0};
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        part[0] += x[i];
        part[1] += x[i + 1];
        part[2] += x[i + 2];
        part[3] += x[i + 3];
    }
    for (; i < n; ++i) part[0] += x[i];
    return (part[0] + part[1]) + (part[2] + part[3]);
}

double dotOf(const double* x, const double* y, std::size_t n) {
    double part[4] = {0.0, 0.0, 0.0, 0.0};
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        part[0] += x[i] * y[i];
        part[1] += x[i + 1] * y[i + 1];
        part[2] += x[i + 2] * y[i + 2];
        part[3] += x[i + 3] * y[i + 3];
    }
    for (; i < n; ++i) part[0] += x[i] * y[i];
    return (part[0] + part[1]) + (part[2] + part[3]);
}

// A law on consecutive integers: the values from `first` on, stored in
// buf[begin] to buf[end - 1]. Laws are stepped from one buffer into
// another, so trimming just moves the two ends.
struct Band {
    std::int64_t first = 0;
    std::vector<double> buf;
    std::size_t begin = 0;
    std::size_t end = 0;

    std::size_t size() const { return end - begin; }
    bool empty() const { return begin == end; }
    std::int64_t last() const { return first + static_cast<std::int64_t>(size()) - 1; }
    const double* data() const { return buf.data() + begin; }
    double total() const { return sumOf(data(), size()); }

    // A zeroed law of `count` values from `from`.
    void reset(std::int64_t from, std::size_t count) {
        first = from;
        buf.assign(count, 0.0);
        begin = 0;
        end = count;
    }

    // Drops from each end what carries, all told, less than kTrim, and
    // returns what it dropped.
    double trim() {
        double low = 0.0;
        while (begin < end && low + buf[begin] < kTrim) {
            low += buf[begin++];
            ++first;
        }
        double high = 0.0;
        while (begin < end && high + buf[end - 1] < kTrim) high += buf[--end];
        return low + high;
    }
};

// out = the law of x + y, trimmed. Its total is set to xMass * yMass (what
// x and y should add up to), less what the trimming drops, and returned:
// the roundings of a product of wide laws lose about 1e-16 of their total,
// and repeated squaring would double that loss at every step.
double convolveInto(const Band& x, double xMass, const Band& y, double yMass, Band& out,
                    Work& work) {
    const bool xShorter = x.size() <= y.size();
    const Band& a = xShorter ? x : y;  // the outer loop runs over the shorter
    const Band& b = xShorter ? y : x;
    out.reset(a.first + b.first, a.empty() || b.empty() ? 0 : a.size() + b.size() - 1);
    if (out.empty()) return 0.0;
    work.spend(static_cast<double>(a.size()) * static_cast<double>(b.size()));
    const std::size_t width = b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double w = a.data()[i];
        if (w == 0.0) continue;
        const double* in = b.data();
        double* o = out.buf.data() + i;
        for (std::size_t s = 0; s < width; ++s) o[s] += w * in[s];
    }
    CompensatedSum total;
    for (const double p : out.buf) total.add(p);
    const double mass = xMass * yMass;
    if (total.value() > 0.0) {
        const double scale = mass / total.value();
        for (double& p : out.buf) p *= scale;
    }
    return mass - out.trim();
}

// The sums of j blows below `limit`, for j = 0, 1, 2, ...
class BlowSums {
public:
    BlowSums(const SwingLaw& law, std::int64_t limit)
        : low_(law.low), high_(law.high()), blow_(law.blow), limit_(limit) {
        for (std::size_t k = 0; k < blow_.size(); ++k) {
            if (blow_[k] > 0.0) {
                shifts_.push_back(static_cast<std::int64_t>(k));
                chances_.push_back(blow_[k]);
            }
        }
        if (limit_ != kNoLimit) {
            // reach_[i]: the chance that a blow takes the sum reachFrom_ + i
            // to the limit.
            reachFrom_ = std::max<std::int64_t>(0, limit_ - high_);
            reach_.assign(static_cast<std::size_t>(limit_ - reachFrom_), 0.0);
            CompensatedSum atLeast;
            for (std::int64_t v = high_; v >= low_; --v) {
                atLeast.add(blow_[static_cast<std::size_t>(v - low_)]);
                if (limit_ - v >= reachFrom_)
                    reach_[static_cast<std::size_t>(limit_ - v - reachFrom_)] = atLeast.value();
            }
            for (std::int64_t s = std::max(reachFrom_, limit_ - low_ + 1); s < limit_; ++s)
                reach_[static_cast<std::size_t>(s - reachFrom_)] = atLeast.value();
        }
        sums_.reset(0, 1);
        sums_.buf[0] = 1.0;
        sd_ = std::sqrt(law.blowVariance());
    }

    const Band& sums() const { return sums_; }

    // Goes from no hits straight to `hits` hits, by squaring the blow law
    // (about as many convolutions as `hits` has bits), when that is
    // cheaper than one step per hit. The caller only skips hits that cannot
    // reach the limit, or whose weights are nil, so nothing is lost.
    // REQUIRES: no step taken yet; hits * (highest blow) < limit.
    void skipTo(std::int64_t hits, Work& work) {
        if (hits < 2 || !worthSkipping(hits)) {
            for (std::int64_t j = 0; j < hits && !sums_.empty(); ++j) step(nullptr, 0.0, work);
            return;
        }
        Band base;
        base.reset(low_, blow_.size());
        std::copy(blow_.begin(), blow_.end(), base.buf.begin());
        double baseMass = 1.0;
        double sumsMass = 1.0;
        Band product;
        for (std::int64_t n = hits;;) {
            if (n & 1) {
                sumsMass = convolveInto(sums_, sumsMass, base, baseMass, product, work);
                std::swap(sums_, product);
            }
            n >>= 1;
            if (n == 0) break;
            baseMass = convolveInto(base, baseMass, base, baseMass, product, work);
            std::swap(base, product);
        }
    }

    // Steps from j to j + 1 hits and returns the chance that hit j + 1 is
    // the first to reach the limit. When `over` is given, that part of the
    // law, times `overWeight`, is added to it.
    double step(Dense* over, double overWeight, Work& work) {
        const Band& g = sums_;
        double reached = 0.0;
        if (limit_ != kNoLimit && g.last() >= reachFrom_) {
            const std::int64_t from = std::max(g.first, reachFrom_);
            reached = dotOf(g.data() + (from - g.first), reach_.data() + (from - reachFrom_),
                            static_cast<std::size_t>(g.last() - from + 1));
        }
        if (over != nullptr && overWeight > 0.0 && g.last() + high_ >= limit_)
            addOver(*over, overWeight, work);

        const std::int64_t top = std::min(g.last() + high_, limit_ - 1);
        const std::int64_t bottom = g.first + low_;
        next_.reset(bottom, top >= bottom ? static_cast<std::size_t>(top - bottom + 1) : 0);
        if (!next_.empty()) convolve(work);
        next_.trim();
        std::swap(sums_, next_);
        return reached;
    }

private:
    // next_ = the sums one blow on, as far as next_ reaches.
    void convolve(Work& work) {
        const Band& g = sums_;
        const double* in = g.data();
        double* out = next_.buf.data();
        const auto width = static_cast<std::int64_t>(g.size());
        const auto room = static_cast<std::int64_t>(next_.size());
        const auto nonzero = static_cast<std::int64_t>(shifts_.size());
        const auto span = static_cast<std::int64_t>(blow_.size());
        if (nonzero <= width) {
            // Each blow adds the whole band shifted by it.
            work.spend(static_cast<double>(nonzero * width));
            for (std::size_t b = 0; b < shifts_.size(); ++b) {
                const std::int64_t shift = shifts_[b];
                const std::int64_t n = std::min(width, room - shift);
                const double w = chances_[b];
                double* o = out + shift;
                for (std::int64_t s = 0; s < n; ++s) o[s] += w * in[s];
            }
        } else {
            // Each sum adds the whole blow law shifted by it.
            work.spend(static_cast<double>(span * width));
            const double* blow = blow_.data();
            for (std::int64_t s = 0; s < width; ++s) {
                const std::int64_t n = std::min(span, room - s);
                const double w = in[s];
                double* o = out + s;
                for (std::int64_t v = 0; v < n; ++v) o[v] += w * blow[v];
            }
        }
    }

    // Adds weight * (the part of the next sums that reaches the limit) to
    // `over`.
    void addOver(Dense& over, double weight, Work& work) {
        const Band& g = sums_;
        const std::int64_t from = std::max(g.first + low_, limit_);
        over.add(from, 0.0);
        over.add(g.last() + high_, 0.0);
        double* out = over.p.data() + (from - over.first);
        for (std::size_t b = 0; b < shifts_.size(); ++b) {
            const std::int64_t v = low_ + shifts_[b];
            const std::int64_t s0 = std::max(g.first, limit_ - v);
            if (s0 > g.last()) continue;
            const double w = weight * chances_[b];
            const double* in = g.data() + (s0 - g.first);
            double* o = out + (s0 + v - from);
            const std::int64_t n = g.last() - s0 + 1;
            work.spend(static_cast<double>(n));
            for (std::int64_t s = 0; s < n; ++s) o[s] += w * in[s];
        }
    }

    // Whether squaring reaches `hits` hits for less than stepping: the
    // band of the sums is about 20 standard deviations wide by then, and a
    // product costs the square of a band, a step its width times the blows.
    bool worthSkipping(std::int64_t hits) const {
        const double n = static_cast<double>(hits);
        const double span = static_cast<double>(blow_.size());
        const double width = std::min(n * (span - 1.0) + 1.0, 20.0 * sd_ * std::sqrt(n) + span);
        const double blows = std::min(static_cast<double>(shifts_.size()), span);
        return 3.0 * width * width < n * width * blows * 2.0 / 3.0;
    }

    const std::int64_t low_;
    const std::int64_t high_;
    const std::vector<double>& blow_;    // from low_
    double sd_ = 0.0;                   // of a blow
    std::vector<std::int64_t> shifts_;  // of the blows that occur, from low_
    std::vector<double> chances_;
    const std::int64_t limit_;
    std::int64_t reachFrom_ = 0;
    std::vector<double> reach_;
    Band sums_;
    Band next_;
};

// The number of hits among k swings, for k = 0, 1, 2, ...: a binomial law,
// kept below `cap` hits.
class HitCounts {
public:
    HitCounts(double hit, std::int64_t cap) : hit_(hit), miss_(1.0 - hit), cap_(cap) {
        counts_.reset(0, cap_ > 0 ? 1 : 0);
        if (cap_ > 0) counts_.buf[0] = 1.0;
    }

    const Band& counts() const { return counts_; }

    void step(Work& work) {
        if (counts_.empty()) return;
        const std::size_t n = counts_.size();
        work.spend(static_cast<double>(n));
        next_.first = counts_.first;
        next_.buf.resize(n + 1);
        next_.begin = 0;
        next_.end = n + 1;
        const double* in = counts_.data();
        double* out = next_.buf.data();
        out[0] = miss_ * in[0];
        for (std::size_t i = 1; i < n; ++i) out[i] = miss_ * in[i] + hit_ * in[i - 1];
        out[n] = hit_ * in[n - 1];
        if (next_.last() >= cap_) --next_.end;
        next_.trim();
        std::swap(counts_, next_);
    }

private:
    double hit_;
    double miss_;
    std::int64_t cap_;
    Band counts_;
    Band next_;
};

}  // namespace

void Dense::add(std::int64_t value, double probability) {
    if (p.empty()) {
        first = value;
        p.assign(1, 0.0);
    }
    if (value < first) {
        const auto grow = static_cast<std::size_t>(
            std::max<std::int64_t>(first - value, static_cast<std::int64_t>(p.size()) / 2));
        p.insert(p.begin(), grow, 0.0);
        first -= static_cast<std::int64_t>(grow);
    }
    const auto index = static_cast<std::size_t>(value - first);
    if (index >= p.size()) p.resize(std::max(index + 1, p.size() + p.size() / 2), 0.0);
    p[index] += probability;
}

void Dense::add(std::int64_t from, const double* values, std::size_t count, double weight) {
    if (count == 0) return;
    add(from, 0.0);
    add(from + static_cast<std::int64_t>(count) - 1, 0.0);
    double* out = p.data() + (from - first);
    for (std::size_t i = 0; i < count; ++i) out[i] += weight * values[i];
}

bool hitPassage(const SwingLaw& law, std::int64_t limit, std::int64_t maxHits, Work& work,
                HitPassage& out) {
    out.fall.assign(1, 0.0);
    out.alive.assign(1, 1.0);
    BlowSums sums(law, limit);
    // As long as even the highest blows cannot reach the limit, nothing
    // falls: skip those hits.
    const std::int64_t safe = std::min(maxHits, (limit - 1) / law.high());
    if (safe > 0) {
        sums.skipTo(safe, work);
        out.fall.resize(static_cast<std::size_t>(safe) + 1, 0.0);
        out.alive.resize(static_cast<std::size_t>(safe) + 1, 1.0);
        out.alive.back() = sums.sums().total();
    }
    for (std::int64_t j = safe; j < maxHits; ++j) {
        const double fell = sums.step(nullptr, 0.0, work);
        const double alive = sums.sums().total();
        out.fall.push_back(fell);
        out.alive.push_back(alive);
        if (alive < kHitsLeft) break;
        if (!work.spend(static_cast<double>(sums.sums().size()))) return false;
    }
    return work.spend(0.0);
}

std::int64_t HitPassage::firstFall() const {
    std::size_t j = 1;
    while (j < fall.size() && fall[j] == 0.0) ++j;
    return static_cast<std::int64_t>(j);
}

bool swingPassage(double hit, const HitPassage& hits, std::int64_t maxSwings, Work& work,
                  SwingPassage& out) {
    out.fall.assign(1, 0.0);
    out.survival.assign(1, 1.0);
    const auto cap = static_cast<std::int64_t>(hits.alive.size());
    // No fight ends before hit firstFall: until then all of it stands.
    const std::int64_t firstFall = hits.firstFall();
    HitCounts counts(hit, cap);
    const Band& b = counts.counts();
    for (std::int64_t k = 0; k < maxSwings && !b.empty(); ++k) {
        // Swing k + 1 fells when it lands hit j + 1 and that hit reaches
        // the limit.
        const std::int64_t from = std::max(b.first, firstFall - 1);
        const std::int64_t to = std::min(b.last(), cap - 2);
        const double fell = to < from ? 0.0
                                      : dotOf(b.data() + (from - b.first), hits.fall.data() + from + 1,
                                              static_cast<std::size_t>(to - from + 1));
        counts.step(work);
        const std::int64_t split = std::clamp(firstFall, b.first, b.last() + 1);
        const auto below = static_cast<std::size_t>(split - b.first);
        const double standing =
            sumOf(b.data(), below) +
            dotOf(b.data() + below, hits.alive.data() + split, b.size() - below);
        out.fall.push_back(hit * fell);
        out.survival.push_back(standing);
        if (standing < kSwingsLeft) break;
        if (!work.spend(static_cast<double>(b.size()))) return false;
    }
    return true;
}

bool hitWeights(double hit, std::int64_t cap, std::int64_t firstFall,
                const std::vector<double>& felled, const std::vector<double>& stopped,
                Work& work, HitWeights& out) {
    out.overshoot.clear();
    out.standing.clear();
    const std::size_t swings = std::max(felled.size(), stopped.size() + 1);
    HitCounts counts(hit, cap);
    const Band& b = counts.counts();
    for (std::size_t k = 0; k + 1 < swings && !b.empty(); ++k) {
        const double stop = k < stopped.size() ? stopped[k] : 0.0;
        const double fell = k + 1 < felled.size() ? hit * felled[k + 1] : 0.0;
        const auto top = static_cast<std::size_t>(b.last()) + 2;
        if (stop > 0.0) {
            if (out.standing.size() < top) out.standing.resize(top, 0.0);
            double* standing = out.standing.data() + b.first;
            const double* in = b.data();
            for (std::size_t i = 0; i < b.size(); ++i) standing[i] += stop * in[i];
            work.spend(static_cast<double>(b.size()));
        }
        // Hit j + 1 can fell only from firstFall on.
        const std::int64_t from = std::max(b.first, firstFall - 1);
        if (fell > 0.0 && from <= b.last()) {
            if (out.overshoot.size() < top) out.overshoot.resize(top, 0.0);
            double* overshoot = out.overshoot.data() + from + 1;
            const double* in = b.data() + (from - b.first);
            const auto n = static_cast<std::size_t>(b.last() - from + 1);
            for (std::size_t i = 0; i < n; ++i) overshoot[i] += fell * in[i];
            work.spend(static_cast<double>(n));
        }
        counts.step(work);
        if (!work.spend(0.0)) return false;
    }
    return true;
}

bool damageLaw(const SwingLaw& law, std::int64_t limit, const HitWeights& weights, Work& work,
               Runs& out) {
    out.clear();
    Dense over;  // the sums that reach the limit, above all the others
    // Adds a band of sums still below the limit. Bands only move up, so a
    // band joins the last run unless it starts further past it than it is
    // wide.
    const auto addBelow = [&out](const Band& g, double weight) {
        if (out.empty() || g.first > out.back().first + static_cast<std::int64_t>(out.back().p.size() + g.size()))
            out.emplace_back();
        out.back().add(g.first, g.data(), g.size(), weight);
    };
    BlowSums sums(law, limit);
    const std::size_t hits = std::max(weights.overshoot.size(), weights.standing.size());
    // Counts of hits whose weights carry less than kTrim are not needed.
    const auto weightOf = [&](std::size_t j) {
        return (j < weights.standing.size() ? weights.standing[j] : 0.0) +
               (j + 1 < weights.overshoot.size() ? weights.overshoot[j + 1] : 0.0);
    };
    std::size_t first = 0;
    while (first < hits && weightOf(first) < kTrim) ++first;
    if (first == hits) return work.spend(0.0);
    // Skipped by squaring only as far as no sum can reach the limit.
    first = std::min(first, static_cast<std::size_t>((limit - 1) / law.high()));
    sums.skipTo(static_cast<std::int64_t>(first), work);
    for (std::size_t j = first; j < hits; ++j) {
        const Band& g = sums.sums();
        if (g.empty()) break;
        const double stand = j < weights.standing.size() ? weights.standing[j] : 0.0;
        if (stand > 0.0) addBelow(g, stand);
        if (j + 1 == hits) break;
        const double overWeight = j + 1 < weights.overshoot.size() ? weights.overshoot[j + 1] : 0.0;
        sums.step(&over, overWeight, work);
        if (!work.spend(static_cast<double>(g.size()))) return false;
    }
    if (!over.p.empty()) out.push_back(std::move(over));
    return true;
}

}  // namespace skarn::exact
