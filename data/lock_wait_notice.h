#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "data/file_system.h"

namespace skarn {

// A FileSystem that says when an edit has to wait for another program's
// lock, so that a window can show why it does not answer meanwhile. `lock`
// first tries without waiting; only when that fails, and the edit may wait,
// does it call `waiting`, wait as asked, and call `waited` however the wait
// ended. Both run on the editing thread.
class LockWaitNotice : public FileSystemWrapper {
public:
    using FileSystemWrapper::FileSystemWrapper;

    std::function<void()> waiting;
    std::function<void()> waited;

    std::unique_ptr<LockedFile> lock(const std::string& path, std::chrono::milliseconds wait) override {
        std::unique_ptr<LockedFile> file = target().lock(path, std::chrono::milliseconds(0));
        if (file || wait <= std::chrono::milliseconds(0) || !waiting) return file;
        waiting();
        // `waited` runs even when the wait throws.
        struct Ended {
            const std::function<void()>& waited;
            ~Ended() {
                if (waited) waited();
            }
        } ended{waited};
        return target().lock(path, wait);
    }
};

}  // namespace skarn
