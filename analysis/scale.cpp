#include "analysis/scale.h"

#include <algorithm>
#include <numeric>

#include "model/run_check.h"

namespace skarn::analysis {

namespace {

using model::statInfo;
using model::StatInfo;

// The order in which the stats are tried, which the ranking of equal
// factors keeps.
constexpr Stat kScaleOrder[] = {Stat::Strength, Stat::Dexterity, Stat::WeaponSkill,
                                Stat::Tactics,  Stat::Parry,     Stat::ArmorRating};

}  // namespace

ScalePlan planScale(const Fighter& you, const Fighter& opp, std::int32_t delta, FightMode mode,
                    std::int64_t fights) {
    ScalePlan plan;
    plan.variants.push_back(variantOf(you, opp));
    // The variant of `you` with `stat` at `value`: the fighter itself when
    // the value is its own.
    const auto variantAt = [&](Stat stat, std::int32_t value, std::string& refused) {
        if (you.stats[stat] == value) return 0;
        const Fighter changed = model::withStat(you, stat, value, !you.hitPoints.stored);
        if (const auto fault = model::findRunFault(changed, opp, mode, fights)) {
            refused = std::string(statInfo(stat).caption) + " " + std::to_string(value) + ": " +
                      fault->message();
            return -1;
        }
        plan.variants.push_back(variantOf(changed, opp));
        return static_cast<int>(plan.variants.size()) - 1;
    };

    for (const Stat stat : kScaleOrder) {
        const StatInfo& info = statInfo(stat);
        StatScale s;
        s.stat = stat;
        s.value = you.stats[stat];
        s.low = std::max(info.low, s.value - delta);
        s.high = std::min(info.high, s.value + delta);
        s.hitPointsFollow = stat == Stat::Strength && !you.hitPoints.stored;
        const int low = variantAt(stat, s.low, s.refused);
        const int high = low < 0 ? -1 : variantAt(stat, s.high, s.refused);
        plan.compared.push_back(low >= 0 && high >= 0 ? std::pair{high, low} : std::pair{-1, -1});
        plan.stats.push_back(s);
    }
    return plan;
}

std::vector<int> scaleOrder(const std::vector<std::optional<double>>& perPoint, Result result) {
    std::vector<int> order(perPoint.size());
    std::iota(order.begin(), order.end(), 0);
    const bool lower = lowerIsBetter(result);
    std::stable_sort(order.begin(), order.end(), [&](int ia, int ib) {
        const std::optional<double>& a = perPoint[static_cast<std::size_t>(ia)];
        const std::optional<double>& b = perPoint[static_cast<std::size_t>(ib)];
        if (a.has_value() != b.has_value()) return a.has_value();
        if (!a) return false;
        return lower ? *a < *b : *a > *b;
    });
    return order;
}

std::vector<Variant> scaleVariants(const Fighter& you, const Fighter& opp, std::int32_t delta,
                                   FightMode mode, std::int64_t fights) {
    return planScale(you, opp, delta, mode, fights).variants;
}

Scale scaleStats(const Fighter& you, const Fighter& opp, std::int32_t delta,
                 const RunSettings& settings) {
    Scale scale;
    scale.result = mainResult(settings.mode);
    scale.mode = settings.mode;
    scale.seed = settings.seed;
    scale.delta = delta;
    ScalePlan plan = planScale(you, opp, delta, settings.mode, settings.fights);
    Job job;
    job.variants = std::move(plan.variants);
    job.pairedResult = scale.result;
    job.targeted = {0};
    std::vector<int> pairOf;  // per stat: its pair in job.pairs, or -1
    for (const auto& [high, low] : plan.compared) {
        if (high < 0) {
            pairOf.push_back(-1);
            continue;
        }
        job.pairs.emplace_back(high, low);
        pairOf.push_back(static_cast<int>(job.pairs.size()) - 1);
    }

    const JobResult result = runJob(job, settings);
    scale.fights = result.fights;
    scale.cancelled = result.cancelled;
    scale.base = result.variants[0];
    std::vector<std::optional<double>> perPoint;
    for (std::size_t i = 0; i < plan.stats.size(); ++i) {
        StatScale& s = plan.stats[i];
        perPoint.emplace_back();
        if (pairOf[i] < 0 || s.high == s.low) continue;
        const auto d = result.pairs[static_cast<std::size_t>(pairOf[i])].interval(scale.result);
        if (!d) continue;
        const double points = s.high - s.low;
        s.perPoint = Interval{d->mean / points, d->low / points, d->high / points};
        perPoint.back() = s.perPoint->mean;
    }
    for (const int i : scaleOrder(perPoint, scale.result))
        scale.stats.push_back(std::move(plan.stats[static_cast<std::size_t>(i)]));
    return scale;
}

}  // namespace skarn::analysis
