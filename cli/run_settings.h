#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/engine.h"
#include "analysis/report_words.h"
#include "cli/json_output.h"
#include "cli/options.h"
#include "cli/progress.h"

namespace skarn::cli {

// The fights to run: --fights; else with --target-error the most a target
// may take (10,000,000); else the command's `usual` count.
std::int64_t fightsOf(const Arguments& args, std::int64_t usual);

// How an analysis of the command line runs: its mode, seed (--seed, else
// the current time), `fights`, threads, target and `progress` line.
analysis::RunSettings settingsOf(const Arguments& args, std::int64_t fights, Progress& progress);

// Refuses, with the error printed, a run expected to outlast --max-seconds,
// and announces on stderr one expected to take more than ten seconds:
// `fights` of each of `variants` on `threads` threads.
bool checkExpectedTime(const Arguments& args, const std::vector<analysis::Variant>& variants,
                       std::int64_t fights, int threads);

// The target of --target-error for a run of at most `maxFights` fights,
// or nothing without it.
std::optional<report::Target> targetOf(const Arguments& args, std::int64_t maxFights);

// The JSON of a target: {"result", "error", "reached", "maxFights"}.
Json targetJson(const report::Target& target, bool reached);

}  // namespace skarn::cli
