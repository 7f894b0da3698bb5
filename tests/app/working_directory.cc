#include "tests/app/working_directory.h"

#include <chrono>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace skarn::testing {
namespace {

std::filesystem::path& directory() {
    static std::filesystem::path path;
    return path;
}

class WorkingDirectory : public ::testing::Environment {
public:
    void SetUp() override {
        namespace fs = std::filesystem;
        original_ = fs::current_path();
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        directory() = fs::temp_directory_path() / ("skarn_app_tests_" + std::to_string(stamp));
        fs::create_directories(directory());
        fs::current_path(directory());
    }
    void TearDown() override {
        std::filesystem::current_path(original_);
        std::error_code ignored;
        std::filesystem::remove_all(directory(), ignored);
    }

private:
    std::filesystem::path original_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WorkingDirectory);

}  // namespace

const std::filesystem::path& workingDirectory() { return directory(); }

std::string readFile(const std::string& name) {
    std::ifstream in(directory() / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace skarn::testing
