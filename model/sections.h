#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/section_file.h"

// These read a SectionFile and use its shared read position: call them from
// the thread that owns the file.
namespace skarn::model {

// Whether a listing keeps the entries whose name is empty.
enum class EmptyNames { Keep, Skip };

// The names of the entries of `section`, in file order, as a listing of the
// section delivers them (openSection, then nextEntry and skipLine until
// nextEntry fails): the names a list of the section offers. Lists of
// characters and of shields keep empty names. Nothing when the section does
// not exist. Moves the file's read position.
std::optional<std::vector<std::string>> sectionNames(SectionFile& file, std::string_view section,
                                                     EmptyNames empty = EmptyNames::Keep);

// The names a weapon list offers: those of `section` of the equipment file
// except empty ones, which could never be looked up. Nothing when the
// section does not exist.
std::optional<std::vector<std::string>> weaponNames(SectionFile& equipment,
                                                    std::string_view section);

// The last name sectionNames delivers for `section`; "" when the section
// has no entries or does not exist.
std::string lastEntryName(SectionFile& file, std::string_view section);

}  // namespace skarn::model
