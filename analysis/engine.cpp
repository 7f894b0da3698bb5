#include "analysis/engine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include "analysis/streams.h"

namespace skarn::analysis {

namespace {

// Blocks a thread may run ahead of the oldest block not yet summed, per
// thread: enough to keep every thread busy, few enough to bound the memory.
constexpr std::int64_t kBlocksAheadPerThread = 4;
constexpr auto kProgressEvery = std::chrono::milliseconds(100);
constexpr auto kCoordinatorWait = std::chrono::milliseconds(25);

std::int64_t valueOf(const FightEnd& end, Result result) {
    switch (result) {
    case Result::WinPercent: return end.won ? 1 : 0;
    case Result::DamageTaken: return static_cast<std::int64_t>(end.yourDamage);
    case Result::DamageGiven: return static_cast<std::int64_t>(end.oppDamage);
    case Result::Time: return end.length;
    }
    return 0;
}

// The sums of one block of fights.
struct Block {
    std::int64_t fights = 0;
    std::vector<VariantSums> variants;
    std::vector<PairSums> pairs;
    std::optional<std::array<Histogram, 3>> histograms;
};

// What one thread keeps from block to block.
struct Scratch {
    std::vector<std::uint32_t> starts;
    std::vector<std::vector<FightEnd>> ends;          // per variant
    std::vector<std::vector<std::int64_t>> paired;    // per variant: the paired result
};

// Fights fights first .. first + count - 1 of every variant into `block`.
// False when `stopped` turned true meanwhile (the block is then unfinished).
template <typename Stopped>
bool fightBlock(const Job& job, const std::vector<PreparedFights>& prepared, std::uint32_t seed,
                std::int64_t first, std::int64_t count, Scratch& scratch, Block& block,
                std::atomic<std::int64_t>& fought, Stopped stopped) {
    const std::size_t n = static_cast<std::size_t>(count);
    const std::size_t variants = prepared.size();
    scratch.starts.resize(n);
    for (std::size_t k = 0; k < n; ++k)
        scratch.starts[k] = fightStart(seed, static_cast<std::uint64_t>(first) + k);
    scratch.ends.resize(variants);
    block.fights = count;
    block.variants.assign(variants, VariantSums{});
    for (std::size_t v = 0; v < variants; ++v) {
        if (stopped()) return false;
        std::vector<FightEnd>& ends = scratch.ends[v];
        ends.resize(n);
        prepared[v].fight(scratch.starts, ends);
        for (const FightEnd& end : ends) block.variants[v].add(end);
        fought.fetch_add(count, std::memory_order_relaxed);
    }

    if (!job.pairs.empty()) {
        scratch.paired.resize(variants);
        for (std::size_t v = 0; v < variants; ++v) {
            scratch.paired[v].resize(n);
            for (std::size_t k = 0; k < n; ++k)
                scratch.paired[v][k] = valueOf(scratch.ends[v][k], job.pairedResult);
        }
        block.pairs.assign(job.pairs.size(), PairSums{});
        for (std::size_t p = 0; p < job.pairs.size(); ++p) {
            const std::int64_t* a = scratch.paired[static_cast<std::size_t>(job.pairs[p].first)].data();
            const std::int64_t* b = scratch.paired[static_cast<std::size_t>(job.pairs[p].second)].data();
            PairSums& sums = block.pairs[p];
            sums.fights = count;
            for (std::size_t k = 0; k < n; ++k) {
                const std::int64_t d = a[k] - b[k];
                sums.difference.add(d);
                sums.differenceSq.addSquare(d);
            }
        }
    }

    if (job.histograms) {
        block.histograms = job.histograms;
        auto& [given, taken, length] = *block.histograms;
        for (const FightEnd& end : scratch.ends[0]) {
            given.add(static_cast<std::int64_t>(end.oppDamage));
            taken.add(static_cast<std::int64_t>(end.yourDamage));
            length.add(end.length);
        }
    }
    return true;
}

void merge(JobResult& result, const Block& block) {
    result.fights += block.fights;
    for (std::size_t v = 0; v < result.variants.size(); ++v) result.variants[v].add(block.variants[v]);
    for (std::size_t p = 0; p < result.pairs.size(); ++p) {
        result.pairs[p].fights += block.pairs[p].fights;
        result.pairs[p].difference.add(block.pairs[p].difference);
        result.pairs[p].differenceSq.add(block.pairs[p].differenceSq);
    }
    if (result.histograms) {
        for (std::size_t h = 0; h < 3; ++h) (*result.histograms)[h].add((*block.histograms)[h]);
    }
}

bool targetReached(const Job& job, const JobResult& result, const RunSettings& settings) {
    const Result target = settings.targetResult.value_or(mainResult(settings.mode));
    const auto reached = [&](std::size_t v) {
        return withinTarget(result.variants[v].intervals(settings.mode), target,
                            *settings.targetError);
    };
    if (job.targeted.empty()) {
        for (std::size_t v = 0; v < result.variants.size(); ++v)
            if (!reached(v)) return false;
        return true;
    }
    for (const int v : job.targeted)
        if (!reached(static_cast<std::size_t>(v))) return false;
    return true;
}

}  // namespace

Result mainResult(FightMode mode) {
    switch (mode) {
    case ToTheDeath: return Result::WinPercent;
    case ToDeathOfOpponent: return Result::Time;
    case DamagePer60Seconds: break;
    }
    return Result::DamageGiven;
}

const char* resultKey(Result result) {
    switch (result) {
    case Result::WinPercent: return "winPercent";
    case Result::DamageTaken: return "damageTaken";
    case Result::DamageGiven: return "damageGiven";
    case Result::Time: return "time";
    }
    return "";
}

bool lowerIsBetter(Result result) {
    return result == Result::DamageTaken || result == Result::Time;
}

int threadCount(int threads) {
    if (threads > 0) return threads;
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

Variant variantOf(const Fighter& you, const Fighter& opp) {
    return Variant{model::toCombatant(you), model::toCombatant(opp), you.hitPoints.value,
                   opp.hitPoints.value};
}

void VariantSums::add(const FightEnd& end) {
    const auto taken = static_cast<std::int64_t>(end.yourDamage);
    const auto given = static_cast<std::int64_t>(end.oppDamage);
    ++fights;
    if (end.won) wins.add(1);
    damageTaken.add(taken);
    damageGiven.add(given);
    ticks.add(end.length);
    damageTakenSq.addSquare(taken);
    damageGivenSq.addSquare(given);
    ticksSq.addSquare(end.length);
}

void VariantSums::add(const VariantSums& other) {
    fights += other.fights;
    wins.add(other.wins);
    damageTaken.add(other.damageTaken);
    damageGiven.add(other.damageGiven);
    ticks.add(other.ticks);
    damageTakenSq.add(other.damageTakenSq);
    damageGivenSq.add(other.damageGivenSq);
    ticksSq.add(other.ticksSq);
}

RunTotals VariantSums::totals() const {
    return RunTotals{wins.value(), damageTaken.value(), damageGiven.value(), ticks.value()};
}

RunSquares VariantSums::squares() const {
    return RunSquares{damageTakenSq.value(), damageGivenSq.value(), ticksSq.value()};
}

double VariantSums::mean(Result result) const {
    const auto n = static_cast<double>(fights);
    switch (result) {
    case Result::WinPercent: return wins.value() * 100.0 / n;
    case Result::DamageTaken: return damageTaken.value() / n;
    case Result::DamageGiven: return damageGiven.value() / n;
    case Result::Time: return ticks.value() / n / 100.0;
    }
    return 0.0;
}

RunIntervals VariantSums::intervals(FightMode mode) const {
    return runIntervals(totals(), squares(), mode, fights);
}

const std::optional<Interval>& intervalOf(const RunIntervals& intervals, Result result) {
    switch (result) {
    case Result::WinPercent: return intervals.winPercent;
    case Result::DamageTaken: return intervals.damageTaken;
    case Result::DamageGiven: return intervals.damageGiven;
    case Result::Time: break;
    }
    return intervals.time;
}

bool withinTarget(const RunIntervals& intervals, Result result, double target) {
    const std::optional<Interval>& interval = intervalOf(intervals, result);
    if (!interval) return false;
    const double half = interval->halfWidth();
    if (result == Result::WinPercent) return half <= target;
    return half <= target / 100.0 * std::fabs(interval->mean);
}

std::optional<Interval> PairSums::interval(Result result) const {
    const double scale = result == Result::WinPercent ? 100.0 : result == Result::Time ? 0.01 : 1.0;
    return meanInterval(difference.value(), differenceSq.value(), fights, scale);
}

namespace {

std::function<void()>& threadStartHook() {
    static std::function<void()> hook;
    return hook;
}

}  // namespace

std::thread startThread(std::function<void()> work) {
    if (threadStartHook()) threadStartHook()();
    return std::thread(std::move(work));
}

void setThreadStartHook(std::function<void()> hook) { threadStartHook() = std::move(hook); }

double expectedSeconds(const std::vector<Variant>& variants, FightMode mode, std::int64_t fights,
                       int threads) {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int used = std::min(threadCount(threads), cores);
    double microseconds = 0.0;
    for (const Variant& v : variants) {
        microseconds += expectedFightMicroseconds(v.you, v.opponent, v.yourHitPoints,
                                                  v.oppHitPoints, mode);
    }
    return microseconds * static_cast<double>(fights) / 1e6 / used;
}

JobResult runJob(const Job& job, const RunSettings& settings) {
    const std::int64_t fights = settings.fights;
    const std::int64_t blocks = (fights + kBlockFights - 1) / kBlockFights;
    std::vector<PreparedFights> prepared;
    prepared.reserve(job.variants.size());
    for (const Variant& v : job.variants) {
        prepared.emplace_back(v.you, v.opponent, v.yourHitPoints, v.oppHitPoints, settings.mode,
                              fights);
    }

    JobResult result;
    result.variants.assign(job.variants.size(), VariantSums{});
    result.pairs.assign(job.pairs.size(), PairSums{});
    result.histograms = job.histograms;
    const auto total = static_cast<std::int64_t>(job.variants.size()) * fights;

    const auto workers = static_cast<int>(std::min<std::int64_t>(threadCount(settings.threads), blocks));
    const std::int64_t ahead = kBlocksAheadPerThread * workers;

    // The workers take blocks in order, fight them, and add every block that
    // is next in order to `result` themselves, so that nobody waits on a
    // hand-over. The calling thread only watches: progress and cancelling.
    std::mutex mutex;
    std::condition_variable wake;  // for the workers: a block may be taken, or the end
    std::condition_variable done;  // for the caller: the last worker has stopped
    std::int64_t next = 0;         // the next block to take
    std::int64_t limit = blocks;   // the blocks to fight
    std::int64_t merged = 0;       // the blocks added to `result`, in order
    int running = workers;
    std::map<std::int64_t, Block> ready;  // fought, waiting for the blocks before them
    std::exception_ptr failure;
    std::atomic<bool> abort{false};
    std::atomic<std::int64_t> fought{0};
    const auto cancelled = [&] {
        return settings.cancel != nullptr && settings.cancel->load(std::memory_order_relaxed);
    };
    const auto stopped = [&] { return abort.load(std::memory_order_relaxed) || cancelled(); };

    const auto work = [&] {
        try {
            Scratch scratch;
            for (;;) {
                std::int64_t index = 0;
                {
                    std::unique_lock lock(mutex);
                    wake.wait(lock, [&] { return stopped() || next >= limit || next < merged + ahead; });
                    if (stopped() || next >= limit) break;
                    index = next++;
                }
                const std::int64_t first = index * kBlockFights;
                Block block;
                if (!fightBlock(job, prepared, settings.seed, first,
                                std::min(kBlockFights, fights - first), scratch, block, fought,
                                stopped))
                    break;
                std::lock_guard lock(mutex);
                ready.emplace(index, std::move(block));
                bool moved = false;
                for (auto found = ready.find(merged); found != ready.end() && merged < limit;
                     found = ready.find(merged)) {
                    merge(result, found->second);
                    ready.erase(found);
                    ++merged;
                    moved = true;
                    if (settings.targetError && targetReached(job, result, settings)) {
                        result.targetReached = true;
                        limit = merged;
                        abort = true;  // the blocks after it are not needed
                    }
                }
                if (moved) wake.notify_all();
            }
        } catch (...) {
            std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
            abort = true;
            wake.notify_all();
        }
        std::lock_guard lock(mutex);
        if (--running == 0) done.notify_all();
    };

    std::vector<std::thread> threads;
    const auto finish = [&] {
        {
            std::lock_guard lock(mutex);
            abort = true;
        }
        wake.notify_all();
        for (std::thread& thread : threads) thread.join();
        threads.clear();
    };
    try {
        // Threads the system will not make are done without: the blocks are
        // the same and summed in the same order on any number of threads.
        threads.reserve(static_cast<std::size_t>(workers));
        int made = 0;
        try {
            for (; made < workers; ++made) threads.push_back(startThread(work));
        } catch (const std::system_error&) {
        }
        if (made < workers) {
            {
                std::lock_guard lock(mutex);
                running -= workers - made;
                if (made == 0) running = 1;  // the calling thread's, below
            }
            if (settings.fewerThreads) settings.fewerThreads(made, workers);
            if (made == 0) work();
        }
        auto lastReport = std::chrono::steady_clock::now();
        std::unique_lock lock(mutex);
        while (running > 0) {
            done.wait_for(lock, kCoordinatorWait);
            if (cancelled()) {
                abort = true;
                wake.notify_all();
            }
            const auto now = std::chrono::steady_clock::now();
            if (settings.progress && now - lastReport >= kProgressEvery && running > 0) {
                lastReport = now;
                lock.unlock();
                settings.progress(fought.load(std::memory_order_relaxed), total);
                lock.lock();
            }
        }
        lock.unlock();
        finish();
    } catch (...) {
        finish();
        throw;
    }
    if (failure) std::rethrow_exception(failure);
    // Stopped before every block that was wanted was added: cancelled.
    result.cancelled = !result.targetReached && merged < blocks;
    if (!result.cancelled && settings.progress) {
        const auto all = static_cast<std::int64_t>(job.variants.size()) * result.fights;
        settings.progress(all, all);
    }
    return result;
}

}  // namespace skarn::analysis
