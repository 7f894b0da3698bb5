#pragma once

#include <functional>

namespace skarn {

// The file-system operations SectionFile makes, for fault injection in tests.
// An edit makes them in this order: Remove (a stale temporary file), Create,
// Write, Flush, Close, Rename, and Remove again when it gives up; every
// rewind of a ReadWrite file makes an OpenReadWrite first.
enum class FileOp {
    OpenReadWrite,  // opening the data file for reading and writing
    Create,         // creating the temporary file
    Write,          // writing the new content into it
    Flush,          // flushing it to the disk
    Close,          // closing it
    Rename,         // putting it in the data file's place
    Remove,         // removing a temporary file
};

// Called before each operation above; returning true makes that operation
// fail as the system would report it (a failing Write first writes part of
// its bytes, as a full disk does). The hook may also throw, which abandons the
// operation in progress as a crash would. An empty hook removes it.
// For tests only; not thread-safe.
using FileFaultHook = std::function<bool(FileOp)>;
void setFileFaultHook(FileFaultHook hook);

}  // namespace skarn
