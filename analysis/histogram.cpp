#include "analysis/histogram.h"

#include <algorithm>

namespace skarn::analysis {

namespace {

constexpr std::int64_t kBinsWanted = 40;

// Rounds toward minus infinity.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

Histogram::Histogram(std::int64_t first, std::int64_t width, int bins)
    : first_(first),
      width_(width),
      end_(first + width * bins),
      reciprocal_(1.0 / static_cast<double>(width)),
      counts_(static_cast<std::size_t>(bins), 0) {}

Histogram Histogram::fittedTo(std::span<const std::int64_t> sample) {
    if (sample.empty()) return Histogram();
    const auto [lowest, highest] = std::minmax_element(sample.begin(), sample.end());
    const std::int64_t margin = (*highest - *lowest + 1) / 2;
    std::int64_t from = *lowest - margin;
    if (*lowest >= 0) from = std::max<std::int64_t>(0, from);
    const std::int64_t to = *highest + margin;  // the last value to hold
    const std::int64_t range = to - from + 1;

    // The first of 1, 2, 5, 10, 20, 50, ... that needs at most kBinsWanted bins.
    const std::int64_t needed = (range + kBinsWanted - 1) / kBinsWanted;
    std::int64_t width = 1;
    for (std::int64_t decade = 1; width < needed; decade *= 10) {
        for (const std::int64_t m : {1, 2, 5}) {
            width = m * decade;
            if (width >= needed) break;
        }
    }
    const std::int64_t first = floorDiv(from, width) * width;
    const auto bins = static_cast<int>(floorDiv(to - first, width) + 1);
    return Histogram(first, width, bins);
}

void Histogram::add(const Histogram& other) {
    for (std::size_t k = 0; k < counts_.size(); ++k) counts_[k] += other.counts_[k];
    below_ += other.below_;
    above_ += other.above_;
}

std::int64_t Histogram::total() const {
    std::int64_t sum = below_ + above_;
    for (const std::int64_t c : counts_) sum += c;
    return sum;
}

double Histogram::quantile(double fraction) const {
    const double target = fraction * static_cast<double>(total());
    double seen = static_cast<double>(below_);
    if (target <= seen && below_ > 0) return static_cast<double>(first_);
    for (int k = 0; k < bins(); ++k) {
        const auto c = static_cast<double>(count(k));
        if (c > 0 && seen + c >= target) {
            const double within = std::clamp((target - seen) / c, 0.0, 1.0);
            return static_cast<double>(edge(k)) + within * static_cast<double>(width_ - 1);
        }
        seen += c;
    }
    return static_cast<double>(end_ - 1);
}

Percentiles percentilesOf(const Histogram& histogram) {
    return Percentiles{histogram.quantile(0.05), histogram.quantile(0.5), histogram.quantile(0.95)};
}

}  // namespace skarn::analysis
