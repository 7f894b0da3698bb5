#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include <QString>

#include "analysis/rank.h"
#include "app/analysis/analysis_page.h"
#include "model/fighter.h"

class QChart;
class QChartView;
class QCheckBox;
class QLabel;
class QTableWidget;
class QWidget;

namespace skarn {

// The "Weapons" or "Shields" tab: the ranking of the You side's weapons or
// shields against the Opponent, best first, as bars with their 95%
// intervals and as a table with each entry's distance to the best. One
// implementation for both tabs. Double-clicking an entry, or Enter on it,
// hands it to `give`. GUI thread only.
class RankPage : public AnalysisPage {
public:
    using Give = std::function<void(analysis::RankBy, const analysis::Candidate&)>;

    RankPage(analysis::RankBy by, Give give);

    std::optional<Plan> plan(const AnalysisSubject& subject, const analysis::RunSettings& settings,
                             QString& refusal) override;
    void present(const PageResult& result) override;
    void presentRefusal(const QString& refusal) override;
    bool hasResult() const override { return findings_.has_value(); }
    std::string csv(const std::string& you, const std::string& opp) const override;
    QWidget* picture() override;
    QChart* titledChart() override;
    void revertSettings() override;
    void restyle(const QWidget& window) override;

    // The sampled ranking shown, or nullptr (also while an exact one is).
    const analysis::Ranking* ranking() const {
        return findings_ && !findings_->exact ? &findings_->ranking : nullptr;
    }
    // The exact ranking shown, or nullptr.
    const analysis::ExactRanking* exactRanking() const {
        return findings_ && findings_->exact ? &*findings_->exact : nullptr;
    }

    // The main window now holds `candidate` on the You side: it is marked
    // as the current choice.
    void markCurrent(const analysis::Candidate& candidate);

private:
    bool isCurrent(const analysis::Candidate& c) const;
    QString label(const analysis::Candidate& c) const;
    void showFindings();
    void choose(int entry);

    const analysis::RankBy by_;
    Give give_;
    QCheckBox* allTypes_ = nullptr;
    QChartView* view_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* notes_ = nullptr;
    std::optional<RankFindings> findings_;
    bool usedAllTypes_ = false;
    std::optional<model::Fighter> current_;  // the You side whose choice is marked
};

}  // namespace skarn
