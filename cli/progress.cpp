#include "cli/progress.h"

#include <string>

#include <unistd.h>

namespace skarn::cli {

namespace {

constexpr double kShowAfterSeconds = 0.2;  // long enough to estimate the whole run
constexpr double kShowIfLongerThan = 1.0;
constexpr double kRedrawSeconds = 0.1;
constexpr int kBarWidth = 30;

}  // namespace

Progress::Progress(std::int64_t totalFights)
    : total_(totalFights), enabled_(isatty(STDERR_FILENO) == 1),
      start_(std::chrono::steady_clock::now()) {}

Progress::~Progress() { erase(); }

ProgressCallback Progress::callback() {
    if (!enabled_) return {};
    return [this](int) { fightDone(); };
}

void Progress::fightDone() {
    ++done_;
    // Reading the clock costs more than a short fight; look every 256 fights.
    if ((done_ & 255) != 0) return;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (!shown_) {
        if (elapsed < kShowAfterSeconds) return;
        const double expected = elapsed * static_cast<double>(total_) / static_cast<double>(done_);
        if (expected <= kShowIfLongerThan) return;
        shown_ = true;
    }
    if (elapsed - lastDraw_ >= kRedrawSeconds) draw(elapsed);
}

void Progress::draw(double elapsed) {
    lastDraw_ = elapsed;
    const double fraction = static_cast<double>(done_) / static_cast<double>(total_);
    const int filled = static_cast<int>(fraction * kBarWidth);
    const double left = elapsed * (1.0 - fraction) / fraction;
    std::string line = "\r[";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kBarWidth - filled), '.');
    line += "] " + std::to_string(done_) + "/" + std::to_string(total_) + " fights, ";
    const long long seconds = static_cast<long long>(left + 0.5);
    if (seconds >= 60)
        line += std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s left";
    else
        line += std::to_string(seconds) + " s left";
    line += "\033[K";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

void Progress::erase() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace skarn::cli
