// PlatformFileSystem on Windows, through the wide (UTF-16) API so that every
// UTF-8 file name means the same file as on Linux.
//
// The rules are those of the POSIX side: only regular files are opened, an
// edit holds an exclusive lock from before it reads the file until the new
// file has taken the old one's place, the new file is created exclusively
// beside the old one, flushed to the disk and then moved over it in one
// step. Windows refuses to replace a file that any handle holds open without
// sharing its deletion, so every handle on a data file shares reading,
// writing and deletion, and the lock is taken on a companion file beside the
// data file rather than on the data file itself. Windows has no permission
// bits, owner or group of the POSIX kind: a new file takes its folder's
// access rights, as the data file did when it was made there.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <windows.h>

#include "data/platform_file_system.h"
#include "data/utf8_path.h"

namespace skarn {

namespace {

// Closes a handle when it goes, however the function that opened it ends.
class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }
    void reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (valid()) ::CloseHandle(h_);
        h_ = h;
    }
    // Closes now and tells whether the system reported an error.
    bool close() { return ::CloseHandle(release()) != 0; }

private:
    HANDLE h_;
};

// Lets other programs read, write, rename and replace a data file while we
// hold it open, as on POSIX systems.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The UTF-16 name of the file the UTF-8 text `name` names; false when it is
// not valid UTF-8 or holds a NUL, which no file's name can. Names longer than
// the old MAX_PATH limit are made absolute and given the "\\?\" prefix that
// lifts it.
bool widePath(std::string_view name, std::wstring& wide) {
    wide.clear();
    if (name.empty() || name.size() > INT_MAX / 2 || name.find('\0') != std::string_view::npos)
        return false;
    const int size = static_cast<int>(name.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), size, nullptr, 0);
    if (n <= 0) return false;
    wide.resize(static_cast<std::size_t>(n));
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), size, wide.data(), n);
    if (wide.size() < MAX_PATH - 12 || wide.starts_with(L"\\\\?\\")) return true;
    const DWORD full = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (full == 0) return false;
    std::wstring absolute(full, L'\0');
    const DWORD written = ::GetFullPathNameW(wide.c_str(), full, absolute.data(), nullptr);
    if (written == 0 || written >= full) return false;
    absolute.resize(written);
    if (absolute.starts_with(L"\\\\"))  // \\server\share\...
        wide = L"\\\\?\\UNC\\" + absolute.substr(2);
    else
        wide = L"\\\\?\\" + absolute;
    return true;
}

// Whether `h` is an open regular file: not a folder, a device (NUL, CON,
// COM1) or a pipe.
bool isRegular(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info;
    return ::GetFileType(h) == FILE_TYPE_DISK && ::GetFileInformationByHandle(h, &info) != 0 &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Opens an existing file (or, with OPEN_ALWAYS and the like, creates it).
// Opening never waits: a folder fails to open without the backup flag, a
// busy pipe fails at once, and devices are refused by isRegular before
// anything is read.
HANDLE openFile(const std::wstring& path, DWORD access, DWORD disposition, DWORD share = kShareAll,
                DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    return ::CreateFileW(path.c_str(), access, share, nullptr, disposition, attributes, nullptr);
}

bool writeAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Reads up to `size` bytes at `offset` of a handle opened for synchronous
// reading, going on after a short read until the end of the file.
bool readAt(HANDLE h, std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
        const std::uint64_t at = offset + got;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - got, 1u << 30));
        DWORD n = 0;
        if (!::ReadFile(h, buffer + got, chunk, &n, &where)) return ::GetLastError() == ERROR_HANDLE_EOF;
        if (n == 0) break;
        got += n;
    }
    return true;
}

bool readAllFrom(HANDLE h, std::string& out) {
    out.clear();
    std::vector<char> chunk(1 << 16);
    for (;;) {
        std::size_t got = 0;
        if (!readAt(h, out.size(), chunk.data(), chunk.size(), got)) return false;
        out.append(chunk.data(), got);
        if (got < chunk.size()) return true;
    }
}

