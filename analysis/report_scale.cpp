#include "analysis/report_scale.h"

#include <string>
#include <utility>

#include "analysis/report_words.h"
#include "model/lookup.h"
#include "model/modes.h"
#include "model/stats.h"

namespace skarn::report {

namespace {

using analysis::StatScale;
using model::quoteName;

// The result now, in the words of the heading.
const char* nowCaption(Result result) {
    switch (result) {
    case Result::Time: return "seconds to fell the Opponent";
    case Result::WinPercent: return "win %";
    default: return "damage given per fight (60 s)";
    }
}

// "+10 Str. ~ +1.39 damage given": what `delta` points more change.
std::string perDeltaText(const StatScale& s, std::int32_t delta, Result result) {
    if (!s.perPoint) return "";
    const std::string unit = result == Result::WinPercent ? " % win"
                             : result == Result::Time    ? " s to fell"
                                                         : " " + std::string(resultCaption(result));
    return "+" + std::to_string(delta) + " " + model::statInfo(s.stat).caption + " ~ " +
           signedFixed(s.perPoint->mean * delta, 2) + unit;
}

Cell orEmpty(const std::optional<Interval>& interval, double Interval::*part, int decimals) {
    return interval ? Cell::ofReal((*interval).*part, decimals, true) : Cell::empty();
}

}  // namespace

Report scaleReport(const analysis::Scale& scale, std::string_view you, std::string_view opp) {
    const Result result = scale.result;
    const auto baseInterval = analysis::intervalOf(scale.base.intervals(scale.mode), result);
    Report report;
    report.context = Context{std::string(you), std::string(opp), scale.mode, scale.seed,
                             scale.fights};
    report.heading.push_back("Scale factors for " + quoteName(you) + " against " +
                             quoteName(opp) + ": seed " + std::to_string(scale.seed) +
                             ", mode " + model::modeName(scale.mode) + ", " +
                             std::to_string(scale.fights) + " fights each, +-" +
                             std::to_string(scale.delta) + " points");
    report.heading.push_back("Now: " + std::string(nowCaption(result)) + " " +
                             fixed2(scale.base.mean(result)) + " " +
                             intervalText(baseInterval, noIntervalText(scale.fights)));

    const int decimals = scaleDecimals(scale);
    const std::string unit = std::string(resultColumnUnit(result)) + " per point";
    Table& table = report.tables.emplace_back();
    table.key = "scale";
    table.columns = {
        Column{"", "#", "", Align::Right, kTextView},
        Column{"", "stat", "", Align::Left, kTextView},
        Column{"stat", "", "", Align::Left, kCsvView},
        Column{"value", "value", "points", Align::Right, kEveryView},
        Column{"", "tried", "points", Align::Left, kTextView},
        Column{"low", "", "points", Align::Left, kCsvView},
        Column{"high", "", "points", Align::Left, kCsvView},
        Column{"oneSided", "", "", Align::Left, kCsvView},
        Column{"hitPointsFollow", "", "", Align::Left, kCsvView},
        Column{"perPoint", "per point", unit, Align::Right, kEveryView},
        Column{"", "95% interval", unit, Align::Left, kTextView},
        Column{"perPointLow", "", unit, Align::Left, kCsvView},
        Column{"perPointHigh", "", unit, Align::Left, kCsvView},
        Column{"", "", "", Align::Left, kTextView},
    };
    for (std::size_t i = 0; i < scale.stats.size(); ++i) {
        const StatScale& s = scale.stats[i];
        const model::StatInfo& info = model::statInfo(s.stat);
        Cell perPoint = orEmpty(s.perPoint, &Interval::mean, decimals);
        if (!s.perPoint) perPoint = std::move(perPoint).shown("-");
        table.rows.push_back({
            Cell::ofWhole(static_cast<std::int64_t>(i + 1)),
            Cell::ofText(info.caption),
            Cell::ofText(info.jsonKey),
            Cell::ofWhole(s.value),
            Cell::ofText(std::to_string(s.low) + ".." + std::to_string(s.high)),
            Cell::ofWhole(s.low),
            Cell::ofWhole(s.high),
            Cell::ofText(s.oneSided() ? "true" : "false"),
            Cell::ofText(s.hitPointsFollow ? "true" : "false"),
            std::move(perPoint),
            Cell::ofText(signedIntervalText(s.perPoint, decimals)),
            orEmpty(s.perPoint, &Interval::low, decimals),
            orEmpty(s.perPoint, &Interval::high, decimals),
            Cell::ofText(perDeltaText(s, scale.delta, result)),
        });
        if (!s.refused.empty()) table.notes.push_back(refusedNote(s));
        if (s.oneSided()) table.notes.push_back(oneSidedNote(s) + " (one-sided)");
        if (s.hitPointsFollow)
            table.notes.push_back("Str.: " + hitPointsFollowNote(quoteName(you)));
    }
    return report;
}

}  // namespace skarn::report
