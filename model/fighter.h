#pragma once

#include <cstdint>
#include <string_view>

#include "data/section_file.h"

namespace skarn::model {

// The hit points a run uses for a fighter.
struct HitPoints {
    std::int32_t value = 0;
    bool stored = false;  // field 8 of the stored character; false: they are its Str.
    bool operator==(const HitPoints&) const = default;
};

// The hit points of character `name` of `section` of charfile.cfg: field 8
// of its entry, or `strength` when that cannot be read (no such section,
// character or field, or not a number within 32 bits).
HitPoints hitPointsOf(SectionFile& characters, std::string_view section, std::string_view name,
                      std::int32_t strength);

}  // namespace skarn::model
