#include "combat/fight.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "combat/blow.h"
#include "combat/draws.h"

namespace skarn {

namespace {

using draws::AtMost101;
using draws::Leap;
using draws::Remainder;
using draws::valueOf;

constexpr std::int64_t kSixtySeconds = 6000;  // the last tick of a mode 0 fight

// Dice sums up to this many, and up to this many per fight of the run, are
// turned into blows by a table: enough to pay for filling it.
constexpr std::int64_t kTabulatedSums = 4096;
constexpr std::int64_t kTabulatedSumsPerFight = 64;

// A fighter with swing delay d swings on the ticks i with (i + 1) % period == 0,
// which is what calling tick() once per tick gives; delays 0 and 1 both mean
// every tick.
std::int64_t periodOf(std::int32_t swingDelay) { return std::max<std::int64_t>(1, swingDelay); }

std::size_t drawsOfHit(const Combatant& attacker, const Combatant& defender) {
    return 3 + static_cast<std::size_t>(std::max(0, attacker.diceCount)) +
           (defender.shieldIndex >= 0 ? 1 : 0);
}

// One fighter's swing at the other, with everything that stays fixed during a
// run worked out once. A swing is handed the generator state it starts from
// and takes its draws by leaping ahead from there, so the draws of one blow
// do not wait on each other. The arithmetic and the draws are exactly those
// of Combatant::rollToHit, rollDamage and dealDamage.
class Strike {
public:
    // REQUIRES: leaps[k] leaps over k draws, for k up to drawsOfHit(a, d).
    Strike(const Combatant& a, const Combatant& d, const std::vector<Leap>& leaps,
           std::int64_t fights)
        : hits_(blow::hitBound(a.hitSkill, d.hitSkill)),
          hitLeap_(leaps[drawsOfHit(a, d)]),
          leaps_(leaps.data()),
          diceCount_(std::max(0, a.diceCount)),
          dice_(a.diceCount > 0 ? a.diceSides : 1),
          damageBonus_(a.damageBonus),
          strengthFactor_(blow::strengthFactor(a.strength)),
          tacticsFactor_(blow::tacticsFactor(a.tactics)),
          shield_(d.shieldIndex >= 0),
          parries_(blow::parryBound(d.parry)),
          shieldAbsorb_(d.shieldAbsorb),
          halfArmor_(blow::halfArmor(d.armorRating)),
          armor_(blow::halfArmor(d.armorRating) + 1) {
        const std::int64_t sums =
            a.diceCount > 0 ? std::int64_t{a.diceCount} * (a.diceSides - 1) + 1 : 1;
        if (sums <= kTabulatedSums && sums <= kTabulatedSumsPerFight * fights) {
            scaledBySum_.resize(static_cast<std::size_t>(sums));
            for (std::size_t k = 0; k < scaledBySum_.size(); ++k)
                scaledBySum_[k] = scaled(diceCount_ + static_cast<std::int32_t>(k));
        }
    }

    // The hit roll, from the state the swing's first draw leaves.
    bool lands(std::uint32_t afterMiss) const { return hits_(valueOf(afterMiss)); }
    AtMost101 hitTest() const { return hits_; }
    Leap hitLeap() const { return hitLeap_; }
    std::uint32_t afterHit(std::uint32_t start) const { return hitLeap_(start); }

    // The blow of a landed swing that starts at generator state `start`: the
    // dice, Str. and Tactics, the shield, the armour, at least 1.
    std::int32_t blow(std::uint32_t start) const {
        const Leap* leap = leaps_ + 3;  // past the hit draw and the further draw
        std::int32_t sum = 0;
        for (std::int32_t i = 0; i < diceCount_; ++i) sum += dice_(valueOf(leap[i](start))) + 1;
        leap += diceCount_;
        std::int32_t dmg = scaledBySum_.empty()
                               ? scaled(sum)
                               : scaledBySum_[static_cast<std::size_t>(sum - diceCount_)];
        if (shield_) {
            const bool parried = parries_(valueOf((*leap)(start)));
            dmg -= shieldAbsorb_ & -static_cast<std::int32_t>(parried);
            ++leap;
        }
        return blow::armoredBlow(dmg, halfArmor_, armor_(valueOf((*leap)(start))));
    }

private:
    // The dice sum scaled by Str. and Tactics.
    std::int32_t scaled(std::int32_t sum) const {
        return blow::scaledDamage(sum + damageBonus_, strengthFactor_, tacticsFactor_);
    }

