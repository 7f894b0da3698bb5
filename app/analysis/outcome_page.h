#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <QString>

#include "analysis/exact.h"
#include "analysis/outcome.h"
#include "app/analysis/analysis_page.h"

class QChartView;
class QLabel;
class QTableWidget;
class QWidget;

namespace skarn {

// The "Outcome" tab: the four results worked out exactly, with their
// standard deviations, beside one seeded chain of the main window's fights
// as Begin fights them (so that a player sees how far those fights stray
// from the exact figures); the win % of both as bars (only in "Fight to the
// death", where wins are counted); and the exact laws of the damage given,
// the damage taken and the fight time as bar charts with their percentiles
// (no fight time in "Find damage per 60 seconds", where every fight lasts
// 60 s). Where the exact engine declines, a sampled outcome of the tab's
// fights with histograms, saying so. GUI thread only.
class OutcomePage : public AnalysisPage {
public:
    OutcomePage();

    std::optional<Plan> plan(const AnalysisSubject& subject, const analysis::RunSettings& settings,
                             QString& refusal) override;
    void present(const PageResult& result) override;
    void presentRefusal(const QString& refusal) override;
    bool hasResult() const override { return findings_.has_value(); }
    std::string csv(const std::string& you, const std::string& opp) const override;
    QWidget* picture() override { return picture_; }
    QChart* titledChart() override;
    void restyle(const QWidget& window) override;

    // The sampled outcome shown (the chain beside the exact figures, or the
    // sampled fallback), or nullptr.
    const analysis::Outcome* outcome() const { return findings_ ? &findings_->sampled : nullptr; }
    // The exact outcome shown, or nullptr.
    const analysis::ExactOutcome* exactOutcome() const {
        return findings_ && findings_->exact ? &*findings_->exact : nullptr;
    }

private:
    void showExact();
    void showSampled();
    void showWinBars();
    void showLaw(std::size_t h);
    void showHistogram(std::size_t h);

    QWidget* picture_ = nullptr;
    QLabel* method_ = nullptr;
    QTableWidget* table_ = nullptr;
    QChartView* winView_ = nullptr;
    QLabel* winNote_ = nullptr;
    std::array<QWidget*, 3> columns_{};
    std::array<QChartView*, 3> histograms_{};
    std::array<QLabel*, 3> spreads_{};
    std::optional<OutcomeFindings> findings_;
};

}  // namespace skarn
