#pragma once

// The real file system of the platform the program runs on: POSIX (Linux,
// macOS) in posix_file_system.cpp, Windows in windows_file_system.cpp; the
// build compiles one of them. Both keep the promises of data/file_system.h;
// what each platform adds or lacks is said beside its code.

#include <chrono>

#include "data/file_system.h"

namespace skarn {

// Holds no state but the lock wait: any number of them may exist, and one
// may be used from any thread at once.
class PlatformFileSystem final : public FileSystem {
public:
    // How long an edit waits for another program's edit of the same file to
    // end before it gives up.
    static constexpr std::chrono::milliseconds kDefaultLockWait{3000};

    explicit PlatformFileSystem(std::chrono::milliseconds lockWait = kDefaultLockWait)
        : lockWait_(lockWait) {}

    std::unique_ptr<ReadableFile> open(const std::string& path, Access access) override;
    bool resolve(const std::string& path, std::string& resolved) override;
    std::unique_ptr<LockedFile> lock(const std::string& path, std::chrono::milliseconds wait) override;
    std::chrono::milliseconds lockWait() const override { return lockWait_; }
    CreateResult create(const std::string& path, unsigned permissions,
                        std::unique_ptr<NewFile>& file) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool syncFolder(const std::string& folder) override;
    bool remove(const std::string& path) override;
    bool listFiles(const std::string& folder, std::vector<std::string>& names) override;

private:
    std::chrono::milliseconds lockWait_;
};

}  // namespace skarn
