#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/fighter.h"
#include "data/platform_file_system.h"
#include "data/records.h"
#include "data/section_file.h"

namespace skarn::testing {

// The example data files, read-only, and their characters armed with
// their stored gear; a character that cannot be armed throws.
struct Examples {
    PlatformFileSystem files;
    SectionFile characters{SKARN_EXAMPLES_DIR "/charfile.cfg", files, SectionFile::Mode::ReadOnly};
    SectionFile equipment{SKARN_EXAMPLES_DIR "/equifile.cfg", files, SectionFile::Mode::ReadOnly};

    analysis::Fighter arm(std::string_view section, const std::string& name) {
        analysis::StoredCharacter character;
        analysis::Fighter fighter;
        std::string error;
        std::vector<std::string> warnings;
        if (!analysis::loadCharacter(characters, section, name, character, error) ||
            !analysis::equipFighter(equipment, character, std::nullopt, std::nullopt, fighter,
                                    error, warnings))
            throw std::runtime_error(error);
        return fighter;
    }
};

}  // namespace skarn::testing
