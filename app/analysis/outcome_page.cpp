#include "app/analysis/outcome_page.h"

#include <utility>
#include <vector>

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/csv.h"
#include "analysis/histogram.h"
#include "analysis/report_exact.h"
#include "analysis/report_outcome.h"
#include "app/analysis/charts.h"
#include "app/analysis_text.h"

namespace skarn {
namespace {

using namespace tabs;

constexpr const char* kHistogramNames[] = {"givenHistogram", "takenHistogram", "timeHistogram"};

QString lawTitle(std::size_t h, FightMode mode) {
    const bool perMinute = mode == DamagePer60Seconds;
    switch (h) {
    case 0: return perMinute ? QStringLiteral("Damage given per 60 s") : QStringLiteral("Damage given per fight");
    case 1: return perMinute ? QStringLiteral("Damage taken per 60 s") : QStringLiteral("Damage taken per fight");
    default: return QStringLiteral("Fight time in seconds");
    }
}

// Fight lengths are kept in ticks and shown in seconds.
double inUnit(std::size_t h, std::int64_t value) {
    return h == 2 ? static_cast<double>(value) / 100.0 : static_cast<double>(value);
}

QString spreadText(double p5, double p50, double p95) {
    return QStringLiteral("Median %1; 90 % of the fights from %2 to %3.").arg(fixed2(p50), fixed2(p5), fixed2(p95));
}

}  // namespace

OutcomePage::OutcomePage()
    : AnalysisPage(QStringLiteral("&Outcome"), QStringLiteral("outcome"), QStringLiteral("&Fights:"), 100'000) {
    settingsRow()->addStretch(1);
    picture_ = new QWidget(this);
    auto* layout = new QVBoxLayout(picture_);
    layout->setContentsMargins(0, 0, 0, 0);
    method_ = wrappedLabel(QStringLiteral("outcomeMethod"), picture_);
    method_->setAccessibleName(QStringLiteral("How the figures were found"));
    method_->setAccessibleDescription(
        QStringLiteral("Whether the figures are exact, and which run of fights stands beside them."));
    layout->addWidget(method_);
    auto* top = new QHBoxLayout;
    table_ = newTable(QStringLiteral("outcomeTable"), QStringLiteral("The four results"), {QStringLiteral("Result")},
                      picture_);
    table_->setAccessibleDescription(QStringLiteral(
        "Each result worked out exactly with its standard deviation per fight, and what one run of the main "
        "window's fights gave, with its 95 % interval."));
    table_->setRowCount(4);
    // The table takes the room its four rows need, and no more.
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    table_->horizontalHeader()->setStretchLastSection(false);
    top->addWidget(table_, 0, Qt::AlignTop);

    auto* winBox = new QWidget(picture_);
    auto* winLayout = new QVBoxLayout(winBox);
    winLayout->setContentsMargins(0, 0, 0, 0);
    winView_ = charts::newChartView(QStringLiteral("winChart"), QStringLiteral("Your win %"), winBox);
    winView_->chart()->setTitle(QStringLiteral("Your win %"));
    winView_->setMinimumHeight(winView_->fontMetrics().height() * 13);
    winNote_ = wrappedLabel(QStringLiteral("winNote"), winBox);
    winNote_->setText(QStringLiteral("Wins are counted only in \"Fight to the death\" (Options)."));
    winNote_->setAlignment(Qt::AlignCenter);
    winLayout->addWidget(winView_);
    winLayout->addWidget(winNote_);
    winNote_->hide();
    top->addWidget(winBox, 1);
    layout->addLayout(top);

    auto* bottom = new QHBoxLayout;
    for (std::size_t h = 0; h < 3; ++h) {
        auto* column = new QWidget(picture_);
        auto* columnLayout = new QVBoxLayout(column);
        columnLayout->setContentsMargins(0, 0, 0, 0);
        const QString title = lawTitle(h, ToTheDeath);
        QChartView* view = charts::newChartView(QString::fromLatin1(kHistogramNames[h]), title, column);
        view->chart()->setTitle(title);
        view->setMinimumHeight(view->fontMetrics().height() * 12);
        histograms_[h] = view;
        QLabel* spread = wrappedLabel(QString::fromLatin1(kHistogramNames[h]) + QStringLiteral("Spread"), column);
        spread->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        spread->setMinimumHeight(spread->fontMetrics().lineSpacing() * 2);
        spreads_[h] = spread;
        columnLayout->addWidget(view, 1);
        columnLayout->addWidget(spread);
        columns_[h] = column;
        bottom->addWidget(column, 1);
    }
    layout->addLayout(bottom, 1);
    // Below the size the charts need, the tab scrolls rather than squeeze
    // them into one another.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("outcomeScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(picture_);
    body()->addWidget(scroll);
}

std::optional<AnalysisPage::Plan> OutcomePage::plan(const AnalysisSubject& subject,
                                                    const analysis::RunSettings& settings, QString&) {
    Plan plan;
    plan.variants = {analysis::variantOf(subject.you, subject.opp)};
    const std::optional<analysis::ExactRefusal> refusal =
        analysis::findExactOutcomeRefusal(subject.you, subject.opp, settings.mode);
    if (refusal) {
        plan.fights = settings.fights;
        plan.what = QStringLiteral("the outcome of %1 sampled fights").arg(countText(settings.fights));
        plan.work = [you = subject.you, opp = subject.opp, why = refusal->message()](const analysis::RunSettings& s) {
            return PageResult{OutcomeFindings{std::nullopt, analysis::analyseOutcome(you, opp, s), why}};
        };
        return plan;
    }
    plan.fights = subject.sliderFights;
    plan.what = QStringLiteral("the exact outcome and a run of %1 %2")
                    .arg(countText(subject.sliderFights),
                         subject.sliderFights == 1 ? QStringLiteral("fight") : QStringLiteral("fights"));
    plan.work = [you = subject.you, opp = subject.opp, chainFights = subject.sliderFights](
                    const analysis::RunSettings& s) {
        OutcomeFindings found;
        analysis::ExactRefusal declined;
        found.exact = analysis::exactOutcome(you, opp, s.mode, declined);
        if (!found.exact) {
            // The estimate fell short: the whole outcome is sampled instead.
            found.declined = declined.message();
            found.sampled = analysis::analyseOutcome(you, opp, s);
        } else {
            // One chain of the slider's fights, as Begin and skarn-cli run fight it.
            analysis::RunSettings chain = s;
            chain.fights = chainFights;
            found.sampled = analysis::runChain(you, opp, chain, false);
        }
        return PageResult{std::move(found)};
    };
    return plan;
}

void OutcomePage::present(const PageResult& result) {
    findings_ = std::get<OutcomeFindings>(result.value);
    if (findings_->exact)
        showExact();
    else
        showSampled();
    showFights(!findings_->exact, findings_->sampled.fights);
    showWinBars();
    restyle(*window());
}

void OutcomePage::showExact() {
    const analysis::ExactOutcome& e = *findings_->exact;
    const analysis::Outcome& o = findings_->sampled;
    const double n = static_cast<double>(o.fights);
    const RunTotals& t = o.totals;
    const analysis::RunIntervals& ci = o.intervals;
    const QString noInterval = QString::fromStdString(report::noIntervalText(o.fights));
    method_->setText(QStringLiteral(
                         "Exact: the average over every possible fight, with no sampling error. Beside it, one run "
                         "of the main window's %1 %2 (seed %3), as Begin fights them.")
                         .arg(countText(o.fights), o.fights == 1 ? QStringLiteral("fight") : QStringLiteral("fights"))
                         .arg(o.seed));
    table_->setColumnCount(5);
    table_->setHorizontalHeaderLabels({QStringLiteral("Result"), QStringLiteral("Exact"),
                                       QStringLiteral("Standard deviation"),
                                       o.fights == 1 ? QStringLiteral("1 fight")
                                                     : QStringLiteral("%1 fights").arg(countText(o.fights)),
                                       QStringLiteral("95 % interval")});
    const bool wins = e.mode == ToTheDeath;
    if (wins) {
        setRow(*table_, 0, 0, {QStringLiteral("Your Win %:"), fixed2(e.odds.winPercent->mean),
                               fixed2(e.odds.winPercent->sd), fixed2(t.winCount * 100.0 / n),
                               intervalText(ci.winPercent, noInterval)});
    } else {
        setRow(*table_, 0, 0, {QStringLiteral("Your Win %:"), QStringLiteral("not counted in this mode"), QString(),
                               QString(), QString()});
    }
    setRow(*table_, 1, 0, {QStringLiteral("Damage Taken"), fixed2(e.odds.damageTaken.mean),
                           fixed2(e.odds.damageTaken.sd), fixed2(t.damageTakenSum / n),
                           intervalText(ci.damageTaken, noInterval)});
    setRow(*table_, 2, 0, {QStringLiteral("Damage Given"), fixed2(e.odds.damageGiven.mean),
                           fixed2(e.odds.damageGiven.sd), fixed2(t.damageGivenSum / n),
                           intervalText(ci.damageGiven, noInterval)});
    setRow(*table_, 3, 0, {QStringLiteral("Time in seconds"), fixed2(e.odds.time.mean), fixed2(e.odds.time.sd),
                           fixed2(t.tickSum / n / 100.0), intervalText(ci.time, noInterval)});
    fitColumns(*table_);
    for (std::size_t h = 0; h < 3; ++h) showLaw(h);
}

void OutcomePage::showSampled() {
    const analysis::Outcome& o = findings_->sampled;
    const double n = static_cast<double>(o.fights);
    const RunTotals& t = o.totals;
    const analysis::RunIntervals& ci = o.intervals;
    const QString noInterval = QString::fromStdString(report::noIntervalText(o.fights));
    method_->setText(sampledNote(findings_->declined) +
                     QStringLiteral(" %1 fights, seed %2.").arg(countText(o.fights)).arg(o.seed));
    table_->setColumnCount(3);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Result"), QStringLiteral("%1 fights").arg(countText(o.fights)), QStringLiteral("95 % interval")});
    const bool wins = o.mode == ToTheDeath;
    setRow(*table_, 0, 0, {QStringLiteral("Your Win %:"),
                           wins ? fixed2(t.winCount * 100.0 / n) : QStringLiteral("not counted in this mode"),
                           wins ? intervalText(ci.winPercent, noInterval) : QString()});
    setRow(*table_, 1, 0, {QStringLiteral("Damage Taken"), fixed2(t.damageTakenSum / n),
                           intervalText(ci.damageTaken, noInterval)});
    setRow(*table_, 2, 0, {QStringLiteral("Damage Given"), fixed2(t.damageGivenSum / n),
                           intervalText(ci.damageGiven, noInterval)});
    setRow(*table_, 3, 0, {QStringLiteral("Time in seconds"), fixed2(t.tickSum / n / 100.0),
                           intervalText(ci.time, noInterval)});
    fitColumns(*table_);
    for (std::size_t h = 0; h < 3; ++h) showHistogram(h);
}

void OutcomePage::showWinBars() {
    const analysis::Outcome& o = findings_->sampled;
    const bool wins = o.mode == ToTheDeath;
    winView_->setVisible(wins);
    winNote_->setText(QStringLiteral("Wins are counted only in \"Fight to the death\" (Options)."));
    winNote_->setVisible(!wins);
    if (!wins) {
        charts::clearChart(*winView_->chart());
        winView_->setAccessibleDescription(winNote_->text());
        return;
    }
    std::vector<charts::Bar> bars;
    QStringList description;
    if (findings_->exact) {
        const double exact = findings_->exact->odds.winPercent->mean;
        bars.push_back({QStringLiteral("Exact"), exact, std::nullopt, std::nullopt, false});
        description << QStringLiteral("Exact: %1 %").arg(spoken(exact));
    }
    const double mean = o.totals.winCount * 100.0 / static_cast<double>(o.fights);
    const QString fights = QStringLiteral("%1 %2").arg(countText(o.fights),
                                                       o.fights == 1 ? QStringLiteral("fight") : QStringLiteral("fights"));
    charts::Bar bar{fights, mean, std::nullopt, std::nullopt, static_cast<bool>(findings_->exact)};
    QString sampled = QStringLiteral("%1: %2 %").arg(fights, spoken(mean));
    if (o.intervals.winPercent) {
        bar.low = o.intervals.winPercent->low;
        bar.high = o.intervals.winPercent->high;
        sampled += QStringLiteral(", 95 % interval %1 to %2")
                       .arg(spoken(o.intervals.winPercent->low), spoken(o.intervals.winPercent->high));
    }
    bars.push_back(bar);
    description << sampled;
    charts::showBars(*winView_->chart(), bars, QStringLiteral("win %"), std::pair(0.0, 100.0));
    winView_->setAccessibleDescription(QStringLiteral("Your win %: ") + description.join(QStringLiteral("; ")));
}

void OutcomePage::presentRefusal(const QString& refusal) {
    findings_.reset();
    table_->clearContents();
    method_->clear();
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

std::string OutcomePage::csv(const std::string& you, const std::string& opp) const {
    if (!findings_) return {};
    if (findings_->exact)
        return report::csvReport(report::exactOutcomeReport(*findings_->exact, you, opp));
    return analysis::outcomeCsv(findings_->sampled, you, opp);
}

QChart* OutcomePage::titledChart() { return histograms_[0]->chart(); }

void OutcomePage::restyle(const QWidget& window) {
    restyleView(*winView_, window);
    for (QChartView* view : histograms_) restyleView(*view, window);
}

void OutcomePage::showLaw(std::size_t h) {
    const analysis::ExactOutcome& e = *findings_->exact;
    QChartView* view = histograms_[h];
    const QString title = lawTitle(h, e.mode);
    view->chart()->setTitle(title);
    view->setAccessibleName(title);
    // Every fight of "per 60 seconds" lasts 60 s: no law to show.
    const bool shown = !(h == 2 && e.mode == DamagePer60Seconds);
    columns_[h]->setVisible(shown);
    if (!shown) {
        charts::clearChart(*view->chart());
        spreads_[h]->clear();
        return;
    }
    const ExactLaw& law = h == 0 ? e.odds.damageGivenLaw : h == 1 ? e.odds.damageTakenLaw : e.odds.timeLaw;
    const analysis::ExactPercentiles& p = h == 0 ? e.damageGiven : h == 1 ? e.damageTaken : e.time;
    if (law.empty()) {
        charts::clearChart(*view->chart());
        spreads_[h]->clear();
        return;
    }
    // The rarest values at each end, a twentieth of a percent of the fights
    // together, would stretch the chart into a thin line: the bars show the
    // rest, and the text says so.
    constexpr double kTail = 0.0005;
    std::size_t first = 0, last = law.size() - 1;
    for (double below = law[first].probability; first < last && below < kTail; below += law[++first].probability) {}
    for (double above = law[last].probability; last > first && above < kTail; above += law[--last].probability) {}
    std::vector<double> values, probabilities;
    for (std::size_t k = first; k <= last; ++k) {
        values.push_back(law[k].value);
        probabilities.push_back(law[k].probability);
    }
    charts::showDistribution(*view->chart(), values, probabilities,
                             h == 2 ? QStringLiteral("seconds") : QStringLiteral("damage"));
    QString spread = spreadText(p.p5, p.p50, p.p95);
    if (first > 0 || last + 1 < law.size())
        spread += QStringLiteral(" Not drawn: the rarest 0.1 % at the ends, from %1 to %2.")
                      .arg(fixed2(law.front().value), fixed2(law.back().value));
    spreads_[h]->setText(spread);
    view->setAccessibleDescription(QStringLiteral("%1, exact: %2").arg(title, spread));
}

void OutcomePage::showHistogram(std::size_t h) {
    QChartView* view = histograms_[h];
    const analysis::Outcome& o = *outcome();
    const QString title = lawTitle(h, o.mode);
    view->chart()->setTitle(title);
    view->setAccessibleName(title);
    const bool shown = !(h == 2 && o.mode == DamagePer60Seconds) && o.histograms;
    columns_[h]->setVisible(shown);
    if (!shown) {
        charts::clearChart(*view->chart());
        spreads_[h]->clear();
        return;
    }
    const analysis::Histogram& histogram = (*o.histograms)[h];
    // The bins from the first to the last that holds a fight.
    int first = 0, last = histogram.bins() - 1;
    while (first < last && histogram.count(first) == 0) ++first;
    while (last > first && histogram.count(last) == 0) --last;
    std::vector<double> edges;
    std::vector<std::int64_t> counts;
    for (int k = first; k <= last; ++k) {
        edges.push_back(inUnit(h, histogram.edge(k)));
        counts.push_back(histogram.count(k));
    }
    edges.push_back(inUnit(h, histogram.edge(last + 1)));

    const std::int64_t total = histogram.total();
    QString spread;
    if (total > 0) {
        const analysis::Percentiles p = analysis::percentilesOf(histogram);
        const double scale = h == 2 ? 0.01 : 1.0;
        spread = spreadText(p.p5 * scale, p.p50 * scale, p.p95 * scale);
    }
    const std::int64_t outside = histogram.below() + histogram.above();
    if (outside > 0)
        spread += QStringLiteral(" %1 %2 beyond the bins shown.")
                      .arg(countText(outside), outside == 1 ? QStringLiteral("fight") : QStringLiteral("fights"));
    charts::showHistogram(*view->chart(), edges, counts, h == 2 ? QStringLiteral("seconds") : QStringLiteral("damage"));
    spreads_[h]->setText(spread);
    view->setAccessibleDescription(QStringLiteral("%1: %2 fights. %3").arg(title, countText(total), spread));
}

}  // namespace skarn
