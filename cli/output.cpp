#include "cli/output.h"

#include <cstdio>
#include <set>

#include "analysis/csv.h"
#include "analysis/report_text.h"

namespace skarn::cli {

void printOut(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void printError(const std::string& message) {
    std::fprintf(stderr, "skarn-cli: %s\n", message.c_str());
}

void printWarnings(const std::vector<std::string>& warnings) {
    std::set<std::string> shown;
    for (const std::string& warning : warnings) {
        if (shown.insert(warning).second)
            std::fprintf(stderr, "skarn-cli: warning: %s\n", warning.c_str());
    }
}

void printReport(const report::Report& report, const Arguments& args) {
    printOut(args.csv ? report::csvReport(report) : report::textReport(report));
}

}  // namespace skarn::cli
