#include "model/sections.h"

namespace skarn::model {

std::optional<std::vector<std::string>> sectionNames(SectionFile& file, std::string_view section,
                                                     EmptyNames empty) {
    if (!file.openSection(section)) return std::nullopt;
    std::vector<std::string> names;
    std::string name;
    while (file.nextEntry(name)) {
        if (empty == EmptyNames::Keep || !name.empty()) names.push_back(name);
        file.skipLine();
    }
    return names;
}

std::optional<std::vector<std::string>> weaponNames(SectionFile& equipment,
                                                    std::string_view section) {
    return sectionNames(equipment, section, EmptyNames::Skip);
}

std::string lastEntryName(SectionFile& file, std::string_view section) {
    const auto names = sectionNames(file, section);
    return names && !names->empty() ? names->back() : std::string();
}

}  // namespace skarn::model
