// The Analysis window: opening it from the main window with Begin's checks,
// its analyses on the engine's threads (the same figures as skarn-cli),
// Cancel, giving a ranked weapon or shield to the main window, export
// through the save-dialog hook, and what a screen reader hears.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <QAbstractBarSeries>
#include <QAbstractItemView>
#include <QAreaSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QScrollArea>
#include <QScrollBar>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QValueAxis>
#include <QWindow>

#include <gtest/gtest.h>

#include "app/analysis/analysis_host.h"
#include "app/analysis/analysis_window.h"
#include "app/program_objects.h"
#include "app/simulator_dialog.h"
#include "resources/resource_ids.h"
#include "tests/app/window_fixture.h"
#include "tests/support/files.h"
#include "tests/support/ui_testing.h"

#ifdef SKARN_CLI_PATH
#include <nlohmann/json.hpp>

#include "tests/cli/cli_runner.h"
#endif

namespace skarn {
namespace {

namespace sim = ids::simulator;
using testing::crlf;

std::string example(const char* name) {
    return testing::readBytes(std::filesystem::path(SKARN_EXAMPLES_DIR) / name);
}

// A small world of its own: a weapon of speed 0 and a character without a
// weapon type, for the refusals; a slow pair for runs long enough to cancel.
const std::string kEquipment = crlf({
    "[FencingWeapons]",
    "\"Rapier\"\t46\t2\t5\t3\t1",
    "\"War Pike\"\t34\t3\t6\t4\t2",
    "[MaceWeapons]",
    "\"Club\"\t40\t2\t4\t2\t1",
    "\"Stick\"\t0\t1\t4\t0\t1",
    "[SwordWeapons]",
    "\"Longsword\"\t36\t3\t6\t2\t1",
    "[Shields]",
    "\"Buckler\"\t2",
    "\"Tower Shield\"\t8",
});
const std::string kChars = crlf({
    "[YourChars]",
    "\"Ysolde\"\t80\t100\t100\t0\t22\t100\t40\t80\t\"Buckler\"\t\"Rapier\"",
    "\"Kit\"\t100\t100\t100\t1\t20\t100\t50\t60\t\"- none -\"\t\"Stick\"",
    "\"Nob\"\t100\t100\t100\t-1\t20\t100\t50\t60\t\"- none -\"\t\"Rapier\"",
    "\"Feeble\"\t10\t0\t10\t1\t0\t0\t0\t10\t\"- none -\"\t\"Club\"",
    "[OppChars]",
    "\"Knight\"\t90\t50\t90\t1\t60\t90\t80\t90\t\"Tower Shield\"\t\"Club\"",
    "\"Wall\"\t400\t400\t300\t1\t100\t300\t300\t1000\t\"Tower Shield\"\t\"Club\"",
});

// Waits, handling events, until no analysis runs (and none started after
// the last ended).
bool settle(const AnalysisWindow& a) {
    return QTest::qWaitFor([&] { return !a.isRunning(); }, 120000);
}

template <class T>
T* child(const QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QChart* chart(const QWidget& w, const char* name) { return child<QChartView>(w, name)->chart(); }

std::vector<std::vector<std::string>> tableText(const QTableWidget& table) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < table.columnCount(); ++c)
            row.push_back(table.item(r, c) ? table.item(r, c)->text().toStdString() : std::string());
        rows.push_back(row);
    }
    return rows;
}

// Picks the entry of `table` whose column 1 reads `text` with a double
// click, as a user does.
void doubleClickRow(QTableWidget& table, const std::string& text) {
    for (int r = 0; r < table.rowCount(); ++r) {
        if (table.item(r, 1)->text().toStdString() != text) continue;
        const QRect cell = table.visualItemRect(table.item(r, 1));
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, cell.center());
        return;
    }
    ADD_FAILURE() << text << " is not in " << table.objectName().toStdString();
}

// Whether a picture shows something: several colours, none covering
// nearly all of it.
bool showsSomething(const QImage& image) {
    std::map<QRgb, int> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) ++colours[image.pixel(x, y)];
    int most = 0, all = 0;
    for (const auto& [colour, count] : colours) {
        most = std::max(most, count);
        all += count;
    }
    return colours.size() >= 16 && most < all * 9 / 10;
}

// The picture of a widget as it is painted now, its layouts settled.
QImage picture(QWidget& w) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
    return w.grab().toImage();
}

class AnalysisWindowTest : public testing::WindowTest {
protected:
    // Opens the main window on `chars` and `equipment`, chooses the two
    // characters and the stop rule.
    SimulatorDialog& prepare(const std::string& chars, const std::string& equipment, const char* you, const char* opp,
                             FightMode mode) {
        SimulatorDialog& w = open(chars, equipment);
        choose(w.oppCharacterList, opp);
        choose(w.yourCharacterList, you);
        w.fightMode = mode;
        return w;
    }

    // Opens the Analysis window from the main window's menu and waits for
    // its first analysis.
    AnalysisWindow& analyse() {
        window().OnAnalysis();
        AnalysisWindow* a = window().analysisWindow();
        EXPECT_NE(a, nullptr);
        EXPECT_TRUE(settle(*a));
        return *a;
    }

    // Shows `tab` and waits for its analysis.
    void showTab(AnalysisWindow& a, AnalysisWindow::Tab tab) {
        a.showTab(tab);
        EXPECT_TRUE(settle(a));
    }

    // Chooses a number of fights in a tab's list, as a user does.
    static void setFights(AnalysisWindow& a, const char* list, std::int64_t fights) {
        QComboBox* box = child<QComboBox>(a, list);
        const int index = box->findData(QVariant::fromValue<qint64>(fights));
        ASSERT_GE(index, 0) << fights;
        box->setCurrentIndex(index);
    }

