// Data files that other programs share: special files in a data file's place,
// symbolic links, permissions, a file-size limit, another editor holding the
// lock, and two processes editing the same file at once.

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "data/section_file.h"
#include "tests/data/test_files.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/process.h"

namespace skarn {
namespace {

namespace fs = std::filesystem;
using testing::FaultyFileSystem;
using testing::FileOp;
using testing::readBytes;
using testing::TempDir;
using testing::temporaryFiles;
using testing::writeBytes;

const std::string kChars = "[YourChars]\r\n\"Bob\"\t1\r\n[OppChars]\r\n\"Orc\"\t4\r\n";
const std::string kEdited = "[YourChars]\r\n\"Bob\"\t2\r\n[OppChars]\r\n\"Orc\"\t4\r\n";
constexpr std::string_view kNewBob = "\"Bob\"\t2";

#ifndef _WIN32
// Kills the test process (the test fails) should an operation hang.
struct Watchdog {
    explicit Watchdog(unsigned seconds) { alarm(seconds); }
    ~Watchdog() { alarm(0); }
};
#endif

// A fresh folder holding a "charfile.cfg" of kChars.
class CharFileTest : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(path, kChars); }

    TempDir dir;
    const fs::path path = dir.path() / "charfile.cfg";
    FaultyFileSystem files;
};

// ---- only regular files --------------------------------------------------------

enum class Special { Fifo, DeviceLink, Socket, Folder, DanglingLink };

struct SpecialCase {
    const char* what;
    Special kind;
};

// Makes `path` the special file; returns a descriptor to close at the end
// (the socket's), or -1.
int makeSpecial(Special kind, const fs::path& path) {
#ifdef _WIN32
    EXPECT_EQ(kind, Special::Folder);
    fs::create_directory(path);
    return -1;
#else
    switch (kind) {
    case Special::Fifo: EXPECT_EQ(mkfifo(path.c_str(), 0600), 0); break;
    case Special::DeviceLink: fs::create_symlink("/dev/zero", path); break;
    case Special::Socket: {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        EXPECT_LT(path.string().size(), sizeof address.sun_path);
        path.string().copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        return fd;
    }
    case Special::Folder: fs::create_directory(path); break;
    case Special::DanglingLink: fs::create_symlink("missing/charfile.cfg", path); break;
    }
    return -1;
#endif
}

// Nothing is read from or written to a FIFO, device, socket or folder, and
// nothing waits on one: the file reads as missing, every edit fails, and the
// special file stays what it was.
TEST(SpecialFiles, ReadAsUnreadableAndNeverEdited) {
    const std::vector<SpecialCase> cases = {
        {"a folder", Special::Folder},
#ifndef _WIN32
        // Windows puts no FIFOs, devices or sockets among the files of a
        // folder, and making a link there takes a right a test does not have.
        {"a FIFO", Special::Fifo},
        {"a link to /dev/zero", Special::DeviceLink},
        {"a socket", Special::Socket},
        {"a dangling link", Special::DanglingLink},
#endif
    };
    for (const SpecialCase& c : cases) {
        for (SectionFile::Mode mode : {SectionFile::Mode::ReadWrite, SectionFile::Mode::ReadOnly}) {
            const std::string trace = std::string(c.what) +
                                      (mode == SectionFile::Mode::ReadWrite ? ", ReadWrite" : ", ReadOnly");
            SCOPED_TRACE(trace);
            TempDir dir;
            const fs::path path = dir.path() / "charfile.cfg";
            [[maybe_unused]] const int keep = makeSpecial(c.kind, path);
            const fs::file_type type = fs::symlink_status(path).type();
            {
#ifndef _WIN32
                Watchdog watchdog(20);
#endif
                PlatformFileSystem files;
                SectionFile file(path.string(), files, mode);
                EXPECT_FALSE(file.isOpen());
                EXPECT_FALSE(file.openSection("YourChars"));
                std::int32_t value = 7;
                EXPECT_FALSE(file.lookupInt("YourChars", "Bob", 1, value));
                EXPECT_EQ(value, 7);
                EXPECT_EQ(file.editableEntryLines("YourChars", "Bob").count, 0);
                EXPECT_FALSE(file.insertFirst("YourChars", "\"Bob\"\t1"));
                EXPECT_FALSE(file.replaceEntry("YourChars", "Bob", "\"Bob\"\t1"));
                EXPECT_FALSE(file.insertAfter("YourChars", "Bob", "\"Ann\"\t1"));
                EXPECT_FALSE(file.removeEntry("YourChars", "Bob"));
            }
            EXPECT_EQ(fs::symlink_status(path).type(), type);
            std::vector<std::string> names;
            for (const auto& entry : fs::directory_iterator(dir.path()))
                names.push_back(entry.path().filename().string());
            EXPECT_EQ(names, std::vector<std::string>{"charfile.cfg"});
            if (c.kind == Special::Folder) {
                EXPECT_TRUE(fs::is_empty(path));
            }
#ifndef _WIN32
            if (keep >= 0) close(keep);
#endif
        }
    }
}

