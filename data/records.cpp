#include "data/records.h"

#include <iterator>
#include <string>

namespace skarn {

std::string_view weaponSection(std::int32_t weaponType) {
    switch (weaponType) {
    case 0: return "FencingWeapons";
    case 1: return "MaceWeapons";
    case 2: return "SwordWeapons";
    case 3: return "Wrestling";
    default: return {};
    }
}

namespace {

// `slots` - floor((length + 2) / 6) tabs, but at least one: with none, a name
// without a blank would run into what follows it and not read back.
std::size_t tabsAfter(std::string_view text, std::size_t slots) {
    const std::size_t used = (text.size() + 2) / 6;
    return used < slots ? slots - used : 1;
}

void appendQuoted(std::string& line, std::string_view text) {
    line += '"';
    line += text;
    line += '"';
}

}  // namespace

std::string FormatCharacterLine(std::string_view name, std::int32_t strength,
                                std::int32_t dexterity, std::int32_t weaponSkill,
                                std::int32_t weaponType, std::int32_t armorRating,
                                std::int32_t tactics, std::int32_t parry,
                                std::string_view shieldName, std::string_view weaponName) {
    std::string line;
    appendQuoted(line, name);
    line.append(tabsAfter(name, 4), '\t');
    const std::int32_t fields[] = {strength, dexterity, weaponSkill, weaponType,
                                   armorRating, tactics, parry, strength};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        if (i > 0) line += '\t';
        line += std::to_string(fields[i]);
    }
    line += '\t';
    appendQuoted(line, shieldName);
    line.append(tabsAfter(shieldName, 3), '\t');
    appendQuoted(line, weaponName);
    return line;
}

}  // namespace skarn
