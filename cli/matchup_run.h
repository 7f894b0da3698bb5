#pragma once

#include "cli/options.h"

namespace skarn::cli {

// What `run` and `outcome` share: --you against --opp, `streams` false on
// one generator chain as Begin runs it (run), true on per-fight streams over
// the threads, with histograms (outcome); printed as text, CSV or JSON.
// Outcome answers exactly instead unless the command line asks for fights
// (wantsSampling) or the engine declines (then under --exact it fails).
// Returns the exit status.
int runMatchup(const Arguments& args, bool streams);

}  // namespace skarn::cli
