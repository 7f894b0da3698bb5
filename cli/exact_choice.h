#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "analysis/exact.h"
#include "cli/json_output.h"
#include "cli/options.h"

// What outcome, rank and scale share to answer exactly where the exact odds
// engine can, and to fight where it cannot or where the command line asks.
namespace skarn::cli {

// --exact and --sampled.
void addMethodOptions(CLI::App& command, Arguments& args);

// The combinations of --exact and --sampled the command line cannot have,
// as an error, or "".
std::string checkMethodOptions(const Arguments& args);

// True when the command line asks for fights: --sampled, or an option that
// only fights mean (--fights, --seed, --target-error).
bool wantsSampling(const Arguments& args);

// What to do when the engine declines (`declined`): under --exact, print
// the error and return false; else say on stderr that the answer is sampled
// and why, and return true.
bool sampleInstead(const Arguments& args, const analysis::ExactRefusal& declined);

// Adds the members of an exact answer to `object`, as addRun adds a
// sampled run's: method ("exact"), mode, modeName, the results as the
// Results dialog would show them, and ci95 with every interval null.
void addExact(Json& object, const analysis::ExactOutcome& outcome);

// The exact figures: the four means (winPercent null in the modes that
// count no wins), "sd" their standard deviations, "unaccounted" the
// probability left unaccounted, and with `laws`, "distributions" (per
// result its "unit", "values" and "probabilities") and "percentiles" (per
// result p5, p50 and p95). Times are in seconds.
Json exactJson(const analysis::ExactOutcome& outcome, bool laws);

}  // namespace skarn::cli
