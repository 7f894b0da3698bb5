#pragma once

// Makes the window's edits of its data files fail, for the tests of what it
// shows then. The window edits through the program-wide data files, which
// take the platform's file system, so the fault is a real one: while a
// FailingWrites lives, the process's file-size limit is 0 and every write
// into a file fails, as on a full disk (the limit binds root too, where
// permission bits do not). Linux only; one at a time.

#include <csignal>

#include <sys/resource.h>

#include <gtest/gtest.h>

namespace skarn::testing {

class FailingWrites {
public:
    FailingWrites() {
        // Beyond the limit a write fails with an error instead of raising a
        // signal that ends the program.
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &saved_), 0);
        rlimit none = saved_;
        none.rlim_cur = 0;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
    }
    ~FailingWrites() {
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &saved_), 0);
        std::signal(SIGXFSZ, previousSignal_);
    }
    FailingWrites(const FailingWrites&) = delete;
    FailingWrites& operator=(const FailingWrites&) = delete;

private:
    rlimit saved_{};
    void (*previousSignal_)(int) = SIG_DFL;
};

}  // namespace skarn::testing
