#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include <QString>

#include "analysis/outcome.h"
#include "app/analysis/analysis_page.h"

class QChartView;
class QLabel;
class QTableWidget;
class QWidget;

namespace skarn {

// The "Outcome" tab: the four results with their means and 95% intervals,
// the win % as a bar (only in "Fight to the death", where wins are
// counted), and how the damage given, the damage taken and the fight time
// spread, as histograms with their medians. GUI thread only.
class OutcomePage : public AnalysisPage {
public:
    OutcomePage();

    std::optional<Plan> plan(const AnalysisSubject& subject, const analysis::RunSettings& settings,
                             QString& refusal) override;
    void present(const PageResult& result) override;
    void presentRefusal(const QString& refusal) override;
    bool hasResult() const override { return outcome_.has_value(); }
    QString describe(std::int64_t fights) const override;
    std::string csv() const override;
    QWidget* picture() override { return picture_; }
    void restyle(const QWidget& window) override;

    // The outcome shown, or nullptr.
    const analysis::Outcome* outcome() const { return outcome_ ? &*outcome_ : nullptr; }

private:
    // The fighters of the figures shown (You, Opponent), for the CSV.
    std::pair<std::string, std::string> names_;
    void showHistogram(int h);

    QWidget* picture_ = nullptr;
    QTableWidget* table_ = nullptr;
    QChartView* winView_ = nullptr;
    QLabel* winNote_ = nullptr;
    std::array<QChartView*, 3> histograms_{};
    std::array<QLabel*, 3> spreads_{};
    std::optional<analysis::Outcome> outcome_;
};

}  // namespace skarn
