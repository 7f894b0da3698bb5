#pragma once

// A FileSystem for tests: every operation a SectionFile makes passes through
// a callback that may let it go on, make it fail as the system would report
// it, or throw (which abandons the operation in progress as a crash would),
// on the way to a real file system. One thread at a time.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/file_system.h"
#include "data/platform_file_system.h"

namespace skarn::testing {

// The operations, in the order an edit makes them. Every rewind opens the
// file: OpenReadWrite in ReadWrite mode (Open after it when that fails),
// Open in ReadOnly mode, then a Read per chunk of the file read. An edit
// makes, after its rewind: Resolve, Lock, ListFolder, Remove (once per
// left-over temporary file of an earlier edit cut short), ReadLocked, Create,
// SetOwner, SetPermissions, Attributes, Write, Flush, Close, Rename,
// SyncFolder, Remove again when it gives up after Create, and a rewind.
enum class FileOp {
    Open,            // opening the data file for reading only
    OpenReadWrite,   // opening it for reading and writing (and creating it)
    Read,            // reading a chunk of it
    Resolve,         // following the links of its name
    Lock,            // taking the edit lock on it
    ReadLocked,      // reading it under the lock
    ListFolder,      // listing its folder, for left-over temporary files
    Create,          // creating the temporary file
    SetOwner,        // giving that the data file's owner and group
    SetPermissions,  // giving it the data file's permission bits
    Attributes,      // reading back what it got
    Write,           // writing the new content into it
    Flush,           // flushing it to the disk
    Close,           // closing it
    Rename,          // putting it in the data file's place
    SyncFolder,      // flushing the folder
    Remove,          // removing a temporary file
};

inline const char* opName(FileOp op) {
    switch (op) {
    case FileOp::Open: return "Open";
    case FileOp::OpenReadWrite: return "OpenReadWrite";
    case FileOp::Read: return "Read";
    case FileOp::Resolve: return "Resolve";
    case FileOp::Lock: return "Lock";
    case FileOp::ReadLocked: return "ReadLocked";
    case FileOp::ListFolder: return "ListFolder";
    case FileOp::Create: return "Create";
    case FileOp::SetOwner: return "SetOwner";
    case FileOp::SetPermissions: return "SetPermissions";
    case FileOp::Attributes: return "Attributes";
    case FileOp::Write: return "Write";
    case FileOp::Flush: return "Flush";
    case FileOp::Close: return "Close";
    case FileOp::Rename: return "Rename";
    case FileOp::SyncFolder: return "SyncFolder";
    case FileOp::Remove: return "Remove";
    }
    return "?";
}

class FaultyFileSystem : public FileSystemWrapper {
public:
    // Called before each operation; true makes it fail. A failing Write
    // first writes half of its bytes, as a full disk does; a failing Close
    // closes the file and then reports an error, as NFS may; a failing Lock
    // is a lock held elsewhere for the whole wait; a failing SetOwner gives
    // the group but not the owner, as for an editor in the file's group who
    // may not give a file away. Every other failing operation does nothing
    // and reports the failure.
    using Hook = std::function<bool(FileOp)>;

    // On the platform's file system, or on `target`.
    FaultyFileSystem() : FileSystemWrapper(platform_) {}
    explicit FaultyFileSystem(FileSystem& target) : FileSystemWrapper(target) {}

    // An empty hook lets every operation go on.
    void setHook(Hook hook) { hook_ = std::move(hook); }
    void setLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

    // The owner and group the last SetOwner asked for ({-1, -1} before any).
    std::pair<long long, long long> ownerAsked() const { return ownerAsked_; }

