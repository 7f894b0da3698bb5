#include "cli/matchup.h"

#include <vector>

#include "cli/output.h"
#include "data/records.h"
#include "model/lookup.h"
#include "model/run_check.h"

namespace skarn::cli {

using model::Fighter;
using model::quoteName;

std::unique_ptr<DataFiles> openDataFiles(const Arguments& args) {
    std::string error;
    auto files = DataFiles::open(args.dataDir, error);
    if (!files) printError(error);
    return files;
}

bool loadMatchup(DataFiles& files, const Arguments& args, Matchup& matchup) {
    std::string error;
    if (!analysis::loadCharacter(files.characters, kYourChars, *args.you, matchup.you, error) ||
        !analysis::loadCharacter(files.characters, kOppChars, *args.opp, matchup.opp, error)) {
        printError(error);
        return false;
    }
    return true;
}

std::optional<std::string> refusal(const Fighter& you, const Fighter& opp, FightMode mode,
                                   std::int64_t fights) {
    const auto fault = model::findRunFault(you, opp, mode, fights);
    if (!fault) return std::nullopt;
    return "cannot simulate " + quoteName(you.name) + " against " + quoteName(opp.name) + ": " +
           fault->message();
}

bool armMatchup(DataFiles& files, const Arguments& args, Fighter& you, Fighter& opp,
                std::int64_t fights) {
    Matchup matchup;
    if (!loadMatchup(files, args, matchup)) return false;
    std::string error;
    std::vector<std::string> warnings;
    if (!analysis::equipFighter(files.equipment, matchup.you, args.youWeapon, args.youShield, you,
                                error, warnings) ||
        !analysis::equipFighter(files.equipment, matchup.opp, args.oppWeapon, args.oppShield, opp,
                                error, warnings)) {
        printError(error);
        return false;
    }
    if (const auto refused = refusal(you, opp, args.mode, fights)) {
        printError(*refused);
        return false;
    }
    printWarnings(warnings);
    return true;
}

}  // namespace skarn::cli
