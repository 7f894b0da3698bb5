#pragma once

#include <cstddef>
#include <cstdint>

// Exact shortcuts over the generator's draws, for the fight loop: taking a
// swing's draws straight from the state it starts at, and the remainders the
// rules take of draws without dividing. Each gives the same value as the
// plain arithmetic for every draw (0 to 32767). Pure values and functions:
// any thread may use them.
namespace skarn::draws {

inline constexpr std::uint32_t kMultiplier = 214013u;
inline constexpr std::uint32_t kIncrement = 2531011u;

// The value a draw yields from the state it leaves behind.
inline int valueOf(std::uint32_t state) { return static_cast<int>((state >> 16) & 0x7FFFu); }

// k steps of the generator at once: state -> a * state + c (mod 2^32).
struct Leap {
    std::uint32_t a = 1u;
    std::uint32_t c = 0u;

    std::uint32_t operator()(std::uint32_t state) const { return a * state + c; }
};

// The leap over one draw more than `leap`.
inline Leap stepAfter(Leap leap) {
    return {leap.a * kMultiplier, leap.c * kMultiplier + kIncrement};
}

// The leap over `steps` draws.
inline Leap leapOver(std::size_t steps) {
    Leap leap;
    for (std::size_t k = 0; k < steps; ++k) leap = stepAfter(leap);
    return leap;
}

// draw % divisor, for 1 <= divisor <= 65536. With m = ceil(2^32 / divisor),
// the low 32 bits of m * draw are the fraction draw / divisor scaled by 2^32,
// and that fraction times the divisor carries the remainder in its high
// bits. For divisor 1, m wraps to 0 and the remainder is 0, as it should be.
class Remainder {
public:
    explicit Remainder(std::int32_t divisor)
        : m_(0xFFFFFFFFu / static_cast<std::uint32_t>(divisor) + 1u),
          divisor_(static_cast<std::uint32_t>(divisor)) {}

    std::int32_t operator()(int draw) const {
        const std::uint32_t fraction = m_ * static_cast<std::uint32_t>(draw);
        return static_cast<std::int32_t>((static_cast<std::uint64_t>(fraction) * divisor_) >> 32);
    }

private:
    std::uint32_t m_;
    std::uint32_t divisor_;
};

// draw % 101 <= bound, the test of the hit roll and the parry, as one
// multiplication and a comparison: the remainder is at most `bound` exactly
// when the scaled fraction of Remainder lies below
// ceil((bound + 1) * 2^32 / 101). The fraction of a draw never reaches
// 0xFFFFFFFF, so that threshold stands for "always".
class AtMost101 {
public:
    explicit AtMost101(std::int32_t bound)
        : threshold_(bound < 0      ? 0u
                     : bound >= 100 ? 0xFFFFFFFFu
                                    : static_cast<std::uint32_t>(
                                          ((static_cast<std::uint64_t>(bound) + 1u) << 32) / 101u +
                                          1u)) {}

    bool operator()(int draw) const { return fraction(draw) < threshold_; }

    // All ones when draw % 101 <= bound, else 0: the borrow of the
    // comparison's subtraction.
    std::uint32_t mask(int draw) const {
        return static_cast<std::uint32_t>((std::uint64_t{fraction(draw)} - threshold_) >> 32);
    }

private:
    static std::uint32_t fraction(int draw) {
        return (0xFFFFFFFFu / 101u + 1u) * static_cast<std::uint32_t>(draw);
    }

    std::uint32_t threshold_;
};

}  // namespace skarn::draws
