#include "analysis/curve.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "model/lookup.h"
#include "model/run_check.h"

namespace skarn::analysis {
namespace {

// Any fight count passes model::findRunFault's count check: an exact
// answer fights none.
constexpr std::int64_t kAnyFights = 1;

std::string subjectOf(Stat stat, std::int32_t value) {
    return std::string(model::statInfo(stat).caption) + " " + std::to_string(value);
}

}  // namespace

std::optional<Curves> exactCurves(const Fighter& you, const Fighter& opp,
                                  const std::vector<Stat>& stats, std::int32_t step,
                                  std::int32_t n, bool hitPointsFollow,
                                  const ExactSettings& settings, ExactRefusal& declined,
                                  bool& cancelled) {
    cancelled = false;
    // Every value any curve or change needs, each matchup worked out once.
    std::vector<Variant> variants{variantOf(you, opp)};
    std::vector<std::pair<Stat, std::int32_t>> subjects{{Stat::Strength, you.stats[Stat::Strength]}};
    std::map<std::pair<Stat, std::int32_t>, std::size_t> indexOf;
    const auto need = [&](Stat stat, std::int32_t value) -> bool {
        if (value == you.stats[stat] || indexOf.count({stat, value}) != 0) return true;
        const Fighter changed = model::withStat(you, stat, value, hitPointsFollow);
        if (const auto fault = model::findRunFault(changed, opp, settings.mode, kAnyFights);
            fault && !fault->tooLong) {
            declined = ExactRefusal{subjectOf(stat, value), 0, fault->message()};
            return false;
        }
        indexOf[{stat, value}] = variants.size();
        variants.push_back(variantOf(changed, opp));
        subjects.push_back({stat, value});
        return true;
    };

    Curves curves;
    curves.mode = settings.mode;
    curves.figure = mainKey(settings.mode).front().figure;
    curves.hitPointsFollow = hitPointsFollow;
    curves.step = step;
    curves.n = n;
    for (const Stat stat : stats) {
        const model::StatInfo& info = model::statInfo(stat);
        StatCurve curve;
        curve.stat = stat;
        curve.current = you.stats[stat];
        for (std::int64_t v = info.low;; v += step) {
            const auto value = static_cast<std::int32_t>(std::min<std::int64_t>(v, info.high));
            if (!need(stat, value)) return std::nullopt;
            curve.points.push_back({value, 0.0});
            if (value == info.high) break;
        }
        const auto move = [&](std::int64_t to) -> std::optional<StatChange> {
            const auto value = static_cast<std::int32_t>(std::clamp<std::int64_t>(to, info.low, info.high));
            if (value == curve.current) return std::nullopt;
            return StatChange{value, 0.0};
        };
        curve.minus = move(static_cast<std::int64_t>(curve.current) - n);
        curve.plus = move(static_cast<std::int64_t>(curve.current) + n);
        curve.next = move(static_cast<std::int64_t>(curve.current) + 1);
        for (const auto& change : {curve.minus, curve.plus, curve.next})
            if (change && !need(stat, change->value)) return std::nullopt;
        curves.stats.push_back(std::move(curve));
    }

    const auto outcomes = exactOutcomes(variants, settings, declined, cancelled);
    if (!outcomes) {
        if (!cancelled) {
            const auto [stat, value] = subjects[static_cast<std::size_t>(declined.index)];
            declined.subject = declined.index == 0 ? model::quoteName(you.name) : subjectOf(stat, value);
        }
        return std::nullopt;
    }
    const auto figureAt = [&](Stat stat, std::int32_t value) {
        const std::size_t i = value == you.stats[stat] ? 0 : indexOf.at({stat, value});
        return mainFigure((*outcomes)[i].odds);
    };
    curves.now = mainFigure((*outcomes)[0].odds);
    for (StatCurve& curve : curves.stats) {
        for (CurvePoint& point : curve.points) point.figure = figureAt(curve.stat, point.value);
        for (std::optional<StatChange>* change : {&curve.minus, &curve.plus, &curve.next})
            if (*change) (*change)->change = figureAt(curve.stat, (*change)->value) - curves.now;
    }
    return curves;
}

}  // namespace skarn::analysis