// Pauses a little, a random part of `pause`, which doubles up to a
// millisecond: the polls of several waiting editors fall at different
// moments, so each gets its turn.
void pauseBeforeRetry(std::chrono::microseconds& pause) {
    thread_local std::minstd_rand jitter{std::random_device{}()};
    std::this_thread::sleep_for(pause / 2 + std::chrono::microseconds(jitter() % pause.count()));
    pause = std::min(pause * 2, std::chrono::microseconds{1000});
}

// The parts of FILE_RENAME_INFO and FileRenameInfoEx that MinGW's headers
// declare only for newer targets than ours.
struct RenameInfo {
    DWORD flags;
    HANDLE rootDirectory;
    DWORD fileNameLength;
    WCHAR fileName[1];
};
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kRenameReplaceIfExists = 0x1;
constexpr DWORD kRenamePosixSemantics = 0x2;

// Replaces `to` by `from` with POSIX semantics: the name changes at once
// even where other programs hold the old file open (sharing its deletion),
// which they go on reading. Windows 10 1809 and later, on NTFS.
bool renameOverOpenFile(const std::wstring& from, const std::wstring& to) {
    Handle h(openFile(from, DELETE | SYNCHRONIZE, kShareAll));
    if (!h.valid()) return false;
    const std::size_t nameBytes = to.size() * sizeof(WCHAR);
    std::vector<std::byte> buffer(offsetof(RenameInfo, fileName) + nameBytes + sizeof(WCHAR));
    auto* info = reinterpret_cast<RenameInfo*>(buffer.data());
    info->flags = kRenameReplaceIfExists | kRenamePosixSemantics;
    info->rootDirectory = nullptr;
    info->fileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->fileName, to.c_str(), nameBytes + sizeof(WCHAR));
    if (!::SetFileInformationByHandle(h.get(), kFileRenameInfoEx, info, static_cast<DWORD>(buffer.size())))
        return false;
    ::FlushFileBuffers(h.get());
    return true;
}

class WindowsReadableFile final : public ReadableFile {
public:
    explicit WindowsReadableFile(HANDLE h) : h_(h) {}

    bool read(std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) override {
        return readAt(h_.get(), offset, buffer, size, got);
    }

private:
    Handle h_;
};

// The content is read at once, under the lock on the companion file, so that
// nothing of ours stands in the way of the replace.
class WindowsLockedFile final : public LockedFile {
public:
    WindowsLockedFile(HANDLE lock, std::string content) : lock_(lock), content_(std::move(content)) {}

    bool readAll(std::string& content) override {
        content = content_;
        return true;
    }
    // Windows has no permission bits: these stand for a file that may be
    // read and written, and ask for no owner or group.
    FileAttributes attributes() const override { return {0666, -1, -1}; }

private:
    Handle lock_;  // closing it lets the lock go
    std::string content_;
};

class WindowsNewFile final : public NewFile {
public:
    explicit WindowsNewFile(HANDLE h) : h_(h) {}

    // Neither an owner and group nor permission bits of the POSIX kind exist
    // here: the new file has its folder's access rights. The bits are kept
    // only to be reported back.
    bool setOwner(long long owner, long long group) override { return owner < 0 && group < 0; }
    bool setPermissions(unsigned permissions) override {
        permissions_ = permissions & 0777;
        return true;
    }
    bool attributes(FileAttributes& attributes) override {
        attributes = {permissions_, -1, -1};
        return true;
    }
    bool write(std::string_view bytes) override { return writeAll(h_.get(), bytes); }
    bool flush() override { return ::FlushFileBuffers(h_.get()) != 0; }
    bool close() override { return h_.close(); }

private:
    Handle h_;
    unsigned permissions_ = 0;
};

}  // namespace

std::unique_ptr<ReadableFile> PlatformFileSystem::open(const std::string& path, Access access) {
    std::wstring wide;
    if (!widePath(path, wide)) return nullptr;
    if (access == Access::CreateReadWrite) {
        // CREATE_NEW fails on any existing name, links included, so a
        // dangling link is left dangling.
        Handle made(openFile(wide, GENERIC_READ | GENERIC_WRITE, CREATE_NEW));
    }
    const DWORD rights = access == Access::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    Handle h(openFile(wide, rights, OPEN_EXISTING));
    if (!h.valid() || !isRegular(h.get())) return nullptr;
    return std::make_unique<WindowsReadableFile>(h.release());
}

