#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/listing.h"
#include "analysis/report.h"

namespace skarn::report {

// The report of every list of the data files: a table per section, in
// three sections of text ("Characters (<charFile>)", "Weapons (<equiFile>)",
// "Shields (<equiFile>)"), each titled "[<section>]", or missing with "no
// such section". Characters are a column of quoted names; weapons have
// name, speed, dice, bonus and hands; shields name and absorb. A statistic
// that could not be read is an empty cell shown as "?".
// With `fighters` (listFighters), each character is a row of its six
// statistics, hit points ("(Str.)" after those taken from Str.), weapon
// type, weapon and shield, as it fights; one that cannot fight has "?"
// cells and a note saying why.
Report listReport(
    const analysis::Listing& listing, std::string_view charFile, std::string_view equiFile,
    const std::array<std::optional<std::vector<analysis::ListedFighter>>, 2>* fighters = nullptr);

}  // namespace skarn::report
