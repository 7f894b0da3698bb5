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
#include "analysis/outcome.h"
#include "analysis/rank.h"
#include "analysis/scale.h"
#include "combat/fight.h"
#include "model/fighter.h"

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
};

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
    // The fighters' names as stored, for the leading columns of the CSV.
    std::string you, opp;

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
    // A setting of the tab changed: its result is out of date.
    void changed();

    QHBoxLayout* settingsRow() { return settings_; }
    QVBoxLayout* body() { return body_; }

private:
    QHBoxLayout* settings_ = nullptr;
    QVBoxLayout* body_ = nullptr;
    QComboBox* fightsBox_ = nullptr;
};

// The building blocks of the tabs.
namespace tabs {

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
