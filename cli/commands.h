#pragma once

namespace skarn::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // a name not resolved, a run refused, a file unreadable
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

// Runs skarn-cli on its command line (the program name first): prints the
// output on stdout, errors (one line each) and warnings on stderr, and
// returns the exit status.
int runCommandLine(int argc, const char* const* argv);

}  // namespace skarn::cli
