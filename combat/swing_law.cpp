#include "combat/swing_law.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "combat/blow.h"

namespace skarn::exact {

namespace {

constexpr std::int32_t kDraws = 32768;

// The law of the dice sum: sums[k] is the probability of the sum
// diceCount + k (the least sum, every die showing 1, comes first).
std::vector<double> diceSums(std::int32_t diceCount, std::int32_t diceSides) {
    if (diceCount <= 0) return {1.0};
    std::vector<double> face(static_cast<std::size_t>(diceSides));
    for (std::int32_t r = 0; r < diceSides; ++r)
        face[static_cast<std::size_t>(r)] = remainderCount(diceSides, r) / double{kDraws};
    std::vector<double> sums = face;
    std::vector<double> next;
    for (std::int32_t die = 1; die < diceCount; ++die) {
        next.assign(sums.size() + face.size() - 1, 0.0);
        // Each face adds the whole law shifted by it: a contiguous
        // multiply-add the compiler vectorises.
        for (std::size_t f = 0; f < face.size(); ++f) {
            const double w = face[f];
            double* out = next.data() + f;
            for (std::size_t k = 0; k < sums.size(); ++k) out[k] += w * sums[k];
        }
        sums.swap(next);
    }
    return sums;
}

// Scales `law` to add up to 1, and then makes its doubles add up to 1 within
// about 1e-30, not just within their roundings (about 1e-16): the sums of
// ten thousand blows would otherwise lose 1e-12 of their probability, a
// rounding at every blow. Each pass adds what is missing to an entry large
// enough to take it and small enough to lose little of it in the rounding:
// about 2^40 times the residue, so that a pass leaves 2^-13 of it.
void normalise(std::vector<double>& law) {
    CompensatedSum total;
    for (const double p : law) total.add(p);
    for (double& p : law) p /= total.value();
    for (int pass = 0; pass < 6; ++pass) {
        CompensatedSum sum;
        sum.add(-1.0);
        for (const double p : law) sum.add(p);
        const double residue = -sum.value();
        if (residue == 0.0) break;
        const double wanted = std::abs(residue) * 0x1p40;
        std::size_t best = 0;
        for (std::size_t k = 1; k < law.size(); ++k) {
            const bool bestTooSmall = law[best] < wanted;
            if (bestTooSmall ? law[k] > law[best] : law[k] >= wanted && law[k] < law[best]) best = k;
        }
        if (law[best] + residue <= 0.0) break;
        law[best] += residue;
    }
}

}  // namespace

std::int32_t remainderCount(std::int32_t divisor, std::int32_t remainder) {
    if (remainder >= divisor || remainder >= kDraws) return 0;
    return (kDraws - 1 - remainder) / divisor + 1;
}

std::int32_t countAtMost101(std::int32_t bound) {
    // The first kDraws % 101 remainders come up kDraws / 101 + 1 times, the
    // others kDraws / 101 times. In closed form: the searches ask for it
    // once a fight.
    const std::int32_t values = std::clamp(bound + 1, 0, 101);
    return values * (kDraws / 101) + std::min(values, kDraws % 101);
}

double SwingLaw::meanBlow() const {
    double m = 0.0;
    for (std::size_t k = 0; k < blow.size(); ++k) m += blow[k] * (low + static_cast<double>(k));
    return m;
}

double SwingLaw::blowVariance() const {
    const double m = meanBlow();
    double sq = 0.0;
    for (std::size_t k = 0; k < blow.size(); ++k) {
        const double d = low + static_cast<double>(k) - m;
        sq += blow[k] * d * d;
    }
    return sq;
}

double SwingLaw::mean() const { return hit * meanBlow(); }

double SwingLaw::variance() const {
    double second = 0.0;
    for (std::size_t k = 0; k < blow.size(); ++k) {
        const double v = low + static_cast<double>(k);
        second += blow[k] * v * v;
    }
    const double m = mean();
    return std::max(0.0, hit * second - m * m);
}

double diceWork(const Combatant& attacker) {
    if (attacker.diceCount <= 1) return 1.0;
    const double n = attacker.diceCount;
    const double s = attacker.diceSides;
    return n * n * s * s / 2.0;
}

double swingLawWork(const Combatant& a, const Combatant& d) {
    const double sums = a.diceCount > 0 ? static_cast<double>(a.diceCount) * (a.diceSides - 1) + 1.0 : 1.0;
    const double outcomes = (d.shieldIndex >= 0 ? 2.0 : 1.0) * (d.armorRating / 2 + 1);
    return diceWork(a) + sums * outcomes;
}

SwingLaw swingLaw(const Combatant& a, const Combatant& d) {
    SwingLaw law;
    law.hitCount = countAtMost101(blow::hitBound(a.weaponSkill, d.weaponSkill));
    law.hit = law.hitCount / double{kDraws};

    // The dice sums scaled by Str. and Tactics; neighbouring sums that scale
    // to the same damage are merged.
    const std::vector<double> sums = diceSums(a.diceCount, a.diceSides);
    const std::int32_t leastSum = std::max(0, a.diceCount);
    const double strength = blow::strengthFactor(a.strength);
    const double tactics = blow::tacticsFactor(a.tactics);
    std::vector<std::int32_t> scaled;
    std::vector<double> scaledLaw;
    for (std::size_t k = 0; k < sums.size(); ++k) {
        const std::int32_t value = blow::scaledDamage(
            leastSum + static_cast<std::int32_t>(k) + a.damageBonus, strength, tactics);
        if (!scaled.empty() && scaled.back() == value) {
            scaledLaw.back() += sums[k];
        } else {
            scaled.push_back(value);
            scaledLaw.push_back(sums[k]);
        }
    }

    // The shield and the armor: each pair of draws, counted in whole draw
    // values (at most 2^30, exact in a double), over 2^30.
    const bool shield = d.shieldIndex >= 0;
    const std::int32_t parried = shield ? countAtMost101(blow::parryBound(d.parry)) : 0;
    const std::int32_t absorb = shield ? d.shieldAbsorb : 0;
    const std::int32_t h = blow::halfArmor(d.armorRating);
    struct Outcome {
        std::int32_t absorbed;
        std::int32_t armor;
        double weight;
    };
    std::vector<Outcome> outcomes;
    for (const bool parry : {false, true}) {
        const std::int32_t shieldCount = parry ? parried : kDraws - parried;
        if (shieldCount == 0) continue;
        for (std::int32_t armor = 0; armor <= h; ++armor) {
            const double count = static_cast<double>(shieldCount) * remainderCount(h + 1, armor);
            outcomes.push_back({parry ? absorb : 0, armor, count / (double{kDraws} * kDraws)});
        }
    }
    const auto blowOf = [h](std::int32_t value, const Outcome& o) {
        return blow::armoredBlow(value - o.absorbed, h, o.armor);
    };
    // A blow only grows with the scaled damage.
    const auto [least, most] = std::minmax_element(scaled.begin(), scaled.end());
    std::int32_t low = blowOf(*least, outcomes.front());
    std::int32_t high = low;
    for (const Outcome& o : outcomes) {
        low = std::min(low, blowOf(*least, o));
        high = std::max(high, blowOf(*most, o));
    }
    law.low = low;
    law.blow.assign(static_cast<std::size_t>(high - low) + 1, 0.0);
    for (std::size_t k = 0; k < scaled.size(); ++k) {
        for (const Outcome& o : outcomes) {
            law.blow[static_cast<std::size_t>(blowOf(scaled[k], o) - low)] +=
                scaledLaw[k] * o.weight;
        }
    }
    normalise(law.blow);
    return law;
}

}  // namespace skarn::exact
