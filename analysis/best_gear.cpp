#include "analysis/best_gear.h"

#include <algorithm>
#include <numeric>

#include "analysis/rank.h"
#include "model/equipment.h"
#include "model/lookup.h"

namespace skarn::analysis {

bool gearCandidates(SectionFile& equipment, const Fighter& you, const Fighter& opp, FightMode mode,
                    std::vector<GearCandidate>& candidates, std::string& error,
                    std::vector<std::string>& warnings) {
    candidates.clear();
    // Any fight count passes model::findRunFault's count check.
    constexpr std::int64_t kAnyFights = 1;
    std::vector<Candidate> weapons;
    if (!rankCandidates(equipment, you, opp, RankBy::Weapon, true, mode, kAnyFights, weapons, error,
                        warnings))
        return false;
    const auto note = [&](std::vector<std::string>& more) {
        for (std::string& w : more)
            if (std::find(warnings.begin(), warnings.end(), w) == warnings.end())
                warnings.push_back(std::move(w));
    };
    for (const Candidate& weapon : weapons) {
        const std::int32_t type = weapon.you.weaponType;
        if (model::rulesOutShield(weapon.you.weapon.hands)) {
            candidates.push_back({weapon.name, type, weapon.you.shieldName, weapon.you});
            continue;
        }
        std::vector<Candidate> shields;
        std::string shieldError;
        std::vector<std::string> shieldWarnings;
        if (!rankCandidates(equipment, weapon.you, opp, RankBy::Shield, false, mode, kAnyFights,
                            shields, shieldError, shieldWarnings)) {
            warnings.push_back("skipping weapon " + model::quoteName(weapon.name) + ": " + shieldError);
            continue;
        }
        note(shieldWarnings);
        for (Candidate& shield : shields)
            candidates.push_back({weapon.name, type, shield.name, std::move(shield.you)});
    }
    if (candidates.empty()) {
        error = "no weapon and shield could be run against " + model::quoteName(opp.name);
        return false;
    }
    return true;
}

std::optional<BestGear> exactBestGear(const Fighter& you, const std::vector<GearCandidate>& candidates,
                                      const Fighter& opp, const ExactSettings& settings,
                                      ExactRefusal& declined, bool& cancelled) {
    cancelled = false;
    // The gear carried now first, then every candidate.
    std::vector<Variant> variants{variantOf(you, opp)};
    for (const GearCandidate& c : candidates) variants.push_back(variantOf(c.you, opp));
    const auto outcomes = exactOutcomes(variants, settings, declined, cancelled);
    if (!outcomes) {
        if (!cancelled) {
            if (declined.index == 0) {
                declined.subject = model::quoteName(you.name);
            } else {
                const GearCandidate& c = candidates[static_cast<std::size_t>(declined.index - 1)];
                declined.subject = c.weapon + " with " + c.shield;
            }
        }
        return std::nullopt;
    }

    BestGear best;
    best.mode = settings.mode;
    best.figure = mainKey(settings.mode).front().figure;
    best.now = mainFigure((*outcomes)[0].odds);
    std::vector<int> order(candidates.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compareMain((*outcomes)[static_cast<std::size_t>(a) + 1].odds,
                           (*outcomes)[static_cast<std::size_t>(b) + 1].odds) < 0;
    });
    const ExactOdds& top = (*outcomes)[static_cast<std::size_t>(order.front()) + 1].odds;
    for (const int i : order) {
        const GearCandidate& c = candidates[static_cast<std::size_t>(i)];
        GearEntry entry;
        entry.candidate = c;
        entry.outcome = (*outcomes)[static_cast<std::size_t>(i) + 1];
        entry.figure = mainFigure(entry.outcome.odds);
        entry.versusBest = entry.figure - mainFigure(top);
        entry.versusCurrent = entry.figure - best.now;
        entry.current = c.weapon == you.weaponName && c.weaponType == you.weaponType &&
                        c.shield == you.shieldName;
        entry.tied = tiedWith(entry.outcome.odds, top);
        best.entries.push_back(std::move(entry));
    }
    return best;
}

}  // namespace skarn::analysis
