#include "cli/progress.h"

#include <algorithm>
#include <cstdio>

#include "cli/console.h"

namespace skarn::cli {

namespace {

constexpr double kShowAfterSeconds = 0.2;  // long enough to estimate the whole run
constexpr double kShowIfLongerThan = 1.0;
constexpr double kRedrawSeconds = 0.1;
constexpr int kBarWidth = 30;

std::string rateText(double perSecond) {
    char text[32];
    if (perSecond >= 1e6) std::snprintf(text, sizeof text, "%.1f M", perSecond / 1e6);
    else if (perSecond >= 1e3) std::snprintf(text, sizeof text, "%.1f k", perSecond / 1e3);
    else std::snprintf(text, sizeof text, "%.0f ", perSecond);
    return text;
}

}  // namespace

std::string progressLine(std::int64_t done, std::int64_t total, double elapsed) {
    const double fraction = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0.0;
    const int filled = static_cast<int>(fraction * kBarWidth);
    std::string line = "[";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kBarWidth - filled), '.');
    line += "] " + std::to_string(done) + "/" + std::to_string(total) + " fights";
    if (elapsed > 0.0 && done > 0) {
        line += ", " + rateText(static_cast<double>(done) / elapsed) + "fights/s, ";
        const double left = elapsed * (1.0 - fraction) / fraction;
        const long long seconds = static_cast<long long>(left + 0.5);
        if (seconds >= 60)
            line += std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s left";
        else
            line += std::to_string(seconds) + " s left";
    }
    return line;
}

Progress::Progress()
    : enabled_(standardErrorIsTerminal()),
      erasesLines_(enabled_ && terminalErasesLines()),
      start_(std::chrono::steady_clock::now()) {}

Progress::~Progress() { erase(); }

analysis::Progress Progress::callback() {
    if (!enabled_) return {};
    return [this](std::int64_t done, std::int64_t total) { update(done, total); };
}

void Progress::update(std::int64_t done, std::int64_t total) {
    if (done <= 0 || total <= 0) return;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (!shown_) {
        if (elapsed < kShowAfterSeconds || done >= total) return;
        const double expected = elapsed * static_cast<double>(total) / static_cast<double>(done);
        if (expected <= kShowIfLongerThan) return;
        shown_ = true;
    }
    if (elapsed - lastDraw_ < kRedrawSeconds) return;
    lastDraw_ = elapsed;
    const std::string text = progressLine(done, total, elapsed);
    std::string line = "\r";
    line += text;
    if (erasesLines_) line += "\033[K";
    // A console without the escape sequence: blanks over what is left of
    // a longer line before.
    else if (text.size() < drawnWidth_) line.append(drawnWidth_ - text.size(), ' ');
    drawnWidth_ = std::max(drawnWidth_, text.size());
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

void Progress::erase() {
    if (!shown_) return;
    std::string blank = "\r";
    if (erasesLines_) {
        blank += "\033[K";
    } else {
        blank.append(drawnWidth_, ' ');
        blank += '\r';
    }
    std::fputs(blank.c_str(), stderr);
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace skarn::cli
