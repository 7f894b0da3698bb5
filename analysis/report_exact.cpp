#include "analysis/report_exact.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/report_words.h"
#include "model/modes.h"

namespace skarn::report {

namespace {

// Decimals of the exact means and deviations in text.
constexpr int kExactDecimals = 4;
// The most rows of a distribution in text.
constexpr int kMostBins = 20;
// The longest bar of a distribution in text.
constexpr double kBarWidth = 40.0;

const ExactLaw& lawOf(const analysis::ExactOutcome& outcome, Spread spread) {
    switch (spread) {
    case Spread::DamageGiven: return outcome.odds.damageGivenLaw;
    case Spread::DamageTaken: return outcome.odds.damageTakenLaw;
    case Spread::Time: break;
    }
    return outcome.odds.timeLaw;
}

const analysis::ExactPercentiles& percentilesOf(const analysis::ExactOutcome& outcome,
                                                Spread spread) {
    switch (spread) {
    case Spread::DamageGiven: return outcome.damageGiven;
    case Spread::DamageTaken: return outcome.damageTaken;
    case Spread::Time: break;
    }
    return outcome.time;
}

constexpr Result kResults[] = {Result::WinPercent, Result::DamageTaken, Result::DamageGiven,
                               Result::Time};

// The distribution of a result, or nothing for the win %.
std::optional<Spread> spreadOf(Result result) {
    switch (result) {
    case Result::DamageGiven: return Spread::DamageGiven;
    case Result::DamageTaken: return Spread::DamageTaken;
    case Result::Time: return Spread::Time;
    case Result::WinPercent: break;
    }
    return std::nullopt;
}

double cutResult(Result result, double mean) {
    return truncateTo(mean, result == Result::Time ? 0 : 1);
}

Column textColumn(std::string caption, Align align = Align::Left) {
    return Column{"", std::move(caption), "", align, kTextView};
}

Column csvColumn(std::string key, std::string unit = {}) {
    return Column{std::move(key), "", std::move(unit), Align::Left, kCsvView};
}

// A probability in percent for text: "12.34", "<0.01" for a tail.
std::string percentText(double probability) {
    const double percent = probability * 100.0;
    if (percent > 0.0 && percent < 0.005) return "<0.01";
    return fixedText(percent, 2);
}

Table resultsTable(const analysis::ExactOutcome& outcome) {
    Table table;
    table.key = "results";
    table.views = kTextView;
    table.columns = {textColumn(""),
                     textColumn("result", Align::Right),
                     textColumn("mean", Align::Right),
                     textColumn("sd", Align::Right),
                     textColumn("5th", Align::Right),
                     textColumn("50th", Align::Right),
                     textColumn("95th", Align::Right)};
    const RunResults cut = cutResults(outcome);
    const double values[] = {cut.resultWinPercent, cut.resultDamageTaken, cut.resultDamageGiven,
                             cut.resultTime};
    for (std::size_t i = 0; i < 4; ++i) {
        const Result result = kResults[i];
        std::vector<Cell> row{Cell::ofText(resultLabel(result)),
                              Cell::ofReal(values[i], kResultDigits)};
        const std::optional<ExactFigure> figure = outcome.figure(result);
        row.push_back(figure ? Cell::ofReal(figure->mean, kExactDecimals) : Cell::ofText("-"));
        row.push_back(figure ? Cell::ofReal(figure->sd, kExactDecimals) : Cell::ofText("-"));
        if (const auto spread = spreadOf(result)) {
            const analysis::ExactPercentiles& p = percentilesOf(outcome, *spread);
            for (const double v : {p.p5, p.p50, p.p95}) row.push_back(Cell::ofReal(v, kResultDigits));
        } else {
            for (int k = 0; k < 3; ++k) row.push_back(Cell::empty());
        }
        table.rows.push_back(std::move(row));
    }
    if (!outcome.odds.winPercent)
        table.notes.push_back("Your Win %: not counted in this mode.");
    table.notes.push_back("Exact odds: no sampling and no interval; probability left unaccounted: " +
                          shortText(outcome.odds.unaccounted) + ".");
    return table;
}

Table outcomeCsvTable(const analysis::ExactOutcome& outcome) {
    Table table;
    table.key = "outcome";
    table.views = kCsvView;
    table.columns = {csvColumn("kind"), csvColumn("result"), csvColumn("value"),
                     csvColumn("mean"), csvColumn("sd"),     csvColumn("low"),
                     csvColumn("high"), csvColumn("p5"),     csvColumn("p50"),
                     csvColumn("p95"),  csvColumn("probability")};
    const RunResults cut = cutResults(outcome);
    const double values[] = {cut.resultWinPercent, cut.resultDamageTaken, cut.resultDamageGiven,
                             cut.resultTime};
    const auto real = [](double v) { return Cell::ofReal(v, kResultDigits); };
    for (std::size_t i = 0; i < 4; ++i) {
        const Result result = kResults[i];
        const std::optional<ExactFigure> figure = outcome.figure(result);
        std::vector<Cell> row{Cell::ofText("result"), Cell::ofText(analysis::resultKey(result)),
                              real(values[i]),
                              figure ? real(figure->mean) : Cell::empty(),
                              figure ? real(figure->sd) : Cell::empty(),
                              Cell::empty(), Cell::empty()};
        if (const auto spread = spreadOf(result)) {
            const analysis::ExactPercentiles& p = percentilesOf(outcome, *spread);
            for (const double v : {p.p5, p.p50, p.p95}) row.push_back(real(v));
        } else {
            for (int k = 0; k < 3; ++k) row.push_back(Cell::empty());
        }
        row.push_back(Cell::empty());
        table.rows.push_back(std::move(row));
    }
    std::vector<Cell> unaccounted(table.columns.size());
    unaccounted.front() = Cell::ofText("unaccounted");
    unaccounted.back() = real(outcome.odds.unaccounted);
    table.rows.push_back(std::move(unaccounted));
    for (const Spread spread : kSpreads) {
        for (const ExactPoint& point : lawOf(outcome, spread)) {
            std::vector<Cell> row(table.columns.size());
            row[0] = Cell::ofText("distribution");
            row[1] = Cell::ofText(spreadKey(spread));
            row[2] = real(point.value);
            row.back() = real(point.probability);
            table.rows.push_back(std::move(row));
        }
    }
    return table;
}

// The width of the bins of a law spanning `span` in at most kMostBins:
// 1, 2 or 5 times a power of ten, at least `least`.
double binWidth(double span, double least) {
    double width = least;
    for (int step = 0; width * kMostBins < span; ++step) {
        width = (step % 3 == 0 ? 2.0 : step % 3 == 1 ? 2.5 : 2.0) * width;
    }
    return width;
}

// One distribution as text: each value when there are few, else the
// values grouped into bins of equal width, with a bar of up to 40
// characters for each; the thousandth of the probability at each end in
// a row of its own.
Table distributionTable(const analysis::ExactOutcome& outcome, Spread spread) {
    const ExactLaw& law = lawOf(outcome, spread);
    const analysis::ExactPercentiles& p = percentilesOf(outcome, spread);
    Table table;
    table.key = spreadKey(spread);
    table.views = kTextView;
    table.header = false;
    table.indent = 2;
    table.title = std::string(spreadTitle(spread)) + " (5th, 50th, 95th percentile: " +
                  resultText(p.p5) + ", " + resultText(p.p50) + ", " + resultText(p.p95) + ")";
    table.columns = {Column{"", "", spreadUnit(spread), Align::Right, kTextView}, textColumn(""),
                     Column{"", "", "%", Align::Right, kTextView}, textColumn("")};
    struct Bin {
        std::string from, to;
        double probability = 0.0;
    };
    // Rounded to the hundredth so that sums of steps show as the edges.
    const auto shown = [](double v) { return resultText(std::round(v * 100.0) / 100.0); };
    // The far tails (a thousandth of the fights at each end) are one row
    // each, so that the rows show where the fights are.
    const double lowest = percentile(law, 0.001);
    const double highest = percentile(law, 0.999);
    double below = 0.0, above = 0.0;
    ExactLaw middle;
    for (const ExactPoint& point : law) {
        if (point.value < lowest) below += point.probability;
        else if (point.value > highest) above += point.probability;
        else middle.push_back(point);
    }
    std::vector<Bin> bins;
    if (below > 0.0) bins.push_back({"below " + shown(lowest), "", below});
    if (middle.size() <= static_cast<std::size_t>(kMostBins)) {
        for (const ExactPoint& point : middle) bins.push_back({shown(point.value), "", point.probability});
    } else {
        // Damage comes in whole points, time in hundredths of a second.
        const double least = spread == Spread::Time ? 0.01 : 1.0;
        const double width = binWidth(middle.back().value - middle.front().value, least);
        const double first = std::floor(middle.front().value / width + 1e-9) * width;
        const std::size_t start = bins.size();
        for (const ExactPoint& point : middle) {
            const auto k = start + static_cast<std::size_t>(
                                       std::floor((point.value - first) / width + 1e-9));
            while (bins.size() <= k) {
                const double from = first + width * static_cast<double>(bins.size() - start);
                bins.push_back({shown(from), "to " + shown(from + width), 0.0});
            }
            bins[k].probability += point.probability;
        }
    }
    if (above > 0.0) bins.push_back({"above " + shown(highest), "", above});
    double largest = 0.0;
    for (const Bin& bin : bins) largest = std::max(largest, bin.probability);
    for (const Bin& bin : bins) {
        const auto bar = static_cast<std::size_t>(
            bin.probability > 0.0 && largest > 0.0
                ? std::max(1.0, std::floor(bin.probability / largest * kBarWidth))
                : 0.0);
        table.rows.push_back({Cell::ofText(bin.from), Cell::ofText(bin.to),
                              Cell::ofText(percentText(bin.probability) + " %"),
                              Cell::ofText(std::string(bar, '#'))});
    }
    return table;
}

}  // namespace

RunResults cutResults(const analysis::ExactOutcome& outcome) {
    RunResults results;
    results.resultWinPercent = cutResult(Result::WinPercent, outcome.mean(Result::WinPercent));
    results.resultDamageTaken = cutResult(Result::DamageTaken, outcome.mean(Result::DamageTaken));
    results.resultDamageGiven = cutResult(Result::DamageGiven, outcome.mean(Result::DamageGiven));
    results.resultTime = cutResult(Result::Time, outcome.mean(Result::Time));
    return results;
}

Report exactOutcomeReport(const analysis::ExactOutcome& outcome, std::string_view you,
                          std::string_view opp) {
    Report report;
    report.context.you = std::string(you);
    report.context.opp = std::string(opp);
    report.context.mode = outcome.mode;
    report.context.method = analysis::Method::Exact;
    report.heading.push_back(std::string("exact odds, mode ") + model::modeName(outcome.mode) +
                             " (" + model::modeCaption(outcome.mode) + ")");
    report.tables.push_back(resultsTable(outcome));
    report.tables.push_back(outcomeCsvTable(outcome));
    for (const Spread spread : kSpreads) {
        if (spread == Spread::Time && outcome.mode == DamagePer60Seconds) continue;
        if (lawOf(outcome, spread).empty()) continue;
        Table table = distributionTable(outcome, spread);
        table.section = "Distributions (probability per fight)";
        report.tables.push_back(std::move(table));
    }
    return report;
}

}  // namespace skarn::report
