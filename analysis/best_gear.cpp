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
                                      const std::vector<Fighter>& opponents,
                                      const ExactSettings& settings, ExactRefusal& declined,
                                      bool& cancelled) {
    cancelled = false;
    // The gear carried now first, then every candidate, each against every
    // opponent in turn.
    const std::size_t o = opponents.size();
    std::vector<Variant> variants;
    for (const Fighter& opp : opponents) variants.push_back(variantOf(you, opp));
    for (const GearCandidate& c : candidates)
        for (const Fighter& opp : opponents) variants.push_back(variantOf(c.you, opp));
    const auto outcomes = exactOutcomes(variants, settings, declined, cancelled);
    if (!outcomes) {
        if (!cancelled) {
            const auto i = static_cast<std::size_t>(declined.index);
            if (i < o) {
                declined.subject = model::quoteName(you.name);
            } else {
                const GearCandidate& c = candidates[i / o - 1];
                declined.subject = c.weapon + " with " + c.shield;
            }
            if (o > 1) declined.subject += " against " + model::quoteName(opponents[i % o].name);
        }
        return std::nullopt;
    }
    // The figures of gear g (0: carried now) against every opponent.
    const auto against = [&](std::size_t g) {
        std::vector<const ExactOdds*> odds;
        for (std::size_t k = 0; k < o; ++k) odds.push_back(&(*outcomes)[g * o + k].odds);
        return odds;
    };
    const auto oddsOf = [&](std::size_t g) {
        const auto odds = against(g);
        return o == 1 ? *odds.front() : meanOdds(odds);
    };

    BestGear best;
    best.mode = settings.mode;
    best.figure = mainKey(settings.mode).front().figure;
    best.now = mainFigure(oddsOf(0));
    std::vector<GearEntry> entries;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        GearEntry entry;
        entry.candidate = candidates[i];
        entry.odds = oddsOf(i + 1);
        entry.figure = mainFigure(entry.odds);
        entry.versusCurrent = entry.figure - best.now;
        entry.current = entry.candidate.weapon == you.weaponName &&
                        entry.candidate.weaponType == you.weaponType &&
                        entry.candidate.shield == you.shieldName;
        const auto odds = against(i + 1);
        for (std::size_t k = 1; k < o; ++k)
            if (compareMain(*odds[k], *odds[entry.worstOpponent]) > 0) entry.worstOpponent = k;
        entry.worstFigure = mainFigure(*odds[entry.worstOpponent]);
        entries.push_back(std::move(entry));
    }
    std::stable_sort(entries.begin(), entries.end(), [](const GearEntry& a, const GearEntry& b) {
        return compareMain(a.odds, b.odds) < 0;
    });
    const ExactOdds top = entries.front().odds;
    for (GearEntry& entry : entries) {
        entry.versusBest = entry.figure - mainFigure(top);
        entry.tied = tiedWith(entry.odds, top);
    }
    best.entries = std::move(entries);
    return best;
}

}  // namespace skarn::analysis
