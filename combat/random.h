#pragma once

#include <cstdint>

namespace skarn {

// The simulator's one pseudo-random generator: a 32-bit linear congruential
// generator. Every dice roll of every fight comes from it, in a fixed order,
// so a seed fixes every result.
// Not thread-safe: every draw changes the state; give each thread its own.
class Random {
public:
    explicit Random(std::uint32_t seed = 0) : state_(seed) {}

    void seed(std::uint32_t seed) { state_ = seed; }
    std::uint32_t state() const { return state_; }

    // state = state * 214013 + 2531011 (mod 2^32); yields bits 16..30,
    // a value from 0 to 32767.
    int draw() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t state_;
};

}  // namespace skarn
