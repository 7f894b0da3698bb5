#pragma once

#include <chrono>
#include <functional>

namespace skarn {

// The file-system operations SectionFile makes, for fault injection in tests.
// Every rewind of a ReadWrite file makes an OpenReadWrite first. An edit
// makes them in this order: Lock, Remove (once per left-over temporary file
// of an earlier edit that was cut short), Create, SetPermissions, Write,
// Flush, Close, Rename, SyncFolder, and Remove again when it gives up after
// Create.
enum class FileOp {
    OpenReadWrite,   // opening the data file for reading and writing
    Lock,            // taking the edit lock on the data file
    Create,          // creating the temporary file
    SetPermissions,  // giving it the data file's permissions and owner
    Write,           // writing the new content into it
    Flush,           // flushing it to the disk
    Close,           // closing it
    Rename,          // putting it in the data file's place
    SyncFolder,      // flushing the folder that holds the data file
    Remove,          // removing a temporary file
};

// Called before each operation above; returning true makes that operation
// fail as the system would report it (a failing Write first writes part of
// its bytes, as a full disk does; a failing Lock is a lock held elsewhere for
// longer than an edit waits). The hook may also throw, which abandons the
// operation in progress as a crash would. An empty hook removes it.
// For tests only; not thread-safe.
using FileFaultHook = std::function<bool(FileOp)>;
void setFileFaultHook(FileFaultHook hook);

// How long an edit waits for another program's edit of the same file to end
// before it gives up (3 seconds unless set). For tests only.
void setEditLockWait(std::chrono::milliseconds wait);

}  // namespace skarn
