#include "combat/fight_parts.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <mutex>
#include <unordered_map>

#include "combat/blow.h"
#include "combat/course.h"
#include "combat/passage.h"
#include "combat/swing_law.h"

namespace skarn {

namespace {

using exact::kMostWork;
using exact::kNoLimit;

constexpr std::int64_t kSixtySeconds = 6000;  // the last tick of a 60-second fight

// What one step of the walk over the stops costs, in multiply-adds: a step
// takes about 2 ns against a multiply-add's 0.8 on the development machine.
constexpr double kWalkStepWork = 2.5;

// Estimates are summed in whole steps, capped so that no sum overflows.
std::int64_t wholeSteps(double work) {
    return static_cast<std::int64_t>(std::ceil(std::min(work, 1e15)));
}

// What a blow law depends on (see the header): the attacker's values, then
// the defender's, a missing shield as parry bound -2 and absorb 0. Dice
// sides do not matter without dice.
struct BlowKey {
    std::int32_t strength, tactics, diceCount, diceSides, damageBonus;
    std::int32_t halfArmor, parryBound, absorb;
    bool operator==(const BlowKey&) const = default;
};

BlowKey blowKeyOf(const Combatant& a, const Combatant& d) {
    const bool shield = d.shieldIndex >= 0;
    return {a.strength,
            a.tactics,
            a.diceCount,
            a.diceCount > 0 ? a.diceSides : 0,
            a.damageBonus,
            blow::halfArmor(d.armorRating),
            shield ? std::clamp(blow::parryBound(d.parry), -1, 100) : -2,
            shield ? d.shieldAbsorb : 0};
}

// A blow law's passage through hit points `limit`, in hits (hitBound unset)
// or in swings.
struct PassageKey {
    BlowKey blow;
    std::int64_t limit = 0;
    std::int32_t hitBound = 0;
    bool operator==(const PassageKey&) const = default;
};

// The hit bound of `a` at `d` as far as it matters: past 100 every swing
// lands.
std::int32_t hitBoundOf(const Combatant& a, const Combatant& d) {
    return std::clamp(blow::hitBound(a.weaponSkill, d.weaponSkill), -1, 100);
}

double hitChanceOf(std::int32_t hitBound) {
    return exact::countAtMost101(hitBound) / 32768.0;
}

struct KeyHash {
    static std::size_t mix(std::uint64_t h, std::int64_t v) {
        h ^= static_cast<std::uint64_t>(v);
        h *= 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
    std::size_t operator()(const BlowKey& k) const {
        std::uint64_t h = 0;
        for (const std::int32_t v : {k.strength, k.tactics, k.diceCount, k.diceSides, k.damageBonus,
                                     k.halfArmor, k.parryBound, k.absorb})
            h = mix(h, v);
        return h;
    }
    std::size_t operator()(const PassageKey& k) const {
        return mix(mix((*this)(k.blow), k.limit), k.hitBound);
    }
};

// Entries made on first use, one per key, at addresses that never change.
// The map is split in shards with a lock each, so that threads looking up
// different keys seldom wait on one another.
template <typename Key, typename Entry>
class Memo {
public:
    Entry& at(const Key& key) {
        const std::size_t h = KeyHash{}(key);
        Shard& shard = shards_[(h >> 7) % kShards];
        std::lock_guard lock(shard.mutex);
        auto& entry = shard.map[key];
        if (!entry) entry = std::make_unique<Entry>();
        return *entry;
    }

private:
    static constexpr std::size_t kShards = 32;
    struct Shard {
        std::mutex mutex;
        std::unordered_map<Key, std::unique_ptr<Entry>, KeyHash> map;
    };
    std::array<Shard, kShards> shards_;
};

// The blows of an attacker at a defender. Its shape, for the estimates,
// leaves the hit chance, the ticks and the limit to the caller.
struct BlowEntry {
    std::once_flag once;
    double work = 0.0;  // estimated, of building it
    bool built = false;  // false: too costly to build
    exact::SwingLaw law;
    exact::SideShape shape;
};

// The passage of a blow law through the defender's hit points, counted in
// hits, and from it in swings at one hit chance.
struct HitEntry {
    std::once_flag planned;
    std::once_flag once;
    const BlowEntry* blow = nullptr;
    std::int64_t limit = 0;
    double work = 0.0;  // estimated
    bool built = false;  // false: past the guard
    exact::HitPassage hits;
};

struct SwingEntry {
    std::once_flag planned;
    std::once_flag once;
    HitEntry* hits = nullptr;
    double hit = 0.0;
    double work = 0.0;          // estimated, of this level alone
    double swingsNeeded = 0.0;  // estimated
    bool built = false;
    exact::SwingPassage swings;
};

std::int64_t periodOf(const Combatant& c) {
    Combatant timed = c;
    timed.setSwingDelay();
    return std::max<std::int64_t>(1, timed.swingDelay);
}

// A fight with the parts it needs, and their estimated work.
struct Fight {
    exact::Ending ending = exact::Ending::AtTick0;
    const BlowEntry* yourBlows = nullptr;
    const BlowEntry* oppBlows = nullptr;
    SwingEntry* yours = nullptr;  // set when the fight stops at the Opponent's fall
    SwingEntry* theirs = nullptr;  // set when it stops at either fall
    std::int64_t yourPeriod = 1;
    std::int64_t oppPeriod = 1;
    double yourHit = 0.0;
    double oppHit = 0.0;
    double partsWork = 0.0;
    double walkWork = 0.0;

