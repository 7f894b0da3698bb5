#include "cli/output.h"

#include <cstdio>
#include <set>

#include "analysis/csv.h"
#include "analysis/report_text.h"
#include "model/lookup.h"

namespace skarn::cli {

void printOut(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// Messages hold paths and names as the user or a data file gave them: their
// control characters are escaped, so each message is one line and cannot
// drive the terminal.
void printError(const std::string& message) {
    const std::string line = model::escapeControls(message, false);
    std::fprintf(stderr, "skarn-cli: %s\n", line.c_str());
}

void printWarnings(const std::vector<std::string>& warnings) {
    std::set<std::string> shown;
    for (const std::string& warning : warnings) {
        if (shown.insert(warning).second)
            std::fprintf(stderr, "skarn-cli: warning: %s\n",
                         model::escapeControls(warning, false).c_str());
    }
}

void printReport(const report::Report& report, const Arguments& args) {
    // Names in text are quoted with their controls escaped; a path in a
    // heading is escaped here, so that no text output drives the terminal.
    printOut(args.csv ? report::csvReport(report)
                      : model::escapeControls(report::textReport(report), true));
}

}  // namespace skarn::cli
