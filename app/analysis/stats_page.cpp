#include "app/analysis/stats_page.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QLabel>
#include <QSpinBox>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/csv.h"
#include "analysis/report_scale.h"
#include "app/analysis/charts.h"
#include "app/analysis_text.h"
#include "model/stats.h"
#include "ui/text.h"

namespace skarn {
namespace {

using namespace tabs;
using analysis::Result;

}  // namespace

StatsPage::StatsPage()
    : AnalysisPage(QStringLiteral("S&tats"), QStringLiteral("stats"), QStringLiteral("&Fights per value:"), 50'000) {
    auto* pointsLabel = new QLabel(QStringLiteral("&Points:"), this);
    points_ = new QSpinBox(this);
    points_->setObjectName(QStringLiteral("statsPoints"));
    points_->setRange(1, 400);
    points_->setValue(10);
    points_->setKeyboardTracking(false);
    points_->setAccessibleName(QStringLiteral("Points"));
    points_->setAccessibleDescription(
        QStringLiteral("Each stat is tried this many points below and above its value."));
    pointsLabel->setBuddy(points_);
    settingsRow()->addWidget(pointsLabel);
    settingsRow()->addWidget(points_);
    settingsRow()->addStretch(1);
    connect(points_, &QSpinBox::valueChanged, this, [this] { changed(); });

    auto* row = new QHBoxLayout;
    picture_ = new QWidget(this);
    auto* left = new QVBoxLayout(picture_);
    left->setContentsMargins(0, 0, 0, 0);
    base_ = wrappedLabel(QStringLiteral("statsBase"), picture_);
    view_ = charts::newChartView(QStringLiteral("statsChart"), QStringLiteral("Stats"), picture_);
    words_ = wrappedLabel(QStringLiteral("statsWords"), picture_);
    words_->setAccessibleName(QStringLiteral("What ten more points of each stat do"));
    left->addWidget(base_);
    left->addWidget(view_, 1);
    left->addWidget(words_);
    table_ = newTable(QStringLiteral("statsTable"), QStringLiteral("Stats table"),
                      {QStringLiteral("#"), QStringLiteral("Stat"), QStringLiteral("Value"), QStringLiteral("Tried"),
                       QStringLiteral("Per point"), QStringLiteral("95 % interval")},
                      this);
    table_->setAccessibleDescription(QStringLiteral(
        "For each stat, best first: its value, the values tried, and how much one point more changes the "
        "result, with its 95 % interval."));
    row->addWidget(picture_, 3);
    row->addWidget(table_, 0);
    body()->addLayout(row, 1);
    notes_ = wrappedLabel(QStringLiteral("statsNotes"), this);
    body()->addWidget(notes_);
}

std::optional<AnalysisPage::Plan> StatsPage::plan(const AnalysisSubject& subject, const analysis::RunSettings& settings,
                                                  QString&) {
    const std::int32_t delta = points_->value();
    Plan plan;
    plan.variants = analysis::scaleVariants(subject.you, subject.opp, delta, settings.mode, settings.fights);
    const std::optional<analysis::ExactRefusal> declined =
        analysis::findExactScaleRefusal(subject.you, subject.opp, delta, settings.mode);
    if (!declined) {
        plan.what = QStringLiteral("the exact scale factors");
    } else {
        plan.fights = settings.fights;
        plan.what = QStringLiteral("the scale factors, %1 sampled fights for each value").arg(countText(settings.fights));
    }
    plan.work = [you = subject.you, opp = subject.opp, delta, exact = !declined,
                 why = declined ? declined->message() : std::string()](const analysis::RunSettings& s) {
        ScaleFindings found;
        found.declined = why;
        PageResult result;
        if (exact) {
            analysis::ExactRefusal refused;
            bool cancelled = false;
            found.exact = analysis::exactScale(you, opp, delta, exactSettings(s), refused, cancelled);
            result.wasCancelled = cancelled;
            // The estimate fell short for a value: the whole scale is sampled.
            if (!found.exact && !cancelled) found.declined = refused.message();
        }
        if (!found.exact && !result.wasCancelled) found.sampled = analysis::scaleStats(you, opp, delta, s);
        result.value = std::move(found);
        return result;
    };
    youName_ = displayText(subject.you.name);
    return plan;
}

namespace {

// One stat as the tab shows it, exact or sampled.
struct ShownStat {
    model::Stat stat = model::Stat::Strength;
    std::int32_t value = 0, low = 0, high = 0;
    bool hitPointsFollow = false, oneSided = false;
    std::string refused;
    std::optional<double> perPoint;
    std::optional<analysis::Interval> interval;
};

}  // namespace

void StatsPage::present(const PageResult& result) {
    findings_ = std::get<ScaleFindings>(result.value);
    const bool exact = findings_->exact.has_value();
    usedPoints_ = exact ? findings_->exact->delta : findings_->sampled.delta;
    showFights(!exact, findings_->sampled.fights);
    const Result measured = exact ? findings_->exact->result : findings_->sampled.result;
    const FightMode mode = exact ? findings_->exact->mode : findings_->sampled.mode;
    const QString change = changeUnit(measured);
    const double delta = usedPoints_;

    std::vector<ShownStat> stats;
    if (exact) {
        const analysis::ExactScale& scale = *findings_->exact;
        base_->setText(QStringLiteral("Now: %1 %2 (exact)")
                           .arg(resultTitle(measured).toLower(), fixed2(scale.base.mean(measured))));
        for (const analysis::ExactStatScale& st : scale.stats)
            stats.push_back({st.stat, st.value, st.low, st.high, st.hitPointsFollow, st.oneSided(), st.refused,
                             st.perPoint, std::nullopt});
    } else {
        const analysis::Scale& scale = findings_->sampled;
        const auto baseInterval = analysis::intervalOf(scale.base.intervals(mode), measured);
        base_->setText(QStringLiteral("Now: %1 %2 %3")
                           .arg(resultTitle(measured).toLower(), fixed2(scale.base.mean(measured)),
                                intervalText(baseInterval, QString())));
        for (const analysis::StatScale& st : scale.stats) {
            stats.push_back({st.stat, st.value, st.low, st.high, st.hitPointsFollow, st.oneSided(), st.refused,
                             st.perPoint ? std::optional<double>(st.perPoint->mean) : std::nullopt, st.perPoint});
        }
    }

    // Enough decimals for three significant digits of the largest factor.
    double largest = 0.0;
    for (const ShownStat& st : stats)
        if (st.perPoint) largest = std::max(largest, std::fabs(*st.perPoint));
    const int decimals =
        largest > 0.0 ? std::clamp(2 - static_cast<int>(std::floor(std::log10(largest))), 2, 6) : 2;

    std::vector<charts::Bar> bars;
    QStringList words, notes;
    if (!exact) notes << sampledNote(findings_->declined);
    QStringList headers{QStringLiteral("#"), QStringLiteral("Stat"), QStringLiteral("Value"), QStringLiteral("Tried"),
                        measured == Result::WinPercent ? QStringLiteral("Per point (percentage points)")
                                                       : QStringLiteral("Per point")};
    if (!exact) headers << QStringLiteral("95 % interval");
    table_->setColumnCount(static_cast<int>(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    table_->setRowCount(static_cast<int>(stats.size()));
    for (std::size_t i = 0; i < stats.size(); ++i) {
        const ShownStat& st = stats[i];
        const QString caption = QString::fromLatin1(model::statInfo(st.stat).caption);
        if (st.perPoint) {
            charts::Bar bar{caption, *st.perPoint * delta, std::nullopt, std::nullopt, false};
            if (st.interval) {
                bar.low = st.interval->low * delta;
                bar.high = st.interval->high * delta;
            }
            bars.push_back(bar);
            const bool none = exact ? *st.perPoint == 0.0 : st.interval->low == 0.0 && st.interval->high == 0.0;
            words << (none ? QStringLiteral("+%1 %2: no change in %3")
                                 .arg(usedPoints_)
                                 .arg(caption, resultTitle(measured).toLower())
                           : QStringLiteral("+%1 %2 \u2248 %3 %4")
                                 .arg(usedPoints_)
                                 .arg(caption, approxText(*st.perPoint * delta), change));
        }
        if (!st.refused.empty()) notes << caption + QStringLiteral(" not scaled: ") + displayText(st.refused);
        if (st.oneSided) {
            notes << QStringLiteral("%1 %2 is at the end of its range: compared with %3 only.")
                         .arg(caption)
                         .arg(st.value)
                         .arg(st.low == st.value ? st.high : st.low);
        }
        if (st.hitPointsFollow) {
            notes << QStringLiteral("%1 has no stored hit points, so its hit points are its Str. and change with it.")
                         .arg(youName_);
        }
        QStringList cells{QString::number(i + 1), caption, QString::number(st.value),
                          QStringLiteral("%1..%2").arg(st.low).arg(st.high),
                          st.perPoint ? signedFixed(*st.perPoint, decimals) : QStringLiteral("-")};
        if (!exact) cells << signedIntervalText(st.interval, decimals);
        setRow(*table_, static_cast<int>(i), 1, cells);
    }
    fitColumns(*table_);
    table_->setMinimumWidth(table_->horizontalHeader()->length() + 2 * table_->frameWidth() +
                            table_->verticalScrollBar()->sizeHint().width());
    charts::showBars(*view_->chart(), bars,
                     QStringLiteral("change of %1 for +%2 points%3")
                         .arg(resultTitle(measured).toLower())
                         .arg(usedPoints_)
                         .arg(measured == Result::WinPercent ? QStringLiteral(", in percentage points")
                                                             : QString()) +
                         (exact ? QString() : QStringLiteral(" (95 % interval)")));
    view_->chart()->setTitle(exact ? QStringLiteral("%1 points more of each stat, exact").arg(usedPoints_)
                                   : QStringLiteral("%1 points more of each stat, %2 sampled fights for each value")
                                         .arg(usedPoints_)
                                         .arg(countText(findings_->sampled.fights)));
    words_->setText(words.join(u'\n'));
    view_->setAccessibleName(words.isEmpty() ? QStringLiteral("Stats") : QStringLiteral("Stats: ") + words.front() + QStringLiteral(", best"));
    view_->setAccessibleDescription(words.join(QStringLiteral("; ")));
    notes_->setText(notes.join(u'\n'));
    restyle(*window());
}

void StatsPage::revertSettings() {
    AnalysisPage::revertSettings();
    if (!findings_) return;
    const QSignalBlocker quiet(points_);
    points_->setValue(usedPoints_);
}

void StatsPage::presentRefusal(const QString& refusal) {
    findings_.reset();
    charts::clearChart(*view_->chart());
    table_->setRowCount(0);
    words_->clear();
    base_->clear();
    notes_->setText(refusal);
}

std::string StatsPage::csv(const std::string& you, const std::string& opp) const {
    if (!findings_) return {};
    if (findings_->exact) return report::csvReport(report::exactScaleReport(*findings_->exact, you, opp));
    return analysis::scaleCsv(findings_->sampled, you, opp);
}

QChart* StatsPage::titledChart() { return view_->chart(); }

void StatsPage::restyle(const QWidget& window) { restyleView(*view_, window); }

}  // namespace skarn
