#include "data/file_system.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace skarn {

namespace {

FileFaultHook& faultHook() {
    static FileFaultHook hook;
    return hook;
}

std::chrono::milliseconds& lockWait() {
    static std::chrono::milliseconds wait{3000};
    return wait;
}

}  // namespace

void setFileFaultHook(FileFaultHook hook) { faultHook() = std::move(hook); }

void setEditLockWait(std::chrono::milliseconds wait) { lockWait() = wait; }

namespace filesys {

bool injectedFault(FileOp op) {
    const FileFaultHook& hook = faultHook();
    return hook && hook(op);
}

std::chrono::milliseconds editLockWait() { return lockWait(); }

#ifndef _WIN32

namespace {

// Closes a descriptor when it goes, however the function that opened it ends.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    // Closes now and tells whether the system reported an error, as a file
    // system that writes late (NFS) does at this point.
    bool close() { return ::close(release()) == 0; }

private:
    int fd_;
};

// Flags for opening a data file: never waiting on a FIFO or device, never
// becoming the process's terminal, never leaking into a child process.
constexpr int kOpenFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

int openRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do fd = ::open(path, flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool isRegular(int fd, struct stat& st) { return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode); }

bool flushToDisk(int fd) {
#ifdef F_FULLFSYNC
    // On macOS fsync reaches the drive but not through its cache.
    if (::fcntl(fd, F_FULLFSYNC) == 0) return true;
#endif
    return ::fsync(fd) == 0;
}

bool writeAll(int fd, std::string_view bytes) {
    if (injectedFault(FileOp::Write)) {
        // A full disk: part of the bytes get in, then the write fails.
        (void)!::write(fd, bytes.data(), bytes.size() / 2);
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // ENOSPC, EFBIG beyond a file-size limit, EIO...
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Gives the new file the owner, group and permission bits of `like` where
// the system lets us, and tells whether the result grants nobody more than
// `like` does. The group is set before the permissions, since changing it
// may clear some of them.
bool takeAttributes(int fd, const FileAttributes& like) {
    if (injectedFault(FileOp::SetPermissions)) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    if (like.group >= 0 && static_cast<long long>(st.st_gid) != like.group)
        (void)!::fchown(fd, static_cast<uid_t>(-1), static_cast<gid_t>(like.group));
    if (like.owner >= 0 && static_cast<long long>(st.st_uid) != like.owner)
        (void)!::fchown(fd, static_cast<uid_t>(like.owner), static_cast<gid_t>(-1));
    if (::fstat(fd, &st) != 0) return false;
    const auto wanted = static_cast<mode_t>(like.permissions & 0777);
    if ((st.st_mode & 07777) != wanted && ::fchmod(fd, wanted) != 0) return false;
    if (::fstat(fd, &st) != 0 || (st.st_mode & 0777) != wanted) return false;
    // A group we could not give the file must not get more than everyone
    // else already has.
    const unsigned groupOnly = (wanted >> 3) & ~wanted & 07;
    return like.group < 0 || static_cast<long long>(st.st_gid) == like.group || groupOnly == 0;
}

}  // namespace

std::FILE* openRegularFile(const std::string& path, bool create, bool tryWrite, bool& writable) {
    writable = false;
    const bool writeRefused = tryWrite && injectedFault(FileOp::OpenReadWrite);
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        // Opening a FIFO or a device may block or have effects of its own.
        if (!S_ISREG(st.st_mode)) return nullptr;
    } else if (errno == ENOENT && create) {
        // O_EXCL fails on any link, so a dangling link is left dangling.
        const int fd = openRetrying(path.c_str(), O_RDWR | O_CREAT | O_EXCL | kOpenFlags, 0666);
        if (fd >= 0) ::close(fd);
    }
    Descriptor fd;
    if (tryWrite && !writeRefused) {
        fd.reset(openRetrying(path.c_str(), O_RDWR | kOpenFlags));
        writable = fd.get() >= 0;
    }
    if (fd.get() < 0) fd.reset(openRetrying(path.c_str(), O_RDONLY | kOpenFlags));
    // It may have been replaced by something else since the check above.
    if (fd.get() < 0 || !isRegular(fd.get(), st)) {
        writable = false;
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd.get(), writable ? "r+b" : "rb");
    if (file == nullptr) {
        writable = false;
        return nullptr;
    }
    fd.release();
    return file;
}

EditLock::~EditLock() { release(); }

void EditLock::release() {
    if (fd_ >= 0) ::close(fd_);  // which lets the lock go
    fd_ = -1;
}

bool EditLock::acquire(const std::string& path, std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    release();
    if (injectedFault(FileOp::Lock)) return false;
    const Clock::time_point deadline = Clock::now() + wait;
    // The lock is polled for: there is no waiting for it with a time limit.
    // Another editor lets it go for only the moment between two of its
    // edits, so the polls come often and at random moments, which gives
    // every waiting editor its turn.
    thread_local std::minstd_rand jitter{std::random_device{}()};
    std::chrono::microseconds pause{100};
    for (;;) {
        struct stat named;
        if (::stat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return false;
        Descriptor fd(openRetrying(path.c_str(), O_RDWR | kOpenFlags));
        struct stat held;
        if (fd.get() < 0 || !isRegular(fd.get(), held)) return false;
        for (;;) {
            if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) break;
            if (errno == EINTR) continue;
            // ENOLCK, EOPNOTSUPP...: a file system without locks. Editing it
            // unlocked is what every editor of it does.
            if (errno != EWOULDBLOCK) break;
            if (Clock::now() >= deadline) return false;
            std::this_thread::sleep_for(pause / 2 + std::chrono::microseconds(jitter() % pause.count()));
            pause = std::min(pause * 2, std::chrono::microseconds{1000});
        }
        // While this editor waited, the one before may have put a new file
        // in the old one's place; the lock on the old one guards nothing.
        if (::stat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino) {
            attributes_.permissions = static_cast<unsigned>(held.st_mode & 0777);
            attributes_.owner = static_cast<long long>(held.st_uid);
            attributes_.group = static_cast<long long>(held.st_gid);
            fd_ = fd.release();
            return true;
        }
        if (Clock::now() >= deadline) return false;
    }
}

bool EditLock::readAll(std::string& out) const {
    out.clear();
    char chunk[1 << 16];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd_, chunk, sizeof chunk, at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(chunk, static_cast<std::size_t>(n));
        at += n;
    }
}

