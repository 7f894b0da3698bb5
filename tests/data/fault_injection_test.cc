// An edit either fully happens or leaves the data file byte for byte as it
// was, whichever file operation fails or wherever the program stops.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "data/section_file.h"
#include "tests/data/test_files.h"
#include "tests/support/faulty_file_system.h"

namespace skarn {
namespace {

using testing::FaultyFileSystem;
using testing::FileOp;
using testing::opName;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

struct Crash : std::runtime_error {
    Crash() : std::runtime_error("crash") {}
};

enum class Fault { Fail, Crash };

// The old file deliberately has lone LF ends and no line end at the end, so
// the new file differs from it in more than the one edited line.
const std::string kOld =
    "[YourChars]\n\"Bob\"\t100\t90\n\"Ann\"\t50\t40\n[OppChars]\n\"Orc\"\t150\t40";
const std::string kNew =
    "[YourChars]\r\n\"Bob\"\t101\t91\r\n\"Ann\"\t50\t40\r\n[OppChars]\r\n\"Orc\"\t150\t40\r\n";

TEST(FaultInjection, EveryFailingOperationLeavesTheOldFileOrTheNewOne) {
    for (Fault fault : {Fault::Fail, Fault::Crash}) {
        const char* how = fault == Fault::Fail ? "fails" : "crashes";
        bool sawSuccess = false;
        for (int n = 1; !sawSuccess; ++n) {
            ASSERT_LT(n, 100) << "the edit never completed";
            TempDir dir;
            const std::string path = dir.file("charfile.cfg");
            writeBytes(path, kOld);
            FaultyFileSystem files;
            SectionFile file(path, files);

            int calls = 0;
            FileOp failedOp = FileOp::OpenReadWrite;
            bool fired = false;
            files.setHook([&](FileOp op) {
                if (++calls != n) return false;
                fired = true;
                failedOp = op;
                if (fault == Fault::Crash) throw Crash();
                return true;
            });
            bool result = false;
            bool crashed = false;
            try {
                result = file.replaceEntry("YourChars", "Bob", "\"Bob\"\t101\t91");
            } catch (const Crash&) {
                crashed = true;
            }
            files.setHook(nullptr);

            const std::string trace = std::string("operation ") + std::to_string(n) + " (" +
                                      (fired ? opName(failedOp) : "none") + ") " + how;
            const std::string now = readBytes(path);
            EXPECT_TRUE(now == kOld || now == kNew) << trace << ": the file holds\n" << now;
            if (!crashed) {
                EXPECT_EQ(now, result ? kNew : kOld) << trace << ": the result was " << result;
            }
            if (fault == Fault::Fail && !result && failedOp != FileOp::Remove) {
                EXPECT_TRUE(testing::temporaryFiles(dir.path()).empty()) << trace;
            }
            // Whatever happened, the file still reads.
            std::int32_t strength = 0;
            EXPECT_TRUE(file.lookupInt("YourChars", "Bob", 1, strength)) << trace;
            EXPECT_TRUE(strength == 100 || strength == 101) << trace;
            sawSuccess = !fired;
            if (!fired) {
                EXPECT_TRUE(result) << trace;
            }
        }
    }
}

// A full disk: the temporary file takes only part of the content.
TEST(FaultInjection, AShortWriteKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("charfile.cfg");
    writeBytes(path, kOld);
    FaultyFileSystem files;
    SectionFile file(path, files);
    bool wroteTemp = false;
    files.setHook([&](FileOp op) {
        if (op == FileOp::Flush || op == FileOp::Close) {
            for (const auto& temp : testing::temporaryFiles(dir.path()))
                wroteTemp = wroteTemp || std::filesystem::file_size(temp) > 0;
        }
        return op == FileOp::Write;
    });
    EXPECT_FALSE(file.replaceEntry("YourChars", "Bob", "\"Bob\"\t101\t91"));
    files.setHook(nullptr);
    EXPECT_TRUE(wroteTemp);
    EXPECT_EQ(readBytes(path), kOld);
    EXPECT_TRUE(testing::temporaryFiles(dir.path()).empty());
}

}  // namespace
}  // namespace skarn
