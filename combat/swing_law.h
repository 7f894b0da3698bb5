#pragma once

#include <cstdint>
#include <vector>

#include "combat/combatant.h"

// The law of one swing, for the exact odds of a fight. Every draw is taken
// as independent of the others and as following the generator's exact
// marginal law: draw % n over the 32,768 draw values, so the first
// 32768 % n remainders come up once in 32,768 more often than the rest.
// The functions are pure: any thread may call them. A CompensatedSum belongs
// to one thread at a time.
namespace skarn::exact {

// The number of draw values (0 to 32767) whose remainder by `divisor` is
// `remainder`; 0 for a remainder of `divisor` or more.
// REQUIRES: divisor >= 1, remainder >= 0.
std::int32_t remainderCount(std::int32_t divisor, std::int32_t remainder);

// The number of draw values with draw % 101 <= bound (0 to 32768).
std::int32_t countAtMost101(std::int32_t bound);

// A sum that carries the rounding error of each addition along
// (Neumaier's compensated summation): thousands of terms add up to within a
// rounding or two of the exact sum, in any order.
class CompensatedSum {
public:
    void add(double x) {
        const double t = sum_ + x;
        // Whichever of the two is larger keeps its bits; what the smaller
        // lost goes into the correction.
        if ((sum_ < 0 ? -sum_ : sum_) >= (x < 0 ? -x : x)) {
            correction_ += (sum_ - t) + x;
        } else {
            correction_ += (x - t) + sum_;
        }
        sum_ = t;
    }
    double value() const { return sum_ + correction_; }

private:
    double sum_ = 0.0;
    double correction_ = 0.0;
};

// The law of one swing of an attacker at a defender: whether it lands, and
// the value of the blow when it does.
struct SwingLaw {
    std::int32_t hitCount = 0;  // draw values of the hit roll that land it
    double hit = 0.0;           // hitCount / 32768
    // blow[v - low] is the probability that a landed swing does v damage;
    // the entries add up to 1 (within rounding). low >= 1, and blow is never
    // empty.
    std::int32_t low = 1;
    std::vector<double> blow;

    std::int32_t high() const { return low + static_cast<std::int32_t>(blow.size()) - 1; }
    double meanBlow() const;
    double blowVariance() const;  // of a landed blow
    // Of one swing, a miss counting 0.
    double mean() const;
    double variance() const;
};

// The swing law of `attacker` at `defender`, from their statistics as the
// caller copied them in (weaponSkill stands for hitSkill): the hit roll, the
// dice, Str. and Tactics, the defender's shield and armor, with the
// arithmetic of combat/blow.h. Costs about diceCount^2 * diceSides^2 / 2
// steps for the dice (see diceWork) and one step per scaled damage value,
// shield outcome and armor draw.
// REQUIRES: the values are within the run limits (combat/fight.h).
SwingLaw swingLaw(const Combatant& attacker, const Combatant& defender);

// The steps swingLaw spends on the dice of `attacker`.
double diceWork(const Combatant& attacker);

// The steps swingLaw(attacker, defender) is estimated to take: the dice, and
// a step per scaled damage value, shield outcome and armor draw.
double swingLawWork(const Combatant& attacker, const Combatant& defender);

}  // namespace skarn::exact
