#include "analysis/listing.h"

#include <string_view>

#include "analysis/fighter.h"
#include "model/equipment.h"
#include "model/sections.h"

namespace skarn::analysis {

Listing readListing(SectionFile& characters, SectionFile& equipment) {
    Listing listing;
    listing.characters[0] = model::sectionNames(characters, kYourChars);
    listing.characters[1] = model::sectionNames(characters, kOppChars);
    for (int type = 0; type < kWeaponTypeCount; ++type) {
        const std::string_view section = weaponSection(type);
        const auto names = model::weaponNames(equipment, section);
        if (!names) continue;
        auto& weapons = listing.weapons[type].emplace();
        for (const std::string& name : *names) {
            WeaponListing weapon{name, {}};
            for (int field = 1; field <= 5; ++field) {
                std::int32_t value = 0;
                if (equipment.lookupInt(section, name, field, value))
                    weapon.stats[field - 1] = value;
            }
            weapons.push_back(weapon);
        }
    }
    if (const auto names = model::sectionNames(equipment, kShields)) {
        auto& shields = listing.shields.emplace();
        for (const std::string& name : *names) {
            const model::ShieldLookup shield = model::lookupShield(equipment, name);
            shields.emplace_back(name, shield.read ? std::optional(shield.absorb) : std::nullopt);
        }
    }
    return listing;
}

std::array<std::optional<std::vector<ListedFighter>>, 2> listFighters(
    const Listing& listing, SectionFile& characters, SectionFile& equipment,
    std::vector<std::string>& warnings) {
    std::array<std::optional<std::vector<ListedFighter>>, 2> fighters;
    const std::string_view sections[] = {kYourChars, kOppChars};
    for (std::size_t side = 0; side < 2; ++side) {
        if (!listing.characters[side]) continue;
        auto& listed = fighters[side].emplace();
        for (const std::string& name : *listing.characters[side]) {
            ListedFighter entry{name, std::nullopt, {}};
            StoredCharacter stored;
            Fighter fighter;
            if (loadCharacter(characters, sections[side], name, stored, entry.error) &&
                equipFighter(equipment, stored, std::nullopt, std::nullopt, fighter, entry.error,
                             warnings))
                entry.fighter = std::move(fighter);
            listed.push_back(std::move(entry));
        }
    }
    return fighters;
}

}  // namespace skarn::analysis
