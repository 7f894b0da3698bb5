#include "app/analysis_window.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSaveFile>
#include <QSpinBox>
#include <QStandardPaths>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "analysis/csv.h"
#include "analysis/histogram.h"
#include "app/analysis_charts.h"
#include "app/analysis_text.h"
#include "app/program_objects.h"
#include "app/simulator_dialog.h"
#include "data/records.h"
#include "data/section_file.h"
#include "model/modes.h"
#include "model/stats.h"
#include "resources/resource_ids.h"
#include "ui/file_dialog.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace skarn {

using analysis::RankBy;
using analysis::Result;

// What a ranking found: the ranking, the weapons or shields it left out, and
// whether it ranked the weapons of every type.
struct RankFindings {
    analysis::Ranking ranking;
    std::vector<std::string> warnings;
    bool allTypes = false;
};

// What a tab's analysis gives.
struct PageResult {
    std::variant<analysis::Outcome, RankFindings, analysis::Scale> value;

    bool cancelled() const {
        return std::visit(
            [](const auto& v) {
                if constexpr (std::is_same_v<std::decay_t<decltype(v)>, RankFindings>)
                    return v.ranking.cancelled;
                else
                    return v.cancelled;
            },
            value);
    }
};

namespace {

constexpr std::int64_t kFightChoices[] = {1'000, 10'000, 50'000, 100'000, 1'000'000};
// Runs expected to take longer than this say so before they start.
constexpr double kAnnounceSeconds = 10.0;
// How often the progress bar moves on between the engine's reports.
constexpr int kProgressStepMs = 40;

QString shown(const std::string& bytes) { return displayText(bytes); }

QString modeCaption(FightMode mode) { return QString::fromLatin1(model::modeCaption(mode)); }

QString weaponTypeName(std::int32_t type) {
    return type >= 0 && type < kWeaponTypeCount ? QString::fromLatin1(kWeaponTypeNames[type].data(),
                                                                       static_cast<qsizetype>(kWeaponTypeNames[type].size()))
                                                : QString();
}

// "Brannoc the Bold with Longsword and Kite Shield"
QString fighterText(const model::Fighter& f) {
    QString text = QStringLiteral("%1 with %2").arg(shown(f.name), shown(f.weaponName));
    if (f.hasShield) text += QStringLiteral(" and ") + shown(f.shieldName);
    return text;
}

QLabel* wrappedLabel(const QString& objectName, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTableWidget* newTable(const QString& objectName, const QString& accessibleName, const QStringList& headers,
                       QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(objectName);
    table->setAccessibleName(accessibleName);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    return table;
}

// Fills `row`; the cells of `nameColumn` are aligned left, the numbers right.
void setRow(QTableWidget& table, int row, int nameColumn, const QStringList& cells, bool bold = false) {
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        if (bold) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        }
        item->setTextAlignment(Qt::AlignVCenter | (column == nameColumn ? Qt::AlignLeft : Qt::AlignRight));
        table.setItem(row, column, item);
    }
}

void fitColumns(QTableWidget& table) {
    table.resizeColumnsToContents();
    table.resizeRowsToContents();
}

// A number in words for a screen reader, with one decimal: "72.4".
QString spoken(double value) { return QString::number(value, 'f', 1); }

QString rateText(double perSecond) {
    if (perSecond >= 1e6) return QStringLiteral("%1 million fights/s").arg(perSecond / 1e6, 0, 'f', 2);
    return QStringLiteral("%1 fights/s").arg(countText(static_cast<std::int64_t>(perSecond)));
}

// "45 000 of 100 000 fights"
QString doneText(std::int64_t done, std::int64_t total) {
    return QStringLiteral("%1 of %2 fights").arg(countText(done), countText(total));
}

QString secondsText(double seconds) {
    if (seconds < 60.0) return QStringLiteral("%1 s").arg(seconds, 0, 'f', seconds < 10.0 ? 2 : 0);
    const auto whole = static_cast<long long>(std::ceil(seconds));
    return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60);
}

}  // namespace

// ---- a tab -------------------------------------------------------------------

// One tab of the window: its settings, what it runs, and how it shows and
// saves what came out.
class AnalysisPage : public QWidget {
public:
    using Work = std::function<PageResult(const analysis::RunSettings&)>;

    // What a tab runs on the engine, prepared on the window's thread (it may
    // read the data files, which belong to that thread).
    struct Plan {
        Work work;
        std::vector<analysis::Variant> variants;  // the pairs of fighters it runs, for its time
    };