    // Types a seed and presses Enter.
    static void typeSeed(AnalysisWindow& a, const QString& seed) {
        QLineEdit* edit = child<QLineEdit>(a, "seed");
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, seed);
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

// ---- opening ------------------------------------------------------------------

TEST_F(AnalysisWindowTest, TheMenuOffersAnalysisWithItsShortcutBeforeAbout) {
    SimulatorDialog& w = prepare(kChars, kEquipment, "Ysolde", "Knight", ToTheDeath);
    std::unique_ptr<QMenu> menu(w.createContextMenu());
    ASSERT_EQ(menu->actions().size(), 2);
    QAction* analysis = menu->actions()[0];
    EXPECT_EQ(analysis->text(), QString::fromUtf8("A&nalysis\u2026"));
    EXPECT_EQ(analysis->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    EXPECT_TRUE(analysis->isShortcutVisibleInContextMenu());
    EXPECT_EQ(menu->actions()[1]->text(), "&About Skarn...");

    // Typed values count, as they do for Begin.
    QLineEdit* strength = w.edit(sim::kYourStrength);
    strength->selectAll();
    QTest::keyClicks(strength, "150");
    analysis->trigger();
    AnalysisWindow* a = w.analysisWindow();
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->isVisible());
    EXPECT_TRUE(a->isWindow());
    EXPECT_FALSE(a->isModal());
    EXPECT_EQ(a->parentWidget(), &w) << "closes with the main window";
    EXPECT_NE(a->minimumSize(), a->maximumSize()) << "resizable";
    ASSERT_TRUE(a->subject().has_value());
    EXPECT_EQ(a->subject()->you.stats[model::Stat::Strength], 150);
    EXPECT_EQ(a->subject()->you.name, "Ysolde");
    EXPECT_EQ(a->subject()->opp.name, "Knight");
    EXPECT_EQ(a->subject()->mode, ToTheDeath);
    ASSERT_TRUE(settle(*a));
    ASSERT_NE(a->outcome(), nullptr);
    EXPECT_EQ(a->outcome()->seed, a->seed());

    // The main window goes on working beside it.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    choose(w.yourCharacterList, "Feeble");
    EXPECT_EQ(w.yourStrength, 10);
    EXPECT_TRUE(messages.shown().empty());

    // Closing and choosing the item again opens the same window, seed kept.
    const std::uint32_t seed = a->seed();
    a->close();
    EXPECT_FALSE(a->isVisible());
    w.OnAnalysis();
    EXPECT_EQ(w.analysisWindow(), a);
    EXPECT_TRUE(a->isVisible());
    EXPECT_EQ(a->seed(), seed);
    EXPECT_EQ(a->subject()->you.name, "Feeble");
    ASSERT_TRUE(settle(*a));
}

TEST_F(AnalysisWindowTest, CtrlShiftAOpensItFromAnywhereInTheMainWindow) {
    SimulatorDialog& w = prepare(kChars, kEquipment, "Ysolde", "Knight", DamagePer60Seconds);
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.edit(sim::kOppParry)->setFocus();
    QTest::keyClick(w.edit(sim::kOppParry), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(w.analysisWindow(), nullptr);
    EXPECT_TRUE(w.analysisWindow()->isVisible());
    EXPECT_EQ(w.edit(sim::kOppParry)->text(), "80") << "the keys typed nothing";
    ASSERT_TRUE(settle(*w.analysisWindow()));
}

// The program runs the main window modally; the Analysis window beside it
// still takes the user's clicks, delivered as the window system delivers
// them (a window a modal dialog blocks would drop them).
TEST_F(AnalysisWindowTest, ItTakesClicksWhileTheMainWindowRunsModally) {
    open(kChars, kEquipment);  // the data files
    SimulatorDialog dialog;
    const ModalHook recorder = setModalHook({});  // a real modal loop
    bool refreshed = false;
    QTimer::singleShot(0, &dialog, [&] {
        choose(dialog.oppCharacterList, "Knight");
        choose(dialog.yourCharacterList, "Ysolde");
        dialog.OnAnalysis();
        AnalysisWindow* a = dialog.analysisWindow();
        EXPECT_TRUE(settle(*a));
        choose(dialog.yourCharacterList, "Feeble");
        QPushButton* refresh = child<QPushButton>(*a, "refresh");
        QTest::mouseClick(a->windowHandle(), Qt::LeftButton, {}, refresh->mapTo(a, refresh->rect().center()));
        refreshed = a->subject()->you.name == "Feeble";
        EXPECT_TRUE(settle(*a));
        dialog.endDialog(IDCANCEL);
    });
    dialog.doModal();
    setModalHook(recorder);
    EXPECT_TRUE(refreshed);
}

// Opening the window and Begin take the values alike: the same messages,
// the same status line, the same focus; a refused run opens no window and
// runs nothing.
TEST_F(AnalysisWindowTest, ARunBeginRefusesIsRefusedAlike) {
    struct Case {
        const char* what;
        const char* you;
        const char* typedStrength;  // typed into You's Str. ("" empties it), or nullptr
        bool opens;                 // the run goes on
        const char* status;         // the status line then
        const char* message;        // a validation message, or nullptr
    };
    const Case cases[] = {
        {"weapon of speed 0", "Kit", nullptr, false, "You: weapon speed 0 is out of range (1 to 10000).", nullptr},
        {"no weapon type", "Nob", nullptr, false, "Information incomplete, can't continue.", nullptr},
        {"Str. above its range", "Ysolde", "401", false, nullptr, "Please enter an integer between 0 and 400."},
        {"Str. emptied", "Ysolde", "", true, "", "Please enter an integer."},
    };
    for (const Case& c : cases) {
        struct Seen {
            std::string status;
            std::vector<std::string> messages;
            QString focus;
        };
        const auto attempt = [&](const std::function<void(SimulatorDialog&)>& action) {
            SimulatorDialog& w = prepare(kChars, kEquipment, c.you, "Knight", ToTheDeath);
            w.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
            if (c.typedStrength) {
                w.edit(sim::kYourStrength)->selectAll();
                QTest::keyClick(w.edit(sim::kYourStrength), Qt::Key_Delete);
                QTest::keyClicks(w.edit(sim::kYourStrength), c.typedStrength);
            }
            messages.clear();
            action(w);
            Seen seen{w.statusLine->text().toStdString(), {}, {}};
            for (const Message& m : messages.shown()) seen.messages.push_back(m.text.toStdString());
            if (QWidget* focus = w.focusWidget()) seen.focus = focus->objectName();
            return seen;
        };
        const Seen begin = attempt([](SimulatorDialog& w) { w.OnBegin(); });
        const Seen analysis = attempt([](SimulatorDialog& w) { w.OnAnalysis(); });
        EXPECT_EQ(analysis.status, begin.status) << c.what;
        EXPECT_EQ(analysis.messages, begin.messages) << c.what;
        EXPECT_EQ(analysis.focus, begin.focus) << c.what;
        if (c.status) {
            EXPECT_EQ(analysis.status, c.status) << c.what;
        }
        if (c.message) {
            ASSERT_EQ(analysis.messages.size(), 1u) << c.what;
            EXPECT_EQ(analysis.messages[0], c.message) << c.what;
            EXPECT_EQ(analysis.focus, "yourStrength") << c.what;
        }
        AnalysisWindow* a = window().analysisWindow();
        ASSERT_NE(a, nullptr) << c.what;
        EXPECT_EQ(a->isVisible(), c.opens) << c.what;
        if (c.opens) {
            ASSERT_TRUE(settle(*a));
            EXPECT_NE(a->outcome(), nullptr) << c.what;
        } else {
            EXPECT_FALSE(a->isRunning()) << c.what;
            EXPECT_EQ(a->outcome(), nullptr) << c.what;
        }
    }
}

TEST_F(AnalysisWindowTest, RefreshTakesTheMainWindowAgainAndARefusalKeepsTheCharts) {
    SimulatorDialog& w = prepare(kChars, kEquipment, "Ysolde", "Knight", ToTheDeath);
    AnalysisWindow& a = analyse();
    ASSERT_NE(a.outcome(), nullptr);
    const RunTotals before = a.outcome()->totals;

    choose(w.yourCharacterList, "Kit");  // a weapon of speed 0
    QTest::mouseClick(child<QPushButton>(a, "refresh"), Qt::LeftButton);
    EXPECT_FALSE(a.isRunning());
    EXPECT_EQ(w.statusLine->text(), "You: weapon speed 0 is out of range (1 to 10000).");
    EXPECT_EQ(child<QLabel>(a, "status")->text(), "Not analysed: You: weapon speed 0 is out of range (1 to 10000).");
    ASSERT_NE(a.outcome(), nullptr);
    EXPECT_EQ(a.outcome()->totals.damageGivenSum, before.damageGivenSum);
    EXPECT_EQ(a.subject()->you.name, "Ysolde");

    choose(w.yourCharacterList, "Feeble");
    QTest::mouseClick(child<QPushButton>(a, "refresh"), Qt::LeftButton);
    ASSERT_TRUE(settle(a));
    EXPECT_EQ(a.subject()->you.name, "Feeble");
    EXPECT_NE(a.outcome()->totals.damageGivenSum, before.damageGivenSum);
}

TEST_F(AnalysisWindowTest, ASeedOutsideItsRangeIsRefused) {
    prepare(kChars, kEquipment, "Ysolde", "Knight", ToTheDeath);
    AnalysisWindow& a = analyse();
    const std::uint32_t seed = a.seed();
    for (const char* typed : {"", "4294967296", "9999999999"}) {
        messages.clear();
        typeSeed(a, QString::fromLatin1(typed));
        ASSERT_EQ(messages.shown().size(), 1u) << '"' << typed << '"';
        EXPECT_EQ(messages.shown()[0].text, "Please enter a seed between 0 and 4294967295.");
        EXPECT_EQ(a.focusWidget(), child<QLineEdit>(a, "seed"));
        EXPECT_FALSE(a.isRunning());
        EXPECT_EQ(a.seed(), seed);
    }
    messages.clear();
    typeSeed(a, QStringLiteral("4294967295"));
    EXPECT_TRUE(messages.shown().empty());
    ASSERT_TRUE(settle(a));
    EXPECT_EQ(a.seed(), 4294967295u);
    EXPECT_EQ(a.outcome()->seed, 4294967295u);
}

// ---- the figures ------------------------------------------------------------------

#ifdef SKARN_CLI_PATH

using Json = nlohmann::json;

std::string fixed2(double v) { return QString::number(v, 'f', 2).toStdString(); }
std::string interval(const Json& ci) {
    if (ci.is_null()) return {};
    return QStringLiteral("[%1, %2]")
        .arg(QString::number(ci["low"].get<double>(), 'f', 2), QString::number(ci["high"].get<double>(), 'f', 2))
        .toStdString();
}

// Within 4.5 standard errors of a sampled estimate whose 95 % interval is
// `ci`: an exact figure checked against the sampled engine.
::testing::AssertionResult nearSampled(double exact, const analysis::Interval& ci) {
    const double se = (ci.high - ci.low) / (2 * 1.959963984540054);
    const double mean = (ci.high + ci.low) / 2;
    if (std::fabs(exact - mean) <= 4.5 * se + 1e-9) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << exact << " is not within 4.5 standard errors of " << mean << " (se "
                                         << se << ")";
}

// The example characters at the slider's 2187 fights and a typed seed: the
// Outcome tab's exact figures agree with the sampled engine, the run beside
// them is skarn-cli's run with the same seed and fights, and the rankings
// and scale factors are exact and agree with sampled ones.
TEST_F(AnalysisWindowTest, ExactFiguresAgreeWithSamplingAndTheRunIsSkarnClis) {
    const std::string chars = example("charfile.cfg"), equipment = example("equifile.cfg");
    SimulatorDialog& w = prepare(chars, equipment, "Ysolde Vane", "Skeleton Knight", ToTheDeath);
    w.fightCountSlider->setPos(7);
    AnalysisWindow& a = analyse();
    typeSeed(a, QStringLiteral("12345"));
    ASSERT_TRUE(settle(a));
    ASSERT_EQ(a.seed(), 12345u);
    ASSERT_NE(a.exactOutcome(), nullptr);
    ASSERT_NE(a.outcome(), nullptr);
    EXPECT_FALSE(child<QComboBox>(a, "outcomeFights")->isVisible()) << "exact figures need no fight count";

    // The run beside the exact figures: skarn-cli run, byte for byte in its totals.
    std::vector<std::string> args = {"--data", testing::workingDirectory().string(), "run", "--json", "--you",
                                     "Ysolde Vane", "--opp", "Skeleton Knight", "--mode", "death", "--seed", "12345",
                                     "--fights", "2187"};
    const testing::CliResult result = testing::runCli(args, testing::workingDirectory());
    ASSERT_EQ(result.status, 0) << result.err;
    const Json run = Json::parse(result.out);
    const analysis::Outcome& chain = *a.outcome();
    EXPECT_EQ(chain.fights, 2187);
    EXPECT_EQ(chain.totals.winCount, run["totals"]["winCount"].get<double>());
    EXPECT_EQ(chain.totals.damageGivenSum, run["totals"]["damageGivenSum"].get<double>());
    EXPECT_EQ(chain.totals.tickSum, run["totals"]["tickSum"].get<double>());

    // Saved as CSV: skarn-cli's exact answer, byte for byte.
    testing::TempDir scratch;
    const auto cli = [&](std::vector<std::string> more) {
        std::vector<std::string> all = {"--data", testing::workingDirectory().string()};
        all.insert(all.end(), more.begin(), more.end());
        for (const char* option : {"--you", "Ysolde Vane", "--opp", "Skeleton Knight", "--mode", "death", "--csv"})
            all.emplace_back(option);
        const testing::CliResult out = testing::runCli(all, testing::workingDirectory());
        EXPECT_EQ(out.status, 0) << out.err;
        return out.out;
    };
    const auto saved = [&](const char* name) {
        SaveFileRecorder files;
        const std::string path = scratch.file(name);
        files.setNextAnswer(QString::fromStdString(path));
        QTest::mouseClick(child<QPushButton>(a, "save"), Qt::LeftButton);
        return testing::readBytes(path);
    };
    EXPECT_EQ(saved("outcome.csv"), cli({"outcome"}));

    // The exact figures against 100 000 sampled fights.
    const AnalysisSubject& subject = *a.subject();
    analysis::RunSettings sampledSettings;
    sampledSettings.mode = ToTheDeath;
    sampledSettings.seed = 777;
    sampledSettings.fights = 100'000;
    const analysis::Outcome sampled = analysis::analyseOutcome(subject.you, subject.opp, sampledSettings);
    const analysis::ExactOutcome& exact = *a.exactOutcome();
    EXPECT_TRUE(nearSampled(exact.odds.winPercent->mean, *sampled.intervals.winPercent));
    EXPECT_TRUE(nearSampled(exact.odds.damageTaken.mean, *sampled.intervals.damageTaken));
    EXPECT_TRUE(nearSampled(exact.odds.damageGiven.mean, *sampled.intervals.damageGiven));
    EXPECT_TRUE(nearSampled(exact.odds.time.mean, *sampled.intervals.time));

    // One column for each way of finding a result: exact, and the run.
    const auto rows = tableText(*child<QTableWidget>(a, "outcomeTable"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2], (std::vector<std::string>{"Damage Given", fixed2(exact.odds.damageGiven.mean),
                                                 fixed2(exact.odds.damageGiven.sd),
                                                 fixed2(run["ci95"]["damageGiven"]["mean"]),
                                                 interval(run["ci95"]["damageGiven"])}));
    // The laws as bars: every bar's height is a probability, and they add up
    // to 100 % less the rarest 0.1 % left out at the ends.
    for (const char* name : {"givenHistogram", "takenHistogram", "timeHistogram"}) {
        auto* area = qobject_cast<QAreaSeries*>(chart(a, name)->series().at(0));
        ASSERT_NE(area, nullptr) << name;
        const QList<QPointF> points = area->upperSeries()->points();
        double total = 0.0;
        for (qsizetype k = 2; k + 1 < points.size(); k += 4) total += points[k].y();
        EXPECT_GE(total, 99.9) << name;
        EXPECT_LE(total, 100.0 + 1e-9) << name;
    }

    // The weapons ranking: exact, best first, each value within reach of a
    // sampled ranking of the same weapons.
    showTab(a, AnalysisWindow::WeaponsTab);
    const analysis::ExactRanking* ranking = a.exactRanking(analysis::RankBy::Weapon);
    ASSERT_NE(ranking, nullptr);
    EXPECT_EQ(a.ranking(analysis::RankBy::Weapon), nullptr);
    EXPECT_FALSE(child<QComboBox>(a, "weaponsFights")->isVisible());
    std::vector<analysis::Candidate> candidates;
    for (const analysis::ExactRankEntry& e : ranking->entries) candidates.push_back(e.candidate);
    sampledSettings.fights = 10'000;
    const analysis::Ranking sampledRanking =
        analysis::rank(candidates, subject.opp, analysis::RankBy::Weapon, sampledSettings);
    const auto weaponRows = tableText(*child<QTableWidget>(a, "weaponsTable"));
    ASSERT_EQ(weaponRows.size(), ranking->entries.size());
    ASSERT_GE(weaponRows.size(), 3u);
    for (std::size_t i = 0; i < ranking->entries.size(); ++i) {
        const analysis::ExactRankEntry& e = ranking->entries[i];
        EXPECT_EQ(weaponRows[i][1].substr(0, e.candidate.name.size()), e.candidate.name) << i;
        EXPECT_EQ(weaponRows[i][2], fixed2(e.value)) << i;
        if (i > 0) {
            EXPECT_GE(ranking->entries[i - 1].value, e.value) << "best first";
        }
        const auto found = std::find_if(sampledRanking.entries.begin(), sampledRanking.entries.end(),
                                        [&](const analysis::RankEntry& s) { return s.candidate.name == e.candidate.name; });
        ASSERT_NE(found, sampledRanking.entries.end());
        EXPECT_TRUE(nearSampled(e.value, *found->interval)) << e.candidate.name;
    }

    EXPECT_EQ(saved("weapons.csv"), cli({"rank", "--by", "weapon"}));

    // The scale factors: exact, and within reach of sampled ones.
    showTab(a, AnalysisWindow::StatsTab);
    const analysis::ExactScale* scale = a.exactScale();
    ASSERT_NE(scale, nullptr);
    EXPECT_FALSE(child<QComboBox>(a, "statsFights")->isVisible());
    sampledSettings.fights = 10'000;
    const analysis::Scale sampledScale = analysis::scaleStats(subject.you, subject.opp, scale->delta, sampledSettings);
    ASSERT_EQ(scale->stats.size(), sampledScale.stats.size());
    for (const analysis::ExactStatScale& st : scale->stats) {
        const auto found = std::find_if(sampledScale.stats.begin(), sampledScale.stats.end(),
                                        [&](const analysis::StatScale& s) { return s.stat == st.stat; });
        ASSERT_NE(found, sampledScale.stats.end());
        if (!st.perPoint) continue;
        ASSERT_TRUE(found->perPoint.has_value());
        if (found->perPoint->high == found->perPoint->low) {
            EXPECT_EQ(*st.perPoint, found->perPoint->low) << model::statInfo(st.stat).caption;
        } else {
            EXPECT_TRUE(nearSampled(*st.perPoint, *found->perPoint)) << model::statInfo(st.stat).caption;
        }
    }
    EXPECT_EQ(saved("stats.csv"), cli({"scale"}));
}

#endif  // SKARN_CLI_PATH

// ---- running ------------------------------------------------------------------------

// A long analysis cancelled midway: the charts keep the last one that
// finished, and nothing starts again by itself.
TEST_F(AnalysisWindowTest, CancelKeepsThePreviousCharts) {
    prepare(kChars, kEquipment, "Ysolde", "Wall", ToDeathOfOpponent);
    window().OnAnalysis();
    AnalysisWindow& a = *window().analysisWindow();
    setFights(a, "outcomeFights", 1'000);  // the first run gives way to this one
    ASSERT_TRUE(settle(a));
    ASSERT_NE(a.outcome(), nullptr);
    ASSERT_EQ(a.outcome()->fights, 1'000);
    const RunTotals shown = a.outcome()->totals;
    const auto table = tableText(*child<QTableWidget>(a, "outcomeTable"));

    QSignalSpy progress(&a, &AnalysisWindow::progressReported);
    setFights(a, "outcomeFights", 1'000'000);
    ASSERT_TRUE(a.isRunning());
    QPushButton* cancel = child<QPushButton>(a, "cancel");
    EXPECT_TRUE(cancel->isEnabled());
    ASSERT_TRUE(progress.wait(30000)) << "the engine reports its progress";
    EXPECT_FALSE(child<QLabel>(a, "rate")->text().isEmpty()) << "fights per second shown";
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(settle(a));

    EXPECT_EQ(a.outcome()->fights, 1'000);
    EXPECT_EQ(a.outcome()->totals.tickSum, shown.tickSum);
    EXPECT_EQ(tableText(*child<QTableWidget>(a, "outcomeTable")), table);
    EXPECT_EQ(child<QComboBox>(a, "outcomeFights")->currentData().value<qint64>(), 1'000)
        << "the box shows the fights of the figures shown";
    EXPECT_EQ(child<QLabel>(a, "status")->text(), "Cancelled: the charts show the last analysis that finished.");
    EXPECT_EQ(child<QProgressBar>(a, "progress")->value(), 0);
    EXPECT_FALSE(cancel->isEnabled());
    QTest::qWait(100);
    EXPECT_FALSE(a.isRunning()) << "nothing restarts by itself";
}

TEST_F(AnalysisWindowTest, ClosingTheWindowOrTheProgramStopsItsWork) {
    prepare(kChars, kEquipment, "Ysolde", "Wall", ToDeathOfOpponent);
    window().OnAnalysis();
    AnalysisWindow& a = *window().analysisWindow();
    setFights(a, "outcomeFights", 1'000);
    ASSERT_TRUE(settle(a));
    setFights(a, "outcomeFights", 1'000'000);
    ASSERT_TRUE(a.isRunning());
    a.close();
    ASSERT_TRUE(settle(a));
    EXPECT_EQ(a.outcome()->fights, 1'000) << "the run cut short is not shown";

    // Opened again and the program closed while it runs: the window goes
    // with the main window, its work stopped.
    window().OnAnalysis();
    ASSERT_TRUE(a.isRunning());
    QPointer<AnalysisWindow> gone = &a;
    prepare(kChars, kEquipment, "Ysolde", "Knight", ToTheDeath);  // a fresh main window
    EXPECT_TRUE(gone.isNull());
}

// ---- giving a ranked weapon or shield to the main window ---------------------------

TEST_F(AnalysisWindowTest, DoubleClickingARankedEntryChoosesItInTheMainWindow) {
    SimulatorDialog& w = prepare(kChars, kEquipment, "Ysolde", "Knight", ToTheDeath);
    AnalysisWindow& a = analyse();
    setFights(a, "weaponsFights", 1'000);
    showTab(a, AnalysisWindow::WeaponsTab);
    QTableWidget* weapons = child<QTableWidget>(a, "weaponsTable");
    const auto bold = [](QTableWidget& table, const std::string& name) {
        for (int r = 0; r < table.rowCount(); ++r)
            if (table.item(r, 1)->text().toStdString().rfind(name, 0) == 0) return table.item(r, 1)->font().bold();
        return false;
    };
    EXPECT_TRUE(bold(*weapons, "Rapier")) << "the current weapon is marked";

    // A two-handed weapon: the handler's rule takes the shield away.
    doubleClickRow(*weapons, "War Pike (two-handed)");
    EXPECT_EQ(w.yourWeaponList->selectedEntry(), "War Pike");
    EXPECT_EQ(w.yourWeaponSpeed, 34);
    EXPECT_EQ(w.yourDiceCount, 3);
    EXPECT_EQ(w.yourShieldName, "- none -");
    EXPECT_EQ(w.yourShieldList->selectedEntry(), "- none -");
    EXPECT_EQ(yourCombatant().shieldIndex, -1);
    EXPECT_TRUE(bold(*weapons, "War Pike"));
    EXPECT_FALSE(bold(*weapons, "Rapier"));

    // A weapon of another type, from the ranking of every type.
    QTest::mouseClick(child<QCheckBox>(a, "allWeaponTypes"), Qt::LeftButton);
    ASSERT_TRUE(settle(a));
    doubleClickRow(*weapons, "Longsword (Sword)");
    EXPECT_EQ(w.comboBox(sim::kYourWeaponTypeList)->curSel(), 2);
    EXPECT_EQ(w.yourWeaponType, 2);
    EXPECT_EQ(w.yourWeaponList->selectedEntry(), "Longsword");
    EXPECT_EQ(w.yourWeaponSpeed, 36);
    EXPECT_EQ(w.yourDiceSides, 6);

    // A shield.
    choose(w.yourCharacterList, "Ysolde");
    QTest::mouseClick(child<QPushButton>(a, "refresh"), Qt::LeftButton);
    setFights(a, "shieldsFights", 1'000);
    showTab(a, AnalysisWindow::ShieldsTab);
    QTableWidget* shields = child<QTableWidget>(a, "shieldsTable");
    doubleClickRow(*shields, "Tower Shield");
    EXPECT_EQ(w.yourShieldName, "Tower Shield");
    EXPECT_EQ(w.yourShieldAbsorb, 8);
    EXPECT_EQ(yourCombatant().shieldIndex, 0);

    // Enter on the entry the keyboard is on does the same.
    const auto rows = tableText(*shields);
    const auto buckler = std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row[1] == "Buckler"; });
    ASSERT_NE(buckler, rows.end());
    shields->setFocus();
    shields->setCurrentCell(static_cast<int>(buckler - rows.begin()), 1);
    QTest::keyClick(shields, Qt::Key_Return);
    EXPECT_EQ(w.yourShieldName, "Buckler");
    EXPECT_EQ(w.yourShieldAbsorb, 2);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(AnalysisWindowTest, ShieldsAreNotRankedForATwoHandedWeapon) {
    SimulatorDialog& w = prepare(kChars, kEquipment, "Ysolde", "Knight", ToTheDeath);
    choose(w.yourWeaponList, "War Pike");
    AnalysisWindow& a = analyse();
    showTab(a, AnalysisWindow::ShieldsTab);
    EXPECT_EQ(a.ranking(analysis::RankBy::Shield), nullptr);
    EXPECT_EQ(child<QLabel>(a, "shieldsNotes")->text(),
              "Cannot rank shields: \"War Pike\" needs 2 hands, so \"Ysolde\" carries no shield.");
    EXPECT_EQ(child<QTableWidget>(a, "shieldsTable")->rowCount(), 0);
    EXPECT_FALSE(child<QPushButton>(a, "save")->isEnabled());
    EXPECT_FALSE(a.isRunning());
}

// ---- word from the main window --------------------------------------------------------

// The header follows each change of the main window at once; a tab whose
// figures were found for other choices says so until it runs again; each
// tab has its own status line.
TEST_F(AnalysisWindowTest, TheHeaderFollowsTheMainWindowAndOldFiguresSaySo) {
    SimulatorDialog& w = prepare(kChars, kEquipment, "Ysolde", "Knight", DamagePer60Seconds);
    AnalysisWindow& a = analyse();
    a.show();
    QLabel* header = child<QLabel>(a, "subject");
    QLabel* outOfDate = child<QLabel>(a, "outOfDate");
    QTabWidget* tabs = child<QTabWidget>(a, "tabs");
    EXPECT_TRUE(header->text().contains("Find damage per 60 seconds")) << header->text().toStdString();
    EXPECT_FALSE(outOfDate->isVisible());

    // Options ended with OK: the header names the new mode at once, and the
    // figures shown say they are out of date.
    modals.setNextAnswer([](Dialog& d) {
        CheckBox* box = d.controlAs<CheckBox>(ids::options::kToTheDeath);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QTest::mouseClick(d.controlAs<QPushButton>(IDOK), Qt::LeftButton);
    });
    QTest::mouseClick(w.controlAs<QPushButton>(sim::kOptions), Qt::LeftButton);
    EXPECT_TRUE(header->text().endsWith("Fight to the death.")) << header->text().toStdString();
    EXPECT_TRUE(outOfDate->isVisible());
    EXPECT_TRUE(outOfDate->text().contains("out of date, Refresh"));
    EXPECT_TRUE(tabs->tabText(0).contains("out of date"));
    EXPECT_FALSE(a.isRunning()) << "nothing runs until Refresh";

    QTest::mouseClick(child<QPushButton>(a, "refresh"), Qt::LeftButton);
    ASSERT_TRUE(settle(a));
    EXPECT_FALSE(outOfDate->isVisible());
    EXPECT_FALSE(tabs->tabText(0).contains("out of date"));
    const QString outcomeStatus = child<QLabel>(a, "status")->text();
    EXPECT_TRUE(outcomeStatus.startsWith("Done: the exact outcome")) << outcomeStatus.toStdString();

    // A double-click gives Club to You: the header says so.
    showTab(a, AnalysisWindow::WeaponsTab);
    QTest::mouseClick(child<QCheckBox>(a, "allWeaponTypes"), Qt::LeftButton);
    ASSERT_TRUE(settle(a));
    EXPECT_TRUE(child<QLabel>(a, "status")->text().startsWith("Done: the exact weapons ranking"));
    doubleClickRow(*child<QTableWidget>(a, "weaponsTable"), "Club (Mace)");
    EXPECT_TRUE(header->text().startsWith("You: Ysolde with Club and Buckler.")) << header->text().toStdString();
    EXPECT_TRUE(outOfDate->isVisible());

    // The status line belongs to the tab shown.
    showTab(a, AnalysisWindow::OutcomeTab);
    EXPECT_EQ(child<QLabel>(a, "status")->text(), outcomeStatus);
    EXPECT_TRUE(outOfDate->isVisible()) << "the outcome too was found with Rapier";

    QTest::mouseClick(child<QPushButton>(a, "refresh"), Qt::LeftButton);
    ASSERT_TRUE(settle(a));
    EXPECT_EQ(a.subject()->you.weaponName, "Club");
    EXPECT_FALSE(outOfDate->isVisible());
}

// Each figure says what it is: the win % is "not counted" outside "Fight to
// the death", there is no fight-time chart where every fight lasts 60 s,
// the damage charts say "per 60 s", and a change of the win % is in
// percentage points.
TEST_F(AnalysisWindowTest, FiguresSayWhatTheyAre) {
    prepare(kChars, kEquipment, "Ysolde", "Knight", DamagePer60Seconds);
    AnalysisWindow& a = analyse();
    a.show();
    const auto rows = tableText(*child<QTableWidget>(a, "outcomeTable"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][1], "not counted in this mode");
    QHeaderView* header = child<QTableWidget>(a, "outcomeTable")->horizontalHeader();
    QStringList captions;
    for (int c = 0; c < header->count(); ++c) captions << header->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_FALSE(captions.contains("Value") && captions.contains("Mean")) << captions.join(", ").toStdString();
    EXPECT_FALSE(child<QChartView>(a, "timeHistogram")->isVisible());
    EXPECT_EQ(chart(a, "givenHistogram")->title(), "Damage given per 60 s");
    EXPECT_EQ(chart(a, "takenHistogram")->title(), "Damage taken per 60 s");

    window().fightMode = ToTheDeath;
    a.refresh();
    ASSERT_TRUE(settle(a));
    EXPECT_TRUE(child<QChartView>(a, "timeHistogram")->isVisible());
    EXPECT_EQ(chart(a, "givenHistogram")->title(), "Damage given per fight");
    showTab(a, AnalysisWindow::StatsTab);
    const QString words = child<QLabel>(a, "statsWords")->text();
    EXPECT_TRUE(words.contains("percentage points")) << words.toStdString();
    EXPECT_FALSE(words.contains("% win")) << words.toStdString();
}


// What the Analysis window hears through AnalysisHost: once for each action
// of the user that may change what a run fights, after the action has
// settled every value; nothing for Options cancelled.
TEST_F(AnalysisWindowTest, TheMainWindowSaysOnceWhenWhatARunFightsChanges) {
    SimulatorDialog& w = prepare(kChars, kEquipment, "Ysolde", "Knight", DamagePer60Seconds);
    AnalysisHost& host = w;
    struct Heard {
        FightMode mode;
        std::string weapon, shield;
    };
    std::vector<Heard> heard;
    QObject context;
    host.onRunChanged(&context, [&] { heard.push_back({w.fightMode, w.yourWeaponName, w.yourShieldName}); });

    // Options, ended with Cancel and then with OK, by clicks in the dialog.
    const auto options = [&](int end) {
        modals.setNextAnswer([end](Dialog& d) {
            CheckBox* box = d.controlAs<CheckBox>(ids::options::kToTheDeath);
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
            QTest::mouseClick(d.controlAs<QPushButton>(end), Qt::LeftButton);
        });
        QTest::mouseClick(w.controlAs<QPushButton>(sim::kOptions), Qt::LeftButton);
    };
    options(IDCANCEL);
    EXPECT_TRUE(heard.empty()) << "Options cancelled changes nothing";
    options(IDOK);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].mode, ToTheDeath);

    // A two-handed weapon picked from the open list: its handler takes the
    // shield away before the word goes out.
    heard.clear();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    pick(w.yourWeaponList, "War Pike");
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].weapon, "War Pike");
    EXPECT_EQ(heard[0].shield, "- none -");

    // A character runs the weapon-type, weapon and shield handlers in turn:
    // still one word, with the character's own gear.
    heard.clear();
    pick(w.yourCharacterList, "Ysolde");
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].weapon, "Rapier");
    EXPECT_EQ(heard[0].shield, "Buckler");

    // SAVE stores the side and reloads it through the character handler:
    // one word, after both.
    heard.clear();
    QTest::mouseClick(w.yourSaveButton, Qt::LeftButton);
    EXPECT_EQ(heard.size(), 1u);

    // The slider, moved with the keyboard.
    heard.clear();
    w.fightCountSlider->setFocus();
    QTest::keyClick(w.fightCountSlider, Qt::Key_Right);
    EXPECT_EQ(w.sliderFights(), 3);
    EXPECT_EQ(heard.size(), 1u);

    // A weapon of another type given as the Analysis window gives it: the
    // type and the weapon are one change.
    heard.clear();
    EXPECT_TRUE(host.giveYouWeapon(2, "Longsword"));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].weapon, "Longsword");
    EXPECT_FALSE(host.giveYouWeapon(2, "Club")) << "not a sword";
    EXPECT_FALSE(host.giveYouShield("Kite Shield"));
    EXPECT_EQ(heard.size(), 1u) << "nothing chosen, nothing said";
    EXPECT_EQ(w.yourWeaponName, "Longsword");
}

// ---- export -------------------------------------------------------------------------

TEST_F(AnalysisWindowTest, SaveWritesTheChartOrTheTableThroughTheSaveDialog) {
    prepare(kChars, kEquipment, "Ysolde", "Knight", ToTheDeath);
    AnalysisWindow& a = analyse();
    setFights(a, "statsFights", 1'000);
    showTab(a, AnalysisWindow::StatsTab);
    testing::TempDir folder;
    SaveFileRecorder files;
    QPushButton* save = child<QPushButton>(a, "save");
    ASSERT_TRUE(save->isEnabled());

    files.setNextAnswer(QString::fromStdString(folder.file("stats.png")));
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(files.shown().size(), 1u);
    EXPECT_EQ(files.shown()[0].owner, &a);
    ASSERT_EQ(files.shown()[0].types.size(), 3u);
    EXPECT_EQ(files.shown()[0].types[0].suffix, "png");
    EXPECT_TRUE(files.shown()[0].suggestedPath.endsWith("skarn-stats.png"));
    const QImage png(QString::fromStdString(folder.file("stats.png")));
    ASSERT_FALSE(png.isNull());
    EXPECT_TRUE(showsSomething(png));

    files.setNextAnswer(QString::fromStdString(folder.file("stats.svg")));
    QTest::mouseClick(save, Qt::LeftButton);
    const std::string svg = testing::readBytes(folder.file("stats.svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("W. Skill"), std::string::npos) << "the chart's text is in the picture";

    files.setNextAnswer(QString::fromStdString(folder.file("stats.csv")));
    QTest::mouseClick(save, Qt::LeftButton);
    const std::string csv = testing::readBytes(folder.file("stats.csv"));
    // Every line says what the figures are about: the matchup, the mode and
    // that they are exact.
    EXPECT_EQ(csv.rfind("you,opp,mode,method,stat,value,tried_low,tried_high,oneSided,hitPointsFollow,perPoint,", 0),
              0u)
        << csv;
    const std::string context = "Ysolde,Knight,death,exact,";
    std::size_t rows = 0;
    for (std::size_t at = csv.find('\n'); at + 1 < csv.size(); at = csv.find('\n', at + 1), ++rows)
        EXPECT_EQ(csv.compare(at + 1, context.size(), context), 0) << csv;
    EXPECT_EQ(rows, 6u);
    // So do the pictures, in their titles.
    EXPECT_EQ(png.text(QStringLiteral("Title")), "Skarn: Ysolde against Knight, Fight to the death, exact");
    EXPECT_NE(svg.find("<title>Skarn: Ysolde against Knight, Fight to the death, exact</title>"), std::string::npos);
    EXPECT_NE(svg.find("Ysolde against Knight, Fight to the death, exact"), std::string::npos);

    // Cancelled: nothing is written. A folder that is not there: a message,
    // and nothing else.
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(files.shown().size(), 4u);
    files.setNextAnswer(QString::fromStdString(folder.file("missing/stats.csv")));
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_TRUE(messages.shown()[0].text.startsWith("Could not save ")) << messages.shown()[0].text.toStdString();
    EXPECT_EQ(messages.shown()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 3);
}

// ---- accessibility and looks ----------------------------------------------------------

TEST_F(AnalysisWindowTest, ScreenReadersHearEveryControlAndWhatEachChartShows) {
    prepare(kChars, kEquipment, "Ysolde", "Knight", ToTheDeath);
    AnalysisWindow& a = analyse();
    setFights(a, "weaponsFights", 1'000);
    showTab(a, AnalysisWindow::WeaponsTab);
    setFights(a, "statsFights", 1'000);
    showTab(a, AnalysisWindow::StatsTab);

    for (const char* name :
         {"tabs", "seed", "refresh", "cancel", "save", "progress", "count", "rate", "outcomeFights", "weaponsFights", "shieldsFights",
          "statsFights", "allWeaponTypes", "statsPoints", "outcomeTable", "weaponsTable", "shieldsTable", "statsTable",
          "winChart", "givenHistogram", "takenHistogram", "timeHistogram", "weaponsChart", "statsChart", "outOfDate",
          "outcomeMethod"}) {
        QWidget* w = child<QWidget>(a, name);
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(w->accessibleName().isEmpty()) << name;
        EXPECT_FALSE(w->accessibleDescription().isEmpty()) << name;
    }

    ASSERT_NE(a.exactRanking(analysis::RankBy::Weapon), nullptr);
    const analysis::ExactRankEntry& best = a.exactRanking(analysis::RankBy::Weapon)->entries.front();
    EXPECT_EQ(child<QWidget>(a, "weaponsChart")->accessibleName(),
              QStringLiteral("Weapons ranking: %1 %2 % win, best")
                  .arg(QString::fromStdString(best.candidate.name))
                  .arg(best.value, 0, 'f', 1));
    const QString weapons = child<QWidget>(a, "weaponsChart")->accessibleDescription();
    EXPECT_TRUE(weapons.contains("Rapier")) << weapons.toStdString();
    EXPECT_TRUE(weapons.contains("your current choice")) << weapons.toStdString();
    EXPECT_TRUE(child<QWidget>(a, "winChart")->accessibleDescription().startsWith("Your win %: "));
    EXPECT_TRUE(child<QWidget>(a, "givenHistogram")->accessibleDescription().contains("Median"));

    // The stats in words under their chart.
    const QString words = child<QLabel>(a, "statsWords")->text();
    EXPECT_TRUE(words.startsWith("+10 ")) << words.toStdString();
    EXPECT_TRUE(words.contains(QString::fromUtf8(" \u2248 ")) || words.contains(": no change in")) << words.toStdString();
    EXPECT_EQ(words.count('\n'), 5);
}

TEST_F(AnalysisWindowTest, ChartsFollowTheLightOrDarkPalette) {
    prepare(kChars, kEquipment, "Ysolde", "Knight", ToTheDeath);
    AnalysisWindow& a = analyse();
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x20, 0x22, 0x25));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x12, 0x12, 0x14));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    dark.setColor(QPalette::Mid, QColor(0x55, 0x55, 0x55));
    for (const QPalette& palette : {dark, QApplication::palette()}) {
        a.setPalette(palette);
        for (const char* name : {"winChart", "givenHistogram"}) {
            QChart* c = chart(a, name);
            EXPECT_EQ(c->backgroundBrush().color(), palette.color(QPalette::Window)) << name;
            EXPECT_EQ(c->plotAreaBackgroundBrush().color(), palette.color(QPalette::Base)) << name;
            EXPECT_EQ(c->titleBrush().color(), palette.color(QPalette::WindowText)) << name;
            for (QAbstractAxis* axis : c->axes())
                EXPECT_EQ(axis->labelsBrush().color(), palette.color(QPalette::WindowText)) << name;
        }
        auto* bars = qobject_cast<QAbstractBarSeries*>(chart(a, "winChart")->series().at(0));
        ASSERT_NE(bars, nullptr);
        EXPECT_EQ(bars->barSets().at(0)->color(), palette.color(QPalette::Highlight));
        EXPECT_TRUE(showsSomething(picture(a)));
    }
}

// At half again the text size every label, button and list shows its whole
// text, and the charts write in the larger font.
// The texts a chart draws: its title, axis titles and labels.
QStringList drawnTexts(QChartView& view) {
    QStringList texts;
    for (QGraphicsItem* item : view.scene()->items()) {
        if (!item->isVisible()) continue;
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item)) texts << text->toPlainText();
        else if (auto* simple = dynamic_cast<QGraphicsSimpleTextItem*>(item)) texts << simple->text();
    }
    return texts;
}