    double work() const { return partsWork + walkWork; }
};

}  // namespace

struct ExactParts::Impl {
    Memo<BlowKey, BlowEntry> blows;
    Memo<PassageKey, HitEntry> hitPassages;
    Memo<PassageKey, SwingEntry> swingPassages;
    std::atomic<std::int64_t> planned{0};
    std::atomic<std::int64_t> blowLaws{0};
    std::atomic<std::int64_t> hitsBuilt{0};
    std::atomic<std::int64_t> swingsBuilt{0};

    // The blow law of `a` at `d`, built unless too costly.
    const BlowEntry& blowOf(const Combatant& a, const Combatant& d) {
        BlowEntry& e = blows.at(blowKeyOf(a, d));
        std::call_once(e.once, [&] {
            e.work = exact::swingLawWork(a, d);
            planned += wholeSteps(e.work);
            // Dice too many to add up are not even tried.
            if (e.work > kMostWork) return;
            e.law = exact::swingLaw(a, d);
            // The hit chance is the passages' business.
            e.law.hitCount = 0;
            e.law.hit = 0.0;
            e.shape = exact::shapeOf(e.law, 1, kNoLimit);
            e.built = true;
            ++blowLaws;
        });
        return e;
    }

    // The passage of the blows `blow` of `a` through `limit` hit points of
    // `d`, planned (its estimate and links set) but not built.
    SwingEntry& passageOf(const BlowEntry& blow, const Combatant& a, const Combatant& d,
                          std::int64_t limit) {
        const PassageKey hitKey{blowKeyOf(a, d), limit, 0};
        PassageKey swingKey = hitKey;
        swingKey.hitBound = hitBoundOf(a, d);
        SwingEntry& e = swingPassages.at(swingKey);
        std::call_once(e.planned, [&] {
            HitEntry& h = hitPassages.at(hitKey);
            std::call_once(h.planned, [&] {
                h.blow = &blow;
                h.limit = limit;
                exact::SideShape shape = blow.shape;
                shape.limit = limit;
                h.work = exact::hitPassageWork(shape);
                planned += wholeSteps(h.work);
            });
            e.hits = &h;
            e.hit = hitChanceOf(swingKey.hitBound);
            exact::SideShape shape = blow.shape;
            shape.hit = e.hit;
            shape.limit = limit;
            e.work = exact::swingPassageWork(shape);
            e.swingsNeeded = exact::swingsNeeded(shape);
            planned += wholeSteps(e.work);
        });
        return e;
    }

    // Builds the passage, as exactOdds follows a side with no cap on its
    // swings; false when it ran past the guard.
    bool build(SwingEntry& e) {
        HitEntry& h = *e.hits;
        std::call_once(h.once, [&] {
            exact::Work work;
            work.most = exact::kGuardWork;
            h.built = exact::hitPassage(h.blow->law, h.limit, kNoLimit, work, h.hits);
            if (h.built) ++hitsBuilt;
        });
        if (!h.built) return false;
        std::call_once(e.once, [&] {
            exact::Work work;
            work.most = exact::kGuardWork;
            e.built = exact::swingPassage(e.hit, h.hits, kNoLimit, work, e.swings);
            if (e.built) ++swingsBuilt;
        });
        return e.built;
    }

