#include "app/analysis/outcome_page.h"

#include <utility>
#include <vector>

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/csv.h"
#include "analysis/histogram.h"
#include "app/analysis/charts.h"
#include "app/analysis_text.h"

namespace skarn {
namespace {

using namespace tabs;

constexpr const char* kHistogramTitles[] = {"Damage given per fight", "Damage taken per fight",
                                            "Fight time in seconds"};
constexpr const char* kHistogramNames[] = {"givenHistogram", "takenHistogram", "timeHistogram"};

// Fight lengths are kept in ticks and shown in seconds.
double inUnit(std::size_t h, std::int64_t value) {
    return h == 2 ? static_cast<double>(value) / 100.0 : static_cast<double>(value);
}

}  // namespace

OutcomePage::OutcomePage()
    : AnalysisPage(QStringLiteral("&Outcome"), QStringLiteral("outcome"), QStringLiteral("&Fights:"), 100'000) {
    settingsRow()->addStretch(1);
    picture_ = new QWidget(this);
    auto* layout = new QVBoxLayout(picture_);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    table_ = newTable(QStringLiteral("outcomeTable"), QStringLiteral("The four results"),
                      {QStringLiteral("Result"), QStringLiteral("Value"), QStringLiteral("Mean"),
                       QStringLiteral("95 % interval")},
                      picture_);
    table_->setAccessibleDescription(QStringLiteral(
        "Each result as the Results dialog shows it, its mean, and the range that holds the true "
        "mean with 95 % confidence."));
    table_->setRowCount(4);
    // The table takes the room its four rows need, and no more.
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    top->addWidget(table_, 0, Qt::AlignTop);

    auto* winBox = new QWidget(picture_);
    auto* winLayout = new QVBoxLayout(winBox);
    winLayout->setContentsMargins(0, 0, 0, 0);
    winView_ = charts::newChartView(QStringLiteral("winChart"), QStringLiteral("Your win %"), winBox);
    winView_->chart()->setTitle(QStringLiteral("Your win %"));
    winView_->setMinimumHeight(winView_->fontMetrics().height() * 12);
    winNote_ = wrappedLabel(QStringLiteral("winNote"), winBox);
    winNote_->setText(QStringLiteral("Wins are counted only in \"Fight to the death\" (Options)."));
    winNote_->setAlignment(Qt::AlignCenter);
    winLayout->addWidget(winView_);
    winLayout->addWidget(winNote_);
    winNote_->hide();
    top->addWidget(winBox, 1);
    layout->addLayout(top);

    auto* bottom = new QHBoxLayout;
    for (int h = 0; h < 3; ++h) {
        auto* column = new QVBoxLayout;
        QChartView* view = charts::newChartView(QString::fromLatin1(kHistogramNames[h]),
                                                QString::fromLatin1(kHistogramTitles[h]), picture_);
        view->chart()->setTitle(QString::fromLatin1(kHistogramTitles[h]));
        view->setMinimumHeight(view->fontMetrics().height() * 12);
        histograms_[static_cast<std::size_t>(h)] = view;
        QLabel* spread = wrappedLabel(QString::fromLatin1(kHistogramNames[h]) + QStringLiteral("Spread"), picture_);
        spread->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        spreads_[static_cast<std::size_t>(h)] = spread;
        column->addWidget(view, 1);
        column->addWidget(spread);
        bottom->addLayout(column, 1);
    }
    layout->addLayout(bottom, 1);
    body()->addWidget(picture_);
}

std::optional<AnalysisPage::Plan> OutcomePage::plan(const AnalysisSubject& subject, const analysis::RunSettings&,
                                                    QString&) {
    Plan plan;
    plan.variants = {analysis::variantOf(subject.you, subject.opp)};
    plan.work = [you = subject.you, opp = subject.opp](const analysis::RunSettings& s) {
        return PageResult{analysis::analyseOutcome(you, opp, s), you.name, opp.name};
    };
    return plan;
}

void OutcomePage::present(const PageResult& result) {
    outcome_ = std::get<analysis::Outcome>(result.value);
    names_ = {result.you, result.opp};
    const analysis::Outcome& o = *outcome_;
    const double n = static_cast<double>(o.fights);
    const RunResults& r = o.results;
    const RunTotals& t = o.totals;
    const analysis::RunIntervals& ci = o.intervals;
    const QString noInterval = o.fights < 2 ? QStringLiteral("n/a (one fight)")
                                            : QStringLiteral("not counted in this mode");
    const bool wins = o.mode == ToTheDeath;
    setRow(*table_, 0, 0, {QStringLiteral("Your Win %:"), resultText(r.resultWinPercent),
                        wins ? fixed2(t.winCount * 100.0 / n) : QStringLiteral("-"),
                        intervalText(ci.winPercent, noInterval)});
    setRow(*table_, 1, 0, {QStringLiteral("Damage Taken"), resultText(r.resultDamageTaken),
                        fixed2(t.damageTakenSum / n), intervalText(ci.damageTaken, noInterval)});
    setRow(*table_, 2, 0, {QStringLiteral("Damage Given"), resultText(r.resultDamageGiven),
                        fixed2(t.damageGivenSum / n), intervalText(ci.damageGiven, noInterval)});
    setRow(*table_, 3, 0, {QStringLiteral("Time in seconds"), resultText(r.resultTime),
                        fixed2(t.tickSum / n / 100.0), intervalText(ci.time, noInterval)});
    fitColumns(*table_);

    winView_->setVisible(wins);
    winNote_->setVisible(!wins);
    if (wins) {
        const double mean = t.winCount * 100.0 / n;
        charts::Bar bar{QStringLiteral("You"), mean, std::nullopt, std::nullopt, false};
        QString description = QStringLiteral("Your win %: %1 %").arg(spoken(mean));
        if (ci.winPercent) {
            bar.low = ci.winPercent->low;
            bar.high = ci.winPercent->high;
            description += QStringLiteral(", 95 % interval %1 to %2")
                               .arg(spoken(ci.winPercent->low), spoken(ci.winPercent->high));
        }
        charts::showBars(*winView_->chart(), {bar}, QStringLiteral("win % (95 % interval)"),
                         std::pair(0.0, 100.0));
        winView_->setAccessibleDescription(description);
    } else {
        charts::clearChart(*winView_->chart());
        winView_->setAccessibleDescription(winNote_->text());
    }

    for (int h = 0; h < 3; ++h) showHistogram(h);
    restyle(*window());
}

void OutcomePage::presentRefusal(const QString& refusal) {
    outcome_.reset();
    table_->clearContents();
    for (QChartView* view : histograms_) {
        charts::clearChart(*view->chart());
        view->setAccessibleDescription(QString());
    }
    for (QLabel* spread : spreads_) spread->clear();
    charts::clearChart(*winView_->chart());
    winView_->hide();
    winNote_->setText(refusal);
    winNote_->show();
}

QString OutcomePage::describe(std::int64_t fights) const {
    return QStringLiteral("the outcome of %1 fights").arg(countText(fights));
}

std::string OutcomePage::csv() const { return outcome_ ? analysis::outcomeCsv(*outcome_, names_.first, names_.second) : std::string(); }

void OutcomePage::restyle(const QWidget& window) {
    restyleView(*winView_, window);
    for (QChartView* view : histograms_) restyleView(*view, window);
}

void OutcomePage::showHistogram(int h) {
    QChartView* view = histograms_[static_cast<std::size_t>(h)];
    if (!outcome_ || !outcome_->histograms) return;
    const analysis::Histogram& histogram = (*outcome_->histograms)[static_cast<std::size_t>(h)];
    const auto index = static_cast<std::size_t>(h);
    // The bins from the first to the last that holds a fight.
    int first = 0, last = histogram.bins() - 1;
    while (first < last && histogram.count(first) == 0) ++first;
    while (last > first && histogram.count(last) == 0) --last;
    std::vector<double> edges;
    std::vector<std::int64_t> counts;
    for (int k = first; k <= last; ++k) {
        edges.push_back(inUnit(index, histogram.edge(k)));
        counts.push_back(histogram.count(k));
    }
    edges.push_back(inUnit(index, histogram.edge(last + 1)));

    const std::int64_t total = histogram.total();
    QString spread;
    if (total > 0) {
        const analysis::Percentiles p = analysis::percentilesOf(histogram);
        const auto at = [&](double value) { return fixed2(h == 2 ? value / 100.0 : value); };
        spread = QStringLiteral("Median %1; 90 % of the fights from %2 to %3.").arg(at(p.p50), at(p.p5), at(p.p95));
    }
    const std::int64_t outside = histogram.below() + histogram.above();
    if (outside > 0)
        spread += QStringLiteral(" %1 %2 beyond the bins shown.")
                      .arg(countText(outside), outside == 1 ? QStringLiteral("fight") : QStringLiteral("fights"));
    charts::showHistogram(*view->chart(), edges, counts, h == 2 ? QStringLiteral("seconds") : QStringLiteral("damage"));
    spreads_[index]->setText(spread);
    view->setAccessibleDescription(QStringLiteral("%1: %2 fights. %3")
                                       .arg(QString::fromLatin1(kHistogramTitles[h]), countText(total), spread));
}

}  // namespace skarn
