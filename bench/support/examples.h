#pragma once

// The example data files, read as skarn-cli reads them, and their characters
// armed as the window arms them (stored weapon and shield). A benchmark that
// cannot find them has nothing to time: it says why and exits.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/fighter.h"
#include "data/platform_file_system.h"
#include "data/records.h"  // the section names
#include "data/section_file.h"

namespace skarn::bench {

[[noreturn]] inline void giveUp(const char* program, const std::string& why) {
    std::fprintf(stderr, "%s: %s\n", program, why.c_str());
    std::exit(1);
}

struct ExampleFiles {
    explicit ExampleFiles(const char* program) : program(program) {}

    const char* program;  // names the benchmark in a failure
    PlatformFileSystem files;
    SectionFile characters{SKARN_EXAMPLES_DIR "/charfile.cfg", files, SectionFile::Mode::ReadOnly};
    SectionFile equipment{SKARN_EXAMPLES_DIR "/equifile.cfg", files, SectionFile::Mode::ReadOnly};

    analysis::StoredCharacter character(std::string_view section, const std::string& name) {
        analysis::StoredCharacter stored;
        std::string error;
        if (!analysis::loadCharacter(characters, section, name, stored, error)) giveUp(program, error);
        return stored;
    }

    // The character `name` of `section` with its stored gear.
    analysis::Fighter fighter(std::string_view section, const std::string& name) {
        return armed(character(section, name));
    }

    analysis::Fighter armed(const analysis::StoredCharacter& stored) {
        analysis::Fighter fighter;
        std::string error;
        std::vector<std::string> warnings;
        if (!analysis::equipFighter(equipment, stored, std::nullopt, std::nullopt, fighter, error,
                                    warnings))
            giveUp(program, error);
        return fighter;
    }
};

}  // namespace skarn::bench
