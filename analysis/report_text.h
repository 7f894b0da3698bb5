#pragma once

// The text printer of the report layer: tables laid out in columns for a
// terminal, as skarn-cli prints them. Pure functions: any thread may call
// them.

#include <cstddef>
#include <string>
#include <string_view>

#include "analysis/report.h"

namespace skarn::report {

// The width of `text` on a terminal, counting each UTF-8 character once.
std::size_t displayWidth(std::string_view text);

// The rows of the text columns of `table` (its captions first when it has a
// header; nothing at all without rows), each cell as shownText gives it,
// the columns two blanks apart and as wide as their widest cell, aligned as
// the columns say, each line indented by table.indent, without trailing
// blanks and ending in "\n".
std::string textTable(const Table& table);

// The whole report as text: the heading lines, then each table of the text
// view: a blank line before it (before its section's heading instead, for
// the first table of a section; none for the others of a section), its
// title, its rows, and its notes after a blank line. A table that is
// missing shows its title followed by two blanks and the reason.
std::string textReport(const Report& report);

}  // namespace skarn::report
