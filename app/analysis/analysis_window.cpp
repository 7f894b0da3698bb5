#include "app/analysis/analysis_window.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <utility>
#include <variant>

#include <QCloseEvent>
#include <QFont>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/analysis/analysis_host.h"
#include "app/analysis/export.h"
#include "app/analysis/outcome_page.h"
#include "app/analysis/rank_page.h"
#include "app/analysis/stats_page.h"
#include "app/analysis_text.h"
#include "model/modes.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace skarn {

using analysis::RankBy;

namespace {

// Runs expected to take longer than this say so before they start.
constexpr double kAnnounceSeconds = 10.0;
// How often the progress bar moves on between the engine's reports.
constexpr int kProgressStepMs = 40;

QString modeCaption(FightMode mode) { return QString::fromLatin1(model::modeCaption(mode)); }

// "Brannoc the Bold with Longsword and Kite Shield"
QString fighterText(const std::string& name, const std::string& weapon, const std::string& shield) {
    QString text = QStringLiteral("%1 with %2").arg(displayText(name), displayText(weapon));
    if (!shield.empty() && shield != "- none -") text += QStringLiteral(" and ") + displayText(shield);
    return text;
}

// The main window's choices that gave `subject`.
AnalysisHost::Choices choicesOf(const AnalysisSubject& subject) {
    return AnalysisHost::Choices{subject.you.name, subject.you.weaponName, subject.you.wantedShield,
                                 subject.opp.name, subject.opp.weaponName, subject.opp.wantedShield,
                                 subject.mode,     subject.sliderFights};
}

// Whether figures found for `shown` still answer `now`: the slider's
// fights matter to the Outcome tab alone, whose run has that many.
bool stillHolds(AnalysisHost::Choices shown, const AnalysisHost::Choices& now, bool slider) {
    if (!slider) shown.sliderFights = now.sliderFights;
    return shown == now;
}

// Whether a tab's findings are exact.
bool isExact(const PageResult& result) {
    return std::visit([](const auto& v) { return v.exact.has_value(); }, result.value);
}

QString rateText(double perSecond) {
    if (perSecond >= 1e6) return QStringLiteral("%1 million fights/s").arg(perSecond / 1e6, 0, 'f', 2);
    return QStringLiteral("%1 fights/s").arg(countText(static_cast<std::int64_t>(perSecond)));
}

// "45 000 of 100 000 fights", or "12 of 28 matchups" for exact work.
QString doneText(std::int64_t done, std::int64_t total, bool matchups) {
    return QStringLiteral("%1 of %2 %3")
        .arg(countText(done), countText(total), matchups ? QStringLiteral("matchups") : QStringLiteral("fights"));
}

QString secondsText(double seconds) {
    if (seconds < 60.0) return QStringLiteral("%1 s").arg(seconds, 0, 'f', seconds < 10.0 ? 2 : 0);
    const auto whole = static_cast<long long>(std::ceil(seconds));
    return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60);
}

}  // namespace

AnalysisWindow::AnalysisWindow(AnalysisHost& host, QWidget& mainWindow)
    : QWidget(&mainWindow, Qt::Window), host_(host) {
    setObjectName(QStringLiteral("analysisWindow"));
    setWindowTitle(QStringLiteral("Analysis \u2013 Skarn"));
    setAccessibleName(QStringLiteral("Analysis"));
    setAccessibleDescription(QStringLiteral("What the main window's two fighters do over many fights, as charts."));
    seed_ = static_cast<std::uint32_t>(QDateTime::currentSecsSinceEpoch());
    saveFolder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (saveFolder_.isEmpty() || !QFileInfo(saveFolder_).isDir()) saveFolder_ = QDir::homePath();

    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    subjectLabel_ = tabs::wrappedLabel(QStringLiteral("subject"), this);
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
    outOfDate_ = tabs::wrappedLabel(QStringLiteral("outOfDate"), this);
    outOfDate_->setAccessibleName(QStringLiteral("Out of date"));
    outOfDate_->setAccessibleDescription(
        QStringLiteral("Shown while the figures of this tab were found for other choices than the header names."));
    outOfDate_->setText(QStringLiteral(
        "These figures are out of date, Refresh: the main window has changed since they were found."));
    QFont bold = outOfDate_->font();
    bold.setBold(true);
    outOfDate_->setFont(bold);
    outOfDate_->hide();
    layout->addWidget(outOfDate_);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->setAccessibleName(QStringLiteral("Analyses"));
    tabs_->setAccessibleDescription(
        QStringLiteral("Outcome, Weapons, Shields and Stats; a tab is analysed when it is shown."));
    tabs_->setUsesScrollButtons(false);
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
        statusLabel_->setText(currentPage().status);
        statusLabel_->setAccessibleDescription(currentPage().status);
        showOutOfDate();
        if (subject_) requestRun();
    });
    // The header follows every change of the main window's choices.
    host_.onRunChanged(this, [this] { followMainWindow(); });

    restyle();
    followMainWindow();
    // The smallest size at which every tab still shows all it holds without
    // overlapping, in the window's font: long rankings scroll.
    const QFontMetrics metrics = fontMetrics();
    setMinimumSize(metrics.averageCharWidth() * 110, metrics.height() * 36);
    resize(std::max(1040, minimumWidth()), std::max(720, minimumHeight()));
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