    AnalysisPage(QString title, QString stem, const QString& fightsCaption, std::int64_t defaultFights)
        : title(std::move(title)), stem(std::move(stem)) {
        setObjectName(this->stem + QStringLiteral("Page"));
        auto* layout = new QVBoxLayout(this);
        settings_ = new QHBoxLayout;
        layout->addLayout(settings_);
        auto* fightsLabel = new QLabel(fightsCaption, this);
        fightsBox_ = new QComboBox(this);
        fightsBox_->setObjectName(this->stem + QStringLiteral("Fights"));
        fightsBox_->setAccessibleName(QString(fightsCaption).remove(u'&').remove(u':'));
        fightsBox_->setAccessibleDescription(
            QStringLiteral("More fights give narrower 95 % intervals and take longer."));
        for (const std::int64_t fights : kFightChoices) fightsBox_->addItem(countText(fights), QVariant::fromValue<qint64>(fights));
        fightsBox_->setCurrentIndex(std::max(0, fightsBox_->findData(QVariant::fromValue<qint64>(defaultFights))));
        fightsLabel->setBuddy(fightsBox_);
        settings_->addWidget(fightsLabel);
        settings_->addWidget(fightsBox_);
        connect(fightsBox_, &QComboBox::currentIndexChanged, this, [this] { changed(); });
        body_ = new QVBoxLayout;
        layout->addLayout(body_, 1);
    }

    std::int64_t fights() const { return fightsBox_->currentData().value<qint64>(); }

    // Prepares the analysis of `subject` with `settings` (mode, seed, fights
    // set), or says why it cannot run.
    virtual std::optional<Plan> plan(const AnalysisSubject& subject, const analysis::RunSettings& settings,
                                     QString& refusal) = 0;
    // Shows a finished analysis.
    virtual void present(const PageResult& result) = 0;
    // Shows why the analysis could not run, in place of the last one.
    virtual void presentRefusal(const QString& refusal) = 0;
    virtual bool hasResult() const = 0;
    // "the outcome of 100 000 fights", for the status line.
    virtual QString describe(std::int64_t fights) const = 0;
    // The table as CSV, byte for byte as skarn-cli's --csv prints it.
    virtual std::string csv() const = 0;
    // What Save… writes as a picture.
    virtual QWidget* picture() = 0;
    // The charts in the colours and font of `window`.
    virtual void restyle(const QWidget& window) = 0;

    const QString title;  // the tab's caption
    const QString stem;   // the start of its object names and file names
    // Counts the changes of what the tab's analysis is about; a result is
    // shown only when it was run on the latest.
    int generation = 0;
    bool stale = true;  // the analysis shown, if any, is out of date
    std::function<void()> settingsChanged;

    void invalidate() {
        ++generation;
        stale = true;
    }

protected:
    void changed() {
        invalidate();
        if (settingsChanged) settingsChanged();
    }

    QHBoxLayout* settingsRow() { return settings_; }
    QVBoxLayout* body() { return body_; }

private:
    QHBoxLayout* settings_ = nullptr;
    QVBoxLayout* body_ = nullptr;
    QComboBox* fightsBox_ = nullptr;
};

