#pragma once

// What every tab of the Analysis window has in common: its fight-count list,
// what it runs on the engine, how it shows and saves what came out, and the
// table and label helpers the tabs share. GUI thread only, except a Plan's
// work, which runs on the window's worker thread.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "analysis/engine.h"
#include "analysis/exact.h"
#include "analysis/exact_rank.h"
#include "analysis/exact_scale.h"
#include "analysis/outcome.h"
#include "analysis/rank.h"
#include "analysis/scale.h"
#include "combat/fight.h"
#include "model/fighter.h"

class QChart;
class QChartView;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QTableWidget;
class QVBoxLayout;

namespace skarn {

// The fighters an Analysis window analyses: both sides of the main window
// as they were when it last took them, and the stop rule.
struct AnalysisSubject {
    model::Fighter you;
    model::Fighter opp;
    FightMode mode = DamagePer60Seconds;
    std::int64_t sliderFights = 1;  // the fights of a run of "Begin"
};

// What the Outcome tab found: the exact outcome and, beside it, one seeded
// chain of the main window's fights as Begin fights them; or, where the
// exact engine declined (`declined` says why), a sampled outcome of the
// tab's fights with its histograms.
struct OutcomeFindings {
    std::optional<analysis::ExactOutcome> exact;
    analysis::Outcome sampled;
    std::string declined;
};

// What a ranking found: the ranking (exact, or sampled where the engine
// declined and `declined` says why), the weapons or shields it left out,
// and whether it ranked the weapons of every type.
struct RankFindings {
    std::optional<analysis::ExactRanking> exact;
    analysis::Ranking ranking;  // the sampled ranking, when not exact
    std::string declined;
    std::vector<std::string> warnings;
    bool allTypes = false;
};

// What the scale factors found: exact, or sampled where the engine declined.
struct ScaleFindings {
    std::optional<analysis::ExactScale> exact;
    analysis::Scale sampled;  // when not exact
    std::string declined;
};

// What a tab's analysis gives.
struct PageResult {
    std::variant<OutcomeFindings, RankFindings, ScaleFindings> value;
    bool wasCancelled = false;

    bool cancelled() const {
        if (wasCancelled) return true;
        return std::visit(
            [](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, RankFindings>)
                    return !v.exact && v.ranking.cancelled;
                else
                    return !v.exact && v.sampled.cancelled;
            },
            value);
    }
};

// A tab's note where the exact engine declined: "Sampled fights, not exact
// odds: <the engine's sentence>".
QString sampledNote(const std::string& declined);

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
        // The fights the progress counts: the tab's fights per variant, or
        // the slider's for the Outcome tab's chain; 0 for exact work alone,
        // which counts matchups.
        std::int64_t fights = 0;
        // For the status line: "the exact weapons ranking".
        QString what;
    };

    // `title` is the tab's caption, `stem` the start of its object names,
    // `fightsCaption` the label of its fight-count list, which starts at
    // `defaultFights`.
    AnalysisPage(QString title, QString stem, const QString& fightsCaption, std::int64_t defaultFights);

    std::int64_t fights() const;

    // Prepares the analysis of `subject` with `settings` (mode, seed, fights
    // set), or says why it cannot run.
    virtual std::optional<Plan> plan(const AnalysisSubject& subject, const analysis::RunSettings& settings,
                                     QString& refusal) = 0;
    // Shows a finished analysis.
    virtual void present(const PageResult& result) = 0;
    // Shows why the analysis could not run, in place of the last one.
    virtual void presentRefusal(const QString& refusal) = 0;
    virtual bool hasResult() const = 0;
    // The table as CSV, byte for byte as skarn-cli's --csv prints it, for
    // the fighters named `you` and `opp`.
    virtual std::string csv(const std::string& you, const std::string& opp) const = 0;
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
    // The tab's own status line: what it last did.
    QString status;
    // The seed, mode and matchup of the figures shown, for saved files.
    QString shownContext;

    void invalidate() {
        ++generation;
        stale = true;
    }

    // Shows the fight-count list only where the figures shown were
    // sampled; it then shows the fights they used.
    void showFights(bool shown, std::int64_t used);
    // After a cancelled run: the settings go back to those of the figures
    // shown, so that no box claims what the charts do not show.
    virtual void revertSettings();
    // The chart a saved picture carries as its title, or nullptr.
    virtual QChart* titledChart() { return nullptr; }

protected:
    // A setting of the tab changed: its result is out of date.
    void changed();

    QHBoxLayout* settingsRow() { return settings_; }
    // Sets the fight-count list without a run.
    void setFightsQuietly(std::int64_t fights);
    // The fights the figures shown used, when sampled; 0 when exact or none.
    std::int64_t usedFights_ = 0;
    QVBoxLayout* body() { return body_; }

private:
    QHBoxLayout* settings_ = nullptr;
    QVBoxLayout* body_ = nullptr;
    QComboBox* fightsBox_ = nullptr;
    QWidget* fightsLabel_ = nullptr;
};

// The building blocks of the tabs.
namespace tabs {

// The settings of an exact analysis that match a sampled run's.
analysis::ExactSettings exactSettings(const analysis::RunSettings& settings);

// What one unit of a change of `result` is called after a number: a
// change of the win % is in "percentage points", never "%".
QString changeUnit(analysis::Result result);

// A label of plain text that wraps and can be selected with the mouse.
QLabel* wrappedLabel(const QString& objectName, QWidget* parent);

// A read-only table that selects whole rows, one at a time, with `headers`.
QTableWidget* newTable(const QString& objectName, const QString& accessibleName, const QStringList& headers,
                       QWidget* parent);

// Fills `row`; the cells of `nameColumn` are aligned left, the numbers right.
void setRow(QTableWidget& table, int row, int nameColumn, const QStringList& cells, bool bold = false);

// Columns and rows as wide and high as what they hold.
void fitColumns(QTableWidget& table);

// A number in words for a screen reader, with one decimal: "72.4".
QString spoken(double value);

// The chart of `view` in the colours and font of `window`.
void restyleView(QChartView& view, const QWidget& window);

}  // namespace tabs
}  // namespace skarn