// ---- links and permissions -----------------------------------------------------

// An edit through a link replaces the file the link leads to, by way of a
// temporary file in that file's folder, and leaves every link as it was.
TEST(Links, EditTheFileTheyLeadTo) {
#ifdef _WIN32
    GTEST_SKIP() << "making a symbolic link on Windows takes a right a test does not have";
#endif
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links;  // link, what it says
        std::string target;
    };
    const Case cases[] = {
        {"a link beside its file", {{"charfile.cfg", "real.cfg"}}, "real.cfg"},
        {"a link into another folder", {{"charfile.cfg", "synced/chars.cfg"}}, "synced/chars.cfg"},
        {"a chain of links", {{"charfile.cfg", "one.cfg"}, {"one.cfg", "synced/chars.cfg"}},
         "synced/chars.cfg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        FaultyFileSystem files;
        fs::create_directory(dir.path() / "synced");
        const fs::path target = dir.path() / c.target;
        writeBytes(target, kChars);
        for (const auto& [link, text] : c.links) fs::create_symlink(text, dir.path() / link);
        const fs::path path = dir.path() / "charfile.cfg";

        SectionFile file(path.string(), files);
        std::size_t tempsBesideTarget = 0, tempsBesideLink = 0;
        files.setHook([&](FileOp op) {
            if (op == FileOp::Rename) {
                tempsBesideTarget = temporaryFiles(target.parent_path(), target.filename().string()).size();
                tempsBesideLink = temporaryFiles(dir.path()).size();
            }
            return false;
        });
        ASSERT_TRUE(file.replaceEntry("YourChars", "Bob", kNewBob));
        files.setHook(nullptr);

        EXPECT_EQ(tempsBesideTarget, 1u);
        EXPECT_EQ(tempsBesideLink, 0u);
        for (const auto& [link, text] : c.links) {
            EXPECT_TRUE(fs::is_symlink(dir.path() / link)) << link;
            EXPECT_EQ(fs::read_symlink(dir.path() / link), text) << link;
        }
        EXPECT_EQ(readBytes(target), kEdited);
        EXPECT_TRUE(temporaryFiles(target.parent_path(), target.filename().string()).empty());
        std::int32_t value = 0;
        EXPECT_TRUE(file.lookupInt("YourChars", "Bob", 1, value));
        EXPECT_EQ(value, 2);
    }
}

// The temporary file has the data file's permissions from before its first
// byte, whatever the umask, and the replaced file keeps them.
TEST(Permissions, AreTheDataFilesFromTheFirstByte) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no permission bits nor umask; a new file takes its folder's rights";
#else
    struct Case {
        fs::perms mode;
        mode_t umask;
    };
    using P = fs::perms;
    const Case cases[] = {
        {P::owner_read | P::owner_write, 0},
        {P::owner_read | P::owner_write, 022},
        {P::owner_read | P::owner_write | P::group_read, 077},
        {P::owner_read | P::owner_write | P::group_read | P::others_read, 077},
        {P::owner_read | P::owner_write | P::group_read | P::group_write, 002},
    };
    for (const Case& c : cases) {
        const std::string trace = "mode " + std::to_string(static_cast<int>(c.mode)) + " umask " +
                                  std::to_string(c.umask);
        SCOPED_TRACE(trace);
        TempDir dir;
        FaultyFileSystem files;
        const fs::path path = dir.path() / "charfile.cfg";
        writeBytes(path, kChars);
        fs::permissions(path, c.mode);
        const mode_t previous = umask(c.umask);
        SectionFile file(path.string(), files);
        std::optional<fs::perms> atFirstByte;
        files.setHook([&](FileOp op) {
            if (op == FileOp::Write) {
                for (const fs::path& temp : temporaryFiles(dir.path()))
                    atFirstByte = fs::status(temp).permissions() & P::all;
            }
            return false;
        });
        const bool replaced = file.replaceEntry("YourChars", "Bob", kNewBob);
        files.setHook(nullptr);
        umask(previous);

        EXPECT_TRUE(replaced);
        EXPECT_EQ(atFirstByte, c.mode);
        EXPECT_EQ(fs::status(path).permissions() & P::all, c.mode);
        EXPECT_EQ(readBytes(path), kEdited);
    }
