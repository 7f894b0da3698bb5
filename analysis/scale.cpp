#include "analysis/scale.h"

#include <algorithm>

#include "model/run_check.h"

namespace skarn::analysis {

namespace {

using model::statInfo;
using model::StatInfo;

// The order in which the stats are tried, which the ranking of equal
// factors keeps.
constexpr Stat kScaleOrder[] = {Stat::Strength, Stat::Dexterity, Stat::WeaponSkill,
                                Stat::Tactics,  Stat::Parry,     Stat::ArmorRating};

// The job of a scale: the fighter as it is, then each stat at its low and
// high value; with `stats` (in the order of kScaleOrder) and, per stat, its
// pair in the job, or -1.
Job scaleJob(const Fighter& you, const Fighter& opp, std::int32_t delta, FightMode mode,
             std::int64_t fights, std::vector<StatScale>& stats, std::vector<int>& pairOf) {
    Job job;
    job.variants.push_back(variantOf(you, opp));
    job.pairedResult = mainResult(mode);
    job.targeted = {0};
    // The variant of `you` with `stat` at `value`: the fighter itself when
    // the value is its own.
    const auto variantAt = [&](Stat stat, std::int32_t value, std::string& refused) {
        Fighter changed = you;
        if (changed.stats[stat] == value) return 0;
        changed.stats[stat] = value;
        if (stat == Stat::Strength && !you.hitPoints.stored) changed.hitPoints.value = value;
        if (const auto fault = model::findRunFault(changed, opp, mode, fights)) {
            refused = std::string(statInfo(stat).caption) + " " + std::to_string(value) + ": " +
                      fault->message();
            return -1;
        }
        job.variants.push_back(variantOf(changed, opp));
        return static_cast<int>(job.variants.size()) - 1;
    };

    for (const Stat stat : kScaleOrder) {
        const StatInfo& info = statInfo(stat);
        StatScale s;
        s.stat = stat;
        s.value = you.stats[stat];
        s.low = std::max(info.low, s.value - delta);
        s.high = std::min(info.high, s.value + delta);
        s.hitPointsFollow = stat == Stat::Strength && !you.hitPoints.stored;
        int pair = -1;
        const int low = variantAt(stat, s.low, s.refused);
        const int high = low < 0 ? -1 : variantAt(stat, s.high, s.refused);
        if (low >= 0 && high >= 0) {
            job.pairs.emplace_back(high, low);
            pair = static_cast<int>(job.pairs.size()) - 1;
        }
        pairOf.push_back(pair);
        stats.push_back(s);
    }
    return job;
}

}  // namespace

std::vector<Variant> scaleVariants(const Fighter& you, const Fighter& opp, std::int32_t delta,
                                   FightMode mode, std::int64_t fights) {
    std::vector<StatScale> stats;
    std::vector<int> pairOf;
    return scaleJob(you, opp, delta, mode, fights, stats, pairOf).variants;
}

Scale scaleStats(const Fighter& you, const Fighter& opp, std::int32_t delta,
                 const RunSettings& settings) {
    Scale scale;
    scale.result = mainResult(settings.mode);
    scale.delta = delta;
    std::vector<int> pairOf;  // per stat: its pair in job.pairs, or -1
    const Job job =
        scaleJob(you, opp, delta, settings.mode, settings.fights, scale.stats, pairOf);

    const JobResult result = runJob(job, settings);
    scale.fights = result.fights;
    scale.cancelled = result.cancelled;
    scale.base = result.variants[0];
    for (std::size_t i = 0; i < scale.stats.size(); ++i) {
        StatScale& s = scale.stats[i];
        if (pairOf[i] < 0 || s.high == s.low) continue;
        const auto d = result.pairs[static_cast<std::size_t>(pairOf[i])].interval(scale.result);
        if (!d) continue;
        const double points = s.high - s.low;
        s.perPoint = Interval{d->mean / points, d->low / points, d->high / points};
    }

    // The best stat to raise first: the largest gain, or for the time to
    // fell the Opponent the largest cut.
    const bool lower = lowerIsBetter(scale.result);
    std::stable_sort(scale.stats.begin(), scale.stats.end(),
                     [lower](const StatScale& a, const StatScale& b) {
                         if (a.perPoint.has_value() != b.perPoint.has_value())
                             return a.perPoint.has_value();
                         if (!a.perPoint) return false;
                         return lower ? a.perPoint->mean < b.perPoint->mean
                                      : a.perPoint->mean > b.perPoint->mean;
                     });
    return scale;
}

}  // namespace skarn::analysis
