#include "analysis/report_list.h"

#include <optional>
#include <string>
#include <utility>

#include "analysis/report_words.h"
#include "model/lookup.h"
#include "model/stats.h"

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

// The characters of a section as they fight.
void addFighterRows(Table& table, const std::vector<analysis::ListedFighter>& fighters) {
    table.header = true;
    table.columns = {Column{"name", "name", "", Align::Left, kEveryView}};
    for (const model::Stat stat : model::kStats) {
        const model::StatInfo& info = model::statInfo(stat);
        table.columns.push_back(Column{info.jsonKey, info.caption, "points", Align::Right, kEveryView});
    }
    table.columns.push_back(Column{"hitPoints", "hit points", "", Align::Right, kEveryView});
    table.columns.push_back(Column{"weaponTypeName", "type", "", Align::Left, kEveryView});
    table.columns.push_back(Column{"weaponName", "weapon", "", Align::Left, kEveryView});
    table.columns.push_back(Column{"shieldName", "shield", "", Align::Left, kEveryView});
    for (const analysis::ListedFighter& listed : fighters) {
        std::vector<Cell> row{nameCell(listed.name)};
        if (!listed.fighter) {
            while (row.size() < table.columns.size()) row.push_back(Cell::empty().shown("?"));
            table.rows.push_back(std::move(row));
            table.notes.push_back(quoteName(listed.name) + ": " + listed.error);
            continue;
        }
        const model::Fighter& f = *listed.fighter;
        for (const model::Stat stat : model::kStats) row.push_back(Cell::ofWhole(f.stats[stat]));
        Cell hitPoints = Cell::ofWhole(f.hitPoints.value);
        if (!f.hitPoints.stored)
            hitPoints = std::move(hitPoints).shown(std::to_string(f.hitPoints.value) + " (Str.)");
        row.push_back(std::move(hitPoints));
        row.push_back(Cell::ofText(std::string(weaponTypeName(f.weaponType))));
        row.push_back(nameCell(f.weaponName));
        row.push_back(f.hasShield ? nameCell(f.shieldName) : Cell::ofText("").shown("none"));
        table.rows.push_back(std::move(row));
    }
}

}  // namespace

Report listReport(const analysis::Listing& listing, std::string_view charFile,
                  std::string_view equiFile,
                  const std::array<std::optional<std::vector<analysis::ListedFighter>>, 2>* fighters) {
    Report report;
    const std::string characters = "Characters (" + std::string(charFile) + ")";
    const std::string_view charSections[] = {kYourChars, kOppChars};
    for (int side = 0; side < 2; ++side) {
        const auto& names = listing.characters[side];
        Table table = sectionTable(characters, charSections[side], names.has_value());
        table.header = false;
        table.columns = {Column{"name", "name", "", Align::Left, kEveryView}};
        if (fighters && (*fighters)[static_cast<std::size_t>(side)]) {
            addFighterRows(table, *(*fighters)[static_cast<std::size_t>(side)]);
        } else if (names) {
            for (const std::string& name : *names) table.rows.push_back({nameCell(name)});
        }
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
