#pragma once

#include <memory>
#include <optional>
#include <string>

#include "data/platform_file_system.h"
#include "data/section_file.h"

namespace skarn::cli {

// "charfile.cfg" and "equifile.cfg", opened read-only.
class DataFiles {
public:
    // Opens both files in `dir` (the working directory when absent). Returns
    // nothing, with `error` set, when the folder or a file is missing, is not
    // a regular file or cannot be read. Never creates, changes or removes a
    // file, and never opens anything but a regular file, so that a FIFO or a
    // device in a file's place cannot make it wait.
    static std::unique_ptr<DataFiles> open(const std::optional<std::string>& dir,
                                           std::string& error);

    DataFiles(const std::string& charPath, const std::string& equiPath);

    PlatformFileSystem fileSystem;  // the files', so it comes first
    SectionFile characters, equipment;
};

}  // namespace skarn::cli