    AtMost101 hits_;
    Leap hitLeap_;
    const Leap* leaps_;
    std::int32_t diceCount_;
    Remainder dice_;
    std::int32_t damageBonus_;
    double strengthFactor_;
    double tacticsFactor_;
    std::vector<std::int32_t> scaledBySum_;  // from the lowest sum up; empty: too many sums
    bool shield_;
    AtMost101 parries_;
    std::int32_t shieldAbsorb_;
    std::int32_t halfArmor_;
    Remainder armor_;
};

// One swing from generator state `state`: the hit roll, and for a landed
// swing the blow, added to the defender's damage `taken`.
inline void swing(const Strike& strike, std::uint32_t& state, double& taken) {
    const std::uint32_t start = state;
    const std::uint32_t afterMiss = start * draws::kMultiplier + draws::kIncrement;
    if (strike.lands(afterMiss)) {
        taken += strike.blow(start);
        state = strike.afterHit(start);
    } else {
        state = afterMiss;
    }
}

// A 60-second fight swings on the same ticks in the same order every time,
// ticks 0 to 6000, so the order is laid out once. A fight then goes in two
// passes. The first is the chain of hit rolls: it needs only each swing's
// first draw and whether the swing landed to find where the next swing
// starts, and it keeps the start states of the landed swings. The second works
// out the blows of those swings, each from its own start state, and adds each
// fighter's blows up in the order they fell. The first pass is one long chain
// of dependent steps and the second is independent work, so the second pass
// of one fight runs interleaved with the first pass of the next.
class SixtySecondOrder {
public:
    // Strike 0 is You at the Opponent, strike 1 the Opponent at You.
    SixtySecondOrder(std::int64_t yourPeriod, std::int64_t oppPeriod, const Strike (&strikes)[2])
        : strikes(strikes),
          hits{strikes[0].hitTest(), strikes[1].hitTest()},
          hitLeaps{strikes[0].hitLeap(), strikes[1].hitLeap()} {
        std::int64_t yourNext = yourPeriod - 1;
        std::int64_t oppNext = oppPeriod - 1;
        for (std::int64_t i = 0; i <= kSixtySeconds; ++i) {
            const bool yours = i == yourNext;
            const bool theirs = i == oppNext;
            if (yours) yourNext += yourPeriod;
            if (theirs) oppNext += oppPeriod;
            if (i % 2 == 0) {
                if (yours) order.push_back(0);
                if (theirs) order.push_back(1);
            } else {
                if (theirs) order.push_back(1);
                if (yours) order.push_back(0);
            }
        }
    }

    const Strike (&strikes)[2];
    const AtMost101 hits[2];
    const Leap hitLeaps[2];
    std::vector<std::uint8_t> order;  // 0: You swing, 1: the Opponent swings
};

// The fights of one call over a SixtySecondOrder: the start states of the
// landed swings of the fight rolled last and of the next.
class SixtySecondFights {
public:
    explicit SixtySecondFights(const SixtySecondOrder& order) : o_(order) {
        for (auto& landed : landed_) landed.resize(o_.order.size() + 1);
    }

    // Rolls the hits of the first fight from generator state `state`, which
    // becomes the state that fight leaves.
    void begin(std::uint32_t& state) { pass<true, false>(state); }

