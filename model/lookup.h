#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/section_file.h"

// The words for what could not be read from a data file, shared by the
// messages of every lookup. numberBeyond32Bits and fieldProblem read a
// SectionFile (call them from the thread that owns it); the others are pure.
namespace skarn::model {

// `text` with its control characters shown as escapes, so that they can
// neither break a line nor drive a terminal: tab, line feed and carriage
// return as "\t", "\n", "\r", the other C0 controls and DEL as "\x1b",
// the C1 controls (U+0080 to U+009F, in UTF-8) as "\u009b". With
// `keepLineEnds`, a line feed stays a line end. Other bytes, valid UTF-8
// or not, are left as they are.
std::string escapeControls(std::string_view text, bool keepLineEnds);

// A name between double quotes for messages and tables, its control
// characters escaped as escapeControls does.
std::string quoteName(std::string_view name);

// "in [section] of fileName".
std::string inSection(std::string_view section, const std::string& fileName);

// After lookupInt of number field `field` of entry `name` failed and left
// `value`: the field's text when it holds a number beyond 32 bits (lookupInt
// then gives the nearest 32-bit value), or "" when it is not a number at
// all or is missing.
std::string numberBeyond32Bits(SectionFile& file, std::string_view section, std::string_view name,
                               int field, std::int32_t value);

// "is <text>, out of the 32-bit range", of a text numberBeyond32Bits gave.
std::string outOf32Bits(const std::string& text);

// Why number field `field` (named `fieldName`) of the `kind` entry `name`
// ("weapon", "shield") could not be read, after lookupInt failed and left
// `value`: "cannot read field 3 (diceSides) of weapon "Club" in
// [MaceWeapons] of equifile.cfg", or for a number beyond 32 bits "field 3
// (diceSides) of weapon "Club" in [MaceWeapons] of equifile.cfg is
// 99999999999, out of the 32-bit range".
std::string fieldProblem(SectionFile& file, std::string_view kind, std::string_view section,
                         std::string_view name, int field, std::string_view fieldName,
                         std::int32_t value);

}  // namespace skarn::model
