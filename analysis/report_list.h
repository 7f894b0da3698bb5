#pragma once

#include <string_view>

#include "analysis/listing.h"
#include "analysis/report.h"

namespace skarn::report {

// The report of every list of the data files: a table per section, in
// three sections of text ("Characters (<charFile>)", "Weapons (<equiFile>)",
// "Shields (<equiFile>)"), each titled "[<section>]", or missing with "no
// such section". Characters are a column of quoted names; weapons have
// name, speed, dice, bonus and hands; shields name and absorb. A statistic
// that could not be read is an empty cell shown as "?".
Report listReport(const analysis::Listing& listing, std::string_view charFile,
                  std::string_view equiFile);

}  // namespace skarn::report
