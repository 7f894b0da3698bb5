#pragma once

// The window reads "charfile.cfg" and "equifile.cfg" from the working
// directory and keeps them open for the rest of the process. The tests here
// run in a fresh temporary directory, entered before any test and removed
// after the last.

#include <filesystem>
#include <string>

namespace skarn::testing {

// The directory the tests run in.
const std::filesystem::path& workingDirectory();

// The bytes of `name` in the working directory; "" when it does not exist.
std::string readFile(const std::string& name);

}  // namespace skarn::testing
