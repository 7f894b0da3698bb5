#include "analysis/exact.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "analysis/engine.h"
#include "combat/swing_law.h"

namespace skarn::analysis {

namespace {

// The engine's reason to decline a variant. It declines either on its
// estimate (findExactOddsLimit) or, when the estimate fell short, on the
// work it counted as it went.
std::string reasonToDecline(const Variant& v, FightMode mode) {
    if (const auto limit =
            findExactOddsLimit(v.you, v.opponent, v.yourHitPoints, v.oppHitPoints, mode))
        return limit->message();
    return "Exact odds would take too long (they passed their limit of steps midway).";
}

ExactOutcome outcomeOf(ExactOdds odds, FightMode mode) {
    ExactOutcome outcome;
    outcome.mode = mode;
    outcome.odds = std::move(odds);
    // The engine's laws always hold a value; the guard keeps a law it left
    // empty from reading past its end.
    if (!outcome.odds.timeLaw.empty()) outcome.time = percentilesOf(outcome.odds.timeLaw);
    if (!outcome.odds.damageGivenLaw.empty())
        outcome.damageGiven = percentilesOf(outcome.odds.damageGivenLaw);
    if (!outcome.odds.damageTakenLaw.empty())
        outcome.damageTaken = percentilesOf(outcome.odds.damageTakenLaw);
    return outcome;
}

// What one matchup costs beyond the multiply-adds the engine counts (its
// swing laws' set-up, its allocations), in multiply-adds of about 0.8 ns.
constexpr double kWorkPerMatchup = 6000.0;
// The work below which a helper thread costs more to start and join (some
// tens of microseconds) than it saves.
constexpr double kWorkWorthAThread = 1.5e5;

bool cancelled(const ExactSettings& settings) {
    return settings.cancel != nullptr && settings.cancel->load(std::memory_order_relaxed);
}

// The helper threads to start beside the calling one for `tasks` tasks.
std::size_t helpersFor(const ExactSettings& settings, std::size_t tasks) {
    return std::min(static_cast<std::size_t>(threadCount(settings.threads)), tasks) - (tasks > 0);
}

// Runs task(i) for i from `begin` to `end`, taken in that order by the
// calling thread and `helpers` more. A task that returns false, or the
// cancel flag, stops the taking; the tasks already taken finish. Returns
// the end of the tasks taken, all of which ran: as the tasks are taken in
// order, the first that returned false is the same for any number of
// threads. `afterEach` runs on the calling thread after each of its tasks.
template <typename Task, typename AfterEach>
std::size_t runInOrder(std::size_t begin, std::size_t end, std::size_t helpers,
                       const std::atomic<bool>* cancel, Task& task, AfterEach& afterEach) {
    std::mutex mutex;
    std::size_t next = begin;
    bool stop = false;
    std::exception_ptr failure;
    const auto take = [&](std::size_t& index) {
        std::lock_guard lock(mutex);
        if (stop || next >= end) return false;
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            stop = true;
            return false;
        }
        index = next++;
        return true;
    };
    const auto work = [&](bool caller) {
        try {
            std::size_t i = 0;
            while (take(i)) {
                if (!task(i)) {
                    std::lock_guard lock(mutex);
                    stop = true;
                }
                if (caller) afterEach();
            }
        } catch (...) {
            std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
            stop = true;
        }
    };
    std::vector<std::thread> threads;
    try {
        threads.reserve(helpers);
        // Helpers the system will not make are done without: the calling
        // thread works too, and the tasks are taken in the same order.
        for (std::size_t t = 0; t < helpers; ++t)
            threads.push_back(startThread([&work] { work(false); }));
    } catch (const std::system_error&) {
    } catch (...) {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        for (std::thread& thread : threads) thread.join();
        throw;
    }
    work(true);
    for (std::thread& thread : threads) thread.join();
    if (failure) std::rethrow_exception(failure);
    return next;
}

// The first of `variants` the engine declines on its estimate, checked on
// as many threads as `settings` allows.
std::optional<ExactRefusal> firstRefusal(const std::vector<Variant>& variants,
                                         const ExactSettings& settings) {
    std::vector<std::optional<ExactOddsLimit>> limits(variants.size());
    const auto task = [&](std::size_t i) {
        const Variant& v = variants[i];
        limits[i] = findExactOddsLimit(v.you, v.opponent, v.yourHitPoints, v.oppHitPoints,
                                       settings.mode);
        return !limits[i];
    };
    // An estimate costs about as much as the dice of the two swing laws,
    // which it works out.
    double work = 0.0;
    for (const Variant& v : variants)
        work += exact::diceWork(v.you) + exact::diceWork(v.opponent) + kWorkPerMatchup;
    const std::size_t helpers =
        work >= kWorkWorthAThread ? helpersFor(settings, variants.size()) : 0;
    const auto nothing = [] {};
    const std::size_t taken =
        runInOrder(0, variants.size(), helpers, settings.cancel, task, nothing);
    for (std::size_t i = 0; i < taken; ++i)
        if (limits[i]) return ExactRefusal{"", static_cast<int>(i), limits[i]->message()};
    return std::nullopt;
}

}  // namespace

