#pragma once

#include <cmath>
#include <cstdint>

namespace skarn::analysis {

// An exact sum of whole numbers and of their squares, in 128 bits (two's
// complement). Everything a fight is measured by is a whole number (damage
// is a sum of whole blows, time a count of ticks), so sums kept this way do
// not depend on the order they were added in: an analysis gives the same
// bits however its fights were split over threads. Not thread-safe: each
// thread sums into its own, and the sums are then added.
class ExactSum {
public:
    void add(std::int64_t value) {
        const auto v = static_cast<std::uint64_t>(value);
        low_ += v;
        high_ += (low_ < v ? 1u : 0u) + (value < 0 ? ~std::uint64_t{0} : 0u);
    }

    // Adds value * value.
    void addSquare(std::int64_t value) {
        const std::uint64_t m =
            value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                      : static_cast<std::uint64_t>(value);
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        if ((m >> 32) == 0) {
            low = m * m;
        } else {
            // (a * 2^32 + b)^2 = a^2 * 2^64 + 2ab * 2^32 + b^2, carrying by hand.
            const std::uint64_t a = m >> 32;
            const std::uint64_t b = m & 0xFFFFFFFFu;
            const std::uint64_t ab = a * b;
            const std::uint64_t middle = ab << 1;  // 2ab without its top bit, added back below
            const std::uint64_t bb = b * b;
            low = bb + (middle << 32);
            high = a * a + (middle >> 32) + (ab >> 63 << 32) + (low < bb ? 1u : 0u);
        }
        low_ += low;
        high_ += high + (low_ < low ? 1u : 0u);
    }

    void add(const ExactSum& other) {
        low_ += other.low_;
        high_ += other.high_ + (low_ < other.low_ ? 1u : 0u);
    }

    // The sum as the nearest double, exactly when it is below 2^53.
    double value() const {
        if ((high_ >> 63) == 0) return magnitude(low_, high_);
        // Negative: negate the two's complement.
        const std::uint64_t low = ~low_ + 1u;
        const std::uint64_t high = ~high_ + (low == 0 ? 1u : 0u);
        return -magnitude(low, high);
    }

    // The two halves of the 128-bit two's complement.
    std::uint64_t lowBits() const { return low_; }
    std::uint64_t highBits() const { return high_; }

    bool isZero() const { return low_ == 0 && high_ == 0; }
    bool operator==(const ExactSum&) const = default;

private:
    static double magnitude(std::uint64_t low, std::uint64_t high) {
        if (high == 0) return static_cast<double>(low);
        return std::ldexp(static_cast<double>(high), 64) + static_cast<double>(low);
    }

    std::uint64_t low_ = 0;
    std::uint64_t high_ = 0;
};

}  // namespace skarn::analysis
