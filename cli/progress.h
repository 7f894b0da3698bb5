#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "combat/fight.h"

namespace skarn::cli {

// A progress bar on stderr for long runs: fights done and time left. It
// appears only when stderr is a terminal and the work is expected to take
// more than a second, and it erases itself when done.
class Progress {
public:
    // `totalFights` over all the runs this bar follows.
    explicit Progress(std::int64_t totalFights);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // The callback for runFights: empty (no cost at all) when no bar can be
    // shown.
    ProgressCallback callback();

private:
    void fightDone();
    void draw(double elapsedSeconds);
    void erase();

    std::int64_t total_;
    std::int64_t done_ = 0;
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
    double lastDraw_ = -1.0;
};

}  // namespace skarn::cli
