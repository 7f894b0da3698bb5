#pragma once

// The file system as SectionFile sees it: the few operations a read and an
// edit of a data file make, behind one small interface. The program hands a
// FileSystem to every SectionFile it makes (PlatformFileSystem of
// data/platform_file_system.h is the real one); a test hands in a wrapper
// that fails, throws at or records any of these operations.
//
// Paths are UTF-8 strings. Every function returns false (or nullptr) on
// failure and shows nothing.
//
// Threads: a FileSystem may be called from any thread at once. Each object it
// returns belongs to one thread at a time.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skarn {

// What a replacement file takes over from the file it replaces.
struct FileAttributes {
    unsigned permissions = 0;  // the 0777 bits
    long long owner = -1;      // -1: none or unknown (no such thing on Windows)
    long long group = -1;
};

// A data file opened for reading (and perhaps writing, though nothing is ever
// written through it). Closed when it goes.
class ReadableFile {
public:
    virtual ~ReadableFile() = default;

    // Reads up to `size` bytes from `offset` into `buffer` and sets `got` to
    // their number, which is below `size` only at the end of the file. False
    // on a read error.
    virtual bool read(std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) = 0;
};

// The data file during one edit: open, and locked against every other editor
// of it, from before it is read until after the new file has taken its
// place. The lock goes with the object.
class LockedFile {
public:
    virtual ~LockedFile() = default;

    // The whole content of the locked file.
    virtual bool readAll(std::string& content) = 0;
    // Its permissions, owner and group, as they were when it was locked.
    virtual FileAttributes attributes() const = 0;
};

// The temporary file of an edit, open for writing. Closed by close() or,
// without a report, when it goes.
class NewFile {
public:
    virtual ~NewFile() = default;

    // Gives the file this owner and this group, each where it differs and on
    // its own (-1 leaves one as it is), so that one may take while the system
    // refuses the other. True when the file now has both.
    virtual bool setOwner(long long owner, long long group) = 0;
    // Sets the 0777 permission bits.
    virtual bool setPermissions(unsigned permissions) = 0;
    // The permissions, owner and group the system now gives the file.
    virtual bool attributes(FileAttributes& attributes) = 0;
    // Writes all of `bytes` after what was written before; false when the
    // system took only part of them (a full disk, a file-size limit).
    virtual bool write(std::string_view bytes) = 0;
    // Flushes what was written to the disk.
    virtual bool flush() = 0;
    // Closes the file; false when the system reports an error only now, as
    // a file system that writes late (NFS) does. REQUIRES: called once.
    virtual bool close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    enum class Access {
        Read,             // for reading
        ReadWrite,        // for reading and writing
        CreateReadWrite,  // ReadWrite, made empty first when nothing of that name exists
    };
    // Opens the file `path` names when it is a regular file or a link to one.
    // A FIFO, device, socket or folder is refused without waiting on it, and
    // CreateReadWrite never creates a file through a dangling link nor
    // truncates one.
    virtual std::unique_ptr<ReadableFile> open(const std::string& path, Access access) = 0;

    // The absolute path of the file `path` leads to, every link followed.
    // False when it leads nowhere.
    virtual bool resolve(const std::string& path, std::string& resolved) = 0;

    // Opens the regular file `path` (no link: a resolved path) and takes the
    // exclusive edit lock on it, waiting up to `wait` while another editor
    // holds it. When another editor has put a new file in the old one's place
    // meanwhile, the new file is the one locked. nullptr when the file is
    // missing, is not a regular file, cannot be written, or stays locked
    // for the whole wait.
    virtual std::unique_ptr<LockedFile> lock(const std::string& path, std::chrono::milliseconds wait) = 0;
    // How long an edit waits for another editor's lock.
    virtual std::chrono::milliseconds lockWait() const = 0;

    enum class CreateResult {
        Created,
        NameTaken,  // something of that name exists already; nothing was touched
        Failed,     // nothing was created
    };
    // Creates the file `path` new (never through a link, never over anything
    // that exists) for writing, with no permission bits beyond
    // `permissions`; sets `file` when Created.
    virtual CreateResult create(const std::string& path, unsigned permissions,
                                std::unique_ptr<NewFile>& file) = 0;

    // Renames `from` over `to` in one step.
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    // Flushes the folder `folder` to the disk, so that a rename in it
    // survives a power cut.
    virtual bool syncFolder(const std::string& folder) = 0;
    // Removes the file or link `path` (never what a link leads to).
    virtual bool remove(const std::string& path) = 0;
    // The names of the regular files and the links in the folder `folder`.
    virtual bool listFiles(const std::string& folder, std::vector<std::string>& names) = 0;
};

// A FileSystem that passes every call on to another one: the base of a
// wrapper that changes some of them.
class FileSystemWrapper : public FileSystem {
public:
    explicit FileSystemWrapper(FileSystem& target) : target_(target) {}

    FileSystem& target() const { return target_; }

    std::unique_ptr<ReadableFile> open(const std::string& path, Access access) override {
        return target_.open(path, access);
    }
    bool resolve(const std::string& path, std::string& resolved) override {
        return target_.resolve(path, resolved);
    }
    std::unique_ptr<LockedFile> lock(const std::string& path, std::chrono::milliseconds wait) override {
        return target_.lock(path, wait);
    }
    std::chrono::milliseconds lockWait() const override { return target_.lockWait(); }
    CreateResult create(const std::string& path, unsigned permissions,
                        std::unique_ptr<NewFile>& file) override {
        return target_.create(path, permissions, file);
    }
    bool rename(const std::string& from, const std::string& to) override { return target_.rename(from, to); }
    bool syncFolder(const std::string& folder) override { return target_.syncFolder(folder); }
    bool remove(const std::string& path) override { return target_.remove(path); }
    bool listFiles(const std::string& folder, std::vector<std::string>& names) override {
        return target_.listFiles(folder, names);
    }

private:
    FileSystem& target_;
};

}  // namespace skarn
