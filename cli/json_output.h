#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "model/fighter.h"
#include "analysis/histogram.h"
#include "analysis/interval.h"
#include "analysis/outcome.h"

namespace skarn::cli {

// Objects keep their members in the order they were written.
using Json = nlohmann::ordered_json;

// A number as JSON: a whole number without a decimal point, any other as the
// shortest text that reads back as the same double; null when not finite.
Json number(double value);

// Text as a JSON string. Valid UTF-8 passes through; a byte that is not part
// of valid UTF-8 is taken as the character of the same value (as in
// Latin-1), so that any name read from a data file gives valid JSON.
Json text(std::string_view bytes);

// {"mean", "low", "high"}, or null.
Json interval(const std::optional<analysis::Interval>& interval);

// The resolved fighter: its statistics, hit points, weapon and shield.
Json fighter(const model::Fighter& fighter);

// Adds "mode" (its number) and "modeName" (its --mode name) to `object`.
void addMode(Json& object, FightMode mode);

// Adds the members of a sampled run to `object`: method, seed, mode,
// modeName, fights, results, totals and ci95.
void addRun(Json& object, const analysis::Outcome& outcome);

// {"damageGiven", "damageTaken", "time"}: each {"unit", "edges", "counts",
// "below", "above"}; the time in seconds.
Json histograms(const std::array<analysis::Histogram, 3>& histograms);
// {"damageGiven", "damageTaken", "time"}: each {"p5", "p50", "p95"}.
Json percentiles(const std::array<analysis::Histogram, 3>& histograms);

// The JSON text as printed: indented by two, with a final line end.
std::string printed(const Json& json);

}  // namespace skarn::cli
