// PlatformFileSystem on POSIX (Linux, macOS): descriptors opened without ever
// blocking, flock for the edit lock, fsync (F_FULLFSYNC on macOS) for the
// flushes, and writes beyond a file-size limit failing instead of killing
// the program.

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <mutex>
#include <random>
#include <system_error>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/platform_file_system.h"

namespace skarn {

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

// Reads up to `size` bytes at `offset`, going on after a short read until
// the end of the file.
bool readAt(int fd, std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, buffer + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool flushToDisk(int fd) {
#ifdef F_FULLFSYNC
    // On macOS fsync reaches the drive but not through its cache.
    if (::fcntl(fd, F_FULLFSYNC) == 0) return true;
#endif
    return ::fsync(fd) == 0;
}

// Makes writing beyond the process's file-size limit fail with an error
// instead of killing the program, unless the program handles the signal
// itself. Process-wide, once.
void ignoreFileSizeSignal() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(SIGXFSZ, SIG_IGN);
    });
}

FileAttributes attributesOf(const struct stat& st) {
    return {static_cast<unsigned>(st.st_mode & 0777), static_cast<long long>(st.st_uid),
            static_cast<long long>(st.st_gid)};
}

class PosixReadableFile final : public ReadableFile {
public:
    explicit PosixReadableFile(int fd) : fd_(fd) {}

    bool read(std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) override {
        return readAt(fd_.get(), offset, buffer, size, got);
    }

private:
    Descriptor fd_;
};

class PosixLockedFile final : public LockedFile {
public:
    // `fd` holds the lock; closing it lets the lock go.
    PosixLockedFile(int fd, const FileAttributes& attributes) : fd_(fd), attributes_(attributes) {}

    bool readAll(std::string& content) override {
        content.clear();
        char chunk[1 << 16];
        for (;;) {
            std::size_t got = 0;
            if (!readAt(fd_.get(), content.size(), chunk, sizeof chunk, got)) return false;
            content.append(chunk, got);
            if (got < sizeof chunk) return true;
        }
    }

    FileAttributes attributes() const override { return attributes_; }

private:
    Descriptor fd_;
    FileAttributes attributes_;
};

class PosixNewFile final : public NewFile {
public:
    explicit PosixNewFile(int fd) : fd_(fd) {}

    bool setOwner(long long owner, long long group) override {
        struct stat st;
        if (::fstat(fd_.get(), &st) != 0) return false;
        // The group first: a user who may not give the file away may still
        // give it a group of theirs.
        bool ok = true;
        if (group >= 0 && static_cast<long long>(st.st_gid) != group)
            ok = ::fchown(fd_.get(), static_cast<uid_t>(-1), static_cast<gid_t>(group)) == 0;
        if (owner >= 0 && static_cast<long long>(st.st_uid) != owner)
            ok = ::fchown(fd_.get(), static_cast<uid_t>(owner), static_cast<gid_t>(-1)) == 0 && ok;
        return ok;
    }

    bool setPermissions(unsigned permissions) override {
        const auto wanted = static_cast<mode_t>(permissions & 0777);
        struct stat st;
        if (::fstat(fd_.get(), &st) != 0) return false;
        return (st.st_mode & 07777) == wanted || ::fchmod(fd_.get(), wanted) == 0;
    }

    bool attributes(FileAttributes& attributes) override {
        struct stat st;
        if (::fstat(fd_.get(), &st) != 0) return false;
        attributes = attributesOf(st);
        return true;
    }

    bool write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;  // ENOSPC, EFBIG beyond a file-size limit, EIO...
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    bool flush() override { return flushToDisk(fd_.get()); }

    bool close() override { return fd_.close(); }

private:
    Descriptor fd_;
};

}  // namespace

std::unique_ptr<ReadableFile> PlatformFileSystem::open(const std::string& path, Access access) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        // Opening a FIFO or a device may block or have effects of its own.
        if (!S_ISREG(st.st_mode)) return nullptr;
    } else if (errno == ENOENT && access == Access::CreateReadWrite) {
        // O_EXCL fails on any link, so a dangling link is left dangling.
        const int fd = openRetrying(path.c_str(), O_RDWR | O_CREAT | O_EXCL | kOpenFlags, 0666);
        if (fd >= 0) ::close(fd);
    }
    Descriptor fd(openRetrying(path.c_str(), (access == Access::Read ? O_RDONLY : O_RDWR) | kOpenFlags));
    // It may have been replaced by something else since the check above.
    if (fd.get() < 0 || !isRegular(fd.get(), st)) return nullptr;
    return std::make_unique<PosixReadableFile>(fd.release());
}

bool PlatformFileSystem::resolve(const std::string& path, std::string& resolved) {
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::canonical(path, ec);
    if (ec) return false;
    resolved = target.string();
    return true;
}

std::unique_ptr<LockedFile> PlatformFileSystem::lock(const std::string& path, std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + wait;
    // The lock is polled for: there is no waiting for it with a time limit.
    // Another editor lets it go for only the moment between two of its
    // edits, so the polls come often and at random moments, which gives
    // every waiting editor its turn.
    thread_local std::minstd_rand jitter{std::random_device{}()};
    std::chrono::microseconds pause{100};
    for (;;) {
        struct stat named;
        if (::stat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return nullptr;
        Descriptor fd(openRetrying(path.c_str(), O_RDWR | kOpenFlags));
        struct stat held;
        if (fd.get() < 0 || !isRegular(fd.get(), held)) return nullptr;
        for (;;) {
            if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) break;
            if (errno == EINTR) continue;
            // ENOLCK, EOPNOTSUPP...: a file system without locks. Editing it
            // unlocked is what every editor of it does.
            if (errno != EWOULDBLOCK) break;
            if (Clock::now() >= deadline) return nullptr;
            std::this_thread::sleep_for(pause / 2 + std::chrono::microseconds(jitter() % pause.count()));
            pause = std::min(pause * 2, std::chrono::microseconds{1000});
        }
        // While this editor waited, the one before may have put a new file
        // in the old one's place; the lock on the old one guards nothing.
        if (::stat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino) {
            return std::make_unique<PosixLockedFile>(fd.release(), attributesOf(held));
        }
        if (Clock::now() >= deadline) return nullptr;
    }
}

FileSystem::CreateResult PlatformFileSystem::create(const std::string& path, unsigned permissions,
                                                    std::unique_ptr<NewFile>& file) {
    ignoreFileSizeSignal();
    // Created with no more than the wanted permissions; the umask can only
    // take some away.
    const int fd = openRetrying(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | kOpenFlags,
                                static_cast<mode_t>(permissions & 0777));
    if (fd < 0) return errno == EEXIST ? CreateResult::NameTaken : CreateResult::Failed;
    file = std::make_unique<PosixNewFile>(fd);
    return CreateResult::Created;
}

bool PlatformFileSystem::rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PlatformFileSystem::syncFolder(const std::string& folder) {
    Descriptor fd(openRetrying(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.get() >= 0 && ::fsync(fd.get()) == 0;
}

bool PlatformFileSystem::remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool PlatformFileSystem::listFiles(const std::string& folder, std::vector<std::string>& names) {
    namespace fs = std::filesystem;
    names.clear();
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::file_type type = it->symlink_status(ec).type();
        if (ec) break;
        if (type == fs::file_type::regular || type == fs::file_type::symlink)
            names.push_back(it->path().filename().string());
    }
    return !ec;
}

}  // namespace skarn
