#include "cli/data_files.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "data/utf8_path.h"
#include "model/lookup.h"

namespace skarn::cli {

namespace {

namespace fs = std::filesystem;

// What a player who ran skarn-cli outside a data folder can do about it.
#ifdef _WIN32
constexpr std::string_view kWhereTheFilesAre =
    " in the current folder; give --data DIR, the folder that holds charfile.cfg and equifile.cfg";
#else
constexpr std::string_view kWhereTheFilesAre =
    " in the current folder; give --data DIR, the folder that holds charfile.cfg and equifile.cfg"
    " (~/.local/share/skarn for the installed window)";
#endif

// Checks, from the file system's description alone, that `path` is a
// regular file (or a link to one); sets `error` otherwise, with `whenMissing`
// after the message for a file that is not there.
bool checkFile(const fs::path& path, std::string_view whenMissing, std::string& error) {
    const std::string shown = pathUtf8(path);
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_regular_file(status)) return true;
    std::error_code linkEc;
    const bool link = fs::is_symlink(fs::symlink_status(path, linkEc));
    if (status.type() == fs::file_type::not_found && !link) {
        error = "cannot read " + shown + ": no such file" + std::string(whenMissing);
    } else if (status.type() == fs::file_type::none || status.type() == fs::file_type::unknown) {
        error = "cannot read " + shown + ": " + ec.message();
    } else {
        // A folder, a FIFO, a socket, a device, or a link to nothing.
        error = "cannot read " + shown + ": not a regular file";
    }
    return false;
}

}  // namespace

DataFiles::DataFiles(const std::string& charPath, const std::string& equiPath)
    : characters(charPath, fileSystem, SectionFile::Mode::ReadOnly),
      equipment(equiPath, fileSystem, SectionFile::Mode::ReadOnly) {}

std::unique_ptr<DataFiles> DataFiles::open(const std::optional<std::string>& dir,
                                           std::string& error) {
    fs::path folder;
    if (dir) {
        folder = utf8Path(*dir);
        std::error_code ec;
        const auto status = fs::status(folder, ec);
        if (!fs::exists(status)) {
            error = "data folder " + model::quoteName(*dir) + " does not exist";
            return nullptr;
        }
        if (!fs::is_directory(status)) {
            error = "data folder " + model::quoteName(*dir) + " is not a folder";
            return nullptr;
        }
    }
    const fs::path charPath = folder / "charfile.cfg";
    const fs::path equiPath = folder / "equifile.cfg";
    // With --data the message names the folder; without, it says where to look.
    const std::string_view whenMissing = dir ? std::string_view() : kWhereTheFilesAre;
    if (!checkFile(charPath, whenMissing, error) || !checkFile(equiPath, whenMissing, error))
        return nullptr;

    auto files = std::make_unique<DataFiles>(pathUtf8(charPath), pathUtf8(equiPath));
    for (const SectionFile* file : {&files->characters, &files->equipment}) {
        if (!file->isOpen()) {
            error = "cannot read " + file->fileName() + ": permission denied or not readable";
            return nullptr;
        }
    }
    return files;
}

}  // namespace skarn::cli