#endif
}

// Permissions that cannot be given to the new file make the edit fail,
// rather than replace a private file by one anybody may read.
TEST_F(CharFileTest, PermissionsThatCannotBeSetFailTheEdit) {
#ifndef _WIN32
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
#endif
    SectionFile file(path.string(), files);
    files.setHook([](FileOp op) { return op == FileOp::SetPermissions; });
    EXPECT_FALSE(file.replaceEntry("YourChars", "Bob", kNewBob));
    files.setHook(nullptr);
    EXPECT_EQ(readBytes(path), kChars);
#ifndef _WIN32
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
#endif
    EXPECT_TRUE(temporaryFiles(dir.path()).empty());
}

// A successful edit flushes the new file before the rename and the folder
// after it.
TEST_F(CharFileTest, TheFolderIsFlushedAfterTheRename) {
    SectionFile file(path.string(), files);
    std::vector<FileOp> ops;
    files.setHook([&](FileOp op) {
        ops.push_back(op);
        return false;
    });
    ASSERT_TRUE(file.replaceEntry("YourChars", "Bob", kNewBob));
    files.setHook(nullptr);
    const std::vector<FileOp> expected = {
        FileOp::OpenReadWrite, FileOp::Read,          FileOp::Resolve,    FileOp::Lock,
        FileOp::ListFolder,    FileOp::ReadLocked,    FileOp::Create,     FileOp::SetOwner,
        FileOp::SetPermissions, FileOp::Attributes,   FileOp::Write,      FileOp::Flush,
        FileOp::Close,         FileOp::Rename,        FileOp::SyncFolder, FileOp::OpenReadWrite,
        FileOp::Read};
    EXPECT_EQ(ops, expected);
}

// The new file is given the data file's owner and group. Where the system
// refuses the owner (an editor who is not root may not give a file away),
// the edit goes ahead: the file becomes the editor's and keeps its group.
TEST_F(CharFileTest, TheNewFileGetsTheOwnerItMay) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no owner and group of this kind; a new file takes its folder's rights";
#else
    if (geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    constexpr uid_t kOwner = 4242;
    constexpr gid_t kGroup = 4343;
    struct Case {
        const char* what;
        bool ownerRefused;
        uid_t owner;  // afterwards
    };
    const Case cases[] = {{"the owner given", false, kOwner}, {"the owner refused", true, geteuid()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(path, kChars);
        ASSERT_EQ(chown(path.c_str(), kOwner, kGroup), 0);
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                  fs::perms::group_write);
        SectionFile file(path.string(), files);
        files.setHook([&c](FileOp op) { return c.ownerRefused && op == FileOp::SetOwner; });
        EXPECT_TRUE(file.replaceEntry("YourChars", "Bob", kNewBob));
        files.setHook(nullptr);

        const std::pair<long long, long long> asked{kOwner, kGroup};
        EXPECT_EQ(files.ownerAsked(), asked);
        struct stat st {};
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, c.owner);
        EXPECT_EQ(st.st_gid, kGroup);
        EXPECT_EQ(st.st_mode & 07777, 0660u);
        EXPECT_EQ(readBytes(path), kEdited);
    }
#endif
}

// ---- the edit lock -------------------------------------------------------------

