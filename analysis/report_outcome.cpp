#include "analysis/report_outcome.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "model/lookup.h"
#include "model/modes.h"
#include "model/stats.h"

namespace skarn::report {

namespace {

using model::Fighter;
using model::quoteName;

Column textColumn(std::string caption, Align align = Align::Left) {
    return Column{"", std::move(caption), "", align, kTextView};
}

Column csvColumn(std::string key, std::string unit = {}) {
    return Column{std::move(key), "", std::move(unit), Align::Left, kCsvView};
}

Cell orEmpty(const std::optional<Interval>& interval, double Interval::*part) {
    return interval ? Cell::ofReal((*interval).*part, 2) : Cell::empty();
}

std::string weaponText(const Fighter& f) {
    return quoteName(f.weaponName) + " (" + std::string(weaponTypeName(f.weaponType)) + ")";
}

std::string shieldText(const Fighter& f) {
    if (f.hasShield) return quoteName(f.shieldName);
    return f.shieldDroppedForHands ? "none (two-handed weapon)" : "none";
}

}  // namespace

Table fightersTable(const Fighter& you, const Fighter& opp) {
    Table table;
    table.key = "fighters";
    table.views = kTextView;
    table.columns = {textColumn(""), textColumn("You"), textColumn("Opponent")};
    const auto row = [&table](std::string caption, std::string yours, std::string opps) {
        table.rows.push_back({Cell::ofText(std::move(caption)), Cell::ofText(std::move(yours)),
                              Cell::ofText(std::move(opps))});
    };
    const auto hitPoints = [](const Fighter& f) {
        return std::to_string(f.hitPoints.value) + (f.hitPoints.stored ? "" : " (Str.)");
    };
    const auto absorb = [](const Fighter& f) {
        return f.hasShield ? std::to_string(f.shieldAbsorb) : "-";
    };
    row("name", quoteName(you.name), quoteName(opp.name));
    for (const model::Stat stat : model::kStats) {
        row(model::statInfo(stat).caption, std::to_string(you.stats[stat]),
            std::to_string(opp.stats[stat]));
    }
    row("hit points", hitPoints(you), hitPoints(opp));
    row("weapon", weaponText(you), weaponText(opp));
    row("speed", std::to_string(you.weapon.speed), std::to_string(opp.weapon.speed));
    row("damage", damageText(you.weapon), damageText(opp.weapon));
    row("hands", std::to_string(you.weapon.hands), std::to_string(opp.weapon.hands));
    row("shield", shieldText(you), shieldText(opp));
    row("absorb", absorb(you), absorb(opp));
    return table;
}

namespace {

// The results as text shows them: per result its label, the value as the
// Results dialog shows it, the mean and the 95% interval.
Table resultsTable(const analysis::Outcome& outcome, const std::optional<Target>& target) {
    Table table;
    table.key = "results";
    table.views = kTextView;
    table.columns = {
        textColumn(""),
        Column{"value", "result", "", Align::Right, kTextView},
        Column{"mean", "mean", "", Align::Right, kTextView},
        textColumn("95% interval"),
    };
    // The results are cut as the Results dialog cuts them; the intervals
    // surround the unrounded means, shown beside them.
    const double n = static_cast<double>(outcome.fights);
    const RunTotals& t = outcome.totals;
    const RunResults& r = outcome.results;
    const analysis::RunIntervals& ci = outcome.intervals;
    const std::string noInterval = noIntervalText(outcome.fights);
    const auto row = [&](Result result, double value, Cell mean,
                         const std::optional<Interval>& interval) {
        table.rows.push_back({Cell::ofText(resultLabel(result)),
                              Cell::ofReal(value, kResultDigits), std::move(mean),
                              Cell::ofText(intervalText(interval, noInterval))});
    };
    // Only "Fight to the death" counts wins: elsewhere text shows no mean.
    Cell winMean = Cell::ofReal(t.winCount * 100.0 / n, 2);
    if (outcome.mode != ToTheDeath) winMean = std::move(winMean).shown("-");
    row(Result::WinPercent, r.resultWinPercent, std::move(winMean), ci.winPercent);
    row(Result::DamageTaken, r.resultDamageTaken, Cell::ofReal(t.damageTakenSum / n, 2),
        ci.damageTaken);
    row(Result::DamageGiven, r.resultDamageGiven, Cell::ofReal(t.damageGivenSum / n, 2),
        ci.damageGiven);
    row(Result::Time, r.resultTime, Cell::ofReal(t.tickSum / n / 100.0, 2), ci.time);
    if (target) table.notes.push_back(targetNote(*target, outcome.targetReached, outcome.fights));
    return table;
}

// The CSV of a run: one table, a row per result ("kind" result: the value
// as the Results dialog shows it, the mean and the 95% interval), then a
// row per bin of each histogram ("kind" histogram: the fights from one edge
// to the next, with the fights below and past the bins).
Table outcomeCsvTable(const analysis::Outcome& outcome) {
    Table table;
    table.key = "outcome";
    table.views = kCsvView;
    table.columns = {csvColumn("kind"), csvColumn("result"), csvColumn("value"),
                     csvColumn("mean"), csvColumn("low"),    csvColumn("high"),
                     csvColumn("from"), csvColumn("to"),     csvColumn("count", "fights")};
    const double n = static_cast<double>(outcome.fights);
    const RunTotals& t = outcome.totals;
    const RunResults& r = outcome.results;
    const analysis::RunIntervals& ci = outcome.intervals;
    const auto row = [&](Result result, double value, double mean,
                         const std::optional<Interval>& interval) {
        table.rows.push_back({Cell::ofText("result"), Cell::ofText(analysis::resultKey(result)),
                              Cell::ofReal(value, kResultDigits), Cell::ofReal(mean, 2),
                              orEmpty(interval, &Interval::low), orEmpty(interval, &Interval::high),
                              Cell::empty(), Cell::empty(), Cell::empty()});
    };
    row(Result::WinPercent, r.resultWinPercent, t.winCount * 100.0 / n, ci.winPercent);
    row(Result::DamageTaken, r.resultDamageTaken, t.damageTakenSum / n, ci.damageTaken);
    row(Result::DamageGiven, r.resultDamageGiven, t.damageGivenSum / n, ci.damageGiven);
    row(Result::Time, r.resultTime, t.tickSum / n / 100.0, ci.time);
    if (!outcome.histograms) return table;
    for (const Spread spread : kSpreads) {
        const analysis::Histogram& histogram =
            (*outcome.histograms)[static_cast<std::size_t>(spread)];
        const auto edge = [&](int k) {
            return Cell::ofReal(inSpreadUnit(spread, static_cast<double>(histogram.edge(k))),
                                kResultDigits);
        };
        const auto bin = [&](Cell from, Cell to, std::int64_t count) {
            table.rows.push_back({Cell::ofText("histogram"), Cell::ofText(spreadKey(spread)),
                                  Cell::empty(), Cell::empty(), Cell::empty(), Cell::empty(),
                                  std::move(from), std::move(to), Cell::ofWhole(count)});
        };
        if (histogram.below() > 0) bin(Cell::empty(), edge(0), histogram.below());
        for (int k = 0; k < histogram.bins(); ++k) bin(edge(k), edge(k + 1), histogram.count(k));
        if (histogram.above() > 0) bin(edge(histogram.bins()), Cell::empty(), histogram.above());
    }
    return table;
}

// The occupied bins of one histogram, with a bar of up to 40 characters
// for each, and the fights outside the bins.
Table histogramTextTable(Spread spread, const analysis::Histogram& histogram) {
    Table table;
    table.key = spreadKey(spread);
    table.views = kTextView;
    table.header = false;
    table.indent = 2;
    table.columns = {Column{"from", "", spreadUnit(spread), Align::Right, kTextView},
                     textColumn("to"),
                     Column{"count", "", "fights", Align::Right, kTextView}, textColumn("")};
    const auto value = [spread](double v) { return inSpreadUnit(spread, v); };
    const analysis::Percentiles p = analysis::percentilesOf(histogram);
    table.title = std::string(spreadTitle(spread)) + " (5th, 50th, 95th percentile: " +
                  fixed2(value(p.p5)) + ", " + fixed2(value(p.p50)) + ", " +
                  fixed2(value(p.p95)) + ")";
    const auto edge = [&](int k) {
        return Cell::ofReal(value(static_cast<double>(histogram.edge(k))), kResultDigits);
    };
    const auto edgeText = [&](const char* before, int k) {
        return Cell::ofText(before + resultText(value(static_cast<double>(histogram.edge(k)))));
    };
    const BinRange bins = occupiedBins(histogram);
    std::int64_t largest = 1;
    for (int k = bins.first; k <= bins.last; ++k) largest = std::max(largest, histogram.count(k));
    if (histogram.below() > 0) {
        table.rows.push_back({edgeText("below ", 0), Cell::empty(),
                              Cell::ofWhole(histogram.below()), Cell::empty()});
    }
    for (int k = bins.first; k <= bins.last; ++k) {
        const std::int64_t count = histogram.count(k);
        const auto bar = static_cast<std::size_t>(
            count == 0 ? 0 : std::max<std::int64_t>(1, count * 40 / largest));
        table.rows.push_back({edge(k), edgeText("to ", k + 1), Cell::ofWhole(count),
                              Cell::ofText(std::string(bar, '#'))});
    }
    if (histogram.above() > 0) {
        table.rows.push_back({edgeText("from ", histogram.bins()), Cell::empty(),
                              Cell::ofWhole(histogram.above()), Cell::empty()});
    }
    return table;
}

}  // namespace

Report outcomeReport(const analysis::Outcome& outcome, std::string_view you, std::string_view opp,
                     const std::optional<Target>& target) {
    Report report;
    report.context.you = std::string(you);
    report.context.opp = std::string(opp);
    report.context.mode = outcome.mode;
    report.context.seed = outcome.seed;
    report.context.fights = outcome.fights;
    report.heading.push_back("seed " + std::to_string(outcome.seed) + ", mode " +
                             model::modeName(outcome.mode) + " (" +
                             model::modeCaption(outcome.mode) + "), " +
                             std::to_string(outcome.fights) + " fights");
    report.tables.push_back(resultsTable(outcome, target));
    report.tables.push_back(outcomeCsvTable(outcome));
    if (outcome.histograms) {
        for (const Spread spread : kSpreads) {
            report.tables.push_back(histogramTextTable(
                spread, (*outcome.histograms)[static_cast<std::size_t>(spread)]));
        }
    }
    return report;
}

}  // namespace skarn::report