bool PlatformFileSystem::resolve(const std::string& path, std::string& resolved) {
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::canonical(utf8Path(path), ec);
    if (ec) return false;
    resolved = pathUtf8(target);
    return true;
}

std::unique_ptr<LockedFile> PlatformFileSystem::lock(const std::string& path, std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    std::wstring wide;
    if (!widePath(path, wide)) return nullptr;
    // No lock file for a file that is not there.
    {
        Handle probe(openFile(wide, 0, OPEN_EXISTING));
        if (!probe.valid() || !isRegular(probe.get())) return nullptr;
    }
    const Clock::time_point deadline = Clock::now() + wait;
    std::chrono::microseconds pause{100};
    // The lock file stays once made: removing it would let an editor that
    // opened it a moment before lock a file nobody else looks at any more.
    // Every editor opens it without sharing its deletion, so nobody can.
    Handle lock;
    for (;;) {
        lock.reset(openFile(wide + L".lock", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS,
                            FILE_SHARE_READ | FILE_SHARE_WRITE,
                            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
        if (lock.valid()) break;
        const DWORD error = ::GetLastError();
        // Another program (a virus scanner, a backup) may hold it for a moment.
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || Clock::now() >= deadline)
            return nullptr;
        pauseBeforeRetry(pause);
    }
    if (!isRegular(lock.get())) return nullptr;
    pause = std::chrono::microseconds{100};
    for (;;) {
        OVERLAPPED whole{};
        if (::LockFileEx(lock.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                         MAXDWORD, &whole))
            break;
        if (::GetLastError() != ERROR_LOCK_VIOLATION || Clock::now() >= deadline) return nullptr;
        pauseBeforeRetry(pause);
    }
    // Under the lock, the file is whatever the last editor left: read it
    // whole and let it go. It must be writable, as on POSIX systems.
    std::string content;
    Handle data(openFile(wide, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING));
    if (!data.valid() || !isRegular(data.get()) || !readAllFrom(data.get(), content)) return nullptr;
    return std::make_unique<WindowsLockedFile>(lock.release(), std::move(content));
}

FileSystem::CreateResult PlatformFileSystem::create(const std::string& path, unsigned,
                                                    std::unique_ptr<NewFile>& file) {
    std::wstring wide;
    if (!widePath(path, wide)) return CreateResult::Failed;
    Handle h(openFile(wide, GENERIC_WRITE, CREATE_NEW, FILE_SHARE_READ));
    if (!h.valid()) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? CreateResult::NameTaken
                                                                             : CreateResult::Failed;
    }
    file = std::make_unique<WindowsNewFile>(h.release());
    return CreateResult::Created;
}

bool PlatformFileSystem::rename(const std::string& from, const std::string& to) {
    std::wstring wideFrom, wideTo;
    if (!widePath(from, wideFrom) || !widePath(to, wideTo)) return false;
    // The write-through move is on the disk when it returns. A program that
    // holds the old file open (a reader sharing its deletion) makes it fail
    // on file systems with the classic semantics; the POSIX rename then
    // still replaces it. A virus scanner looking at the new file makes both
    // fail for a moment: they are tried again, for a while.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    std::chrono::microseconds pause{100};
    for (;;) {
        if (::MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = ::GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return false;
        if (renameOverOpenFile(wideFrom, wideTo)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        pauseBeforeRetry(pause);
    }
}

bool PlatformFileSystem::syncFolder(const std::string&) {
    // Windows cannot flush a folder; the write-through move did what it can.
    return true;
}

bool PlatformFileSystem::remove(const std::string& path) {
    std::error_code ec;
    return std::filesystem::remove(utf8Path(path), ec);
}

bool PlatformFileSystem::listFiles(const std::string& folder, std::vector<std::string>& names) {
    namespace fs = std::filesystem;
    names.clear();
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : utf8Path(folder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::file_type type = it->symlink_status(ec).type();
        if (ec) break;
        if (type == fs::file_type::regular || type == fs::file_type::symlink)
            names.push_back(pathUtf8(it->path().filename()));
    }
    return !ec;
}

}  // namespace skarn
