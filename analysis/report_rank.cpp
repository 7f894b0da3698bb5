#include "analysis/report_rank.h"

#include <algorithm>
#include <string>
#include <utility>

#include "data/records.h"
#include "model/lookup.h"
#include "model/modes.h"

namespace skarn::report {

namespace {

using analysis::RankBy;
using analysis::RankEntry;
using model::quoteName;

// Up to 30 characters, in proportion to the largest value; none for a
// value that shows as 0.00 (an exact chance of 1e-20 is no bar).
std::string bar(double value, double largest) {
    constexpr int kWidth = 30;
    if (!(largest > 0.0) || value < 0.005) return "";
    const int length = std::max(1, static_cast<int>(value / largest * kWidth + 0.5));
    return std::string(static_cast<std::size_t>(std::min(length, kWidth)), '#');
}

Cell orEmpty(const std::optional<Interval>& interval, double Interval::*part, bool sign = false) {
    return interval ? Cell::ofReal((*interval).*part, 2, sign) : Cell::empty();
}

}  // namespace

Report rankReport(const analysis::Ranking& ranking, RankBy by, bool allTypes, std::string_view you,
                  std::string_view opp, const std::optional<Target>& target) {
    const bool byWeapon = by == RankBy::Weapon;
    const std::string what = byWeapon ? "weapon" : "shield";
    const Result result = ranking.result;
    const std::string caption = result == Result::Time ? "seconds to fell" : resultCaption(result);
    const std::string unit = resultColumnUnit(result);

    const bool exact = ranking.method == analysis::Method::Exact;

    Report report;
    report.context.you = std::string(you);
    report.context.opp = std::string(opp);
    report.context.mode = ranking.mode;
    report.context.method = ranking.method;
    if (!exact) {
        report.context.seed = ranking.seed;
        report.context.fights = ranking.fights;
    }
    const std::string how = exact ? std::string("exact odds")
                                  : "seed " + std::to_string(ranking.seed);
    report.heading.push_back("Ranking " + what + "s for " + quoteName(you) + " against " +
                             quoteName(opp) + ": " + how + ", mode " +
                             model::modeName(ranking.mode) + ", " +
                             (exact ? std::string()
                                    : std::to_string(ranking.fights) + " fights each, ") +
                             (analysis::lowerIsBetter(result) ? "lowest" : "highest") + " " +
                             caption + " first");

    Table& table = report.tables.emplace_back();
    table.key = "ranking";
    table.columns = {
        Column{"rank", "#", "", Align::Right, kEveryView},
        Column{"", what, "", Align::Left, kTextView},
        Column{what, "", "", Align::Left, kCsvView},
        Column{"weaponType", "", "", Align::Left, kCsvView},
        Column{analysis::resultKey(result), caption, unit, Align::Right, kEveryView},
        Column{"", "95% interval", unit, Align::Left, kTextView},
        Column{"low", "", unit, Align::Left, kCsvView},
        Column{"high", "", unit, Align::Left, kCsvView},
        Column{"versusBest", "vs best", unit, Align::Right, kEveryView},
        Column{"", "95% interval", unit, Align::Left, kTextView},
        Column{"versusBestLow", "", unit, Align::Left, kCsvView},
        Column{"versusBestHigh", "", unit, Align::Left, kCsvView},
        Column{"", "", "", Align::Left, kTextView},
    };
    double largest = 0.0;
    for (const RankEntry& e : ranking.entries) largest = std::max(largest, e.value);
    for (std::size_t i = 0; i < ranking.entries.size(); ++i) {
        const RankEntry& e = ranking.entries[i];
        const model::Fighter& armed = e.candidate.you;
        const bool best = i == 0;
        std::string label = e.candidate.name == NoneEntry ? "none" : quoteName(e.candidate.name);
        if (byWeapon && allTypes)
            label += " (" + std::string(weaponTypeName(armed.weaponType)) + ")";
        if (armed.shieldDroppedForHands) label += " (no shield: two hands)";
        Cell versusBest = orEmpty(e.versusBest, &Interval::mean, true);
        if (best) versusBest = std::move(versusBest).shown("best");
        table.rows.push_back({
            Cell::ofWhole(static_cast<std::int64_t>(i + 1)),
            Cell::ofText(std::move(label)),
            Cell::ofText(e.candidate.name),
            Cell::ofWhole(armed.weaponType),
            Cell::ofReal(e.value, 2),
            Cell::ofText(intervalText(e.interval, noIntervalText(ranking.fights))),
            orEmpty(e.interval, &Interval::low),
            orEmpty(e.interval, &Interval::high),
            std::move(versusBest),
            Cell::ofText(best ? "" : signedIntervalText(e.versusBest, 2)),
            exact ? Cell::empty() : orEmpty(e.versusBest, &Interval::low, true),
            exact ? Cell::empty() : orEmpty(e.versusBest, &Interval::high, true),
            Cell::ofText(bar(e.value, largest)),
        });
    }
    if (target) table.notes.push_back(targetNote(*target, ranking.targetReached, ranking.fights));
    if (exact) {
        // No noise, so no interval: text leaves out the interval columns,
        // CSV leaves their cells empty.
        for (std::size_t c = table.columns.size(); c-- > 0;) {
            const Column& column = table.columns[c];
            if (column.views == kTextView && column.caption == "95% interval") {
                table.columns.erase(table.columns.begin() + static_cast<std::ptrdiff_t>(c));
                for (std::vector<Cell>& row : table.rows)
                    row.erase(row.begin() + static_cast<std::ptrdiff_t>(c));
            }
        }
    }
    return report;
}

Report exactRankReport(const analysis::ExactRanking& exact, RankBy by, bool allTypes,
                       std::string_view you, std::string_view opp) {
    analysis::Ranking ranking;
    ranking.method = analysis::Method::Exact;
    ranking.result = exact.result;
    ranking.mode = exact.mode;
    for (const analysis::ExactRankEntry& e : exact.entries) {
        RankEntry entry;
        entry.candidate = e.candidate;
        entry.value = e.value;
        // The difference alone, without bounds.
        entry.versusBest = Interval{e.versusBest, e.versusBest, e.versusBest};
        ranking.entries.push_back(std::move(entry));
    }
    return rankReport(ranking, by, allTypes, you, opp);
}

}  // namespace skarn::report
