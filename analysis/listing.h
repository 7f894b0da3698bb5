#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/records.h"
#include "data/section_file.h"

namespace skarn::analysis {

// A weapon as a list of weapons shows it: each statistic that could be read.
struct WeaponListing {
    std::string name;
    std::optional<std::int32_t> stats[5];  // speed, diceCount, diceSides, damageBonus, hands
};

// Every list of the data files, in file order, as the window's lists receive
// them; nothing for a section that does not exist.
struct Listing {
    std::optional<std::vector<std::string>> characters[2];  // YourChars, OppChars
    std::optional<std::vector<WeaponListing>> weapons[kWeaponTypeCount];
    std::optional<std::vector<std::pair<std::string, std::optional<std::int32_t>>>> shields;
};

// Reads every list. Each statistic is looked up on its own, so one
// unreadable field hides no other. Reads both files: call it from the
// thread that owns them.
Listing readListing(SectionFile& characters, SectionFile& equipment);

}  // namespace skarn::analysis
