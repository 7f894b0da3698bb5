#include <CLI/CLI.hpp>

#include "analysis/listing.h"
#include "analysis/report_list.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/matchup.h"
#include "cli/output.h"

namespace skarn::cli {

namespace {

Json statJson(const std::optional<std::int32_t>& value) {
    return value ? Json(*value) : Json(nullptr);
}

using Fighters = std::array<std::optional<std::vector<analysis::ListedFighter>>, 2>;

// The JSON of every list: characters by section (their names; with
// `fighters`, each as outcome's fighters are, or its name and the error
// that keeps it from fighting), weapons by section with their statistics
// (null where one cannot be read), and shields.
Json listingJson(const analysis::Listing& listing, const Fighters* fighters) {
    Json json = Json::object();
    Json& characters = json["characters"] = Json::object();
    const std::string_view charSections[] = {kYourChars, kOppChars};
    for (std::size_t side = 0; side < 2; ++side) {
        Json& names = characters[std::string(charSections[side])] = Json::array();
        if (fighters && (*fighters)[side]) {
            for (const analysis::ListedFighter& listed : *(*fighters)[side]) {
                if (listed.fighter) {
                    names.push_back(fighter(*listed.fighter));
                    continue;
                }
                Json entry = Json::object();
                entry["name"] = text(listed.name);
                entry["error"] = text(listed.error);
                names.push_back(std::move(entry));
            }
        } else if (listing.characters[side]) {
            for (const std::string& name : *listing.characters[side]) names.push_back(text(name));
        }
    }

    Json& weapons = json["weapons"] = Json::object();
    static constexpr const char* kStatNames[] = {"speed", "diceCount", "diceSides",
                                                 "damageBonus", "hands"};
    for (int type = 0; type < kWeaponTypeCount; ++type) {
        Json& section = weapons[std::string(weaponSection(type))] = Json::array();
        if (!listing.weapons[type]) continue;
        for (const analysis::WeaponListing& weapon : *listing.weapons[type]) {
            Json entry = Json::object();
            entry["name"] = text(weapon.name);
            for (int k = 0; k < 5; ++k) entry[kStatNames[k]] = statJson(weapon.stats[k]);
            section.push_back(std::move(entry));
        }
    }

    Json& shields = json["shields"] = Json::array();
    if (listing.shields) {
        for (const auto& [name, absorb] : *listing.shields) {
            Json entry = Json::object();
            entry["name"] = text(name);
            entry["absorb"] = statJson(absorb);
            shields.push_back(std::move(entry));
        }
    }
    return json;
}

class ListCommand : public Command {
public:
    ListCommand()
        : Command("list",
                  "the characters of [YourChars] and [OppChars], the weapons of each type and "
                  "the shields, with their statistics") {}

    void addOptions(CLI::App& app, Arguments& args, OptionTexts&) const override {
        addJson(app, args);
        app.add_flag("--stats", args.stats,
                     "each character's six statistics, hit points, weapon type, weapon and "
                     "shield, as it fights")
            ->disable_flag_override();
    }

    int execute(const Arguments& args) const override {
        const auto files = openDataFiles(args);
        if (!files) return kExitFailure;
        const analysis::Listing listing =
            analysis::readListing(files->characters, files->equipment);
        std::optional<Fighters> fighters;
        if (args.stats) {
            std::vector<std::string> warnings;
            fighters = analysis::listFighters(listing, files->characters, files->equipment,
                                              warnings);
            printWarnings(warnings);
        }
        const Fighters* armed = fighters ? &*fighters : nullptr;
        if (args.json) {
            printOut(printed(listingJson(listing, armed)));
        } else {
            printReport(report::listReport(listing, files->characters.fileName(),
                                           files->equipment.fileName(), armed),
                        args);
        }
        return kExitOk;
    }
};

}  // namespace

const Command& listCommand() {
    static const ListCommand command;
    return command;
}

}  // namespace skarn::cli
