#include "analysis/report_list.h"

#include <optional>
#include <string>
#include <utility>

#include "model/lookup.h"

namespace skarn::report {

namespace {

using model::quoteName;

// A name as it is, quoted in text so that blanks and escapes show.
Cell nameCell(const std::string& name) { return Cell::ofText(name).shown(quoteName(name)); }

Cell statCell(const std::optional<std::int32_t>& value) {
    return value ? Cell::ofWhole(*value) : Cell::empty().shown("?");
}

std::string statText(const std::optional<std::int32_t>& value) {
    return value ? std::to_string(*value) : "?";
}

Table sectionTable(std::string section, std::string_view name, bool exists) {
    Table table;
    table.key = std::string(name);
    table.section = std::move(section);
    table.title = "[" + std::string(name) + "]";
    if (!exists) table.missing = "no such section";
    table.indent = 4;
    return table;
}

}  // namespace

Report listReport(const analysis::Listing& listing, std::string_view charFile,
                  std::string_view equiFile) {
    Report report;
    const std::string characters = "Characters (" + std::string(charFile) + ")";
    const std::string_view charSections[] = {kYourChars, kOppChars};
    for (int side = 0; side < 2; ++side) {
        const auto& names = listing.characters[side];
        Table table = sectionTable(characters, charSections[side], names.has_value());
        table.header = false;
        table.columns = {Column{"name", "name", "", Align::Left, kEveryView}};
        if (names)
            for (const std::string& name : *names) table.rows.push_back({nameCell(name)});
        report.tables.push_back(std::move(table));
    }

    const std::string weapons = "Weapons (" + std::string(equiFile) + ")";
    for (int type = 0; type < kWeaponTypeCount; ++type) {
        const auto& listed = listing.weapons[type];
        Table table = sectionTable(weapons, weaponSection(type), listed.has_value());
        table.columns = {Column{"name", "name", "", Align::Left, kEveryView},
                         Column{"speed", "speed", "", Align::Right, kEveryView},
                         Column{"dice", "dice", "", Align::Right, kEveryView},
                         Column{"bonus", "bonus", "damage", Align::Right, kEveryView},
                         Column{"hands", "hands", "", Align::Right, kEveryView}};
        if (listed) {
            for (const analysis::WeaponListing& w : *listed) {
                table.rows.push_back({nameCell(w.name), statCell(w.stats[0]),
                                      Cell::ofText(statText(w.stats[1]) + "d" + statText(w.stats[2])),
                                      statCell(w.stats[3]), statCell(w.stats[4])});
            }
        }
        report.tables.push_back(std::move(table));
    }

    Table shields = sectionTable("Shields (" + std::string(equiFile) + ")", kShields,
                                 listing.shields.has_value());
    shields.columns = {Column{"name", "name", "", Align::Left, kEveryView},
                       Column{"absorb", "absorb", "damage", Align::Right, kEveryView}};
    if (listing.shields) {
        for (const auto& [name, absorb] : *listing.shields)
            shields.rows.push_back({nameCell(name), statCell(absorb)});
    }
    report.tables.push_back(std::move(shields));
    return report;
}

}  // namespace skarn::report
