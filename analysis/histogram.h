#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace skarn::analysis {

// How often whole-number values fell into fixed bins: bin k holds the values
// from edge(k) up to, not including, edge(k + 1), and the values before the
// first bin or past the last are counted apart. The bins are fixed before
// the values come, so histograms over the same bins add up, whatever split
// the values, and the memory does not grow with their number.
// Not thread-safe: const methods may be called from several threads, adding
// from one; each thread fills a histogram of its own, then they are added.
class Histogram {
public:
    // One bin of width 1 at 0.
    Histogram() : Histogram(0, 1, 1) {}
    // REQUIRES: width >= 1, bins >= 1.
    Histogram(std::int64_t first, std::int64_t width, int bins);

    // Bins for values like `sample`: about 40 of them, of a width of 1, 2 or
    // 5 times a power of ten, aligned to a multiple of the width, spanning
    // the sample's range and half of it again on each side (not below 0 when
    // the sample holds no negative value).
    static Histogram fittedTo(std::span<const std::int64_t> sample);

    void add(std::int64_t value) {
        if (value < first_) {
            ++below_;
        } else if (value >= end_) {
            ++above_;
        } else {
            const std::int64_t offset = value - first_;
            // The quotient from a multiplication, put right if rounding moved it.
            auto k = static_cast<std::int64_t>(static_cast<double>(offset) * reciprocal_);
            if (k * width_ > offset) --k;
            else if ((k + 1) * width_ <= offset) ++k;
            ++counts_[static_cast<std::size_t>(k)];
        }
    }
    // REQUIRES: `other` has the same bins.
    void add(const Histogram& other);

    int bins() const { return static_cast<int>(counts_.size()); }
    std::int64_t width() const { return width_; }
    std::int64_t edge(int k) const { return first_ + k * width_; }  // 0 <= k <= bins()
    std::int64_t count(int k) const { return counts_[static_cast<std::size_t>(k)]; }
    std::int64_t below() const { return below_; }
    std::int64_t above() const { return above_; }
    std::int64_t total() const;

    // The value below which `fraction` of the values lie, read off the bins:
    // the values of a bin are taken as spread evenly over the whole numbers
    // it holds, so bins of width 1 give it exactly. Values outside the bins
    // count as lying at the nearest edge.
    // REQUIRES: total() > 0; 0 <= fraction <= 1.
    double quantile(double fraction) const;

    bool operator==(const Histogram& other) const {
        return first_ == other.first_ && width_ == other.width_ && counts_ == other.counts_ &&
               below_ == other.below_ && above_ == other.above_;
    }

private:
    std::int64_t first_;
    std::int64_t width_;
    std::int64_t end_;  // edge(bins())
    double reciprocal_;
    std::vector<std::int64_t> counts_;
    std::int64_t below_ = 0;
    std::int64_t above_ = 0;
};

// The 5th, 50th and 95th percentiles of the values of a histogram, read
// off its bins (Histogram::quantile).
struct Percentiles {
    double p5 = 0.0;
    double p50 = 0.0;
    double p95 = 0.0;
};
// REQUIRES: histogram.total() > 0.
Percentiles percentilesOf(const Histogram& histogram);

}  // namespace skarn::analysis
