#include "analysis/csv.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace skarn::analysis {

namespace {

// The lowest and highest power of ten written in fixed notation.
constexpr int kLowestFixedExponent = -4;
constexpr int kHighestFixedExponent = 14;

constexpr const char* kHistogramKeys[] = {"damageGiven", "damageTaken", "time"};

std::string cell(const std::optional<Interval>& interval, double Interval::*part) {
    return interval ? csvNumber((*interval).*part) : std::string();
}

}  // namespace

std::string csvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& cell = cells[i];
        if (cell.find_first_of(",\"\r\n") == std::string::npos) {
            line += cell;
            continue;
        }
        line += '"';
        for (const char c : cell) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line + "\n";
}

std::string csvNumber(double value) {
    if (!std::isfinite(value)) return {};
    if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0 &&
        !(value == 0.0 && std::signbit(value)))
        return std::to_string(static_cast<std::int64_t>(value));

    // The shortest digits that read back as `value`, as "-d.ddde+x", then
    // laid out in fixed or exponent notation.
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    std::string out;
    if (text.front() == '-') {
        out += '-';
        text.remove_prefix(1);
    }
    const std::size_t e = text.find('e');
    std::string digits;
    for (const char c : text.substr(0, e))
        if (c != '.') digits += c;
    std::string_view exponentText = text.substr(e + 1);
    const bool negative = exponentText.front() == '-';
    exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    if (negative) exponent = -exponent;

    const int count = static_cast<int>(digits.size());
    const int point = exponent + 1;  // digits before the decimal point
    if (exponent >= kLowestFixedExponent && exponent <= kHighestFixedExponent) {
        if (point >= count) {
            // Only zero gets here: other whole numbers this small are integers above.
            out += digits + std::string(static_cast<std::size_t>(point - count), '0') + ".0";
        } else if (point > 0) {
            out += digits.substr(0, static_cast<std::size_t>(point)) + "." +
                   digits.substr(static_cast<std::size_t>(point));
        } else {
            out += "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
        }
        return out;
    }
    out += digits[0];
    if (count > 1) out += "." + digits.substr(1);
    out += negative ? "e-" : "e+";
    const int size = std::abs(exponent);
    if (size < 10) out += '0';
    out += std::to_string(size);
    return out;
}

std::string outcomeCsv(const Outcome& outcome) {
    const auto row = [](const char* name, double value, double mean,
                        const std::optional<Interval>& interval) {
        return csvLine({name, csvNumber(value), csvNumber(mean), cell(interval, &Interval::low),
                        cell(interval, &Interval::high)});
    };
    const double n = static_cast<double>(outcome.fights);
    const RunTotals& t = outcome.totals;
    const RunResults& r = outcome.results;
    const RunIntervals& ci = outcome.intervals;
    std::string out = csvLine({"result", "value", "mean", "low", "high"});
    out += row("winPercent", r.resultWinPercent, t.winCount * 100.0 / n, ci.winPercent);
    out += row("damageTaken", r.resultDamageTaken, t.damageTakenSum / n, ci.damageTaken);
    out += row("damageGiven", r.resultDamageGiven, t.damageGivenSum / n, ci.damageGiven);
    out += row("time", r.resultTime, t.tickSum / n / 100.0, ci.time);
    if (!outcome.histograms) return out;

    out += '\n';
    out += csvLine({"histogram", "from", "to", "count"});
    for (std::size_t h = 0; h < 3; ++h) {
        const Histogram& histogram = (*outcome.histograms)[h];
        const char* key = kHistogramKeys[h];
        // Fight lengths are counted in ticks and written in seconds.
        const auto edge = [&](int k) {
            const auto value = static_cast<double>(histogram.edge(k));
            return csvNumber(h == 2 ? value / 100.0 : value);
        };
        if (histogram.below() > 0)
            out += csvLine({key, "", edge(0), std::to_string(histogram.below())});
        for (int k = 0; k < histogram.bins(); ++k)
            out += csvLine({key, edge(k), edge(k + 1), std::to_string(histogram.count(k))});
        if (histogram.above() > 0)
            out += csvLine({key, edge(histogram.bins()), "", std::to_string(histogram.above())});
    }
    return out;
}

std::string rankingCsv(const Ranking& ranking, RankBy by) {
    std::string out = csvLine({"rank", by == RankBy::Weapon ? "weapon" : "shield", "weaponType",
                               resultKey(ranking.result), "low", "high", "versusBest",
                               "versusBestLow", "versusBestHigh"});
    for (std::size_t i = 0; i < ranking.entries.size(); ++i) {
        const RankEntry& e = ranking.entries[i];
        out += csvLine({std::to_string(i + 1), e.candidate.name,
                        std::to_string(e.candidate.you.weaponType), csvNumber(e.value),
                        cell(e.interval, &Interval::low), cell(e.interval, &Interval::high),
                        cell(e.versusBest, &Interval::mean), cell(e.versusBest, &Interval::low),
                        cell(e.versusBest, &Interval::high)});
    }
    return out;
}

std::string scaleCsv(const Scale& scale) {
    std::string out = csvLine({"stat", "value", "low", "high", "oneSided", "hitPointsFollow",
                               "perPoint", "perPointLow", "perPointHigh"});
    for (const StatScale& s : scale.stats) {
        out += csvLine({model::statInfo(s.stat).jsonKey, std::to_string(s.value),
                        std::to_string(s.low), std::to_string(s.high),
                        s.oneSided() ? "true" : "false",
                        s.hitPointsFollow ? "true" : "false", cell(s.perPoint, &Interval::mean),
                        cell(s.perPoint, &Interval::low), cell(s.perPoint, &Interval::high)});
    }
    return out;
}

}  // namespace skarn::analysis