// Holds the edit lock on a file the way another editor does, until released:
// on POSIX systems an flock on the file itself, on Windows a lock on the
// whole of its companion file "NAME.lock".
class OtherEditor {
public:
#ifdef _WIN32
    explicit OtherEditor(const fs::path& path)
        : h_(CreateFileW((path.wstring() + L".lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr)) {
        EXPECT_NE(h_, INVALID_HANDLE_VALUE);
        OVERLAPPED whole{};
        EXPECT_TRUE(LockFileEx(h_, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole));
    }
    ~OtherEditor() { release(); }
    void release() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
#else
    explicit OtherEditor(const fs::path& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        EXPECT_GE(fd_, 0);
        EXPECT_EQ(flock(fd_, LOCK_EX), 0);
    }
    ~OtherEditor() { release(); }
    void release() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
#endif
};

// An edit waits for another editor's lock. Should that editor put a new file
// in place meanwhile, the edit is made on the new file, not the old one.
TEST_F(CharFileTest, AnEditWaitsForAnotherAndEditsWhatItLeft) {
    SectionFile file(path.string(), files);
    files.setLockWait(std::chrono::seconds(20));

    OtherEditor other(path);
    const std::string theirs = "[YourChars]\r\n\"Bob\"\t1\r\n\"Ann\"\t3\r\n[OppChars]\r\n\"Orc\"\t4\r\n";
    std::thread finish([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        writeBytes(dir.path() / "theirs.tmp", theirs);
        fs::rename(dir.path() / "theirs.tmp", path);
        other.release();
    });
    const bool replaced = file.replaceEntry("YourChars", "Bob", kNewBob);
    finish.join();

    EXPECT_TRUE(replaced);
    EXPECT_EQ(readBytes(path), "[YourChars]\r\n\"Bob\"\t2\r\n\"Ann\"\t3\r\n[OppChars]\r\n\"Orc\"\t4\r\n");
}

// While another editor holds the lock, an edit gives up after its wait and
// touches nothing, not even the left-overs of edits cut short; with the lock
// free, those left-overs go and nothing else does.
TEST_F(CharFileTest, LeftOversGoOnlyUnderTheLock) {
    writeBytes(dir.path() / "elsewhere.txt", "keep me");
    const std::vector<std::string> leftovers = {"charfile.cfg.temp-abc123.btb",
                                                "charfile.cfg.temp-zz0000.btb"};
    writeBytes(dir.path() / leftovers[0], "half an edit");
#ifdef _WIN32
    writeBytes(dir.path() / leftovers[1], "half an edit");  // links need a right tests lack
#else
    fs::create_symlink("elsewhere.txt", dir.path() / leftovers[1]);
#endif
    std::vector<std::string> others = {"temp.btb", "equifile.cfg.temp-abc123.btb",
                                       "charfile.cfg.temp-abc1234.btb"};
#ifndef _WIN32
    // The same name as a left-over on Windows, whose names ignore case.
    others.push_back("charfile.cfg.temp-ABC123.btb");
#endif
    for (const std::string& name : others) writeBytes(dir.path() / name, "not ours");
    files.setLockWait(std::chrono::milliseconds(150));

    {
        OtherEditor other(path);
        SectionFile file(path.string(), files);
        EXPECT_FALSE(file.replaceEntry("YourChars", "Bob", kNewBob));
        EXPECT_EQ(readBytes(path), kChars);
    }  // the window closing while the lock is held leaves them too
    for (const std::string& name : leftovers) EXPECT_TRUE(fs::exists(fs::symlink_status(dir.path() / name))) << name;

    SectionFile file(path.string(), files);
    EXPECT_TRUE(file.replaceEntry("YourChars", "Bob", kNewBob));
    EXPECT_EQ(readBytes(path), kEdited);
    for (const std::string& name : leftovers) EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / name))) << name;
    for (const std::string& name : others) EXPECT_EQ(readBytes(dir.path() / name), "not ours") << name;
    EXPECT_EQ(readBytes(dir.path() / "elsewhere.txt"), "keep me");
}

// ---- other processes -----------------------------------------------------------

// Runs the edit helper with `args`.
std::unique_ptr<testing::ChildProcess> startHelper(const std::vector<std::string>& args) {
    std::vector<std::string> all = {SKARN_EDIT_HELPER};
    all.insert(all.end(), args.begin(), args.end());
    auto child = std::make_unique<testing::ChildProcess>(all);
    EXPECT_TRUE(child->started()) << "cannot start " << SKARN_EDIT_HELPER;
    return child;
}