const analysis::ExactOutcome* AnalysisWindow::exactOutcome() const {
    return static_cast<const OutcomePage&>(page(OutcomeTab)).exactOutcome();
}

const analysis::Ranking* AnalysisWindow::ranking(RankBy by) const {
    return static_cast<const RankPage&>(page(by == RankBy::Weapon ? WeaponsTab : ShieldsTab)).ranking();
}

const analysis::ExactRanking* AnalysisWindow::exactRanking(RankBy by) const {
    return static_cast<const RankPage&>(page(by == RankBy::Weapon ? WeaponsTab : ShieldsTab)).exactRanking();
}

const analysis::Scale* AnalysisWindow::scale() const { return static_cast<const StatsPage&>(page(StatsTab)).scale(); }

const analysis::ExactScale* AnalysisWindow::exactScale() const {
    return static_cast<const StatsPage&>(page(StatsTab)).exactScale();
}

bool AnalysisWindow::isOutOfDate(Tab tab) const {
    const auto& shown = shownFor_[static_cast<std::size_t>(tab)];
    return shown && page(tab).hasResult() && !stillHolds(*shown, host_.choices(), tab == OutcomeTab);
}

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
    const AnalysisHost::Preparation prepared = host_.prepareFighters(currentPage().fights());
    if (!prepared.fighters) {
        setStatus(QStringLiteral("Not analysed: ") + prepared.refusal);
        return false;
    }
    seed_ = *seed;
    const AnalysisHost::Fighters& fighters = *prepared.fighters;
    subject_ = AnalysisSubject{fighters.you, fighters.opp, fighters.mode, fighters.sliderFights};
    followMainWindow();
    for (AnalysisPage* page : pages_) page->invalidate();
    requestRun();
    return true;
}

void AnalysisWindow::followMainWindow() {
    const AnalysisHost::Choices c = host_.choices();
    subjectLabel_->setText(QStringLiteral("You: %1.  Opponent: %2.  %3.")
                               .arg(fighterText(c.you, c.yourWeapon, c.yourShield),
                                    fighterText(c.opp, c.oppWeapon, c.oppShield), modeCaption(c.mode)));
    subjectLabel_->setAccessibleDescription(subjectLabel_->text());
    showOutOfDate();
}

void AnalysisWindow::showOutOfDate() {
    const bool old = isOutOfDate(currentTab());
    outOfDate_->setVisible(old);
    for (std::size_t t = 0; t < pages_.size(); ++t) {
        const QString title = pages_[t]->title;
        tabs_->setTabText(static_cast<int>(t),
                          isOutOfDate(static_cast<Tab>(t)) ? title + QStringLiteral(" (out of date)") : title);
    }
}

