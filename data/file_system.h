#pragma once

// The few file-system calls SectionFile needs that the standard library does
// not offer: opening only regular files without ever blocking, an exclusive
// lock held for a whole edit, creating a file exclusively with given
// permissions, flushing a file and its folder to the disk, and surviving a
// file-size limit. POSIX (Linux, macOS) in file_system.cpp, Windows in
// file_system_windows.cpp; file names are UTF-8 on both. Internal to data/.

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "data/file_faults.h"

namespace skarn::filesys {

// Whether the test hook of file_faults.h makes `op` fail (it may also throw).
bool injectedFault(FileOp op);
// How long an edit waits for the lock (setEditLockWait).
std::chrono::milliseconds editLockWait();

// Opens `path` for reading when it is a regular file or a link to one. A
// FIFO, device, socket or folder is refused, and nothing ever waits for one.
// With `create`, a missing file is created empty first, but never through a
// dangling link. With `tryWrite`, the file is opened for reading and writing
// when it can be, and `writable` tells whether it was. Returns nullptr when
// the file cannot be read.
std::FILE* openRegularFile(const std::string& path, bool create, bool tryWrite, bool& writable);

// What a replacement file takes over from the file it replaces.
struct FileAttributes {
    unsigned permissions = 0;  // the 0777 bits
    long long owner = -1;      // -1: unknown
    long long group = -1;
};

// An exclusive advisory lock on a regular file, held from acquire() until the
// object goes: every edit of a data file holds it from before it reads the
// file until after the new file has taken the old one's place.
class EditLock {
public:
    EditLock() = default;
    ~EditLock();
    EditLock(const EditLock&) = delete;
    EditLock& operator=(const EditLock&) = delete;

    // Opens the regular file `path` for reading and writing and locks it,
    // waiting up to `wait` while another editor holds the lock. The lock is on
    // the file `path` names once it is taken: when another editor put a new
    // file in place while this one waited, the new file is locked instead.
    // False when the file is missing, not a regular file, cannot be written,
    // or stays locked for the whole wait. On a file system without locks the
    // file is opened unlocked.
    bool acquire(const std::string& path, std::chrono::milliseconds wait);

    // The whole content of the locked file. REQUIRES: acquired.
    bool readAll(std::string& out) const;
    // The locked file's permissions and owner. REQUIRES: acquired.
    const FileAttributes& attributes() const { return attributes_; }

private:
    void release();

    FileAttributes attributes_;
#ifdef _WIN32
    // Windows cannot replace a file that is held open, not even by the one
    // replacing it: the lock is on a companion file ("charfile.cfg.lock")
    // and the content is read at once.
    void* lockFile_ = nullptr;
    std::string content_;
#else
    int fd_ = -1;
#endif
};

enum class WriteResult {
    Written,     // the file holds the bytes and has been flushed to the disk
    NameTaken,   // something of that name exists already; nothing was touched
    NotCreated,  // the file could not be created
    Failed,      // created, but not fully written or flushed; the caller removes it
};

// Creates the file `path` exclusively (never through a link or over anything
// that exists), with the permissions and owner `like` from before its first
// byte, writes `bytes` into it and flushes it to the disk. Fails rather than
// give the file wider access than `like` describes.
WriteResult writeNewFile(const std::string& path, const FileAttributes& like, std::string_view bytes);

// Renames `from` over `to` in one step.
bool replaceFile(const std::string& from, const std::string& to);

// Flushes the folder `dir` to the disk, so that a rename in it survives a
// power cut. False when that failed; some file systems cannot do it at all.
bool syncFolder(const std::string& dir);

// Makes writing beyond the process's file-size limit fail with an error
// instead of killing the program, unless the program handles the signal
// itself. Process-wide; called before every edit.
void ignoreFileSizeSignal();

}  // namespace skarn::filesys
