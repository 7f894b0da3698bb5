#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/records.h"
#include "data/section_file.h"
#include "model/fighter.h"

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

// A character of a list as it fights: loaded and armed with its stored
// weapon and shield, as the window arms it; or why it cannot be.
struct ListedFighter {
    std::string name;
    std::optional<model::Fighter> fighter;
    std::string error;  // when there is no fighter
};

// The characters of `listing` (YourChars, then OppChars) as they fight,
// in the listing's order; nothing for a section the listing lacks. The
// warnings of arming them (a stored shield not found, ...) are added to
// `warnings`.
std::array<std::optional<std::vector<ListedFighter>>, 2> listFighters(
    const Listing& listing, SectionFile& characters, SectionFile& equipment,
    std::vector<std::string>& warnings);

}  // namespace skarn::analysis
