#pragma once

// Putting a new content in a data file's place in one step: a temporary file
// of its own beside the data file, written whole, flushed to the disk and
// renamed over the data file, then the folder flushed; and the removal of
// the temporary files that edits cut short left behind. Internal to data/;
// safe from any thread, each call on its own file.

#include <string>
#include <string_view>

#include "data/file_system.h"

namespace skarn::replace {

// The temporary file of an edit of "charfile.cfg" is named
// "charfile.cfg.temp-k3x9qa.btb": the data file's name, this tag, six random
// letters or digits, and this end. A name of its own for every edit, so that
// it never meets another program's temporary file.
inline constexpr std::string_view kTempTag = ".temp-";
inline constexpr std::string_view kTempEnd = ".btb";

// Whether `name` (a file name, no folder) is that of a temporary file of an
// edit of the data file named `target` (also without its folder).
bool isTemporaryName(std::string_view name, std::string_view target);

// Removes the temporary files of edits of `target` (a resolved path) that
// were cut short by a crash or a power cut. Only files and links go; a link
// goes, never what it leads to.
// REQUIRES: the edit lock on `target` is held, so that none of them belongs
// to an edit in progress.
void removeLeftovers(FileSystem& fileSystem, const std::string& target);

// Writes `bytes` to a new temporary file beside `target` (a resolved path),
// with the permissions, owner and group of `like` from before its first
// byte, flushes it to the disk and renames it over `target`, then flushes the
// folder so that the rename is on the disk too. `target` is never opened for
// writing or removed, so whatever fails it holds either its old content or
// the new one. Fails rather than give the new file wider access than `like`
// describes. Removes the temporary file when it gives up; a throw from the
// file system leaves it behind, as a crash would.
// REQUIRES: the edit lock on `target` is held.
bool writeAndReplace(FileSystem& fileSystem, const std::string& target, const FileAttributes& like,
                     std::string_view bytes);

}  // namespace skarn::replace
