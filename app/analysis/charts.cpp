#include "app/analysis/charts.h"

#include <algorithm>
#include <cmath>

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QColor>
#include <QFont>
#include <QHorizontalStackedBarSeries>
#include <QLineSeries>
#include <QPalette>
#include <QPen>
#include <QValueAxis>

namespace skarn::charts {
namespace {

// What a series shows, for applyStyle.
const char* const kRole = "skarnRole";
const char* const kBars = "bars";
const char* const kMarkedBars = "markedBars";
const char* const kWhisker = "whisker";
const char* const kHistogram = "histogram";

// Half the height of a whisker's end caps, in bar slots.
constexpr double kCap = 0.18;

QValueAxis* valueAxis(const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%g"));
    return axis;
}

// An axis range around [low, high] with nice steps; a single value gets
// room around it.
void setNiceRange(QValueAxis& axis, double low, double high) {
    if (!(high > low)) {
        const double pad = low == 0.0 ? 1.0 : std::fabs(low) * 0.1;
        low -= pad;
        high += pad;
    }
    axis.setRange(low, high);
    axis.applyNiceNumbers();
}

}  // namespace

QChartView* newChartView(const QString& objectName, const QString& accessibleName, QWidget* parent) {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* view = new QChartView(chart, parent);
    view->setObjectName(objectName);
    view->setAccessibleName(accessibleName);
    view->setAccessibleDescription(QStringLiteral("Empty until the analysis has run."));
    view->setRenderHint(QPainter::Antialiasing);
    view->setFocusPolicy(Qt::StrongFocus);  // a screen reader reaches it with Tab
    return view;
}

void clearChart(QChart& chart) {
    chart.removeAllSeries();
    for (QAbstractAxis* axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
}

QAbstractBarSeries* showBars(QChart& chart, const std::vector<Bar>& bars, const QString& axisTitle,
                             std::optional<std::pair<double, double>> range) {
    clearChart(chart);
    const int n = static_cast<int>(bars.size());
    // Two sets stacked: the marked bar in one, the others in the other, so
    // that each keeps its own colour while all share the slots.
    auto* plain = new QBarSet(QString());
    auto* marked = new QBarSet(QString());
    plain->setProperty(kRole, kBars);
    marked->setProperty(kRole, kMarkedBars);
    QStringList labels;
    double low = 0.0, high = 0.0;
    for (int slot = 0; slot < n; ++slot) {
        const Bar& bar = bars[static_cast<std::size_t>(n - 1 - slot)];  // the first bar on top
        labels << bar.label;
        *plain << (bar.marked ? 0.0 : bar.value);
        *marked << (bar.marked ? bar.value : 0.0);
        low = std::min({low, bar.value, bar.low.value_or(bar.value)});
        high = std::max({high, bar.value, bar.high.value_or(bar.value)});
    }
    auto* series = new QHorizontalStackedBarSeries;
    series->append(plain);
    series->append(marked);
    series->setBarWidth(0.6);
    chart.addSeries(series);

    auto* categories = new QBarCategoryAxis;
    categories->append(labels);
    auto* values = valueAxis(axisTitle);
    if (range) {
        values->setRange(range->first, range->second);
    } else {
        setNiceRange(*values, low, high);
    }
    chart.addAxis(categories, Qt::AlignLeft);
    chart.addAxis(values, Qt::AlignBottom);
    series->attachAxis(categories);
    series->attachAxis(values);

    for (int slot = 0; slot < n; ++slot) {
        const Bar& bar = bars[static_cast<std::size_t>(n - 1 - slot)];
        if (!bar.low || !bar.high) continue;
        auto* whisker = new QLineSeries;
        whisker->setProperty(kRole, kWhisker);
        const double y = slot;
        // One stroke: the low cap, the line, the high cap.
        whisker->append(*bar.low, y - kCap);
        whisker->append(*bar.low, y + kCap);
        whisker->append(*bar.low, y);
        whisker->append(*bar.high, y);
        whisker->append(*bar.high, y + kCap);
        whisker->append(*bar.high, y - kCap);
        chart.addSeries(whisker);
        whisker->attachAxis(categories);
        whisker->attachAxis(values);
    }
    return series;
}

void showHistogram(QChart& chart, const std::vector<double>& edges, const std::vector<std::int64_t>& counts,
                   const QString& axisTitle) {
    clearChart(chart);
    auto* outline = new QLineSeries;
    std::int64_t largest = 0;
    outline->append(edges.front(), 0.0);
    for (std::size_t k = 0; k < counts.size(); ++k) {
        const auto count = static_cast<double>(counts[k]);
        outline->append(edges[k], count);
        outline->append(edges[k + 1], count);
        largest = std::max(largest, counts[k]);
    }
    outline->append(edges.back(), 0.0);
    auto* area = new QAreaSeries(outline);
    // An area series does not own the line it spans; as its child the line
    // goes with it when the chart is cleared.
    outline->setParent(area);
    area->setProperty(kRole, kHistogram);
    chart.addSeries(area);

    auto* x = valueAxis(axisTitle);
    x->setRange(edges.front(), edges.back());
    x->applyNiceNumbers();
    auto* y = valueAxis(QStringLiteral("fights"));
    y->setLabelFormat(QStringLiteral("%.0f"));
    setNiceRange(*y, 0.0, static_cast<double>(std::max<std::int64_t>(largest, 1)));
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    area->attachAxis(x);
    area->attachAxis(y);
}

void showDistribution(QChart& chart, const std::vector<double>& values, const std::vector<double>& probabilities,
                      const QString& axisTitle, int maxBars) {
    clearChart(chart);
    const double first = values.front(), last = values.back();
    // Each value a bar of its own where there are few; else bars of equal
    // width that gather the values within them.
    std::vector<double> left, right, height;
    if (static_cast<int>(values.size()) <= maxBars) {
        double gap = 1.0;
        for (std::size_t k = 1; k < values.size(); ++k)
            gap = k == 1 ? values[k] - values[k - 1] : std::min(gap, values[k] - values[k - 1]);
        const double half = (gap > 0.0 ? gap : 1.0) * 0.4;
        for (std::size_t k = 0; k < values.size(); ++k) {
            left.push_back(values[k] - half);
            right.push_back(values[k] + half);
            height.push_back(probabilities[k] * 100.0);
        }
    } else {
        const double width = (last - first) / maxBars;
        left.resize(static_cast<std::size_t>(maxBars));
        right.resize(left.size());
        height.assign(left.size(), 0.0);
        for (std::size_t b = 0; b < left.size(); ++b) {
            left[b] = first + width * static_cast<double>(b);
            right[b] = b + 1 == left.size() ? last : first + width * static_cast<double>(b + 1);
        }
        for (std::size_t k = 0; k < values.size(); ++k) {
            const auto b = std::min(left.size() - 1, static_cast<std::size_t>((values[k] - first) / width));
            height[b] += probabilities[k] * 100.0;
        }
    }
    auto* outline = new QLineSeries;
    double largest = 0.0;
    outline->append(left.front(), 0.0);
    for (std::size_t b = 0; b < left.size(); ++b) {
        // Up, across and down again: bars apart where they do not touch.
        outline->append(left[b], 0.0);
        outline->append(left[b], height[b]);
        outline->append(right[b], height[b]);
        outline->append(right[b], 0.0);
        largest = std::max(largest, height[b]);
    }
    auto* area = new QAreaSeries(outline);
    outline->setParent(area);
    area->setProperty(kRole, kHistogram);
    chart.addSeries(area);

    auto* x = valueAxis(axisTitle);
    setNiceRange(*x, left.front(), right.back());
    auto* y = valueAxis(QStringLiteral("% of fights"));
    setNiceRange(*y, 0.0, std::max(largest, 1e-9));
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    area->attachAxis(x);
    area->attachAxis(y);
}

QColor markedColor(const QPalette& palette) {
    // The highlight's complementary hue, as light as the highlight, so
    // that it stands apart from the other bars on light and dark desktops.
    const QColor highlight = palette.color(QPalette::Highlight).toHsv();
    const int hue = highlight.hue() < 0 ? 30 : (highlight.hue() + 180) % 360;
    return QColor::fromHsv(hue, std::max(highlight.saturation(), 160), std::max(highlight.value(), 170));
}

void applyStyle(QChart& chart, const QPalette& palette, const QFont& font) {
    const QColor text = palette.color(QPalette::WindowText);
    const QColor highlight = palette.color(QPalette::Highlight);
    QColor grid = palette.color(QPalette::Mid);
    grid.setAlpha(110);

    chart.setBackgroundBrush(palette.brush(QPalette::Window));
    chart.setBackgroundPen(Qt::NoPen);
    chart.setPlotAreaBackgroundBrush(palette.brush(QPalette::Base));
    chart.setPlotAreaBackgroundVisible(true);
    chart.setTitleBrush(text);
    QFont title = font;
    title.setBold(true);
    chart.setTitleFont(title);

    for (QAbstractAxis* axis : chart.axes()) {
        axis->setLabelsBrush(text);
        axis->setLabelsFont(font);
        axis->setTitleBrush(text);
        axis->setTitleFont(font);
        axis->setLinePenColor(palette.color(QPalette::Mid));
        axis->setGridLineColor(grid);
        axis->setShadesVisible(false);
    }

    for (QAbstractSeries* series : chart.series()) {
        if (auto* bars = qobject_cast<QAbstractBarSeries*>(series)) {
            for (QBarSet* set : bars->barSets()) {
                const bool isMarked = set->property(kRole).toString() == QLatin1String(kMarkedBars);
                const QColor fill = isMarked ? markedColor(palette) : highlight;
                set->setColor(fill);
                set->setBorderColor(fill.darker(130));
                set->setLabelColor(text);
            }
        } else if (auto* area = qobject_cast<QAreaSeries*>(series)) {
            QColor fill = highlight;
            fill.setAlpha(170);
            area->setBrush(fill);
            area->setPen(QPen(highlight.darker(120), 1.5));
        } else if (auto* line = qobject_cast<QLineSeries*>(series)) {
            line->setPen(QPen(text, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        }
    }
}

}  // namespace skarn::charts
