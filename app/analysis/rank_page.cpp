#include "app/analysis/rank_page.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QAbstractBarSeries>
#include <QAbstractItemView>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/csv.h"
#include "app/analysis/charts.h"
#include "app/analysis_text.h"
#include "app/program_objects.h"
#include "data/records.h"
#include "ui/text.h"

namespace skarn {
namespace {

using namespace tabs;
using analysis::RankBy;
using analysis::Result;

QString weaponTypeName(std::int32_t type) {
    return type >= 0 && type < kWeaponTypeCount ? QString::fromLatin1(kWeaponTypeNames[type].data(),
                                                                       static_cast<qsizetype>(kWeaponTypeNames[type].size()))
                                                : QString();
}

}  // namespace

RankPage::RankPage(RankBy by, Give give)
    : AnalysisPage(by == RankBy::Weapon ? QStringLiteral("&Weapons") : QStringLiteral("S&hields"),
                   by == RankBy::Weapon ? QStringLiteral("weapons") : QStringLiteral("shields"),
                   by == RankBy::Weapon ? QStringLiteral("&Fights per weapon:")
                                        : QStringLiteral("&Fights per shield:"),
                   10'000),
      by_(by),
      give_(std::move(give)) {
    const bool weapons = by == RankBy::Weapon;
    if (weapons) {
        allTypes_ = new QCheckBox(QStringLiteral("Every weapon &type"), this);
        allTypes_->setObjectName(QStringLiteral("allWeaponTypes"));
        allTypes_->setAccessibleName(QStringLiteral("Every weapon type"));
        allTypes_->setAccessibleDescription(
            QStringLiteral("Ranks the weapons of all four types, not only those of your weapon type."));
        settingsRow()->addWidget(allTypes_);
        connect(allTypes_, &QCheckBox::toggled, this, [this] { changed(); });
    }
    settingsRow()->addStretch(1);

    auto* row = new QHBoxLayout;
    view_ = charts::newChartView(stem + QStringLiteral("Chart"),
                                 weapons ? QStringLiteral("Weapons ranking") : QStringLiteral("Shields ranking"),
                                 this);
    table_ = newTable(stem + QStringLiteral("Table"),
                      weapons ? QStringLiteral("Weapons ranking table") : QStringLiteral("Shields ranking table"),
                      {QStringLiteral("#"), weapons ? QStringLiteral("Weapon") : QStringLiteral("Shield"),
                       QString(), QStringLiteral("95 % interval"), QStringLiteral("vs best"),
                       QStringLiteral("95 % interval")},
                      this);
    table_->setAccessibleDescription(
        weapons ? QStringLiteral("Double-click a weapon, or press Enter on it, to give it to You in the main window.")
                : QStringLiteral("Double-click a shield, or press Enter on it, to give it to You in the main window."));
    row->addWidget(view_, 1);
    row->addWidget(table_, 1);
    body()->addLayout(row, 1);
    notes_ = wrappedLabel(stem + QStringLiteral("Notes"), this);
    body()->addWidget(notes_);

    connect(table_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) { choose(index.row()); });
}

std::optional<AnalysisPage::Plan> RankPage::plan(const AnalysisSubject& subject, const analysis::RunSettings& settings,
                                                 QString& refusal) {
    current_ = subject.you;
    std::vector<analysis::Candidate> candidates;
    std::string error;
    std::vector<std::string> warnings;
    const bool allTypes = allTypes_ && allTypes_->isChecked();
    if (!analysis::rankCandidates(equiFile(), subject.you, subject.opp, by_, allTypes, settings.mode,
                                  settings.fights, candidates, error, warnings)) {
        refusal = displayText(error) + QStringLiteral(".");
        refusal[0] = refusal[0].toUpper();
        return std::nullopt;
    }
    Plan plan;
    for (const analysis::Candidate& c : candidates) plan.variants.push_back(analysis::variantOf(c.you, subject.opp));
    plan.work = [candidates = std::move(candidates), you = subject.you.name, opp = subject.opp, by = by_,
                 warnings = std::move(warnings), allTypes](const analysis::RunSettings& s) {
        return PageResult{RankFindings{analysis::rank(candidates, opp, by, s), warnings, allTypes}, you,
                          opp.name};
    };
    return plan;
}

void RankPage::present(const PageResult& result) {
    findings_ = std::get<RankFindings>(result.value);
    names_ = {result.you, result.opp};
    showFindings();
}

void RankPage::presentRefusal(const QString& refusal) {
    findings_.reset();
    charts::clearChart(*view_->chart());
    view_->setAccessibleDescription(refusal);
    table_->setRowCount(0);
    notes_->setText(refusal);
}

QString RankPage::describe(std::int64_t fights) const {
    return QStringLiteral("the %1 ranking, %2 fights each")
        .arg(by_ == RankBy::Weapon ? QStringLiteral("weapons") : QStringLiteral("shields"), countText(fights));
}

std::string RankPage::csv() const {
    return findings_ ? analysis::rankingCsv(findings_->ranking, by_, names_.first, names_.second) : std::string();
}

QWidget* RankPage::picture() { return view_; }

void RankPage::restyle(const QWidget& window) { restyleView(*view_, window); }

void RankPage::markCurrent(const analysis::Candidate& candidate) {
    current_ = candidate.you;
    if (findings_) showFindings();
}

bool RankPage::isCurrent(const analysis::Candidate& c) const {
    if (!current_) return false;
    if (by_ == RankBy::Shield) return c.name == current_->shieldName;
    return c.name == current_->weaponName && c.you.weaponType == current_->weaponType;
}

QString RankPage::label(const analysis::RankEntry& entry) const {
    const analysis::Candidate& c = entry.candidate;
    QString text = displayText(c.name);
    if (by_ == RankBy::Weapon && findings_->allTypes) text += QStringLiteral(" (%1)").arg(weaponTypeName(c.you.weaponType));
    if (c.you.shieldDroppedForHands) text += QStringLiteral(" (two-handed)");
    return text;
}

void RankPage::showFindings() {
    const analysis::Ranking& ranking = findings_->ranking;
    const Result result = ranking.result;
    const QString unit = resultUnit(result);
    std::vector<charts::Bar> bars;
    QStringList spokenEntries;
    table_->setRowCount(static_cast<int>(ranking.entries.size()));
    table_->horizontalHeaderItem(2)->setText(resultTitle(result));
    for (std::size_t i = 0; i < ranking.entries.size(); ++i) {
        const analysis::RankEntry& e = ranking.entries[i];
        const bool current = isCurrent(e.candidate);
        const bool best = i == 0;
        charts::Bar bar{label(e) + (current ? QStringLiteral(" (current)") : QString()), e.value, std::nullopt,
                        std::nullopt, current};
        if (e.interval) {
            bar.low = e.interval->low;
            bar.high = e.interval->high;
        }
        bars.push_back(bar);
        QString words = QStringLiteral("%1 %2 %3").arg(label(e), spoken(e.value), unit);
        if (best) words += QStringLiteral(", best");
        if (current) words += QStringLiteral(", your current choice");
        spokenEntries << words;
        setRow(*table_, static_cast<int>(i), 1,
               {QString::number(i + 1), label(e), fixed2(e.value), intervalText(e.interval),
                best ? QStringLiteral("best") : e.versusBest ? signedFixed(e.versusBest->mean, 2) : QString(),
                best ? QString() : signedIntervalText(e.versusBest, 2)},
               current);
    }
    fitColumns(*table_);
    const QString lowerBetter = analysis::lowerIsBetter(result) ? QStringLiteral(", lower is better") : QString();
    QAbstractBarSeries* series = charts::showBars(
        *view_->chart(), bars, resultTitle(result) + QStringLiteral(" (95 % interval)") + lowerBetter);
    const int count = static_cast<int>(bars.size());
    connect(series, &QAbstractBarSeries::doubleClicked, this, [this, count](int index, QBarSet*) {
        choose(count - 1 - index);
    });
    const QString what = by_ == RankBy::Weapon ? QStringLiteral("Weapons ranking") : QStringLiteral("Shields ranking");
    view_->chart()->setTitle(QStringLiteral("%1, %2 fights each").arg(what, countText(ranking.fights)));
    view_->setAccessibleName(ranking.entries.empty()
                                 ? what
                                 : QStringLiteral("%1: %2 %3 %4, best")
                                       .arg(what, label(ranking.entries.front()),
                                            spoken(ranking.entries.front().value), unit));
    view_->setAccessibleDescription(spokenEntries.join(QStringLiteral("; ")));

    QStringList notes;
    if (by_ == RankBy::Weapon) {
        notes << QStringLiteral("Double-click a weapon to give it to You in the main window.");
        const bool twoHanded = std::any_of(ranking.entries.begin(), ranking.entries.end(), [](const auto& e) {
            return e.candidate.you.shieldDroppedForHands;
        });
        if (twoHanded) notes << QStringLiteral("A two-handed weapon is ranked without the shield, which it leaves no hand for.");
    } else {
        notes << QStringLiteral("Double-click a shield to give it to You in the main window.");
    }
    for (const std::string& warning : findings_->warnings) notes << displayText(warning);
    notes_->setText(notes.join(u'\n'));
    restyle(*window());
}

void RankPage::choose(int entry) {
    if (!findings_ || entry < 0 || entry >= static_cast<int>(findings_->ranking.entries.size())) return;
    give_(by_, findings_->ranking.entries[static_cast<std::size_t>(entry)].candidate);
}

}  // namespace skarn