    // The end of the fight whose hits were rolled last. When `another`, the
    // hits of the next fight are rolled meanwhile, from `state`, which
    // becomes the state that fight leaves.
    FightEnd next(std::uint32_t& state, bool another) {
        return another ? pass<true, true>(state) : pass<false, true>(state);
    }

private:
    template <bool kRoll, bool kAddUp>
    FightEnd pass(std::uint32_t& state) {
        // The start states of landed swings: Yours from the front, the
        // Opponent's from the back.
        const std::vector<std::uint8_t>& order = o_.order;
        const std::size_t last = order.size();
        const std::uint32_t* const done = landed_[rolled_].data();
        const std::size_t doneYours = yours_;
        const std::size_t doneTheirs = theirs_;
        std::uint32_t* const landed = landed_[1 - rolled_].data();
        std::size_t yours = 0;
        std::size_t theirs = 0;
        FightEnd end{kSixtySeconds, 0.0, 0.0, false};

        // The blows of the fight before, Yours first, each fighter's in the
        // order they fell; one every second swing, to spread the work over
        // the chain of hit rolls.
        const auto addUp = [&](std::size_t k) {
            if (k < doneYours) {
                end.oppDamage += o_.strikes[0].blow(done[k]);
            } else if (k < doneYours + doneTheirs) {
                end.yourDamage += o_.strikes[1].blow(done[last - (k - doneYours)]);
            }
        };
        std::uint32_t s = state;
        std::size_t k = 0;
        if constexpr (kRoll) {
            for (std::size_t j = 0; j < order.size(); ++j) {
                const std::uint8_t who = order[j];
                const std::uint32_t afterMiss = s * draws::kMultiplier + draws::kIncrement;
                const std::uint32_t afterHit = o_.hitLeaps[who](s);
                // Masks, not a branch: the hit roll is a coin toss to a predictor.
                const std::uint32_t keep = o_.hits[who].mask(valueOf(afterMiss));
                const std::uint32_t lands = keep & 1u;
                // Written whether the swing landed or not, kept by counting it.
                landed[who != 0 ? last - theirs : yours] = s;
                yours += lands & (who == 0);
                theirs += lands & who;
                s = afterMiss ^ ((afterMiss ^ afterHit) & keep);
                if constexpr (kAddUp) {
                    if (j % 2 == 0) addUp(k++);
                }
            }
        }
        if constexpr (kAddUp) {
            while (k < doneYours + doneTheirs) addUp(k++);
        }
        if constexpr (kRoll) {
            state = s;
            yours_ = yours;
            theirs_ = theirs;
            rolled_ = 1 - rolled_;
        }
        return end;
    }

    const SixtySecondOrder& o_;
    std::vector<std::uint32_t> landed_[2];  // of the fight rolled last, and the next
    std::size_t rolled_ = 1;  // which of landed_ the last rolled fight is in
    std::size_t yours_ = 0;
    std::size_t theirs_ = 0;
};

Combatant preparedCopy(const Combatant& fighter) {
    Combatant c = fighter;
    c.setSwingDelay();
    c.setHitSkill();
    c.target = nullptr;
    return c;
}

std::vector<Leap> leapsFor(const Combatant& you, const Combatant& opponent) {
    std::vector<Leap> leaps(std::max(drawsOfHit(you, opponent), drawsOfHit(opponent, you)) + 1);
    for (std::size_t k = 1; k < leaps.size(); ++k) leaps[k] = draws::stepAfter(leaps[k - 1]);
    return leaps;
}

}  // namespace

struct PreparedFights::Impl {
    Impl(const Combatant& yourFighter, const Combatant& oppFighter, std::int32_t yourHitPoints,
         std::int32_t oppHitPoints, FightMode fightMode, std::int64_t fights)
        : you(preparedCopy(yourFighter)),
          opponent(preparedCopy(oppFighter)),
          mode(fightMode),
          yourPeriod(periodOf(you.swingDelay)),
          oppPeriod(periodOf(opponent.swingDelay)),
          leaps(leapsFor(you, opponent)),
          strikes{Strike(you, opponent, leaps, fights), Strike(opponent, you, leaps, fights)},
          yourHp(yourHitPoints),
          oppHp(oppHitPoints),
          // When the stop rule holds before any blow, every fight ends after tick 0.
          fallen(mode != DamagePer60Seconds &&
                 (oppHp <= 0.0 || (mode == ToTheDeath && yourHp <= 0.0))) {
        if (mode == DamagePer60Seconds) sixty.emplace(yourPeriod, oppPeriod, strikes);
    }