namespace {

void restyleView(QChartView* view, const QWidget& window) {
    charts::applyStyle(*view->chart(), window.palette(), window.font());
    view->setBackgroundBrush(window.palette().brush(QPalette::Window));
}

// ---- Outcome -------------------------------------------------------------------

constexpr const char* kHistogramTitles[] = {"Damage given per fight", "Damage taken per fight",
                                            "Fight time in seconds"};
constexpr const char* kHistogramNames[] = {"givenHistogram", "takenHistogram", "timeHistogram"};

class OutcomePage : public AnalysisPage {
public:
    OutcomePage()
        : AnalysisPage(QStringLiteral("&Outcome"), QStringLiteral("outcome"), QStringLiteral("&Fights:"),
                       100'000) {
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

    std::optional<Plan> plan(const AnalysisSubject& subject, const analysis::RunSettings&, QString&) override {
        Plan plan;
        plan.variants = {analysis::variantOf(subject.you, subject.opp)};
        plan.work = [you = subject.you, opp = subject.opp](const analysis::RunSettings& s) {
            return PageResult{analysis::analyseOutcome(you, opp, s)};
        };
        return plan;
    }

    void present(const PageResult& result) override {
        outcome_ = std::get<analysis::Outcome>(result.value);
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

    void presentRefusal(const QString& refusal) override {
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

    bool hasResult() const override { return outcome_.has_value(); }
    const analysis::Outcome* outcome() const { return outcome_ ? &*outcome_ : nullptr; }

    QString describe(std::int64_t fights) const override {
        return QStringLiteral("the outcome of %1 fights").arg(countText(fights));
    }

    std::string csv() const override { return outcome_ ? analysis::outcomeCsv(*outcome_) : std::string(); }

    QWidget* picture() override { return picture_; }

    void restyle(const QWidget& window) override {
        restyleView(winView_, window);
        for (QChartView* view : histograms_) restyleView(view, window);
    }

private:
    // Fight lengths are kept in ticks and shown in seconds.
    static double inUnit(std::size_t h, std::int64_t value) {
        return h == 2 ? static_cast<double>(value) / 100.0 : static_cast<double>(value);
    }

    void showHistogram(int h) {
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

    QWidget* picture_ = nullptr;
    QTableWidget* table_ = nullptr;
    QChartView* winView_ = nullptr;
    QLabel* winNote_ = nullptr;
    std::array<QChartView*, 3> histograms_{};
    std::array<QLabel*, 3> spreads_{};
    std::optional<analysis::Outcome> outcome_;
};

// ---- Weapons and Shields ---------------------------------------------------------

// The ranking of the You side's weapons or shields: one implementation for
// both tabs.
class RankPage : public AnalysisPage {
public:
    using Give = std::function<void(RankBy, const analysis::Candidate&)>;

    RankPage(RankBy by, Give give)
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

    std::optional<Plan> plan(const AnalysisSubject& subject, const analysis::RunSettings& settings,
                             QString& refusal) override {
        current_ = subject.you;
        std::vector<analysis::Candidate> candidates;
        std::string error;
        std::vector<std::string> warnings;
        const bool allTypes = allTypes_ && allTypes_->isChecked();
        if (!analysis::rankCandidates(equiFile(), subject.you, subject.opp, by_, allTypes, settings.mode,
                                      settings.fights, candidates, error, warnings)) {
            refusal = shown(error) + QStringLiteral(".");
            refusal[0] = refusal[0].toUpper();
            return std::nullopt;
        }
        Plan plan;
        for (const analysis::Candidate& c : candidates) plan.variants.push_back(analysis::variantOf(c.you, subject.opp));
        plan.work = [candidates = std::move(candidates), opp = subject.opp, by = by_, warnings = std::move(warnings),
                     allTypes](const analysis::RunSettings& s) {
            return PageResult{RankFindings{analysis::rank(candidates, opp, by, s), warnings, allTypes}};
        };
        return plan;
    }

    void present(const PageResult& result) override {
        findings_ = std::get<RankFindings>(result.value);
        showFindings();
    }

    void presentRefusal(const QString& refusal) override {
        findings_.reset();
        charts::clearChart(*view_->chart());
        view_->setAccessibleDescription(refusal);
        table_->setRowCount(0);
        notes_->setText(refusal);
    }

    bool hasResult() const override { return findings_.has_value(); }
    const analysis::Ranking* ranking() const { return findings_ ? &findings_->ranking : nullptr; }

    QString describe(std::int64_t fights) const override {
        return QStringLiteral("the %1 ranking, %2 fights each")
            .arg(by_ == RankBy::Weapon ? QStringLiteral("weapons") : QStringLiteral("shields"), countText(fights));
    }

    std::string csv() const override {
        return findings_ ? analysis::rankingCsv(findings_->ranking, by_) : std::string();
    }

    QWidget* picture() override { return view_; }
    void restyle(const QWidget& window) override { restyleView(view_, window); }

    // The main window now holds `candidate` on the You side: it is marked
    // as the current choice.
    void markCurrent(const analysis::Candidate& candidate) {
        current_ = candidate.you;
        if (findings_) showFindings();
    }

private:
    bool isCurrent(const analysis::Candidate& c) const {
        if (!current_) return false;
        if (by_ == RankBy::Shield) return c.name == current_->shieldName;
        return c.name == current_->weaponName && c.you.weaponType == current_->weaponType;
    }

    QString label(const analysis::RankEntry& entry) const {
        const analysis::Candidate& c = entry.candidate;
        QString text = shown(c.name);
        if (by_ == RankBy::Weapon && findings_->allTypes) text += QStringLiteral(" (%1)").arg(weaponTypeName(c.you.weaponType));
        if (c.you.shieldDroppedForHands) text += QStringLiteral(" (two-handed)");
        return text;
    }

    void showFindings() {
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
        for (const std::string& warning : findings_->warnings) notes << shown(warning);
        notes_->setText(notes.join(u'\n'));
        restyle(*window());
    }

    void choose(int entry) {
        if (!findings_ || entry < 0 || entry >= static_cast<int>(findings_->ranking.entries.size())) return;
        give_(by_, findings_->ranking.entries[static_cast<std::size_t>(entry)].candidate);
    }

    const RankBy by_;
    Give give_;
    QCheckBox* allTypes_ = nullptr;
    QChartView* view_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* notes_ = nullptr;
    std::optional<RankFindings> findings_;
    std::optional<model::Fighter> current_;  // the You side whose choice is marked
};

// ---- Stats ---------------------------------------------------------------------------

class StatsPage : public AnalysisPage {
public:
    StatsPage()
        : AnalysisPage(QStringLiteral("S&tats"), QStringLiteral("stats"), QStringLiteral("&Fights per value:"),
                       50'000) {
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

    std::optional<Plan> plan(const AnalysisSubject& subject, const analysis::RunSettings& settings,
                             QString&) override {
        const std::int32_t delta = points_->value();
        Plan plan;
        plan.variants = analysis::scaleVariants(subject.you, subject.opp, delta, settings.mode, settings.fights);
        plan.work = [you = subject.you, opp = subject.opp, delta](const analysis::RunSettings& s) {
            return PageResult{analysis::scaleStats(you, opp, delta, s)};
        };
        youName_ = shown(subject.you.name);
        mode_ = settings.mode;
        return plan;
    }

    void present(const PageResult& result) override {
        scale_ = std::get<analysis::Scale>(result.value);
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
            if (!s.refused.empty()) notes << caption + QStringLiteral(" not scaled: ") + shown(s.refused);
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

    void presentRefusal(const QString& refusal) override {
        scale_.reset();
        charts::clearChart(*view_->chart());
        table_->setRowCount(0);
        words_->clear();
        base_->clear();
        notes_->setText(refusal);
    }

    bool hasResult() const override { return scale_.has_value(); }
    const analysis::Scale* scale() const { return scale_ ? &*scale_ : nullptr; }

    QString describe(std::int64_t fights) const override {
        return QStringLiteral("the scale factors, %1 fights for each value").arg(countText(fights));
    }

    std::string csv() const override { return scale_ ? analysis::scaleCsv(*scale_) : std::string(); }

    QWidget* picture() override { return picture_; }
    void restyle(const QWidget& window) override { restyleView(view_, window); }

private:
    QSpinBox* points_ = nullptr;
    QWidget* picture_ = nullptr;
    QLabel* base_ = nullptr;
    QChartView* view_ = nullptr;
    QLabel* words_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* notes_ = nullptr;
    QString youName_;
    FightMode mode_ = DamagePer60Seconds;
    std::optional<analysis::Scale> scale_;
};

}  // namespace

// ---- the window ------------------------------------------------------------------

AnalysisWindow::AnalysisWindow(SimulatorDialog& mainWindow)
    : QWidget(&mainWindow, Qt::Window), main_(mainWindow) {
    setObjectName(QStringLiteral("analysisWindow"));
    setWindowTitle(QStringLiteral("Analysis \u2013 Skarn"));
    setAccessibleName(QStringLiteral("Analysis"));
    setAccessibleDescription(QStringLiteral("What the main window's two fighters do over many fights, as charts."));
    seed_ = static_cast<std::uint32_t>(QDateTime::currentSecsSinceEpoch());
    saveFolder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (saveFolder_.isEmpty() || !QFileInfo(saveFolder_).isDir()) saveFolder_ = QDir::homePath();

    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    subjectLabel_ = wrappedLabel(QStringLiteral("subject"), this);
    subjectLabel_->setAccessibleName(QStringLiteral("What is analysed"));
    top->addWidget(subjectLabel_, 1);
    auto* seedLabel = new QLabel(QStringLiteral("&Seed:"), this);
    seedEdit_ = new QLineEdit(QString::number(seed_), this);
    seedEdit_->setObjectName(QStringLiteral("seed"));
    seedEdit_->setAccessibleName(QStringLiteral("Seed"));
    seedEdit_->setAccessibleDescription(
        QStringLiteral("The dice of every analysis follow from the seed: the same seed gives the same figures. "
                       "Type one and press Enter to replay an analysis."));
    seedEdit_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), seedEdit_));
    seedEdit_->setMaxLength(10);
    seedEdit_->setMinimumWidth(seedEdit_->fontMetrics().horizontalAdvance(QStringLiteral("4294967295")) + 16);
    seedLabel->setBuddy(seedEdit_);
    refreshButton_ = new QPushButton(QStringLiteral("&Refresh"), this);
    refreshButton_->setObjectName(QStringLiteral("refresh"));
    refreshButton_->setAccessibleName(QStringLiteral("Refresh"));
    refreshButton_->setAccessibleDescription(
        QStringLiteral("Takes the main window's values again and analyses them with the seed typed."));
    top->addWidget(seedLabel);
    top->addWidget(seedEdit_);
    top->addWidget(refreshButton_);
    layout->addLayout(top);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->setAccessibleName(QStringLiteral("Analyses"));
    tabs_->setAccessibleDescription(
        QStringLiteral("Outcome, Weapons, Shields and Stats; a tab is analysed when it is shown."));
    const RankPage::Give give = [this](RankBy by, const analysis::Candidate& c) { giveToYou(by, c); };
    pages_ = {new OutcomePage, new RankPage(RankBy::Weapon, give), new RankPage(RankBy::Shield, give), new StatsPage};
    for (AnalysisPage* page : pages_) {
        tabs_->addTab(page, page->title);
        page->settingsChanged = [this, page] { onSettingsChanged(*page); };
    }
    layout->addWidget(tabs_, 1);

    auto* bottom = new QHBoxLayout;
    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("status"));
    statusLabel_->setTextFormat(Qt::PlainText);
    statusLabel_->setWordWrap(true);
    statusLabel_->setAccessibleName(QStringLiteral("Status"));
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("progress"));
    progressBar_->setAccessibleName(QStringLiteral("Analysis progress"));
    progressBar_->setAccessibleDescription(QStringLiteral("How much of the running analysis is done."));
    progressBar_->setRange(0, 1000);
    progressBar_->setTextVisible(false);
    countLabel_ = new QLabel(this);
    countLabel_->setObjectName(QStringLiteral("count"));
    countLabel_->setAccessibleName(QStringLiteral("Fights done"));
    countLabel_->setAccessibleDescription(QStringLiteral("How many of the running analysis's fights are done."));
    rateLabel_ = new QLabel(this);
    rateLabel_->setObjectName(QStringLiteral("rate"));
    rateLabel_->setAccessibleName(QStringLiteral("Fights per second"));
    rateLabel_->setAccessibleDescription(QStringLiteral("How fast the running analysis fights."));
    rateLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cancelButton_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancel"));
    cancelButton_->setAccessibleName(QStringLiteral("Cancel"));
    cancelButton_->setAccessibleDescription(
        QStringLiteral("Stops the running analysis; the charts keep the last one that finished."));
    cancelButton_->setEnabled(false);
    saveButton_ = new QPushButton(QStringLiteral("Sa&ve\u2026"), this);
    saveButton_->setObjectName(QStringLiteral("save"));
    saveButton_->setAccessibleName(QStringLiteral("Save"));
    saveButton_->setAccessibleDescription(
        QStringLiteral("Saves this tab's chart as a PNG or SVG image, or its table as CSV."));
    saveButton_->setEnabled(false);
    bottom->addWidget(statusLabel_, 1);
    bottom->addWidget(progressBar_);
    bottom->addWidget(countLabel_);
    bottom->addWidget(rateLabel_);
    bottom->addWidget(cancelButton_);
    bottom->addWidget(saveButton_);
    layout->addLayout(bottom);

    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(kProgressStepMs);
    connect(progressTimer_, &QTimer::timeout, this, [this] { stepProgress(); });
    connect(refreshButton_, &QPushButton::clicked, this, [this] { refresh(); });
    connect(seedEdit_, &QLineEdit::returnPressed, this, [this] { refresh(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { onCancel(); });
    connect(saveButton_, &QPushButton::clicked, this, [this] { onSave(); });
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        saveButton_->setEnabled(currentPage().hasResult());
        if (subject_) requestRun();
    });

