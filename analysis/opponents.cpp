#include "analysis/opponents.h"

#include <algorithm>

#include "data/records.h"
#include "model/lookup.h"
#include "model/run_check.h"
#include "model/sections.h"

namespace skarn::analysis {

bool armOpponents(SectionFile& characters, SectionFile& equipment, const Fighter& you,
                  FightMode mode, std::vector<Fighter>& opponents, std::vector<LeftOut>& leftOut,
                  std::string& error) {
    opponents.clear();
    leftOut.clear();
    const auto names = model::sectionNames(characters, kOppChars, model::EmptyNames::Skip);
    if (!names) {
        error = "no section [" + std::string(kOppChars) + "] in " + characters.fileName();
        return false;
    }
    // Any fight count passes model::findRunFault's count check.
    constexpr std::int64_t kAnyFights = 1;
    std::vector<std::string> seen;
    for (const std::string& name : *names) {
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
        seen.push_back(name);
        StoredCharacter character;
        Fighter opp;
        std::string why;
        std::vector<std::string> warnings;
        if (!loadCharacter(characters, kOppChars, name, character, why) ||
            !equipFighter(equipment, character, std::nullopt, std::nullopt, opp, why, warnings)) {
            leftOut.push_back({name, why});
            continue;
        }
        if (const auto fault = model::findRunFault(you, opp, mode, kAnyFights)) {
            leftOut.push_back({name, fault->message()});
            continue;
        }
        opponents.push_back(std::move(opp));
    }
    if (opponents.empty()) {
        error = "no opponent in [" + std::string(kOppChars) + "] of " + characters.fileName() +
                " can fight " + model::quoteName(you.name);
        return false;
    }
    return true;
}

std::optional<AgainstAll> exactAgainstAll(const Fighter& you, const std::vector<Fighter>& opponents,
                                          const ExactSettings& settings, ExactRefusal& declined,
                                          bool& cancelled) {
    std::vector<Variant> variants;
    for (const Fighter& opp : opponents) variants.push_back(variantOf(you, opp));
    auto outcomes = exactOutcomes(variants, settings, declined, cancelled);
    if (!outcomes) {
        if (!cancelled)
            declined.subject = model::quoteName(opponents[static_cast<std::size_t>(declined.index)].name);
        return std::nullopt;
    }
    AgainstAll all;
    all.mode = settings.mode;
    all.figure = mainKey(settings.mode).front().figure;
    std::vector<const ExactOdds*> odds;
    for (std::size_t k = 0; k < outcomes->size(); ++k) {
        odds.push_back(&(*outcomes)[k].odds);
        if (compareMain(*odds[k], *odds[all.worst]) > 0) all.worst = k;
    }
    all.mean = meanOdds(odds);
    all.meanFigure = mainFigure(all.mean);
    all.outcomes = std::move(*outcomes);
    return all;
}

}  // namespace skarn::analysis
