#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include "analysis/outcome.h"
#include "analysis/rank.h"
#include "analysis/scale.h"
#include "app/analysis/analysis_host.h"
#include "app/analysis/analysis_page.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;

namespace skarn {

// The Analysis window: what the main window's two sides do over many fights,
// as pictures. Four tabs: the outcome (the four results with their 95%
// intervals and how the damage and the fight time spread), the ranking of
// every weapon and of every shield for the You side, and how much ten points
// more of each stat would change the result. Analyses run on the engine's
// threads, one at a time, while the window and the main window go on
// working; each tab is analysed when it is shown and its results are out of
// date. Every figure is the one skarn-cli gives for the same fighters, stop
// rule, seed and fights.
//
// A separate top-level window owned by the main window, which closes it;
// it reaches the main window through AnalysisHost alone. Closing it stops
// its work; it keeps its seed and settings for when it opens again. Use it
// from the GUI thread only: its worker thread touches no widget and hands
// its results back through the event loop.
class AnalysisWindow : public QWidget {
    Q_OBJECT
public:
    enum Tab { OutcomeTab, WeaponsTab, ShieldsTab, StatsTab };

    // A window of its own over `mainWindow`, which owns it; it takes the
    // fighters from `host` and gives ranked gear to it.
    // REQUIRES: `host` stays valid while the window takes calls (its
    // destructor does not use it).
    AnalysisWindow(AnalysisHost& host, QWidget& mainWindow);
    ~AnalysisWindow() override;

    // Takes the main window's values and analyses them (refresh), then shows
    // the window and brings it forward. A refused run leaves the window as
    // it was. Returns whether the values were taken.
    bool openOnMainWindow();
    // "Refresh": takes the seed typed and the main window's values as
    // "Begin" takes them, with the same messages, and analyses them on the
    // tab shown; the other tabs follow when they are shown. A run the main
    // window refuses is refused here too, its reason in both status lines,
    // and the charts stay as they were. Returns whether the values were taken.
    bool refresh();

    // Whether an analysis is running.
    bool isRunning() const { return worker_.joinable(); }
    // The seed of the analyses shown.
    std::uint32_t seed() const { return seed_; }
    Tab currentTab() const;
    void showTab(Tab tab);
    // What the analyses are about; nothing before the values were first taken.
    const std::optional<AnalysisSubject>& subject() const { return subject_; }

    // The analysis each tab shows, or nullptr while it shows none: the
    // sampled figures (the chain beside the exact outcome, or a sampled
    // fallback) and the exact ones.
    const analysis::Outcome* outcome() const;
    const analysis::ExactOutcome* exactOutcome() const;
    const analysis::Ranking* ranking(analysis::RankBy by) const;
    const analysis::ExactRanking* exactRanking(analysis::RankBy by) const;
    const analysis::Scale* scale() const;
    const analysis::ExactScale* exactScale() const;

    // Whether the figures `tab` shows no longer match the header, which
    // follows the main window.
    bool isOutOfDate(Tab tab) const;

signals:
    // An analysis ended: finished and shown, cancelled, or replaced by one
    // on newer settings.
    void analysisEnded();
    // An analysis reported its progress.
    void progressReported(qint64 done, qint64 total);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    AnalysisPage& page(Tab tab) const { return *pages_[static_cast<std::size_t>(tab)]; }
    AnalysisPage& currentPage() const;
    std::optional<std::uint32_t> typedSeed() const;
    // The header from what the main window shows chosen now; the tabs whose
    // figures were found for other choices say they are out of date.
    void followMainWindow();
    void showOutOfDate();
    // The status line of `page`, shown while it is the tab shown.
    void setStatus(AnalysisPage& page, const QString& text);
    void setStatus(const QString& text) { setStatus(currentPage(), text); }

    // Runs the tab shown when its results are out of date and nothing runs.
    // A change of what a running analysis is about cancels it first.
    void requestRun();
    void startRun(AnalysisPage& page);
    void onProgress(int run, std::int64_t done, std::int64_t total);
    void onFinished(int run, std::shared_ptr<PageResult> result, QString failure);
    void onSettingsChanged(AnalysisPage& page);
    void onCancel();
    void onSave();
    void stepProgress();
    void restyle();

    // Puts a ranked weapon or shield into the main window's You side through
    // the handler a choice in its list runs.
    void giveToYou(analysis::RankBy by, const analysis::Candidate& candidate);

    AnalysisHost& host_;
    std::optional<AnalysisSubject> subject_;
    std::uint32_t seed_ = 0;

    QLabel* subjectLabel_ = nullptr;
    QLabel* outOfDate_ = nullptr;
    // For each tab, the main window's choices its figures were found for.
    std::array<std::optional<AnalysisHost::Choices>, 4> shownFor_{};
    std::optional<AnalysisHost::Choices> runningFor_;
    QString runningWhat_;
    bool countsMatchups_ = false;
    QLineEdit* seedEdit_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::array<AnalysisPage*, 4> pages_{};
    QLabel* statusLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QLabel* rateLabel_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    QString saveFolder_;

    // The running analysis.
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    int runId_ = 0;
    AnalysisPage* runningPage_ = nullptr;
    int runningGeneration_ = 0;
    bool userCancelled_ = false;
    // False after Cancel or closing: nothing starts by itself until the
    // user asks for an analysis again.
    bool wanted_ = false;
    QElapsedTimer clock_;
    // The engine's last report, and the fights the display shows.
    std::int64_t lastDone_ = 0, lastTotal_ = 0;
    qint64 lastAt_ = 0, span_ = 1;  // milliseconds since the start
    double fromDone_ = 0.0, shownDone_ = 0.0;
};

}  // namespace skarn