    std::unique_ptr<ReadableFile> open(const std::string& path, Access access) override {
        if (fails(access == Access::Read ? FileOp::Open : FileOp::OpenReadWrite)) return nullptr;
        std::unique_ptr<ReadableFile> file = target().open(path, access);
        if (!file) return nullptr;
        return std::make_unique<Read>(*this, std::move(file));
    }
    bool resolve(const std::string& path, std::string& resolved) override {
        return !fails(FileOp::Resolve) && target().resolve(path, resolved);
    }
    std::unique_ptr<LockedFile> lock(const std::string& path, std::chrono::milliseconds wait) override {
        if (fails(FileOp::Lock)) return nullptr;
        std::unique_ptr<LockedFile> file = target().lock(path, wait);
        if (!file) return nullptr;
        return std::make_unique<Locked>(*this, std::move(file));
    }
    std::chrono::milliseconds lockWait() const override {
        return lockWait_ ? *lockWait_ : target().lockWait();
    }
    CreateResult create(const std::string& path, unsigned permissions,
                        std::unique_ptr<NewFile>& file) override {
        if (fails(FileOp::Create)) return CreateResult::Failed;
        std::unique_ptr<NewFile> made;
        const CreateResult result = target().create(path, permissions, made);
        if (made) file = std::make_unique<New>(*this, std::move(made));
        return result;
    }
    bool rename(const std::string& from, const std::string& to) override {
        return !fails(FileOp::Rename) && target().rename(from, to);
    }
    bool syncFolder(const std::string& folder) override {
        return !fails(FileOp::SyncFolder) && target().syncFolder(folder);
    }
    bool remove(const std::string& path) override { return !fails(FileOp::Remove) && target().remove(path); }
    bool listFiles(const std::string& folder, std::vector<std::string>& names) override {
        names.clear();
        return !fails(FileOp::ListFolder) && target().listFiles(folder, names);
    }

private:
    bool fails(FileOp op) const { return hook_ && hook_(op); }

    class Read : public ReadableFile {
    public:
        Read(FaultyFileSystem& fs, std::unique_ptr<ReadableFile> file) : fs_(fs), file_(std::move(file)) {}
        bool read(std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) override {
            got = 0;
            return !fs_.fails(FileOp::Read) && file_->read(offset, buffer, size, got);
        }

    private:
        FaultyFileSystem& fs_;
        std::unique_ptr<ReadableFile> file_;
    };

    class Locked : public LockedFile {
    public:
        Locked(FaultyFileSystem& fs, std::unique_ptr<LockedFile> file) : fs_(fs), file_(std::move(file)) {}
        bool readAll(std::string& content) override {
            return !fs_.fails(FileOp::ReadLocked) && file_->readAll(content);
        }
        FileAttributes attributes() const override { return file_->attributes(); }

    private:
        FaultyFileSystem& fs_;
        std::unique_ptr<LockedFile> file_;
    };

    class New : public NewFile {
    public:
        New(FaultyFileSystem& fs, std::unique_ptr<NewFile> file) : fs_(fs), file_(std::move(file)) {}
        bool setOwner(long long owner, long long group) override {
            fs_.ownerAsked_ = {owner, group};
            if (fs_.fails(FileOp::SetOwner)) {
                (void)file_->setOwner(-1, group);
                return false;
            }
            return file_->setOwner(owner, group);
        }
        bool setPermissions(unsigned permissions) override {
            return !fs_.fails(FileOp::SetPermissions) && file_->setPermissions(permissions);
        }
        bool attributes(FileAttributes& attributes) override {
            return !fs_.fails(FileOp::Attributes) && file_->attributes(attributes);
        }
        bool write(std::string_view bytes) override {
            if (fs_.fails(FileOp::Write)) {
                // A full disk: part of the bytes get in, then the write fails.
                (void)file_->write(bytes.substr(0, bytes.size() / 2));
                return false;
            }
            return file_->write(bytes);
        }
        bool flush() override { return !fs_.fails(FileOp::Flush) && file_->flush(); }
        bool close() override {
            const bool fault = fs_.fails(FileOp::Close);
            return file_->close() && !fault;
        }

    private:
        FaultyFileSystem& fs_;
        std::unique_ptr<NewFile> file_;
    };

    PlatformFileSystem platform_;
    Hook hook_;
    std::optional<std::chrono::milliseconds> lockWait_;
    std::pair<long long, long long> ownerAsked_{-1, -1};
};

}  // namespace skarn::testing
