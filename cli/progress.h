#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/engine.h"

namespace skarn::cli {

// A progress line on stderr for long commands: the fights done, the fights
// per second and the time left. It appears only when stderr is a terminal
// and the work is expected to take more than a second, and it erases itself
// when done.
class Progress {
public:
    Progress();
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // The callback for an analysis: empty (no cost at all) when no line can
    // be shown.
    analysis::Progress callback();

private:
    void update(std::int64_t done, std::int64_t total);
    void erase();

    bool enabled_;
    bool erasesLines_;  // the terminal takes "\033[K"
    bool shown_ = false;
    std::size_t drawnWidth_ = 0;  // the longest line drawn
    std::chrono::steady_clock::time_point start_;
    double lastDraw_ = -1.0;
};

// The text of a progress line.
std::string progressLine(std::int64_t done, std::int64_t total, double elapsedSeconds);

}  // namespace skarn::cli