// Beyond a file-size limit the write fails and the edit reports it; the
// program is not killed and the file stays as it was.
TEST(FileSizeLimit, FailsTheEditInsteadOfKillingTheProgram) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file-size limit for a process";
#else
    struct Case {
        const char* limit;
        const char* lineBytes;
        bool fits;
    };
    const Case cases[] = {{"4096", "8000", false}, {"65536", "8000", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("limit ") + c.limit);
        TempDir dir;
        const fs::path path = dir.path() / "charfile.cfg";
        writeBytes(path, kChars);
        const auto helper = startHelper({"limit", path.string(), c.limit, c.lineBytes});
        const auto status = helper->wait(std::chrono::steady_clock::now() + std::chrono::seconds(30));
        // Killed by SIGXFSZ, or hung and killed here.
        ASSERT_TRUE(status) << "the helper did not exit normally";
        EXPECT_EQ(status, 0);
        EXPECT_EQ(helper->out(), c.fits ? "true\n" : "false\n");
        if (c.fits) {
            EXPECT_EQ(readBytes(path).size(), kChars.size() - 1 + std::stoul(c.lineBytes));
        } else {
            EXPECT_EQ(readBytes(path), kChars);
        }
        EXPECT_TRUE(temporaryFiles(dir.path()).empty());
    }
#endif
}

std::vector<long> numbersIn(const std::string& text) {
    std::vector<long> numbers;
    std::istringstream in(text);
    for (long n; in >> n;) numbers.push_back(n);
    return numbers;
}

// Two processes insert 300 lines each into the same file at once. The file
// ends up holding the lines of exactly the edits that reported success, each
// once, every process's in the order it made them, and every other line as
// it was: the edits took turns.
TEST(TwoProcesses, EditingAtOnceLoseAndMixNothing) {
    constexpr int kEdits = 300;
    TempDir dir;
    const fs::path path = dir.path() / "charfile.cfg";
    const std::string head = "[YourChars]\r\n\"Bob\"\t1\r\n[Log]\r\n";
    const std::string tail = "[OppChars]\r\n\"Orc\"\t4\r\n\"Troll\"\t5\r\n# the last line\r\n";
    writeBytes(path, head + tail);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    const auto a = startHelper({"insert", path.string(), "A", std::to_string(kEdits)});
    const auto b = startHelper({"insert", path.string(), "B", std::to_string(kEdits)});
    ASSERT_EQ(a->wait(deadline), 0);
    ASSERT_EQ(b->wait(deadline), 0);

    const std::vector<long> doneA = numbersIn(a->out());
    const std::vector<long> doneB = numbersIn(b->out());
    // Each edit waits up to seconds for the lock while the other's take
    // milliseconds: all of them get their turn.
    EXPECT_EQ(doneA.size(), static_cast<std::size_t>(kEdits));
    EXPECT_EQ(doneB.size(), static_cast<std::size_t>(kEdits));

    // The log, newest first: an empty line and a line per successful edit.
    const std::string text = readBytes(path);
    ASSERT_TRUE(text.starts_with(head));
    ASSERT_TRUE(text.ends_with(tail));
    std::istringstream log(text.substr(head.size(), text.size() - head.size() - tail.size()));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    ASSERT_EQ(lines.size() % 2, 0u);
    std::vector<long> seenA, seenB;
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        ASSERT_EQ(lines[i], "\r");
        const std::string& line = lines[i + 1];
        long n = 0;
        char tag = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "\"%c %ld\"", &tag, &n), 2) << line;
        ASSERT_EQ(line, "\"" + std::string(1, tag) + " " + std::to_string(n) + "\"\t" + std::to_string(n) + "\r");
        std::vector<long>& seen = tag == 'A' ? seenA : seenB;
        seen.insert(seen.begin(), n);
    }
    EXPECT_EQ(seenA, doneA);
    EXPECT_EQ(seenB, doneB);
    EXPECT_TRUE(temporaryFiles(dir.path()).empty());
}

}  // namespace
}  // namespace skarn
