#pragma once

// The Analysis window's charts, on Qt Charts: horizontal bars with their 95%
// intervals as whiskers, and histograms. Every chart takes its colours and
// fonts from the widget palette and font, so it follows a light or dark
// desktop and the user's text size. GUI thread only, as Qt Charts.

#include <cstdint>
#include <optional>
#include <vector>

#include <QColor>
#include <QString>

class QAbstractBarSeries;
class QChart;
class QChartView;
class QFont;
class QPalette;
class QWidget;

namespace skarn::charts {

// One bar of a horizontal bar chart.
struct Bar {
    QString label;
    double value = 0.0;
    std::optional<double> low, high;  // the 95% interval, drawn as a whisker
    bool marked = false;              // drawn in the accent colour (the current choice)
};

// A chart view with an empty chart, without a legend or animations, named
// `objectName` for tests and with `accessibleName` for screen readers.
QChartView* newChartView(const QString& objectName, const QString& accessibleName, QWidget* parent);

// Replaces what `chart` shows with horizontal bars, the first on top, each
// with a whisker from low to high where it has an interval. The value axis
// is titled `axisTitle` and spans `range` when given, else every bar and
// whisker and 0. Returns the bar series: its bar index i is bars[n - 1 - i].
QAbstractBarSeries* showBars(QChart& chart, const std::vector<Bar>& bars, const QString& axisTitle,
                             std::optional<std::pair<double, double>> range = std::nullopt);

// Replaces what `chart` shows with a histogram: counts[k] values from
// edges[k] up to edges[k + 1], drawn as a filled outline.
// REQUIRES: edges.size() == counts.size() + 1, counts not empty.
void showHistogram(QChart& chart, const std::vector<double>& edges, const std::vector<std::int64_t>& counts,
                   const QString& axisTitle);

// Replaces what `chart` shows with the law of a result as bars: one bar
// per value, `probabilities[k]` high at `values[k]` (in increasing order),
// in percent; more than `maxBars` values are gathered into `maxBars` bars
// of equal width. The value axis is titled `axisTitle`.
// REQUIRES: values.size() == probabilities.size(), not empty.
void showDistribution(QChart& chart, const std::vector<double>& values, const std::vector<double>& probabilities,
                      const QString& axisTitle, int maxBars = 60);

// Removes every series and axis from `chart`.
void clearChart(QChart& chart);

// Colours and fonts of `chart` and all it shows from `palette` and `font`:
// the background and text from the window colours, the plot area from the
// base colour, the bars from the highlight colour, the marked bar in its
// complementary hue, the whiskers in the text colour.
void applyStyle(QChart& chart, const QPalette& palette, const QFont& font);

// The accent colour of a marked bar for `palette`.
QColor markedColor(const QPalette& palette);

}  // namespace skarn::charts
