#include "app/analysis/charts.h"
#include "app/analysis/analysis_page.h"

#include <QAreaSeries>
#include <QChart>
#include <QLineSeries>
#include <QPointer>

#include <gtest/gtest.h>

namespace skarn {
namespace {

// The line a histogram's area spans is not owned by the area: showing the
// next histogram, or clearing the chart, must free it all the same.
TEST(AnalysisCharts, ReplacingAHistogramFreesTheLineItSpans) {
    QChart chart;
    charts::showHistogram(chart, {0.0, 1.0, 2.0}, {3, 4}, QStringLiteral("seconds"));
    ASSERT_EQ(chart.series().size(), 1);
    auto* area = qobject_cast<QAreaSeries*>(chart.series().front());
    ASSERT_NE(area, nullptr);
    QPointer<QLineSeries> first = area->upperSeries();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first->count(), 6) << "the outline: 0, two points a bin, 0";

    charts::showHistogram(chart, {0.0, 1.0}, {5}, QStringLiteral("seconds"));
    EXPECT_TRUE(first.isNull());
    area = qobject_cast<QAreaSeries*>(chart.series().front());
    ASSERT_NE(area, nullptr);
    QPointer<QLineSeries> second = area->upperSeries();
    charts::clearChart(chart);
    EXPECT_TRUE(second.isNull());
}

// What a screen reader is told of a figure never has a negative zero.
TEST(AnalysisWords, SpokenNumbersHaveNoNegativeZero) {
    EXPECT_EQ(tabs::spoken(-0.0), QStringLiteral("0.0"));
    EXPECT_EQ(tabs::spoken(-0.04), QStringLiteral("0.0"));
    EXPECT_EQ(tabs::spoken(-72.44), QStringLiteral("-72.4"));
}

}  // namespace
}  // namespace skarn
