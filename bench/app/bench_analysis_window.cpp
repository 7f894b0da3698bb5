// The Analysis window as a player meets it, on the example characters
// ("Brannoc the Bold" against "Orc Brute"), wall-clock times:
// - from "Analysis…" in the main window to the Outcome tab drawn, at its
//   default settings (100,000 fights), in "Find damage per 60 seconds" and
//   in "Fight to the death";
// - from showing the Stats tab to its chart drawn, at its default settings
//   (10 points);
// - each tab filled in and drawn, in each of the three modes: from Refresh
//   on the Outcome tab, or from showing the Weapons (of your type, and of
//   every type), Shields or Stats tab, to its figures drawn;
// - while a long analysis runs (every weapon type, 100,000 fights each, to
//   the death), the longest time between two paints of the window, how
//   often it painted, and the longest time its thread was busy at a
//   stretch.
// The window runs on Qt's offscreen platform unless QT_QPA_PLATFORM says
// otherwise (xcb under Xvfb, say). A summary ends the output.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include "app/analysis/analysis_window.h"
#include "app/program_objects.h"
#include "app/simulator_dialog.h"

namespace {

using namespace skarn;
using Clock = std::chrono::steady_clock;

// The figures for the summary, in the order they were measured.
std::vector<std::pair<std::string, double>> summary;

void note(const std::string& what, double value) {
    for (auto& entry : summary)
        if (entry.first == what) {
            entry.second = value;
            return;
        }
    summary.emplace_back(what, value);
}

void choose(ComboBox* list, const char* text) {
    const int index = list->findExact(text);
    if (index < 0) std::abort();
    list->setCurSel(index);
    emit list->activated(index);
}

std::unique_ptr<SimulatorDialog> mainWindow(FightMode mode) {
    auto w = std::make_unique<SimulatorDialog>();
    w->showModeless();
    choose(w->oppCharacterList, "Orc Brute");
    choose(w->yourCharacterList, "Brannoc the Bold");
    w->fightMode = mode;
    return w;
}

// Handles events until no analysis runs.
void settle(const AnalysisWindow& a) {
    QEventLoop loop;
    while (a.isRunning()) loop.processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

void BM_OpenToOutcomeDrawn(benchmark::State& state, FightMode mode, const char* name) {
    double worst = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = mainWindow(mode);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        const auto start = Clock::now();
        w->OnAnalysis();
        AnalysisWindow& a = *w->analysisWindow();
        settle(a);
        a.repaint();
        const double elapsed = seconds(start);
        state.SetIterationTime(elapsed);
        worst = std::max(worst, elapsed);
    }
    note(std::string("Outcome tab drawn after opening, ") + name + " (s, slowest)", worst);
}

void BM_StatsTabDrawn(benchmark::State& state) {
    auto w = mainWindow(DamagePer60Seconds);
    w->OnAnalysis();
    AnalysisWindow& a = *w->analysisWindow();
    settle(a);
    double worst = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        a.showTab(AnalysisWindow::OutcomeTab);
        a.refresh();  // the Stats tab is out of date again
        settle(a);
        state.ResumeTiming();
        const auto start = Clock::now();
        a.showTab(AnalysisWindow::StatsTab);
        settle(a);
        a.repaint();
        const double elapsed = seconds(start);
        state.SetIterationTime(elapsed);
        worst = std::max(worst, elapsed);
    }
    note("Stats tab drawn after showing it (s, slowest)", worst);
}

const char* modeTag(FightMode mode) {
    return mode == DamagePer60Seconds ? "damage60" : mode == ToTheDeath ? "death" : "opponent";
}

// One tab filled in and drawn, at its default settings; `allTypes` ranks
// the weapons of every type.
void BM_TabFilled(benchmark::State& state, FightMode mode, AnalysisWindow::Tab tab, bool allTypes, std::string name) {
    auto w = mainWindow(mode);
    w->OnAnalysis();
    AnalysisWindow& a = *w->analysisWindow();
    settle(a);
    if (allTypes) a.findChild<QCheckBox*>(QStringLiteral("allWeaponTypes"))->setChecked(true);
    double worst = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        a.showTab(AnalysisWindow::OutcomeTab);
        if (tab != AnalysisWindow::OutcomeTab) {
            a.refresh();  // the other tabs are out of date again
            settle(a);
        }
        QCoreApplication::processEvents();
        state.ResumeTiming();
        const auto start = Clock::now();
        if (tab == AnalysisWindow::OutcomeTab)
            a.refresh();
        else
            a.showTab(tab);
        settle(a);
        a.repaint();
        const double elapsed = seconds(start);
        state.SetIterationTime(elapsed);
        worst = std::max(worst, elapsed);
    }
    note(name + " (ms, slowest)", worst * 1000.0);
}