void AnalysisWindow::setStatus(AnalysisPage& page, const QString& text) {
    page.status = text;
    if (&page != &currentPage()) return;
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
        shownFor_[static_cast<std::size_t>(std::find(pages_.begin(), pages_.end(), &page) - pages_.begin())].reset();
        setStatus(page, refusal);
        saveButton_->setEnabled(currentPage().hasResult());
        emit analysisEnded();
        return;
    }

    const int run = ++runId_;
    runningPage_ = &page;
    runningGeneration_ = page.generation;
    runningFor_ = choicesOf(*subject_);
    runningWhat_ = plan->what;
    countsMatchups_ = plan->fights == 0;
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
        countsMatchups_ ? 0.0 : analysis::expectedSeconds(plan->variants, settings.mode, plan->fights, settings.threads);
    QString status = QStringLiteral("Working out %1\u2026").arg(plan->what);
    if (expected > kAnnounceSeconds) status += QStringLiteral(" This takes up to about %1.").arg(secondsText(expected));
    setStatus(page, status);
    lastTotal_ = countsMatchups_ ? static_cast<std::int64_t>(plan->variants.size())
                                 : plan->fights * static_cast<std::int64_t>(plan->variants.size());
    // Room for the count at its widest, so that it neither shakes the row
    // nor is cut while it grows.
    countLabel_->setMinimumWidth(
        countLabel_->fontMetrics().horizontalAdvance(doneText(lastTotal_, lastTotal_, countsMatchups_)));
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
    if (!countsMatchups_) rateLabel_->setText(rateText(static_cast<double>(done) / seconds));
    emit progressReported(done, total);
    stepProgress();
}

void AnalysisWindow::stepProgress() {
    if (lastTotal_ <= 0) return;
    const double part = std::min(1.0, static_cast<double>(clock_.elapsed() - lastAt_) / static_cast<double>(span_));
    shownDone_ = std::max(shownDone_, fromDone_ + (static_cast<double>(lastDone_) - fromDone_) * part);
    const double total = static_cast<double>(lastTotal_);
    progressBar_->setValue(static_cast<int>(1000.0 * shownDone_ / total));
    countLabel_->setText(doneText(static_cast<std::int64_t>(shownDone_), lastTotal_, countsMatchups_));
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
    const auto index = static_cast<std::size_t>(std::find(pages_.begin(), pages_.end(), page) - pages_.begin());
    if (!failure.isEmpty()) {
        page->stale = false;  // not tried again by itself
        setStatus(*page, QStringLiteral("The analysis failed: ") + failure);
    } else if (result->cancelled()) {
        // The boxes go back to what the figures shown used.
        page->revertSettings();
        if (userCancelled_)
            setStatus(*page, QStringLiteral("Cancelled: the charts show the last analysis that finished."));
        else if (!wanted_)
            setStatus(*page, QStringLiteral("Stopped."));
    } else if (upToDate) {
        page->present(*result);
        page->stale = false;
        shownFor_[index] = runningFor_;
        const bool exact = isExact(*result);
        const AnalysisSubject& s = *subject_;
        const bool sampled = !exact || page == &this->page(OutcomeTab);
        page->shownContext = QStringLiteral("%1 against %2, %3, %4")
                                 .arg(displayText(s.you.name), displayText(s.opp.name), modeCaption(s.mode),
                                      exact ? (sampled ? QStringLiteral("exact; the run beside it seed %1").arg(seed_)
                                                       : QStringLiteral("exact"))
                                            : QStringLiteral("seed %1").arg(seed_));
        QString done = QStringLiteral("Done: %1 in %2").arg(runningWhat_, secondsText(clock_.elapsed() / 1000.0));
        if (sampled) done += QStringLiteral(", seed %1").arg(seed_);
        setStatus(*page, done + QStringLiteral("."));
    }
    showOutOfDate();
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
    const bool given = by == RankBy::Weapon ? host_.giveYouWeapon(candidate.you.weaponType, candidate.name)
                                            : host_.giveYouShield(candidate.name);
    if (!given) {
        setStatus(page(by == RankBy::Weapon ? WeaponsTab : ShieldsTab), QStringLiteral("%1 is not in the main window's list.").arg(displayText(candidate.name)));
        return;
    }
    static_cast<RankPage&>(page(by == RankBy::Weapon ? WeaponsTab : ShieldsTab)).markCurrent(candidate);
    setStatus(page(by == RankBy::Weapon ? WeaponsTab : ShieldsTab),
              QStringLiteral("You now hold %1 in the main window. Refresh to analyse it.")
                  .arg(displayText(candidate.name)));
}

void AnalysisWindow::onSave() {
    AnalysisPage& page = currentPage();
    if (!page.hasResult()) return;
    const QString path = saveTab(*this, page, saveFolder_, subject_ ? subject_->you.name : std::string(),
                                 subject_ ? subject_->opp.name : std::string());
    if (path.isEmpty()) return;
    saveFolder_ = QFileInfo(path).absolutePath();
    setStatus(QStringLiteral("Saved %1.").arg(QDir::toNativeSeparators(path)));
}

}  // namespace skarn
