// A second program editing a data file, for the tests that need another
// process: the same SectionFile as the window, in a process of its own.
//
//   edit_helper insert FILE TAG COUNT   inserts "TAG n" first in [Log] for n = 1..COUNT
//                                       and prints each n whose edit reported success
//   edit_helper limit FILE LIMIT BYTES  under a file-size limit of LIMIT bytes,
//                                       replaces "Bob" in [YourChars] by a line of
//                                       BYTES characters and prints the edit's result
//                                       (POSIX systems only)
//
// Exits with 0 when it ran, 2 on a usage error.

#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "data/platform_file_system.h"
#include "data/section_file.h"

namespace {

int insert(const char* path, const std::string& tag, long count) {
    skarn::PlatformFileSystem files;
    skarn::SectionFile file(path, files);
    for (long n = 1; n <= count; ++n) {
        const std::string line = "\"" + tag + " " + std::to_string(n) + "\"\t" + std::to_string(n);
        if (file.insertFirst("Log", line)) std::printf("%ld\n", n);
    }
    return 0;
}

#ifndef _WIN32
int limit(const char* path, long limitBytes, long bytes) {
    const rlimit limit{static_cast<rlim_t>(limitBytes), static_cast<rlim_t>(limitBytes)};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    skarn::PlatformFileSystem files;
    skarn::SectionFile file(path, files);
    const bool written =
        file.replaceEntry("YourChars", "Bob", "\"Bob\"\t" + std::string(static_cast<std::size_t>(bytes), '7'));
    std::printf("%s\n", written ? "true" : "false");
    return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "insert" && argc == 5) return insert(argv[2], argv[3], std::atol(argv[4]));
#ifndef _WIN32
    if (command == "limit" && argc == 5) return limit(argv[2], std::atol(argv[3]), std::atol(argv[4]));
#endif
    std::fprintf(stderr, "usage: edit_helper insert FILE TAG COUNT | limit FILE LIMIT BYTES\n");
    return 2;
}
