#pragma once

#include <string>
#include <vector>

#include "analysis/report.h"
#include "cli/options.h"

namespace skarn::cli {

// Writes `text` to stdout as it is.
void printOut(const std::string& text);
// "skarn-cli: <message>" on stderr.
void printError(const std::string& message);
// "skarn-cli: warning: <warning>" on stderr, each text once.
void printWarnings(const std::vector<std::string>& warnings);

// A report as --csv asks for it (its CSV tables) or else as text.
void printReport(const report::Report& report, const Arguments& args);

}  // namespace skarn::cli
