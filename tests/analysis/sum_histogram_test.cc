// The exact sums and the histograms the engine keeps.

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/exact_sum.h"
#include "analysis/histogram.h"

namespace skarn::analysis {
namespace {

TEST(ExactSumTest, AgreesWith128BitArithmetic) {
    std::mt19937_64 gen(5);
    // The squares add up to less than 2^127.
    const std::int64_t extremes[] = {0, 1, -1, 0xFFFFFFFF, 0x100000000, -0x100000001,
                                     std::numeric_limits<std::int64_t>::max(),
                                     std::numeric_limits<std::int64_t>::min() >> 8};
    ExactSum sum, squares, merged;
    __int128 expectedSum = 0;
    unsigned __int128 expectedSquares = 0;
    ExactSum half;
    for (int i = 0; i < 4000; ++i) {
        // Values of every size, both signs.
        const std::int64_t value =
            i < 8 ? extremes[i] : static_cast<std::int64_t>(gen()) >> (8 + gen() % 56);
        sum.add(value);
        squares.addSquare(value);
        half.add(value);
        if (i % 100 == 99) {
            merged.add(half);
            half = ExactSum{};
        }
        expectedSum += value;
        expectedSquares += static_cast<unsigned __int128>(static_cast<__int128>(value) * value);
    }
    merged.add(half);
    EXPECT_EQ(merged, sum);
    const auto bits = [](const ExactSum& s) {
        return (static_cast<unsigned __int128>(s.highBits()) << 64) | s.lowBits();
    };
    EXPECT_TRUE(bits(sum) == static_cast<unsigned __int128>(expectedSum));
    EXPECT_TRUE(bits(squares) == expectedSquares);
    EXPECT_DOUBLE_EQ(sum.value(), static_cast<double>(expectedSum));
    EXPECT_DOUBLE_EQ(squares.value(), static_cast<double>(expectedSquares));

    ExactSum small;
    for (const std::int64_t v : {5, -12, 7}) small.add(v);
    EXPECT_EQ(small.value(), 0.0);
    EXPECT_TRUE(small.isZero());
}

TEST(HistogramTest, FitsBinsToASampleAndCountsEveryValue) {
    std::vector<std::int64_t> sample;
    for (std::int64_t v = 1000; v <= 2000; v += 7) sample.push_back(v);
    const Histogram fitted = Histogram::fittedTo(sample);
    // The range and half of it again on each side, in bins of 1, 2 or 5 times
    // a power of ten, aligned to the width.
    EXPECT_EQ(fitted.width(), 50);
    EXPECT_LE(fitted.edge(0), 500);
    EXPECT_LE(fitted.bins(), 41);
    EXPECT_EQ(fitted.edge(0) % fitted.width(), 0);

    Histogram h = fitted;
    ASSERT_EQ(fitted.edge(0), 500);
    ASSERT_EQ(fitted.edge(fitted.bins()), 2500);
    for (const std::int64_t v : {-3, 499, 500, 549, 550, 2499, 2500, 100000}) h.add(v);
    EXPECT_EQ(h.total(), 8);
    EXPECT_EQ(h.below(), 2);
    EXPECT_EQ(h.above(), 2);
    EXPECT_EQ(h.count(0), 2);  // 500 and 549
    EXPECT_EQ(h.count(1), 1);  // 550
    EXPECT_EQ(h.count(h.bins() - 1), 1);  // 2499

    // Values of 0 and up never get bins below 0.
    EXPECT_EQ(Histogram::fittedTo(std::vector<std::int64_t>{0, 3, 90}).edge(0), 0);
}

TEST(HistogramTest, PercentilesAreExactForBinsOfOneValue) {
    const Histogram constant = [] {
        Histogram h = Histogram::fittedTo(std::vector<std::int64_t>{6000, 6000});
        for (int i = 0; i < 10; ++i) h.add(6000);
        return h;
    }();
    EXPECT_EQ(constant.bins(), 1);
    const Percentiles c = percentilesOf(constant);
    EXPECT_EQ(c.p5, 6000.0);
    EXPECT_EQ(c.p50, 6000.0);
    EXPECT_EQ(c.p95, 6000.0);

    Histogram ones(0, 1, 30);
    for (std::int64_t v = 1; v <= 20; ++v) ones.add(v);
    const Percentiles p = percentilesOf(ones);
    EXPECT_EQ(p.p5, 1.0);
    EXPECT_EQ(p.p50, 10.0);
    EXPECT_EQ(p.p95, 19.0);
}

}  // namespace
}  // namespace skarn::analysis