// Notes when a widget of one window paints, and the longest time the
// window's thread spent between two waits for events (busy, not painting).
class PaintClock : public QObject {
public:
    explicit PaintClock(QWidget& window) : window_(window) {
        qApp->installEventFilter(this);
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        awake_ = connect(dispatcher, &QAbstractEventDispatcher::awake, [this] { awakeAt_ = now(); });
        asleep_ = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                          [this] { longestBusy = std::max(longestBusy, now() - awakeAt_); });
    }
    ~PaintClock() override {
        disconnect(awake_);
        disconnect(asleep_);
        qApp->removeEventFilter(this);
    }
    double now() const { return clock.isValid() ? clock.nsecsElapsed() / 1e9 : 0.0; }
    // The stretch since the thread last woke, which no wait has ended.
    void finish() { longestBusy = std::max(longestBusy, now() - awakeAt_); }

    std::vector<double> times;  // seconds since the clock started
    double longestBusy = 0.0;
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && object->isWidgetType() &&
            static_cast<QWidget*>(object)->window() == &window_)
            times.push_back(now());
        return false;
    }

private:
    QWidget& window_;
    QMetaObject::Connection awake_, asleep_;
    double awakeAt_ = 0.0;
};

void BM_RepaintGapWhileRunning(benchmark::State& state) {
    auto w = mainWindow(ToTheDeath);
    w->OnAnalysis();
    AnalysisWindow& a = *w->analysisWindow();
    settle(a);
    a.showTab(AnalysisWindow::WeaponsTab);
    settle(a);
    auto* fights = a.findChild<QComboBox*>(QStringLiteral("weaponsFights"));
    auto* allTypes = a.findChild<QCheckBox*>(QStringLiteral("allWeaponTypes"));
    double longest = 0.0, longestEnd = 0.0, rate = 0.0, run = 0.0, busy = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        fights->setCurrentIndex(fights->findData(QVariant::fromValue<qint64>(1'000)));
        allTypes->setChecked(false);
        settle(a);
        PaintClock paints(a);
        state.ResumeTiming();
        paints.clock.start();
        // Both at once: the window cancels the run the first starts.
        allTypes->setChecked(true);
        fights->setCurrentIndex(fights->findData(QVariant::fromValue<qint64>(100'000)));
        settle(a);
        paints.finish();  // the results shown, in the last stretch
        a.repaint();
        const double end = paints.now();
        state.SetIterationTime(end);
        double previous = 0.0;
        for (const double t : paints.times) {
            if (t - previous > longest) {
                longest = t - previous;
                longestEnd = t;
            }
            previous = t;
        }
        if (end - previous > longest) {
            longest = end - previous;
            longestEnd = end;
        }
        rate = static_cast<double>(paints.times.size()) / end;
        busy = paints.longestBusy;
        run = end;
    }
    state.counters["longest_gap_ms"] = longest * 1000.0;
    state.counters["paints_per_s"] = rate;
    state.counters["longest_busy_ms"] = busy * 1000.0;
    state.counters["longest_gap_end_s"] = longestEnd;
    note("Weapons, every type, 100 000 fights each: run (s)", run);
    note("  longest time between two paints (ms)", longest * 1000.0);
    note("    ending at (s after the start)", longestEnd);
    note("  paints per second", rate);
    note("  longest time the window's thread was busy at a stretch (ms)", busy * 1000.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // The window reads the data files of its working directory: a copy of
    // the examples in a folder of its own.
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / QStringLiteral("skarn_bench_window_%1").arg(QCoreApplication::applicationPid()).toStdString();
    fs::create_directories(folder);
    for (const char* name : {"charfile.cfg", "equifile.cfg"})
        fs::copy_file(fs::path(SKARN_EXAMPLES_DIR) / name, folder / name, fs::copy_options::overwrite_existing);
    fs::current_path(folder);
    std::optional<skarn::ProgramObjects> objects(std::in_place);  // as the application holds them

    benchmark::RegisterBenchmark("OpenToOutcomeDrawn/damage60", BM_OpenToOutcomeDrawn, DamagePer60Seconds,
                                 "damage per 60 s")
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("OpenToOutcomeDrawn/death", BM_OpenToOutcomeDrawn, ToTheDeath, "to the death")
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("StatsTabDrawn", BM_StatsTabDrawn)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    struct TabCase {
        const char* name;
        AnalysisWindow::Tab tab;
        bool allTypes;
    };
    for (const FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
        for (const TabCase& c : {TabCase{"Outcome", AnalysisWindow::OutcomeTab, false},
                                 TabCase{"Weapons", AnalysisWindow::WeaponsTab, false},
                                 TabCase{"WeaponsEveryType", AnalysisWindow::WeaponsTab, true},
                                 TabCase{"Shields", AnalysisWindow::ShieldsTab, false},
                                 TabCase{"Stats", AnalysisWindow::StatsTab, false}}) {
            const std::string name = std::string("TabFilled/") + c.name + "/" + modeTag(mode);
            benchmark::RegisterBenchmark(name.c_str(), BM_TabFilled, mode, c.tab, c.allTypes, name)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(3);
        }
    }
    benchmark::RegisterBenchmark("RepaintGapWhileRunning", BM_RepaintGapWhileRunning)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nSummary (bars: each tab filled in under 100 ms, at most 100 ms between paints)\n");
    for (const auto& [what, value] : summary) std::printf("  %-62s %8.3f\n", what.c_str(), value);

    objects.reset();
    fs::current_path(fs::temp_directory_path());
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
