#pragma once

// File names travel through the program as UTF-8 strings: that is what the
// data files hold and what every caller hands around. A
// std::filesystem::path made from a std::string takes its bytes as they are
// on POSIX systems, but on Windows reads them in the ANSI code page, which
// turns any name outside ASCII into another name. These two convert
// explicitly, the same way on every system.

#include <filesystem>
#include <string>
#include <string_view>

namespace skarn {

// The path named by the UTF-8 text `name` (on POSIX systems: its bytes).
inline std::filesystem::path utf8Path(std::string_view name) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
#else
    return std::filesystem::path(std::string(name));
#endif
}

// The UTF-8 text of `path` (on POSIX systems: its bytes).
inline std::string pathUtf8(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.string();
#endif
}

}  // namespace skarn