    const Combatant you;
    const Combatant opponent;
    const FightMode mode;
    const std::int64_t yourPeriod;
    const std::int64_t oppPeriod;
    const std::vector<Leap> leaps;  // the Strikes point into it
    const Strike strikes[2];        // You at the Opponent, the Opponent at You
    const double yourHp;
    const double oppHp;
    const bool fallen;
    std::optional<SixtySecondOrder> sixty;  // mode 0 only
};

namespace {

using Prepared = PreparedFights::Impl;

// One fight of mode 1 or 2 from generator state `state`, which becomes the
// state the fight leaves. Only the ticks on which a swing is due are
// visited: on the others both timers just count up, and neither damage nor
// the stop rule can change.
inline FightEnd fightToTheEnd(const Prepared& p, std::uint32_t& state) {
    const Strike& yourStrike = p.strikes[0];
    const Strike& oppStrike = p.strikes[1];
    // Locals, so that nothing the loop stores can make them be read again.
    const std::int64_t yourPeriod = p.yourPeriod;
    const std::int64_t oppPeriod = p.oppPeriod;
    const double yourHp = p.yourHp;
    const double oppHp = p.oppHp;
    const bool toTheDeath = p.mode == ToTheDeath;
    FightEnd end;
    std::int64_t yourNext = yourPeriod - 1;
    std::int64_t oppNext = oppPeriod - 1;
    std::int64_t i = p.fallen ? 0 : std::min(yourNext, oppNext);
    for (;;) {
        if (i % 2 == 0) {
            if (yourNext == i) {
                swing(yourStrike, state, end.oppDamage);
                yourNext += yourPeriod;
            }
            if (oppNext == i) {
                swing(oppStrike, state, end.yourDamage);
                oppNext += oppPeriod;
            }
        } else {
            if (oppNext == i) {
                swing(oppStrike, state, end.yourDamage);
                oppNext += oppPeriod;
            }
            if (yourNext == i) {
                swing(yourStrike, state, end.oppDamage);
                yourNext += yourPeriod;
            }
        }
        if (end.oppDamage >= oppHp) {
            end.won = toTheDeath;
            break;
        }
        if (toTheDeath && end.yourDamage >= yourHp) break;
        i = std::min(yourNext, oppNext);
    }
    end.length = i;
    return end;
}

// Fights `fights` fights. Fight f starts from startOf(f, s), where s is the
// state the fight before left (the first: `state`); finish(f, end, after)
// receives each fight's end and the state it left, in order.
template <typename StartOf, typename Finish>
void fightEach(const Prepared& p, std::int64_t fights, std::uint32_t state, StartOf startOf,
               Finish finish) {
    if (fights < 1) return;
    if (p.mode == DamagePer60Seconds) {
        SixtySecondFights sixty(*p.sixty);
        state = startOf(0, state);
        sixty.begin(state);
        for (std::int64_t f = 0; f < fights; ++f) {
            const std::uint32_t after = state;  // as fight f leaves the generator
            const bool another = f + 1 < fights;
            if (another) state = startOf(f + 1, state);
            const FightEnd end = sixty.next(state, another);
            finish(f, end, after);
        }
        return;
    }
    for (std::int64_t f = 0; f < fights; ++f) {
        state = startOf(f, state);
        const FightEnd end = fightToTheEnd(p, state);
        finish(f, end, state);
    }
}

// The chain of runFights: each fight starts where the one before ended.
constexpr auto kChained = [](std::int64_t, std::uint32_t state) { return state; };

template <bool kSquares>
RunResults fightAll(Combatant& you, Combatant& opponent, std::int32_t yourHitPoints,
                    std::int32_t oppHitPoints, FightMode mode, std::int64_t fights,
                    RunTotals& totals, const ProgressCallback& progress, Random& rng,
                    RunSquares* squares) {
    opponent.setSwingDelay();
    you.setSwingDelay();
    opponent.setHitSkill();
    you.setHitSkill();
    totals = RunTotals{};

    const Prepared p(you, opponent, yourHitPoints, oppHitPoints, mode, fights);
    const std::int64_t yourPeriod = p.yourPeriod;
    const std::int64_t oppPeriod = p.oppPeriod;
    fightEach(p, fights, rng.state(), kChained,
              [&](std::int64_t f, const FightEnd& end, std::uint32_t after) {
                  // The fighters as the tick loop leaves them after the fight's last tick.
                  you.damageTaken = end.yourDamage;
                  opponent.damageTaken = end.oppDamage;
                  you.swingTimer = static_cast<std::int32_t>((end.length + 1) % yourPeriod);
                  opponent.swingTimer = static_cast<std::int32_t>((end.length + 1) % oppPeriod);
                  if (end.length + 1 >= yourPeriod) you.target = &opponent;
                  if (end.length + 1 >= oppPeriod) opponent.target = &you;

                  const auto ticks = static_cast<double>(end.length);
                  if (end.won) totals.winCount += 1.0;
                  totals.tickSum += ticks;
                  totals.damageGivenSum += end.oppDamage;
                  totals.damageTakenSum += end.yourDamage;
                  if constexpr (kSquares) {
                      squares->tickSq += ticks * ticks;
                      squares->damageGivenSq += end.oppDamage * end.oppDamage;
                      squares->damageTakenSq += end.yourDamage * end.yourDamage;
                  }
                  rng.seed(after);
                  if (progress) progress(static_cast<int>((100 * f) / fights));
              });
    return resultsOf(totals, fights);
}

}  // namespace

PreparedFights::PreparedFights(const Combatant& you, const Combatant& opponent,
                               std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                               FightMode mode, std::int64_t fights)
    : impl_(std::make_unique<Impl>(you, opponent, yourHitPoints, oppHitPoints, mode, fights)) {}

PreparedFights::~PreparedFights() = default;
PreparedFights::PreparedFights(PreparedFights&&) noexcept = default;
PreparedFights& PreparedFights::operator=(PreparedFights&&) noexcept = default;

void PreparedFights::fight(std::span<const std::uint32_t> starts, std::span<FightEnd> ends) const {
    const std::uint32_t* const start = starts.data();
    FightEnd* const out = ends.data();
    fightEach(
        *impl_, static_cast<std::int64_t>(std::min(starts.size(), ends.size())), 0u,
        [start](std::int64_t f, std::uint32_t) { return start[f]; },
        [out](std::int64_t f, const FightEnd& end, std::uint32_t) { out[f] = end; });
}

void PreparedFights::fightChain(std::uint32_t& state, std::span<FightEnd> ends) const {
    FightEnd* const out = ends.data();
    fightEach(*impl_, static_cast<std::int64_t>(ends.size()), state, kChained,
              [out, &state](std::int64_t f, const FightEnd& end, std::uint32_t after) {
                  out[f] = end;
                  state = after;
              });
}

RunResults runFights(Combatant& you, Combatant& opponent, std::int32_t yourHitPoints,
                     std::int32_t oppHitPoints, FightMode mode, std::int64_t fights,
                     RunTotals& totals, const ProgressCallback& progress, Random& rng,
                     RunSquares* squares) {
    if (squares != nullptr) {
        return fightAll<true>(you, opponent, yourHitPoints, oppHitPoints, mode, fights, totals,
                              progress, rng, squares);
    }
    return fightAll<false>(you, opponent, yourHitPoints, oppHitPoints, mode, fights, totals,
                           progress, rng, nullptr);
}

RunResults resultsOf(const RunTotals& totals, std::int64_t fights) {
    const auto n = static_cast<double>(fights);
    RunResults results;
    results.resultDamageGiven = truncateTo(totals.damageGivenSum / n, 1);
    results.resultDamageTaken = truncateTo(totals.damageTakenSum / n, 1);
    results.resultWinPercent = truncateTo((totals.winCount * 100.0) / n, 1);
    // N * 100 is formed as an integer, in 64 bits so that it cannot wrap.
    results.resultTime = truncateTo(totals.tickSum / static_cast<double>(fights * 100), 0);
    return results;
}

double truncateTo(double x, int digits) {
    std::int32_t m = 1;
    for (int i = 0; i < std::min(digits, 9); ++i) m *= 10;
    const double scaled = x * m;
    // Within 32 bits this is the integer cut; beyond, the same cut in double
    // (converting such a value to a 32-bit integer is undefined).
    const double cut = (scaled > -2147483649.0 && scaled < 2147483648.0)
                           ? static_cast<double>(static_cast<std::int32_t>(scaled))
                           : std::trunc(scaled);
    return cut / m;
}

}  // namespace skarn
