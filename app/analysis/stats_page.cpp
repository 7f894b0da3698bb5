#include "app/analysis/stats_page.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/csv.h"
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
    row->addWidget(table_, 2);
    body()->addLayout(row, 1);
    notes_ = wrappedLabel(QStringLiteral("statsNotes"), this);
    body()->addWidget(notes_);
}

std::optional<AnalysisPage::Plan> StatsPage::plan(const AnalysisSubject& subject, const analysis::RunSettings& settings,
                                                  QString&) {
    const std::int32_t delta = points_->value();
    Plan plan;
    plan.variants = analysis::scaleVariants(subject.you, subject.opp, delta, settings.mode, settings.fights);
    plan.work = [you = subject.you, opp = subject.opp, delta](const analysis::RunSettings& s) {
        return PageResult{analysis::scaleStats(you, opp, delta, s), you.name, opp.name};
    };
    youName_ = displayText(subject.you.name);
    mode_ = settings.mode;
    return plan;
}

void StatsPage::present(const PageResult& result) {
    scale_ = std::get<analysis::Scale>(result.value);
    names_ = {result.you, result.opp};
    const analysis::Scale& scale = *scale_;
    const Result measured = scale.result;
    const QString unit = resultUnit(measured);
    const double delta = scale.delta;

    const auto baseInterval = analysis::intervalOf(scale.base.intervals(mode_), measured);
    base_->setText(QStringLiteral("Now: %1 %2 %3")
                       .arg(resultTitle(measured).toLower(), fixed2(scale.base.mean(measured)),
                            intervalText(baseInterval, QString())));

    // Enough decimals for three significant digits of the largest factor.
    double largest = 0.0;
    for (const analysis::StatScale& s : scale.stats)
        if (s.perPoint) largest = std::max(largest, std::fabs(s.perPoint->mean));
    const int decimals =
        largest > 0.0 ? std::clamp(2 - static_cast<int>(std::floor(std::log10(largest))), 2, 6) : 2;

    std::vector<charts::Bar> bars;
    QStringList words, notes;
    table_->setRowCount(static_cast<int>(scale.stats.size()));
    for (std::size_t i = 0; i < scale.stats.size(); ++i) {
        const analysis::StatScale& s = scale.stats[i];
        const QString caption = QString::fromLatin1(model::statInfo(s.stat).caption);
        if (s.perPoint) {
            bars.push_back({caption, s.perPoint->mean * delta, s.perPoint->low * delta, s.perPoint->high * delta,
                            false});
            const bool none = s.perPoint->low == 0.0 && s.perPoint->high == 0.0;
            words << (none ? QStringLiteral("+%1 %2: no change in %3")
                                 .arg(scale.delta)
                                 .arg(caption, resultTitle(measured).toLower())
                           : QStringLiteral("+%1 %2 \u2248 %3 %4")
                                 .arg(scale.delta)
                                 .arg(caption, approxText(s.perPoint->mean * delta), unit));
        }
        if (!s.refused.empty()) notes << caption + QStringLiteral(" not scaled: ") + displayText(s.refused);
        if (s.oneSided()) {
            notes << QStringLiteral("%1 %2 is at the end of its range: compared with %3 only.")
                         .arg(caption)
                         .arg(s.value)
                         .arg(s.low == s.value ? s.high : s.low);
        }
        if (s.hitPointsFollow) {
            notes << QStringLiteral("%1 has no stored hit points, so its hit points are its Str. and change with it.")
                         .arg(youName_);
        }
        setRow(*table_, static_cast<int>(i), 1,
               {QString::number(i + 1), caption, QString::number(s.value),
                QStringLiteral("%1..%2").arg(s.low).arg(s.high),
                s.perPoint ? signedFixed(s.perPoint->mean, decimals) : QStringLiteral("-"),
                signedIntervalText(s.perPoint, decimals)});
    }
    fitColumns(*table_);
    charts::showBars(*view_->chart(), bars,
                     QStringLiteral("change of %1 for +%2 points (95 % interval)")
                         .arg(resultTitle(measured).toLower())
                         .arg(scale.delta));
    view_->chart()->setTitle(QStringLiteral("%1 points more of each stat, %2 fights for each value")
                                 .arg(scale.delta)
                                 .arg(countText(scale.fights)));
    words_->setText(words.join(u'\n'));
    view_->setAccessibleName(words.isEmpty() ? QStringLiteral("Stats") : QStringLiteral("Stats: ") + words.front() + QStringLiteral(", best"));
    view_->setAccessibleDescription(words.join(QStringLiteral("; ")));
    notes_->setText(notes.join(u'\n'));
    restyle(*window());
}

void StatsPage::presentRefusal(const QString& refusal) {
    scale_.reset();
    charts::clearChart(*view_->chart());
    table_->setRowCount(0);
    words_->clear();
    base_->clear();
    notes_->setText(refusal);
}

QString StatsPage::describe(std::int64_t fights) const {
    return QStringLiteral("the scale factors, %1 fights for each value").arg(countText(fights));
}

std::string StatsPage::csv() const { return scale_ ? analysis::scaleCsv(*scale_, names_.first, names_.second) : std::string(); }

void StatsPage::restyle(const QWidget& window) { restyleView(*view_, window); }

}  // namespace skarn