    restyle();
    resize(1040, 720);
}

AnalysisWindow::~AnalysisWindow() {
    if (worker_.joinable()) {
        cancel_->store(true);
        worker_.join();
    }
}

AnalysisPage& AnalysisWindow::currentPage() const { return page(currentTab()); }

AnalysisWindow::Tab AnalysisWindow::currentTab() const { return static_cast<Tab>(std::max(0, tabs_->currentIndex())); }

void AnalysisWindow::showTab(Tab tab) { tabs_->setCurrentIndex(static_cast<int>(tab)); }

const analysis::Outcome* AnalysisWindow::outcome() const {
    return static_cast<const OutcomePage&>(page(OutcomeTab)).outcome();
}

const analysis::Ranking* AnalysisWindow::ranking(RankBy by) const {
    return static_cast<const RankPage&>(page(by == RankBy::Weapon ? WeaponsTab : ShieldsTab)).ranking();
}

const analysis::Scale* AnalysisWindow::scale() const { return static_cast<const StatsPage&>(page(StatsTab)).scale(); }

bool AnalysisWindow::openOnMainWindow() {
    if (!refresh()) return false;
    show();
    raise();
    activateWindow();
    return true;
}

std::optional<std::uint32_t> AnalysisWindow::typedSeed() const {
    bool ok = false;
    const qulonglong value = seedEdit_->text().toULongLong(&ok);
    if (!ok || value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

bool AnalysisWindow::refresh() {
    const std::optional<std::uint32_t> seed = typedSeed();
    if (!seed) {
        messageBox(this, QStringLiteral("Please enter a seed between 0 and 4294967295."), applicationName(),
                   MessageIcon::Exclamation);
        seedEdit_->setFocus();
        seedEdit_->selectAll();
        return false;
    }
    const std::optional<SimulatorDialog::RunFighters> fighters = main_.prepareRun(currentPage().fights());
    if (!fighters) {
        setStatus(QStringLiteral("Not analysed: ") + main_.statusLine->text());
        return false;
    }
    seed_ = *seed;
    subject_ = AnalysisSubject{fighters->you, fighters->opp, main_.fightMode};
    showSubject();
    for (AnalysisPage* page : pages_) page->invalidate();
    requestRun();
    return true;
}

void AnalysisWindow::showSubject() {
    const AnalysisSubject& s = *subject_;
    subjectLabel_->setText(QStringLiteral("You: %1.  Opponent: %2.  %3.")
                               .arg(fighterText(s.you), fighterText(s.opp), modeCaption(s.mode)));
    subjectLabel_->setAccessibleDescription(subjectLabel_->text());
}

void AnalysisWindow::setStatus(const QString& text) {
    statusLabel_->setText(text);
    statusLabel_->setAccessibleDescription(text);
}

void AnalysisWindow::onSettingsChanged(AnalysisPage& page) {
    saveButton_->setEnabled(currentPage().hasResult());
    if (subject_ && &page == &currentPage()) requestRun();
}

void AnalysisWindow::requestRun() {
    wanted_ = true;
    if (isRunning()) {
        // An analysis of what is no longer asked for stops; the next starts
        // when it has.
        if (runningGeneration_ != runningPage_->generation) cancel_->store(true);
        return;
    }
    AnalysisPage& page = currentPage();
    if (subject_ && page.stale) startRun(page);
}

void AnalysisWindow::startRun(AnalysisPage& page) {
    analysis::RunSettings settings;
    settings.mode = subject_->mode;
    settings.seed = seed_;
    settings.fights = page.fights();
    QString refusal;
    std::optional<AnalysisPage::Plan> plan = page.plan(*subject_, settings, refusal);
    if (!plan) {
        page.presentRefusal(refusal);
        page.stale = false;
        setStatus(refusal);
        saveButton_->setEnabled(currentPage().hasResult());
        emit analysisEnded();
        return;
    }

    const int run = ++runId_;
    runningPage_ = &page;
    runningGeneration_ = page.generation;
    userCancelled_ = false;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    settings.cancel = cancel_.get();
    // Called on the worker about ten times a second; the window hears of it
    // through its event queue.
    settings.progress = [this, run](std::int64_t done, std::int64_t total) {
        QMetaObject::invokeMethod(this, [this, run, done, total] { onProgress(run, done, total); },
                                  Qt::QueuedConnection);
    };

    // The estimate is on the generous side: until the engine's first report
    // the display moves at the slowest rate it foresees.
    const double expected =
        analysis::expectedSeconds(plan->variants, settings.mode, settings.fights, settings.threads);
    QString status = QStringLiteral("Analysing %1\u2026").arg(page.describe(settings.fights));
    if (expected > kAnnounceSeconds) status += QStringLiteral(" This takes up to about %1.").arg(secondsText(expected));
    setStatus(status);
    lastTotal_ = settings.fights * static_cast<std::int64_t>(plan->variants.size());
    // Room for the count at its widest, so that it neither shakes the row
    // nor is cut while it grows.
    countLabel_->setMinimumWidth(countLabel_->fontMetrics().horizontalAdvance(doneText(lastTotal_, lastTotal_)));
    lastDone_ = lastTotal_;
    lastAt_ = 0;
    span_ = std::max<qint64>(static_cast<qint64>(expected * 1000.0), 1);
    fromDone_ = 0.0;
    shownDone_ = 0.0;
    progressBar_->setValue(0);
    countLabel_->clear();
    rateLabel_->clear();
    cancelButton_->setEnabled(true);
    clock_.start();
    progressTimer_->start();
    stepProgress();

    worker_ = std::thread([this, run, cancel = cancel_, settings, work = std::move(plan->work)] {
        auto result = std::make_shared<PageResult>();
        QString failure;
        try {
            *result = work(settings);
        } catch (const std::exception& e) {
            failure = QString::fromLocal8Bit(e.what());
        } catch (...) {
            failure = QStringLiteral("an unknown error");
        }
        QMetaObject::invokeMethod(
            this, [this, run, result, failure] { onFinished(run, result, failure); }, Qt::QueuedConnection);
    });
}

void AnalysisWindow::onProgress(int run, std::int64_t done, std::int64_t total) {
    if (run != runId_ || !isRunning()) return;
    const qint64 now = clock_.elapsed();
    // The display glides from where it is to this report over a little more
    // than the time since the last one, so that it keeps moving until the
    // next report and never runs ahead of the fights done.
    span_ = std::max<qint64>((now - lastAt_) * 5 / 4, 1);
    fromDone_ = shownDone_;
    lastDone_ = done;
    lastTotal_ = total;
    lastAt_ = now;
    const double seconds = std::max<qint64>(now, 1) / 1000.0;
    rateLabel_->setText(rateText(static_cast<double>(done) / seconds));
    emit progressReported(done, total);
    stepProgress();
}

void AnalysisWindow::stepProgress() {
    if (lastTotal_ <= 0) return;
    const double part = std::min(1.0, static_cast<double>(clock_.elapsed() - lastAt_) / static_cast<double>(span_));
    shownDone_ = std::max(shownDone_, fromDone_ + (static_cast<double>(lastDone_) - fromDone_) * part);
    const double total = static_cast<double>(lastTotal_);
    progressBar_->setValue(static_cast<int>(1000.0 * shownDone_ / total));
    countLabel_->setText(doneText(static_cast<std::int64_t>(shownDone_), lastTotal_));
}

void AnalysisWindow::onFinished(int run, std::shared_ptr<PageResult> result, QString failure) {
    if (worker_.joinable()) worker_.join();
    if (run != runId_) return;
    AnalysisPage* page = std::exchange(runningPage_, nullptr);
    progressTimer_->stop();
    progressBar_->setValue(0);
    countLabel_->clear();
    countLabel_->setMinimumWidth(0);
    rateLabel_->clear();
    cancelButton_->setEnabled(false);

    const bool upToDate = page->generation == runningGeneration_;
    if (!failure.isEmpty()) {
        page->stale = false;  // not tried again by itself
        setStatus(QStringLiteral("The analysis failed: ") + failure);
    } else if (result->cancelled()) {
        if (userCancelled_) setStatus(QStringLiteral("Cancelled: the charts show the last analysis that finished."));
        else if (!wanted_) setStatus(QStringLiteral("Stopped."));
    } else if (upToDate) {
        page->present(*result);
        page->stale = false;
        setStatus(QStringLiteral("Done: %1 in %2, seed %3.")
                      .arg(page->describe(page->fights()), secondsText(clock_.elapsed() / 1000.0))
                      .arg(seed_));
    }
    userCancelled_ = false;
    saveButton_->setEnabled(currentPage().hasResult());
    emit analysisEnded();
    if (wanted_) requestRun();
}

void AnalysisWindow::onCancel() {
    wanted_ = false;
    if (!isRunning()) return;
    userCancelled_ = true;
    cancel_->store(true);
}

void AnalysisWindow::closeEvent(QCloseEvent* event) {
    // The work stops; the thread ends on its own within a block of fights,
    // and the window is kept for its seed and settings.
    wanted_ = false;
    if (isRunning()) cancel_->store(true);
    event->accept();
}

void AnalysisWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::StyleChange)
        restyle();
    QWidget::changeEvent(event);
}

void AnalysisWindow::restyle() {
    for (AnalysisPage* page : pages_) page->restyle(*this);
    // The rate at its widest, so that the row keeps still while it changes.
    const QFontMetrics metrics = rateLabel_->fontMetrics();
    rateLabel_->setMinimumWidth(std::max(metrics.horizontalAdvance(rateText(999'999.0)),
                                         metrics.horizontalAdvance(rateText(999.99e6))));
}

void AnalysisWindow::giveToYou(RankBy by, const analysis::Candidate& candidate) {
    SimulatorDialog& m = main_;
    ComboBox* list = by == RankBy::Weapon ? m.yourWeaponList : m.yourShieldList;
    if (by == RankBy::Weapon) {
        // A weapon of another type: the type first, as the user would pick it.
        ComboBox* types = m.comboBox(ids::simulator::kYourWeaponTypeList);
        if (types->curSel() != candidate.you.weaponType) {
            types->setCurSel(candidate.you.weaponType);
            m.OnSelectYourWeaponType();
        }
    }
    const int index = list->findExact(candidate.name);
    if (index < 0) {
        setStatus(QStringLiteral("%1 is not in the main window's list.").arg(shown(candidate.name)));
        return;
    }
    list->setCurSel(index);
    if (by == RankBy::Weapon)
        m.OnSelectYourWeapon();
    else
        m.OnSelectYourShield();
    static_cast<RankPage&>(page(by == RankBy::Weapon ? WeaponsTab : ShieldsTab)).markCurrent(candidate);
    setStatus(QStringLiteral("You now hold %1 in the main window. Refresh to analyse it.").arg(shown(candidate.name)));
}

void AnalysisWindow::onSave() {
    AnalysisPage& page = currentPage();
    if (!page.hasResult()) return;
    const std::vector<FileType> types = {{QStringLiteral("PNG image"), QStringLiteral("png")},
                                         {QStringLiteral("SVG image"), QStringLiteral("svg")},
                                         {QStringLiteral("CSV table"), QStringLiteral("csv")}};
    SaveFileRequest request;
    request.owner = this;
    request.caption = QStringLiteral("Save the %1 tab").arg(QString(page.title).remove(u'&'));
    request.suggestedPath = QDir(saveFolder_).filePath(QStringLiteral("skarn-%1.png").arg(page.stem));
    request.types = types;
    const SaveFileChoice choice = askSaveFileName(request);
    if (choice.path.isEmpty()) return;

    // The kind of file follows the name's suffix where it is one of ours,
    // else the type chosen in the dialog.
    const QString suffix = QFileInfo(choice.path).suffix().toLower();
    int type = choice.type;
    for (std::size_t i = 0; i < types.size(); ++i)
        if (suffix == types[i].suffix) type = static_cast<int>(i);

    // Charts lay themselves out on a posted event: let them, before they
    // are drawn into the file.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    // Written beside the file and renamed over it at the end, so that a
    // failure leaves an existing file as it was.
    QSaveFile file(choice.path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written && type == 0) {
        written = page.picture()->grab().toImage().save(&file, "PNG");
    } else if (written && type == 1) {
        QWidget* picture = page.picture();
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(picture->size());
        svg.setViewBox(QRect(QPoint(0, 0), picture->size()));
        svg.setTitle(QStringLiteral("Skarn: %1").arg(QString(page.title).remove(u'&')));
        svg.setDescription(subjectLabel_->text());
        QPainter painter;
        written = painter.begin(&svg);
        if (written) {
            picture->render(&painter);
            written = painter.end();
        }
    } else if (written) {
        const std::string csv = page.csv();
        written = file.write(csv.data(), static_cast<qint64>(csv.size())) == static_cast<qint64>(csv.size());
    }
    if (written) written = file.commit();
    if (!written) {
        messageBox(this,
                   QStringLiteral("Could not save %1: %2").arg(QDir::toNativeSeparators(choice.path), file.errorString()),
                   applicationName(), MessageIcon::Exclamation);
        return;
    }
    saveFolder_ = QFileInfo(choice.path).absolutePath();
    setStatus(QStringLiteral("Saved %1.").arg(QDir::toNativeSeparators(choice.path)));
}

}  // namespace skarn
