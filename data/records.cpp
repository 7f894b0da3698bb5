#include "data/records.h"

#include <algorithm>
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

// Whitespace as the reader of the data files knows it.
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The tabs after a quoted text: `slots` - floor((length + 2) / 6), none when
// that is below 1. A long text with a blank in it reads back without them,
// as the reading of a quoted text stops at its own closing quote; one without
// a blank would run into what follows it, and gets a single tab.
std::size_t tabsAfter(std::string_view text, std::size_t slots) {
    const std::size_t used = (text.size() + 2) / 6;
    if (used < slots) return slots - used;
    return std::any_of(text.begin(), text.end(), isSpace) ? 0 : 1;
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