// At the default size every name on a chart is whole (a long ranking
// scrolls) and every column of a table shows without a horizontal scroll
// bar; at the smallest size the window takes, nothing overlaps and no
// wrapped text is cut.
TEST_F(AnalysisWindowTest, NothingIsCutOffAtTheDefaultOrTheSmallestSize) {
    prepare(example("charfile.cfg"), example("equifile.cfg"), "Brannoc the Bold", "Orc Brute", ToTheDeath);
    AnalysisWindow& a = analyse();
    a.show();
    ASSERT_EQ(a.size(), QSize(1040, 720));
    QTest::mouseClick(child<QCheckBox>(a, "allWeaponTypes"), Qt::LeftButton);
    for (const AnalysisWindow::Tab tab :
         {AnalysisWindow::OutcomeTab, AnalysisWindow::WeaponsTab, AnalysisWindow::ShieldsTab, AnalysisWindow::StatsTab}) {
        showTab(a, tab);
        picture(a);
        for (QTableWidget* table : a.findChildren<QTableWidget*>()) {
            if (!table->isVisible()) continue;
            EXPECT_FALSE(table->horizontalScrollBar()->isVisible()) << table->objectName().toStdString();
            EXPECT_LE(table->horizontalHeader()->length(), table->viewport()->width())
                << table->objectName().toStdString();
        }
        for (QChartView* view : a.findChildren<QChartView*>()) {
            if (!view->isVisible()) continue;
            for (const QString& text : drawnTexts(*view))
                EXPECT_FALSE(text.contains("...") || text.contains(QChar(0x2026)))
                    << view->objectName().toStdString() << ": " << text.toStdString();
        }
    }
    EXPECT_GE(a.exactRanking(analysis::RankBy::Weapon)->entries.size(), 20u);

    a.resize(a.minimumSizeHint().expandedTo(a.minimumSize()));
    for (const AnalysisWindow::Tab tab :
         {AnalysisWindow::OutcomeTab, AnalysisWindow::WeaponsTab, AnalysisWindow::ShieldsTab, AnalysisWindow::StatsTab}) {
        showTab(a, tab);
        picture(a);
        QWidget* page = a.findChild<QTabWidget*>(QStringLiteral("tabs"))->currentWidget();
        // Widgets are compared with those in the same frame: the page, or
        // the scroll area that clips them.
        std::map<QWidget*, std::vector<std::pair<QWidget*, QRect>>> frames;
        for (QWidget* w : page->findChildren<QWidget*>()) {
            const bool leaf = qobject_cast<QLabel*>(w) || qobject_cast<QChartView*>(w) ||
                              qobject_cast<QTableWidget*>(w) || qobject_cast<QComboBox*>(w) ||
                              qobject_cast<QAbstractButton*>(w) || qobject_cast<QScrollArea*>(w);
            if (!leaf || !w->isVisible()) continue;
            QWidget* frame = page;
            for (QWidget* up = w->parentWidget(); up && up != page; up = up->parentWidget())
                if (qobject_cast<QScrollArea*>(up)) {
                    frame = up;
                    break;
                }
            if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap() && !label->text().isEmpty()) {
                EXPECT_GE(label->height(), label->heightForWidth(label->width()))
                    << w->objectName().toStdString() << " tab " << tab;
            }
            frames[frame].emplace_back(w, QRect(w->mapTo(frame, QPoint(0, 0)), w->size()));
        }
        for (const auto& [frame, shown] : frames) {
            for (std::size_t i = 0; i < shown.size(); ++i)
                for (std::size_t j = i + 1; j < shown.size(); ++j)
                    EXPECT_FALSE(shown[i].second.intersects(shown[j].second))
                        << shown[i].first->objectName().toStdString() << " overlaps "
                        << shown[j].first->objectName().toStdString() << " on tab " << tab;
        }
    }
}

