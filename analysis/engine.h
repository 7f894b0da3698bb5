#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "analysis/exact_sum.h"
#include "analysis/fighter.h"
#include "analysis/histogram.h"
#include "analysis/interval.h"
#include "combat/fight.h"

// The analysis engine: many fights of one or more variants of a matchup,
// every variant meeting the same dice fight by fight, split over threads.
// A job is started from one thread, which it blocks until done; several
// jobs may run at once from different threads.
namespace skarn::analysis {

// The four results of a run (RunResults).
enum class Result { WinPercent, DamageTaken, DamageGiven, Time };

// The result a mode is about: the win % in ToTheDeath, the damage given in
// DamagePer60Seconds, the time to fell the Opponent in ToDeathOfOpponent.
Result mainResult(FightMode mode);
// Its name in JSON, CSV and on the command line: "winPercent",
// "damageTaken", "damageGiven", "time" (its words are report_words.h's).
const char* resultKey(Result result);
// True for the results of which less is better: the damage taken, the time.
bool lowerIsBetter(Result result);

// Called with the fights done so far and the fights to do, counted over all
// the variants of an analysis.
using Progress = std::function<void(std::int64_t done, std::int64_t total)>;

// How an analysis runs.
struct RunSettings {
    FightMode mode = DamagePer60Seconds;
    std::uint32_t seed = 0;
    std::int64_t fights = 2187;  // per variant; with a target error, the most
    int threads = 0;             // 0: one per core
    // When set, the analysis stops at the end of the first block after which
    // the 95% interval of the target result reaches at most this far from
    // its mean: in percent of the mean, or in points for the win %.
    std::optional<double> targetError;
    std::optional<Result> targetResult;  // mainResult(mode) when absent
    // Called on the calling thread, about ten times a second and once at the
    // end, so it may touch what that thread owns.
    Progress progress;
    // When it turns true (from any thread), the analysis stops within a
    // block and returns what it has, marked cancelled.
    const std::atomic<bool>* cancel = nullptr;
    // Called on the calling thread when the system could make only `made`
    // of the `wanted` threads (0: the calling thread fights alone). The
    // analysis goes on with those, and its figures do not change.
    std::function<void(int made, int wanted)> fewerThreads;
};

// Starts a thread of an analysis on `work`. Throws std::system_error when
// the system cannot make one (too many threads or too little memory); the
// analyses then fight on the threads they have.
std::thread startThread(std::function<void()> work);
// For tests: `hook` runs before each thread startThread makes, and may throw
// std::system_error as a system that cannot make one would. Empty for none.
// Set it while no analysis runs.
void setThreadStartHook(std::function<void()> hook);

// The number of threads `threads` asks for: itself, or one per core for 0.
int threadCount(int threads);

// Fights are cut into blocks of this many: the unit of work of a thread and
// of the target error's checks.
inline constexpr std::int64_t kBlockFights = 256;

// One pair of fighters an analysis runs, as the engine fights them: built
// once (model::toCombatant) before any fight.
struct Variant {
    Combatant you;
    Combatant opponent;
    std::int32_t yourHitPoints = 0;
    std::int32_t oppHitPoints = 0;
};
Variant variantOf(const Fighter& you, const Fighter& opp);

// Exact sums over the fights of one variant (see ExactSum).
struct VariantSums {
    std::int64_t fights = 0;
    ExactSum wins, damageTaken, damageGiven, ticks;
    ExactSum damageTakenSq, damageGivenSq, ticksSq;

    void add(const FightEnd& end);
    void add(const VariantSums& other);
    RunTotals totals() const;
    RunSquares squares() const;
    // The mean of a result: the win % in percent, the time in seconds.
    // REQUIRES: fights >= 1.
    double mean(Result result) const;
    RunIntervals intervals(FightMode mode) const;
};

// The interval of `result` among `intervals`.
const std::optional<Interval>& intervalOf(const RunIntervals& intervals, Result result);

// True when the 95% interval of `result` reaches at most `target` from its
// mean: in percent of the mean, in points for the win %. A mean of 0 needs
// an interval of width 0.
bool withinTarget(const RunIntervals& intervals, Result result, double target);

// Exact sums of the differences of a result between two variants, fight by
// fight.
struct PairSums {
    std::int64_t fights = 0;
    ExactSum difference, differenceSq;

    // The mean difference with its 95% interval, in the result's unit
    // (percentage points for the win %, seconds for the time); nothing for
    // fewer than 2 fights.
    std::optional<Interval> interval(Result result) const;
};

// What an analysis runs.
struct Job {
    std::vector<Variant> variants;
    // Pairs (a, b) of variants whose difference in `pairedResult`, a minus b,
    // is summed fight by fight.
    std::vector<std::pair<int, int>> pairs;
    Result pairedResult = Result::DamageGiven;
    // Empty bins for histograms of the first variant: the damage given, the
    // damage taken and the fight length in ticks; none when absent.
    std::optional<std::array<Histogram, 3>> histograms;
    // The variants whose target result must reach the target error; every
    // variant when empty.
    std::vector<int> targeted;
};

struct JobResult {
    // Fights run per variant: all that were asked for, or fewer when the
    // target error was reached or the run was cancelled.
    std::int64_t fights = 0;
    bool cancelled = false;
    bool targetReached = false;
    std::vector<VariantSums> variants;
    std::vector<PairSums> pairs;
    std::optional<std::array<Histogram, 3>> histograms;
};

// The seconds the fights of `variants` are expected to take, `fights` of
// each, on `threads` threads (threadCount; no more than one per core
// counts): expectedFightMicroseconds for every fight.
double expectedSeconds(const std::vector<Variant>& variants, FightMode mode, std::int64_t fights,
                       int threads);

// Runs a job: fight i of every variant starts from fightStart(seed, i); the
// fights are cut into blocks of kBlockFights, fought on threadCount(threads)
// threads and summed in block order. Every figure is the same for any
// number of threads.
// REQUIRES: every variant passes model::findRunFault for settings.mode and
// settings.fights; settings.fights >= 1.
JobResult runJob(const Job& job, const RunSettings& settings);

}  // namespace skarn::analysis