WriteResult writeNewFile(const std::string& path, const FileAttributes& like, std::string_view bytes) {
    if (injectedFault(FileOp::Create)) return WriteResult::NotCreated;
    // Created with no more than the wanted permissions; the umask can only
    // take some away, and takeAttributes puts them back before any byte.
    Descriptor fd(openRetrying(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | kOpenFlags,
                               static_cast<mode_t>(like.permissions & 0777)));
    if (fd.get() < 0) return errno == EEXIST ? WriteResult::NameTaken : WriteResult::NotCreated;
    bool ok = takeAttributes(fd.get(), like) && writeAll(fd.get(), bytes) &&
              !injectedFault(FileOp::Flush) && flushToDisk(fd.get());
    const bool closeFault = injectedFault(FileOp::Close);
    ok = fd.close() && !closeFault && ok;
    return ok ? WriteResult::Written : WriteResult::Failed;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool syncFolder(const std::string& dir) {
    if (injectedFault(FileOp::SyncFolder)) return false;
    Descriptor fd(openRetrying(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.get() >= 0 && ::fsync(fd.get()) == 0;
}

void ignoreFileSizeSignal() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(SIGXFSZ, SIG_IGN);
    });
}

#endif  // the Windows side is in file_system_windows.cpp

}  // namespace filesys
}  // namespace skarn
