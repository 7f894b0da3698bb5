#include "analysis/exact_scale.h"

#include "model/lookup.h"

namespace skarn::analysis {

namespace {

// Any fight count passes model::findRunFault's count check; the refusals
// of a scale do not depend on it.
constexpr std::int64_t kAnyFights = 1;

// Names the fighter of a scale that a refusal is about.
ExactRefusal aboutVariant(ExactRefusal refusal, const ScalePlan& plan, const Fighter& you) {
    refusal.subject = model::quoteName(you.name);  // the fighter as it is, variant 0
    for (std::size_t s = 0; s < plan.stats.size() && refusal.index > 0; ++s) {
        const auto [high, low] = plan.compared[s];
        if (refusal.index != high && refusal.index != low) continue;
        const std::int32_t value = refusal.index == high ? plan.stats[s].high : plan.stats[s].low;
        refusal.subject =
            std::string(model::statInfo(plan.stats[s].stat).caption) + " " + std::to_string(value);
        break;
    }
    return refusal;
}

}  // namespace

std::optional<ExactRefusal> findExactScaleRefusal(const Fighter& you, const Fighter& opp,
                                                  std::int32_t delta, FightMode mode) {
    const ScalePlan plan = planScale(you, opp, delta, mode, kAnyFights);
    const auto refusal = findExactRefusal(plan.variants, mode);
    if (!refusal) return std::nullopt;
    return aboutVariant(*refusal, plan, you);
}

std::optional<ExactScale> exactScale(const Fighter& you, const Fighter& opp, std::int32_t delta,
                                     const ExactSettings& settings, ExactRefusal& declined,
                                     bool& cancelled) {
    const ScalePlan plan = planScale(you, opp, delta, settings.mode, kAnyFights);
    ExactRefusal refusal;
    auto outcomes = exactOutcomes(plan.variants, settings, refusal, cancelled);
    if (!outcomes) {
        if (!cancelled) declined = aboutVariant(refusal, plan, you);
        return std::nullopt;
    }

    ExactScale scale;
    scale.result = mainResult(settings.mode);
    scale.mode = settings.mode;
    scale.delta = delta;
    scale.base = (*outcomes)[0];
    std::vector<ExactStatScale> stats;
    std::vector<std::optional<double>> perPoint;
    for (std::size_t i = 0; i < plan.stats.size(); ++i) {
        const StatScale& planned = plan.stats[i];
        ExactStatScale s;
        s.stat = planned.stat;
        s.value = planned.value;
        s.low = planned.low;
        s.high = planned.high;
        s.hitPointsFollow = planned.hitPointsFollow;
        s.refused = planned.refused;
        const auto [high, low] = plan.compared[i];
        if (high >= 0 && s.high != s.low) {
            s.atLow = (*outcomes)[static_cast<std::size_t>(low)];
            s.atHigh = (*outcomes)[static_cast<std::size_t>(high)];
            // A stat that changes no fight gives the engine the same input,
            // and so the same bits: a difference of exactly 0.
            s.perPoint = (s.atHigh->mean(scale.result) - s.atLow->mean(scale.result)) /
                         static_cast<double>(s.high - s.low);
        }
        perPoint.push_back(s.perPoint);
        stats.push_back(std::move(s));
    }
    for (const int i : scaleOrder(perPoint, scale.result))
        scale.stats.push_back(std::move(stats[static_cast<std::size_t>(i)]));
    return scale;
}

}  // namespace skarn::analysis
