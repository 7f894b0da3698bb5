#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include <QString>

#include "analysis/scale.h"
#include "app/analysis/analysis_page.h"
#include "combat/fight.h"

class QChart;
class QChartView;
class QLabel;
class QSpinBox;
class QTableWidget;
class QWidget;

namespace skarn {

// The "Stats" tab: how much a number of points more of each of the You
// side's stats changes the result, best first, as bars with their 95%
// intervals, in words, and as a table of the change per point. GUI thread
// only.
class StatsPage : public AnalysisPage {
public:
    StatsPage();

    std::optional<Plan> plan(const AnalysisSubject& subject, const analysis::RunSettings& settings,
                             QString& refusal) override;
    void present(const PageResult& result) override;
    void presentRefusal(const QString& refusal) override;
    bool hasResult() const override { return findings_.has_value(); }
    std::string csv(const std::string& you, const std::string& opp) const override;
    QWidget* picture() override { return picture_; }
    QChart* titledChart() override;
    void revertSettings() override;
    void restyle(const QWidget& window) override;

    // The sampled scale factors shown, or nullptr (also while exact ones are).
    const analysis::Scale* scale() const { return findings_ && !findings_->exact ? &findings_->sampled : nullptr; }
    // The exact scale factors shown, or nullptr.
    const analysis::ExactScale* exactScale() const {
        return findings_ && findings_->exact ? &*findings_->exact : nullptr;
    }

private:
    QSpinBox* points_ = nullptr;
    QWidget* picture_ = nullptr;
    QLabel* base_ = nullptr;
    QChartView* view_ = nullptr;
    QLabel* words_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* notes_ = nullptr;
    QString youName_;
    std::int32_t usedPoints_ = 0;
    std::optional<ScaleFindings> findings_;
};

}  // namespace skarn
