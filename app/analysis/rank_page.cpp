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
#include <QScrollArea>
#include <QSplitter>
#include <QSignalBlocker>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/csv.h"
#include "analysis/report_rank.h"
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
    // A long ranking makes the chart taller than the window: it scrolls.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(stem + QStringLiteral("ChartScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(view_);
    scroll->setFocusPolicy(Qt::NoFocus);
    // The chart above the table, each the window's whole width: every name
    // on the chart and every column of the table shows in full; the user
    // moves the line between them.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(stem + QStringLiteral("Split"));
    split->setChildrenCollapsible(false);
    split->addWidget(scroll);
    split->addWidget(table_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    const int line = fontMetrics().height();
    scroll->setMinimumHeight(line * 10);
    table_->setMinimumHeight(line * 6);
    split->setSizes({line * 30, line * 20});  // in proportion, once laid out
    body()->addWidget(split, 1);
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
    const QString what = by_ == RankBy::Weapon ? QStringLiteral("weapons") : QStringLiteral("shields");
    Plan plan;
    for (const analysis::Candidate& c : candidates) plan.variants.push_back(analysis::variantOf(c.you, subject.opp));
    const std::optional<analysis::ExactRefusal> declined =
        analysis::findExactRankRefusal(candidates, subject.opp, settings.mode);
    if (!declined) {
        plan.what = QStringLiteral("the exact %1 ranking").arg(what);
    } else {
        plan.fights = settings.fights;
        plan.what = QStringLiteral("the %1 ranking, %2 sampled fights each").arg(what, countText(settings.fights));
    }
    plan.work = [candidates = std::move(candidates), opp = subject.opp, by = by_, warnings = std::move(warnings),
                 allTypes, exact = !declined,
                 why = declined ? declined->message() : std::string()](const analysis::RunSettings& s) {
        RankFindings found;
        found.warnings = warnings;
        found.allTypes = allTypes;
        found.declined = why;
        PageResult result;
        if (exact) {
            analysis::ExactRefusal refused;
            bool cancelled = false;
            found.exact = analysis::exactRank(candidates, opp, by, exactSettings(s), refused, cancelled);
            result.wasCancelled = cancelled;
            // The estimate fell short for a candidate: the whole ranking is sampled.
            if (!found.exact && !cancelled) found.declined = refused.message();
        }
        if (!found.exact && !result.wasCancelled) found.ranking = analysis::rank(candidates, opp, by, s);
        result.value = std::move(found);
        return result;
    };
    return plan;
}

void RankPage::present(const PageResult& result) {
    findings_ = std::get<RankFindings>(result.value);
    usedAllTypes_ = findings_->allTypes;
    showFights(!findings_->exact, findings_->ranking.fights);
    showFindings();
}

void RankPage::revertSettings() {
    AnalysisPage::revertSettings();
    if (allTypes_ && findings_) {
        const QSignalBlocker quiet(allTypes_);
        allTypes_->setChecked(usedAllTypes_);
    }
}

void RankPage::presentRefusal(const QString& refusal) {
    findings_.reset();
    charts::clearChart(*view_->chart());
    view_->setAccessibleDescription(refusal);
    table_->setRowCount(0);
    notes_->setText(refusal);
}

std::string RankPage::csv(const std::string& you, const std::string& opp) const {
    if (!findings_) return {};
    if (findings_->exact)
        return report::csvReport(report::exactRankReport(*findings_->exact, by_, findings_->allTypes, you, opp));
    return report::csvReport(report::rankReport(findings_->ranking, by_, findings_->allTypes, you, opp));
}

QChart* RankPage::titledChart() { return view_->chart(); }

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

QString RankPage::label(const analysis::Candidate& c) const {
    QString text = displayText(c.name);
    if (by_ == RankBy::Weapon && findings_->allTypes) text += QStringLiteral(" (%1)").arg(weaponTypeName(c.you.weaponType));
    if (c.you.shieldDroppedForHands) text += QStringLiteral(" (two-handed)");
    return text;
}

namespace {

// One entry as the tab shows it, exact or sampled.
struct Shown {
    const analysis::Candidate* candidate = nullptr;
    double value = 0.0;
    std::optional<analysis::Interval> interval;
    std::optional<double> versusBest;
    std::optional<analysis::Interval> versusInterval;
};

}  // namespace

