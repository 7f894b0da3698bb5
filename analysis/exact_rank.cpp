#include "analysis/exact_rank.h"

#include "model/lookup.h"

namespace skarn::analysis {

namespace {

std::vector<Variant> variantsOf(const std::vector<Candidate>& candidates, const Fighter& opp) {
    std::vector<Variant> variants;
    variants.reserve(candidates.size());
    for (const Candidate& c : candidates) variants.push_back(variantOf(c.you, opp));
    return variants;
}

// Names the candidate a refusal is about.
ExactRefusal aboutCandidate(ExactRefusal refusal, const std::vector<Candidate>& candidates) {
    refusal.subject = model::quoteName(candidates[static_cast<std::size_t>(refusal.index)].name);
    return refusal;
}

}  // namespace

std::optional<ExactRefusal> findExactRankRefusal(const std::vector<Candidate>& candidates,
                                                 const Fighter& opp, FightMode mode) {
    const auto refusal = findExactRefusal(variantsOf(candidates, opp), mode);
    if (!refusal) return std::nullopt;
    return aboutCandidate(*refusal, candidates);
}

std::optional<ExactRanking> exactRank(const std::vector<Candidate>& candidates, const Fighter& opp,
                                      RankBy by, const ExactSettings& settings,
                                      ExactRefusal& declined, bool& cancelled) {
    ExactRefusal refusal;
    auto outcomes = exactOutcomes(variantsOf(candidates, opp), settings, refusal, cancelled);
    if (!outcomes) {
        if (!cancelled) declined = aboutCandidate(refusal, candidates);
        return std::nullopt;
    }

    ExactRanking ranking;
    ranking.result = rankResult(settings.mode, by);
    ranking.mode = settings.mode;
    std::vector<RankKeys> keys;
    for (const ExactOutcome& o : *outcomes)
        keys.push_back({o.mean(ranking.result), o.odds.damageTaken.mean});
    const std::vector<int> order = rankOrder(keys, ranking.result);
    if (order.empty()) return ranking;
    const double best = keys[static_cast<std::size_t>(order.front())].value;
    for (const int i : order) {
        const auto at = static_cast<std::size_t>(i);
        ExactRankEntry entry;
        entry.candidate = candidates[at];
        entry.outcome = std::move((*outcomes)[at]);
        entry.value = keys[at].value;
        entry.versusBest = entry.value - best;
        ranking.entries.push_back(std::move(entry));
    }
    return ranking;
}

}  // namespace skarn::analysis
