#pragma once

#include <cstdint>

namespace skarn::analysis {

// The generator state fight `fight` of an analysis starts from. Every
// variant an analysis compares starts its fight i from the same state, so
// the variants meet the same dice fight by fight and their differences are
// paired; and any fight can be fought on any thread. Pure: any thread may
// call it.
//
// The seed and the fight's number are combined into one 64-bit number,
// seed * 2^32 + fight, which the SplitMix64 finaliser mixes; its two 32-bit
// halves, XORed, are the state.
// REQUIRES: fight < 2^32.
inline std::uint32_t fightStart(std::uint32_t seed, std::uint64_t fight) {
    std::uint64_t z = (std::uint64_t{seed} << 32) + fight;
    z += 0x9E3779B97F4A7C15u;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    z ^= z >> 31;
    return static_cast<std::uint32_t>(z ^ (z >> 32));
}

}  // namespace skarn::analysis
