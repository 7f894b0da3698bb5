#include "app/analysis_text.h"

#include <string>

#include "analysis/report_words.h"

namespace skarn {

namespace {

// The report layer writes ASCII and UTF-8.
QString qt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QString resultText(double value) { return qt(report::resultText(value)); }

QString fixed2(double value) { return qt(report::fixed2(value)); }

QString signedFixed(double value, int decimals) { return qt(report::signedFixed(value, decimals)); }

QString intervalText(const std::optional<analysis::Interval>& interval, const QString& missing) {
    return interval ? qt(report::intervalText(interval)) : missing;
}

QString signedIntervalText(const std::optional<analysis::Interval>& interval, int decimals) {
    return qt(report::signedIntervalText(interval, decimals));
}

QString countText(std::int64_t count) { return qt(report::groupedCount(count, "\u202F")); }

QString approxText(double value) { return qt(report::approxText(value)); }

QString resultUnit(analysis::Result result) { return QString::fromLatin1(report::resultUnit(result)); }

QString resultTitle(analysis::Result result) { return QString::fromLatin1(report::resultTitle(result)); }

}  // namespace skarn