std::string ExactRefusal::message() const {
    return subject.empty() ? reason : subject + ": " + reason;
}

ExactPercentiles percentilesOf(const ExactLaw& law) {
    return {percentile(law, 0.05), percentile(law, 0.50), percentile(law, 0.95)};
}

std::optional<ExactFigure> ExactOutcome::figure(Result result) const {
    switch (result) {
    case Result::WinPercent: return odds.winPercent;
    case Result::DamageTaken: return odds.damageTaken;
    case Result::DamageGiven: return odds.damageGiven;
    case Result::Time: break;
    }
    return odds.time;
}

double ExactOutcome::mean(Result result) const {
    const std::optional<ExactFigure> f = figure(result);
    return f ? f->mean : 0.0;
}

std::optional<ExactRefusal> findExactOutcomeRefusal(const Fighter& you, const Fighter& opp,
                                                    FightMode mode) {
    return findExactRefusal({variantOf(you, opp)}, mode);
}

std::optional<ExactOutcome> exactOutcome(const Fighter& you, const Fighter& opp, FightMode mode,
                                         ExactRefusal& declined) {
    const Variant v = variantOf(you, opp);
    auto odds = exactOdds(v.you, v.opponent, v.yourHitPoints, v.oppHitPoints, mode);
    if (!odds) {
        declined = ExactRefusal{"", 0, reasonToDecline(v, mode)};
        return std::nullopt;
    }
    return outcomeOf(std::move(*odds), mode);
}

std::optional<ExactRefusal> findExactRefusal(const std::vector<Variant>& variants,
                                             FightMode mode) {
    ExactSettings settings;
    settings.mode = mode;
    return firstRefusal(variants, settings);
}

std::optional<std::vector<ExactOutcome>> exactOutcomes(const std::vector<Variant>& variants,
                                                       const ExactSettings& settings,
                                                       ExactRefusal& declined, bool& wasCancelled) {
    wasCancelled = false;
    const std::size_t n = variants.size();
    // The estimates first, so that an analysis the engine declines is
    // known as soon as they are, before any matchup is worked out: they cost
    // a few microseconds each (the swing laws; more for many dice).
    if (auto refusal = firstRefusal(variants, settings)) {
        declined = std::move(*refusal);
        return std::nullopt;
    }
    if (cancelled(settings)) {
        wasCancelled = true;
        return std::nullopt;
    }

    std::vector<std::optional<ExactOdds>> odds(n);
    std::atomic<std::size_t> done{0};
    const auto task = [&](std::size_t i) {
        const Variant& v = variants[i];
        odds[i] = exactOdds(v.you, v.opponent, v.yourHitPoints, v.oppHitPoints, settings.mode);
        ++done;
        return odds[i].has_value();
    };
    const auto report = [&] {
        if (settings.progress)
            settings.progress(static_cast<std::int64_t>(done.load()), static_cast<std::int64_t>(n));
    };
    // The first alone; helpers join in when the rest promise more work than
    // starting them costs, judged from the work of the first (counted by the
    // engine, so the choice is the same on every machine; the figures are
    // the same either way).
    std::size_t taken = runInOrder(0, std::min<std::size_t>(1, n), 0, settings.cancel, task, report);
    if (taken == 1 && odds[0]) {
        std::size_t helpers = 0;
        const double rest = static_cast<double>(n - 1) * (odds[0]->work + kWorkPerMatchup);
        if (rest >= kWorkWorthAThread) helpers = helpersFor(settings, n - 1);
        taken = runInOrder(1, n, helpers, settings.cancel, task, report);
    }

    // Declined after all, where the estimate fell short: the first such.
    for (std::size_t i = 0; i < taken; ++i) {
        if (!odds[i]) {
            declined = ExactRefusal{"", static_cast<int>(i), reasonToDecline(variants[i], settings.mode)};
            return std::nullopt;
        }
    }
    if (taken < n) {
        wasCancelled = true;
        return std::nullopt;
    }
    std::vector<ExactOutcome> outcomes;
    outcomes.reserve(n);
    for (std::optional<ExactOdds>& o : odds) outcomes.push_back(outcomeOf(std::move(*o), settings.mode));
    report();
    return outcomes;
}

}  // namespace skarn::analysis
