#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/files.h"

namespace skarn::testing {

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

// The temporary files that edits of the data file `name` have in `dir`
// ("charfile.cfg.temp-k3x9qa.btb"), in no particular order.
inline std::vector<std::filesystem::path> temporaryFiles(const std::filesystem::path& dir,
                                                        std::string_view name = "charfile.cfg") {
    std::vector<std::filesystem::path> found;
    const std::string prefix = std::string(name) + ".temp-";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string file = entry.path().filename().string();
        if (file.starts_with(prefix) && file.ends_with(".btb")) found.push_back(entry.path());
    }
    return found;
}

inline std::string lineEndName(const ::testing::TestParamInfo<std::string_view>& info) {
    return info.param == "\r\n" ? "CrLf" : "Lf";
}

}  // namespace skarn::testing
