#pragma once

#include <optional>
#include <vector>

#include "analysis/exact.h"
#include "analysis/method.h"
#include "analysis/rank.h"

// Rankings answered exactly: pure, for any thread.
namespace skarn::analysis {

struct ExactRankEntry {
    Candidate candidate;
    ExactOutcome outcome;  // the four results, their spreads and laws
    double value = 0.0;    // the mean of the ranked result
    // This entry's value minus the best's; exactly 0 for the best and for
    // any entry whose value equals it. No interval: there is no noise.
    double versusBest = 0.0;
};

struct ExactRanking {
    Method method = Method::Exact;
    Result result = Result::DamageGiven;  // rankResult(mode, by)
    FightMode mode = DamagePer60Seconds;
    std::vector<ExactRankEntry> entries;  // best first, in rankOrder
};

// Nothing when the engine answers every candidate against `opp` in `mode`,
// else the first candidate (in the order given) it declines: its index
// and, as subject, its quoted name. Judged as findExactOutcomeRefusal
// judges one matchup.
// REQUIRES: each candidate within the run limits (as rankCandidates leaves
// them).
std::optional<ExactRefusal> findExactRankRefusal(const std::vector<Candidate>& candidates,
                                                 const Fighter& opp, FightMode mode);

// The candidates of a ranking (rankCandidates), each answered exactly
// against `opp` and ordered by rankOrder, as rank() orders them: by
// rankResult(settings.mode, by), equal win percentages by the least damage
// taken, other ties in the candidates' order. The candidates are worked out
// on up to threadCount(settings.threads) threads, with the same figures for
// any number. All or nothing: when the engine declines a candidate,
// nothing, with `declined` as findExactRankRefusal gives it, and the caller
// samples the whole ranking instead; when cancelled, nothing with
// `cancelled` set.
// REQUIRES: as findExactRankRefusal.
std::optional<ExactRanking> exactRank(const std::vector<Candidate>& candidates, const Fighter& opp,
                                      RankBy by, const ExactSettings& settings,
                                      ExactRefusal& declined, bool& cancelled);

}  // namespace skarn::analysis
