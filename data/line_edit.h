#pragma once

// The edits of a data file, line by line: finding the section and entry lines
// and building the new content. Pure functions on the file's bytes; internal
// to data/ and safe from any thread.

#include <string>
#include <string_view>

namespace skarn::lines {

enum class Edit { InsertAfter, InsertFirst, Remove, Replace };

// Builds the edited file from the old one `text` into `out`; false when the
// target line is not there. The file is taken line by line: split at LF, one
// CR before it dropped, a last line without a line end counted as a line,
// and a byte order mark at the start kept in front. With an empty entry name
// the target is the first line that begins with "[section]", which stays in
// place; otherwise it is the first line beginning with the quoted name
// inside the first section whose header line is exactly "[section]", up to
// the next line that begins with "[". Every line of `out` ends with CR LF.
//   InsertAfter: the target line, then newLine (REQUIRES: an entry name);
//   InsertFirst: the target line (the header), an empty line, then newLine;
//   Remove:      the target line dropped (kept when it is the header);
//   Replace:     newLine in the target line's place (after the header).
bool rewrite(std::string_view text, Edit edit, std::string_view section, std::string_view entry,
             std::string_view newLine, std::string& out);

// The entry lines an edit of `entry` in `section` meets: every line beginning
// with the quoted name in the first section whose header line is exactly
// "[section]", up to the next line beginning with "["; of these, `numbered`
// counts those whose field 1, right after the name (whitespace and line ends
// skipped), is an integer that the reader takes within 32 bits. Both are 0
// for an empty entry name.
struct EntryLineCount {
    int count = 0;
    int numbered = 0;
};
EntryLineCount countEntryLines(std::string_view text, std::string_view section, std::string_view entry);

}  // namespace skarn::lines
