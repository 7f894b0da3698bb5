#include "analysis/rank.h"

#include <algorithm>
#include <numeric>

#include "data/records.h"
#include "model/equipment.h"
#include "model/lookup.h"
#include "model/run_check.h"
#include "model/sections.h"

namespace skarn::analysis {

using model::quoteName;

namespace {

// Adds a candidate when it can be armed and run; otherwise notes why not.
void consider(Candidate candidate, bool armed, std::string candidateError, const Fighter& opp,
              FightMode mode, std::int64_t fights, const char* what,
              std::vector<Candidate>& candidates, std::vector<std::string>& warnings) {
    if (armed) {
        if (const auto fault = model::findRunFault(candidate.you, opp, mode, fights)) {
            candidateError = "cannot simulate " + quoteName(candidate.you.name) + " against " +
                             quoteName(opp.name) + ": " + fault->message();
        }
    }
    if (!candidateError.empty()) {
        warnings.push_back("skipping " + std::string(what) + " " + quoteName(candidate.name) +
                           ": " + candidateError);
        return;
    }
    candidates.push_back(std::move(candidate));
}

}  // namespace

bool rankCandidates(SectionFile& equipment, const Fighter& you, const Fighter& opp, RankBy by,
                    bool allTypes, FightMode mode, std::int64_t fights,
                    std::vector<Candidate>& candidates, std::string& error,
                    std::vector<std::string>& warnings) {
    candidates.clear();
    const char* what = by == RankBy::Weapon ? "weapon" : "shield";
    if (by == RankBy::Weapon) {
        std::vector<std::int32_t> types;
        if (allTypes) {
            for (std::int32_t type = 0; type < kWeaponTypeCount; ++type) types.push_back(type);
        } else {
            types.push_back(you.weaponType);
        }
        for (const std::int32_t type : types) {
            const std::string_view section = weaponSection(type);
            const auto listed =
                section.empty() ? std::nullopt : model::weaponNames(equipment, section);
            if (!listed) {
                if (!allTypes) {
                    error = "no section [" + std::string(section) + "] in " + equipment.fileName();
                    return false;
                }
                continue;
            }
            std::vector<std::string> seen;
            for (const std::string& name : *listed) {
                if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
                seen.push_back(name);
                Candidate candidate{name, you};
                std::string candidateError;
                const bool armed =
                    armWeapon(equipment, type, name, candidate.you, candidateError) &&
                    armShield(equipment, candidate.you, candidateError, warnings);
                consider(std::move(candidate), armed, candidateError, opp, mode, fights, what,
                         candidates, warnings);
            }
        }
    } else {
        if (model::rulesOutShield(you.weapon.hands)) {
            error = "cannot rank shields: " + quoteName(you.weaponName) + " needs " +
                    std::to_string(you.weapon.hands) + " hands, so " + quoteName(you.name) +
                    " carries no shield";
            return false;
        }
        std::vector<std::string> names;
        if (const auto listed = model::sectionNames(equipment, kShields, model::EmptyNames::Skip))
            names = *listed;
        names.emplace_back(NoneEntry);
        std::vector<std::string> seen;
        for (const std::string& name : names) {
            if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
            seen.push_back(name);
            Candidate candidate{name, you};
            candidate.you.wantedShield = name;
            candidate.you.shieldGiven = true;
            std::string candidateError;
            const bool armed = armShield(equipment, candidate.you, candidateError, warnings);
            consider(std::move(candidate), armed, candidateError, opp, mode, fights, what,
                     candidates, warnings);
        }
    }
    if (candidates.empty()) {
        error = "no " + std::string(what) + " could be run against " + quoteName(opp.name);
        return false;
    }
    return true;
}

Result rankResult(FightMode mode, RankBy by) {
    if (mode != ToTheDeath && by == RankBy::Shield) return Result::DamageTaken;
    return mainResult(mode);
}

std::vector<int> rankOrder(const std::vector<RankKeys>& keys, Result result) {
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    const bool lower = lowerIsBetter(result);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const RankKeys& ka = keys[static_cast<std::size_t>(a)];
        const RankKeys& kb = keys[static_cast<std::size_t>(b)];
        if (ka.value != kb.value) return lower ? ka.value < kb.value : ka.value > kb.value;
        return result == Result::WinPercent && ka.damageTaken < kb.damageTaken;
    });
    return order;
}

Ranking rank(const std::vector<Candidate>& candidates, const Fighter& opp, RankBy by,
             const RunSettings& settings) {
    Ranking ranking;
    ranking.result = rankResult(settings.mode, by);
    ranking.mode = settings.mode;
    ranking.seed = settings.seed;
    const int n = static_cast<int>(candidates.size());
    Job job;
    for (const Candidate& c : candidates) job.variants.push_back(variantOf(c.you, opp));
    // Every pair, as the best is known only at the end.
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b) job.pairs.emplace_back(a, b);
    job.pairedResult = ranking.result;
    RunSettings run = settings;
    run.targetResult = ranking.result;
    const JobResult result = runJob(job, run);
    ranking.fights = result.fights;
    ranking.cancelled = result.cancelled;
    ranking.targetReached = result.targetReached;
    if (result.fights == 0) return ranking;

    const auto value = [&](int i) { return result.variants[static_cast<std::size_t>(i)].mean(ranking.result); };
    // Every candidate ran the same fights, so the sums of the damage taken
    // order them as their means do.
    std::vector<RankKeys> keys;
    for (int i = 0; i < n; ++i)
        keys.push_back({value(i), result.variants[static_cast<std::size_t>(i)].damageTaken.value()});
    const std::vector<int> order = rankOrder(keys, ranking.result);

    // The index of pair (a, b), a < b, in job.pairs.
    const auto pairIndex = [n](int a, int b) {
        return static_cast<std::size_t>(a * n - a * (a + 1) / 2 + (b - a - 1));
    };
    const int best = order.front();
    for (const int i : order) {
        RankEntry entry;
        entry.candidate = candidates[static_cast<std::size_t>(i)];
        entry.sums = result.variants[static_cast<std::size_t>(i)];
        entry.value = value(i);
        entry.interval = intervalOf(entry.sums.intervals(settings.mode), ranking.result);
        if (i == best) {
            if (result.fights >= 2) entry.versusBest = Interval{0.0, 0.0, 0.0};
        } else if (i < best) {
            entry.versusBest = result.pairs[pairIndex(i, best)].interval(ranking.result);
        } else if (const auto d = result.pairs[pairIndex(best, i)].interval(ranking.result)) {
            entry.versusBest = Interval{-d->mean, -d->high, -d->low};
        }
        ranking.entries.push_back(std::move(entry));
    }
    return ranking;
}

}  // namespace skarn::analysis
