#pragma once

// Rolls a test needs, scripted: the generator state from which the next
// draws are the wanted ones (a hit, a miss, a parry, a die face), found by
// searching the generator's states, so that a test says which rolls it
// means instead of trying seeds until one happens to give them.

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

#include "combat/random.h"

namespace skarn::testing {

// One draw a test wants: a value whose remainder by `divisor` lies in
// low..high.
struct WantedDraw {
    std::int32_t divisor = 1;
    std::int32_t low = 0;
    std::int32_t high = 0;

    bool accepts(int value) const {
        const int r = value % divisor;
        return r >= low && r <= high;
    }
};

// Whatever the draw.
inline WantedDraw anyDraw() { return {1, 0, 0}; }
// draw % divisor == value, e.g. an armour draw.
inline WantedDraw remainderOf(std::int32_t divisor, std::int32_t value) {
    return {divisor, value, value};
}
// A die of `sides` showing `face` (1 to sides).
inline WantedDraw dieFace(std::int32_t sides, std::int32_t face) { return remainderOf(sides, face - 1); }
// The hit roll against `chance`: it lands when draw % 101 <= chance.
inline WantedDraw hit(std::int32_t chance) { return {101, 0, chance}; }
inline WantedDraw miss(std::int32_t chance) { return {101, chance + 1, 100}; }

// A generator state from which the next draws are `draws`, in order. The
// states are walked in a scattered order that visits each of the 2^32 once,
// so one is found whenever one exists. Throws std::invalid_argument for a
// wanted draw no value gives, and for a script so unlikely (below one
// chance in 2^24) that the search would take long: script fewer draws.
inline std::uint32_t stateGiving(std::initializer_list<WantedDraw> draws) {
    double chance = 1.0;
    for (const WantedDraw& d : draws) {
        int values = 0;
        if (d.divisor >= 1)
            for (int v = 0; v <= 0x7FFF; ++v) values += d.accepts(v) ? 1 : 0;
        if (values == 0)
            throw std::invalid_argument("no draw has a remainder by " + std::to_string(d.divisor) +
                                        " from " + std::to_string(d.low) + " to " +
                                        std::to_string(d.high));
        chance *= values / 32768.0;
    }
    if (chance < 1.0 / (1 << 24)) throw std::invalid_argument("too many draws scripted at once");

    std::uint32_t state = 0;
    do {
        Random rng(state);
        bool all = true;
        for (const WantedDraw& d : draws) {
            if (!d.accepts(rng.draw())) {
                all = false;
                break;
            }
        }
        if (all) return state;
        state += 0x9E3779B9u;  // odd: the walk visits every state once
    } while (state != 0);
    throw std::invalid_argument("no state gives these draws");
}

// A generator whose next draws are `draws`.
inline Random generatorGiving(std::initializer_list<WantedDraw> draws) {
    return Random(stateGiving(draws));
}

}  // namespace skarn::testing