TEST_F(AnalysisWindowTest, NothingIsCutAtALargerFont) {
    prepare(kChars, kEquipment, "Ysolde", "Knight", ToTheDeath);
    AnalysisWindow& a = analyse();
    QFont font = a.font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    a.setFont(font);
    for (int tab = 0; tab < 4; ++tab) {
        a.showTab(static_cast<AnalysisWindow::Tab>(tab));
        picture(a);
        for (QWidget* w : a.findChildren<QWidget*>()) {
            if (!w->isVisible()) continue;
            const bool text = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                              (qobject_cast<QLabel*>(w) && !static_cast<QLabel*>(w)->wordWrap());
            if (!text) continue;
            EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->objectName().toStdString() << " tab " << tab;
            EXPECT_GE(w->height(), w->minimumSizeHint().height()) << w->objectName().toStdString() << " tab " << tab;
        }
    }
    ASSERT_TRUE(settle(a));
    EXPECT_EQ(chart(a, "givenHistogram")->titleFont().pointSizeF(), font.pointSizeF());
    for (QAbstractAxis* axis : chart(a, "givenHistogram")->axes())
        EXPECT_EQ(axis->labelsFont().pointSizeF(), font.pointSizeF());
}

// One picture of each tab, and of the main window's menu, from the example
// characters. SKARN_SCREENSHOT_ANALYSIS=folder keeps copies for the
// documentation.
TEST_F(AnalysisWindowTest, EachTabRendersAPicture) {
    SimulatorDialog& w = prepare(example("charfile.cfg"), example("equifile.cfg"), "Old Tam", "Skeleton Knight",
                                 ToTheDeath);
    const char* keep = std::getenv("SKARN_SCREENSHOT_ANALYSIS");

    // The main window with its menu open where the user right-clicked.
    const QPoint at(w.width() * 3 / 5, w.height() / 3);
    QMenu* menu = w.createContextMenu(&w);
    menu->popup(w.mapToGlobal(at));
    QImage withMenu = picture(w).convertToFormat(QImage::Format_RGB32);
    const QImage menuPicture = picture(*menu);
    menu->close();
    delete menu;
    QPainter(&withMenu).drawImage(at * withMenu.devicePixelRatio(), menuPicture);
    EXPECT_TRUE(showsSomething(withMenu));
    if (keep) withMenu.save(QString::fromLocal8Bit(keep) + QStringLiteral("/analysis-menu.png"));

    w.fightCountSlider->setPos(7);  // Begin's 2187 fights beside the exact figures
    AnalysisWindow& a = analyse();
    typeSeed(a, QStringLiteral("2026"));  // the same pictures every time
    a.resize(1040, 720);
    for (const auto& [tab, name] : {std::pair(AnalysisWindow::OutcomeTab, "outcome"),
                                    std::pair(AnalysisWindow::WeaponsTab, "weapons"),
                                    std::pair(AnalysisWindow::ShieldsTab, "shields"),
                                    std::pair(AnalysisWindow::StatsTab, "stats")}) {
        showTab(a, tab);
        const QImage image = picture(a);
        EXPECT_TRUE(showsSomething(image)) << name;
        if (keep) image.save(QStringLiteral("%1/analysis-%2.png").arg(QString::fromLocal8Bit(keep), name));
    }
}

}  // namespace
}  // namespace skarn