    Fight plan(const Combatant& you, const Combatant& opp, std::int32_t yourHitPoints,
               std::int32_t oppHitPoints, FightMode mode) {
        Fight f;
        // How the fight ends, as exactOdds decides it.
        if (mode == DamagePer60Seconds) {
            f.ending = exact::Ending::AfterSixtySeconds;
        } else if (oppHitPoints <= 0 || (mode == ToTheDeath && yourHitPoints <= 0)) {
            f.ending = exact::Ending::AtTick0;
        } else {
            f.ending = mode == ToTheDeath ? exact::Ending::AtEitherFall : exact::Ending::AtOpponentsFall;
        }
        const BlowEntry& yourBlows = blowOf(you, opp);
        const BlowEntry& oppBlows = blowOf(opp, you);
        f.partsWork = yourBlows.work + oppBlows.work;
        if (!yourBlows.built || !oppBlows.built) return f;
        f.yourBlows = &yourBlows;
        f.oppBlows = &oppBlows;
        f.yourPeriod = periodOf(you);
        f.oppPeriod = periodOf(opp);
        f.yourHit = hitChanceOf(hitBoundOf(you, opp));
        f.oppHit = hitChanceOf(hitBoundOf(opp, you));
        if (f.ending == exact::Ending::AtOpponentsFall || f.ending == exact::Ending::AtEitherFall) {
            f.yours = &passageOf(yourBlows, you, opp, oppHitPoints);
            f.partsWork += f.yours->hits->work + f.yours->work;
            // The walk runs until the side that falls first has fallen, and
            // steps through both sides' swings until then.
            double ticks = f.yours->swingsNeeded * static_cast<double>(f.yourPeriod);
            if (f.ending == exact::Ending::AtEitherFall) {
                f.theirs = &passageOf(oppBlows, opp, you, yourHitPoints);
                f.partsWork += f.theirs->hits->work + f.theirs->work;
                ticks = std::min(ticks, f.theirs->swingsNeeded * static_cast<double>(f.oppPeriod));
            }
            const double steps = ticks / static_cast<double>(f.yourPeriod) +
                                 ticks / static_cast<double>(f.oppPeriod) + 1.0;
            f.walkWork = kWalkStepWork * steps;
        }
        return f;
    }

    // The expected results of a planned fight whose parts are built.
    ExactMeans combine(const Fight& f, std::int32_t oppHitPoints, FightMode mode) const {
        ExactMeans m;
        m.mode = mode;
        // A swing's mean damage, a miss counting 0, as SwingLaw::mean works it out.
        const double yourMean = f.yourHit * f.yourBlows->shape.mean;
        const double oppMean = f.oppHit * f.oppBlows->shape.mean;
        if (f.ending == exact::Ending::AfterSixtySeconds || f.ending == exact::Ending::AtTick0) {
            const std::int64_t tick = f.ending == exact::Ending::AtTick0 ? 0 : kSixtySeconds;
            const std::int64_t yourSwings = (tick + 1) / f.yourPeriod;
            m.damageGiven = static_cast<double>(yourSwings) * yourMean;
            m.damageTaken = static_cast<double>((tick + 1) / f.oppPeriod) * oppMean;
            m.time = static_cast<double>(tick) / 100.0;
            if (mode == ToTheDeath) {
                // Stopped on tick 0: a win when the Opponent has no hit
                // points, or when Your one swing on it lands a blow of all
                // of them.
                double won = 1.0;
                if (oppHitPoints > 0) {
                    const exact::SwingLaw& law = f.yourBlows->law;
                    exact::CompensatedSum reaching;
                    for (std::int32_t v = std::max(law.low, oppHitPoints); v <= law.high(); ++v)
                        reaching.add(law.blow[static_cast<std::size_t>(v - law.low)]);
                    won = yourSwings > 0 ? f.yourHit * reaching.value() : 0.0;
                }
                m.winPercent = 100.0 * won;
            }
            return m;
        }
        const exact::Course yours{&f.yours->swings, f.yourPeriod};
        const exact::Course theirs{f.theirs ? &f.theirs->swings : nullptr, f.oppPeriod};
        const exact::StopSums sums = exact::stopSums(yours, theirs);
        m.time = sums.seconds;
        m.damageGiven = yourMean * sums.yourSwings;
        m.damageTaken = oppMean * sums.oppSwings;
        if (mode == ToTheDeath) m.winPercent = 100.0 * sums.won;
        return m;
    }
};

ExactParts::ExactParts() : impl_(std::make_unique<Impl>()) {}

ExactParts::~ExactParts() = default;

std::optional<ExactOddsLimit> ExactParts::limit(const Combatant& you, const Combatant& opponent,
                                                std::int32_t yourHitPoints,
                                                std::int32_t oppHitPoints, FightMode mode) {
    const Fight f = impl_->plan(you, opponent, yourHitPoints, oppHitPoints, mode);
    impl_->planned += wholeSteps(f.walkWork);
    if (f.work() <= kMostWork) return std::nullopt;
    return ExactOddsLimit{f.work(), kMostWork};
}

std::optional<ExactMeans> ExactParts::means(const Combatant& you, const Combatant& opponent,
                                            std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                            FightMode mode) {
    const Fight f = impl_->plan(you, opponent, yourHitPoints, oppHitPoints, mode);
    if (f.work() > kMostWork) return std::nullopt;
    if (f.yours && !impl_->build(*f.yours)) return std::nullopt;
    if (f.theirs && !impl_->build(*f.theirs)) return std::nullopt;
    return impl_->combine(f, oppHitPoints, mode);
}

double ExactParts::plannedWork() const { return static_cast<double>(impl_->planned.load()); }

PartCounts ExactParts::built() const {
    return {impl_->blowLaws.load(), impl_->hitsBuilt.load(), impl_->swingsBuilt.load()};
}

}  // namespace skarn