void RankPage::showFindings() {
    const bool exact = findings_->exact.has_value();
    const Result result = exact ? findings_->exact->result : findings_->ranking.result;
    std::vector<Shown> entries;
    if (exact) {
        for (const analysis::ExactRankEntry& e : findings_->exact->entries)
            entries.push_back({&e.candidate, e.value, std::nullopt, e.versusBest, std::nullopt});
    } else {
        for (const analysis::RankEntry& e : findings_->ranking.entries) {
            entries.push_back({&e.candidate, e.value, e.interval,
                               e.versusBest ? std::optional<double>(e.versusBest->mean) : std::nullopt, e.versusBest});
        }
    }
    const QString unit = resultUnit(result);
    const QString change = changeUnit(result);
    std::vector<charts::Bar> bars;
    QStringList spokenEntries;
    const QString versus = result == Result::WinPercent ? QStringLiteral("vs best (percentage points)")
                                                        : QStringLiteral("vs best");
    QStringList headers{QStringLiteral("#"), by_ == RankBy::Weapon ? QStringLiteral("Weapon") : QStringLiteral("Shield"),
                        resultTitle(result)};
    if (!exact) headers << QStringLiteral("95 % interval");
    headers << versus;
    if (!exact) headers << QStringLiteral("95 % interval");
    table_->setColumnCount(static_cast<int>(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    table_->setRowCount(static_cast<int>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Shown& e = entries[i];
        const bool current = isCurrent(*e.candidate);
        const bool best = i == 0;
        const QString name = label(*e.candidate);
        charts::Bar bar{name + (current ? QStringLiteral(" (current)") : QString()), e.value, std::nullopt,
                        std::nullopt, current};
        if (e.interval) {
            bar.low = e.interval->low;
            bar.high = e.interval->high;
        }
        bars.push_back(bar);
        QString words = QStringLiteral("%1 %2 %3").arg(name, spoken(e.value), unit);
        if (best) words += QStringLiteral(", best");
        else if (e.versusBest) words += QStringLiteral(", %1 %2 from the best").arg(signedFixed(*e.versusBest, 2), change);
        if (current) words += QStringLiteral(", your current choice");
        spokenEntries << words;
        QStringList cells{QString::number(i + 1), name, fixed2(e.value)};
        if (!exact) cells << intervalText(e.interval);
        cells << (best ? QStringLiteral("best") : e.versusBest ? signedFixed(*e.versusBest, 2) : QString());
        if (!exact) cells << (best ? QString() : signedIntervalText(e.versusInterval, 2));
        setRow(*table_, static_cast<int>(i), 1, cells, current);
    }
    fitColumns(*table_);
    const QString lowerBetter = analysis::lowerIsBetter(result) ? QStringLiteral(", lower is better") : QString();
    QAbstractBarSeries* series = charts::showBars(
        *view_->chart(), bars,
        resultTitle(result) + (exact ? QString() : QStringLiteral(" (95 % interval)")) + lowerBetter);
    // Each name a line of its own: a long ranking makes the chart taller,
    // and the chart's frame scrolls.
    const int line = view_->fontMetrics().height();
    view_->setMinimumHeight(std::max(line * 12, static_cast<int>(bars.size()) * line * 2 + line * 8));
    const int count = static_cast<int>(bars.size());
    connect(series, &QAbstractBarSeries::doubleClicked, this, [this, count](int index, QBarSet*) {
        choose(count - 1 - index);
    });
    const QString what = by_ == RankBy::Weapon ? QStringLiteral("Weapons ranking") : QStringLiteral("Shields ranking");
    view_->chart()->setTitle(exact ? QStringLiteral("%1, exact").arg(what)
                                   : QStringLiteral("%1, %2 sampled fights each")
                                         .arg(what, countText(findings_->ranking.fights)));
    view_->setAccessibleName(entries.empty()
                                 ? what
                                 : QStringLiteral("%1: %2 %3 %4, best")
                                       .arg(what, label(*entries.front().candidate), spoken(entries.front().value), unit));
    view_->setAccessibleDescription(spokenEntries.join(QStringLiteral("; ")));

    QStringList notes;
    if (!exact) notes << sampledNote(findings_->declined);
    if (by_ == RankBy::Weapon) {
        notes << QStringLiteral("Double-click a weapon to give it to You in the main window.");
        const bool twoHanded = std::any_of(entries.begin(), entries.end(), [](const Shown& e) {
            return e.candidate->you.shieldDroppedForHands;
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
    if (!findings_) return;
    const auto at = static_cast<std::size_t>(entry);
    if (findings_->exact) {
        if (entry >= 0 && at < findings_->exact->entries.size()) give_(by_, findings_->exact->entries[at].candidate);
    } else if (entry >= 0 && at < findings_->ranking.entries.size()) {
        give_(by_, findings_->ranking.entries[at].candidate);
    }
}

}  // namespace skarn
