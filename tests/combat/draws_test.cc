#include <gtest/gtest.h>

#include "combat/draws.h"
#include "combat/random.h"

namespace skarn::draws {
namespace {

// The shortcuts must agree with the plain arithmetic on every draw.
TEST(DrawsTest, AtMost101MatchesTheRemainderForEveryDraw) {
    for (std::int32_t bound = -2; bound <= 102; ++bound) {
        const AtMost101 atMost(bound);
        int wrong = 0;
        for (int draw = 0; draw <= 32767; ++draw) wrong += atMost(draw) != (draw % 101 <= bound);
        EXPECT_EQ(wrong, 0) << "bound " << bound;
    }
}

TEST(DrawsTest, RemainderMatchesForEveryDrawAndDivisor) {
    for (std::int32_t divisor : {1, 2, 3, 6, 7, 51, 100, 101, 999, 1000, 4096, 32767, 32768, 65536}) {
        const Remainder remainder(divisor);
        int wrong = 0;
        for (int draw = 0; draw <= 32767; ++draw) wrong += remainder(draw) != draw % divisor;
        EXPECT_EQ(wrong, 0) << "divisor " << divisor;
    }
    // Every divisor a die or an armour draw can have, on a spread of draws.
    for (std::int32_t divisor = 1; divisor <= 1000; ++divisor) {
        const Remainder remainder(divisor);
        for (int draw = 0; draw <= 32767; draw += 7)
            ASSERT_EQ(remainder(draw), draw % divisor) << draw << " % " << divisor;
        ASSERT_EQ(remainder(32767), 32767 % divisor) << divisor;
    }
}

TEST(DrawsTest, LeapOverMatchesSteppingTheGenerator) {
    for (std::uint32_t seed : {0u, 1u, 0x80000000u, 0xFFFFFFFFu}) {
        Random rng(seed);
        for (std::size_t k = 0; k <= 1010; ++k) {
            ASSERT_EQ(leapOver(k)(seed), rng.state()) << "seed " << seed << " k " << k;
            if (k > 0) {
                ASSERT_EQ(valueOf(leapOver(k)(seed)), Random(leapOver(k - 1)(seed)).draw()) << k;
            }
            rng.draw();
        }
    }
}

}  // namespace
}  // namespace skarn::draws
