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

// The report of `scale`, whose fighter as it is has the result `baseMean`
// with `baseInterval` (none for exact figures).
Report scaleReportOf(const analysis::Scale& scale, double baseMean,
                     const std::optional<Interval>& baseInterval, std::string_view you,
                     std::string_view opp) {
    const Result result = scale.result;
    const bool exact = scale.method == analysis::Method::Exact;
    Report report;
    report.context.you = std::string(you);
    report.context.opp = std::string(opp);
    report.context.mode = scale.mode;
    report.context.method = scale.method;
    if (!exact) {
        report.context.seed = scale.seed;
        report.context.fights = scale.fights;
    }
    report.heading.push_back(
        "Scale factors for " + quoteName(you) + " against " + quoteName(opp) + ": " +
        (exact ? std::string("exact odds") : "seed " + std::to_string(scale.seed)) + ", mode " +
        model::modeName(scale.mode) + ", " +
        (exact ? std::string() : std::to_string(scale.fights) + " fights each, ") + "+-" +
        std::to_string(scale.delta) + " points");
    report.heading.push_back("Now: " + std::string(nowCaption(result)) + " " + fixed2(baseMean) +
                             (exact ? std::string()
                                    : " " + intervalText(baseInterval,
                                                         noIntervalText(scale.fights))));

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
        Column{"tried_low", "", "points", Align::Left, kCsvView},
        Column{"tried_high", "", "points", Align::Left, kCsvView},
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
            exact ? Cell::empty() : orEmpty(s.perPoint, &Interval::low, decimals),
            exact ? Cell::empty() : orEmpty(s.perPoint, &Interval::high, decimals),
            Cell::ofText(perDeltaText(s, scale.delta, result)),
        });
        if (!s.refused.empty()) table.notes.push_back(refusedNote(s));
        if (s.oneSided()) table.notes.push_back(oneSidedNote(s) + " (one-sided)");
        if (s.hitPointsFollow)
            table.notes.push_back("Str.: " + hitPointsFollowNote(quoteName(you)));
    }
    if (exact) {
        // No noise, so no interval: text leaves out its column.
        for (std::size_t c = table.columns.size(); c-- > 0;) {
            if (table.columns[c].caption != "95% interval") continue;
            table.columns.erase(table.columns.begin() + static_cast<std::ptrdiff_t>(c));
            for (std::vector<Cell>& row : table.rows)
                row.erase(row.begin() + static_cast<std::ptrdiff_t>(c));
        }
    }
    return report;
}

}  // namespace

Report scaleReport(const analysis::Scale& scale, std::string_view you, std::string_view opp) {
    return scaleReportOf(scale, scale.base.mean(scale.result),
                         analysis::intervalOf(scale.base.intervals(scale.mode), scale.result), you,
                         opp);
}

Report exactScaleReport(const analysis::ExactScale& exact, std::string_view you,
                        std::string_view opp) {
    analysis::Scale scale;
    scale.method = analysis::Method::Exact;
    scale.result = exact.result;
    scale.mode = exact.mode;
    scale.delta = exact.delta;
    for (const analysis::ExactStatScale& e : exact.stats) {
        StatScale s;
        s.stat = e.stat;
        s.value = e.value;
        s.low = e.low;
        s.high = e.high;
        s.hitPointsFollow = e.hitPointsFollow;
        s.refused = e.refused;
        // The change alone, without bounds.
        if (e.perPoint) s.perPoint = Interval{*e.perPoint, *e.perPoint, *e.perPoint};
        scale.stats.push_back(std::move(s));
    }
    return scaleReportOf(scale, exact.base.mean(exact.result), std::nullopt, you, opp);
}

}  // namespace skarn::report
