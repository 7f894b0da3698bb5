#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "analysis/fighter.h"
#include "cli/data_files.h"
#include "cli/options.h"
#include "model/fighter.h"

namespace skarn::cli {

// The data files of --data, or nothing with the error printed.
std::unique_ptr<DataFiles> openDataFiles(const Arguments& args);

// The stored characters of --you and --opp.
struct Matchup {
    analysis::StoredCharacter you, opp;
};

// Loads --you and --opp; false with the error printed when one cannot be.
bool loadMatchup(DataFiles& files, const Arguments& args, Matchup& matchup);

// Why the fighters cannot be run `fights` times in `mode`, as a message, or
// nothing.
std::optional<std::string> refusal(const model::Fighter& you, const model::Fighter& opp,
                                   FightMode mode, std::int64_t fights);

// Both fighters armed as the window arms them, with the command line's
// weapons and shields, and checked for a run of `fights` fights; false with
// the error printed when they cannot be. Warnings are printed.
bool armMatchup(DataFiles& files, const Arguments& args, model::Fighter& you,
                model::Fighter& opp, std::int64_t fights);

}  // namespace skarn::cli
