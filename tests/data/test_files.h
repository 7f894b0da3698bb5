#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace skarn::testing {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir() {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        do {
            path_ = base / ("skarn-data-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(path_));
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

// The lines, each followed by `eol`.
inline std::string joinLines(const std::vector<std::string>& lines, std::string_view eol) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += eol;
    }
    return text;
}

// Test suites that run every case on a file with CR LF line ends and on one
// with lone LF line ends.
class LineEndTest : public ::testing::TestWithParam<std::string_view> {
protected:
    std::string_view eol() const { return GetParam(); }
    std::string text(const std::vector<std::string>& lines) const { return joinLines(lines, eol()); }
};

inline std::string lineEndName(const ::testing::TestParamInfo<std::string_view>& info) {
    return info.param == "\r\n" ? "CrLf" : "Lf";
}

}  // namespace skarn::testing
