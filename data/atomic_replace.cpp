#include "data/atomic_replace.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <random>
#include <vector>

namespace skarn::replace {

namespace {

constexpr std::size_t kTempRandom = 6;

bool isSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// The folder and the name of a path: "/srv/skarn" and "charfile.cfg" for
// "/srv/skarn/charfile.cfg"; "/" for a file in the root; "" for a bare name.
struct PathParts {
    std::string folder;
    std::string name;
};
PathParts splitPath(const std::string& path) {
    std::size_t cut = path.size();
    while (cut > 0 && !isSeparator(path[cut - 1])) --cut;
    if (cut == 0) return {"", path};
    std::string folder = path.substr(0, cut - 1);
    // The root keeps its separator ("/", "C:\\").
    if (folder.empty() || folder.back() == ':') folder = path.substr(0, cut);
    return {folder, path.substr(cut)};
}

std::string inFolder(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (!path.empty() && !isSeparator(path.back())) path += '/';
    path += name;
    return path;
}

// A name for the temporary file of an edit of the file named `target`.
std::string temporaryName(std::string_view target) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    constexpr std::string_view kLetters = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name(target);
    name += kTempTag;
    for (std::size_t i = 0; i < kTempRandom; ++i) name += kLetters[random() % kLetters.size()];
    name += kTempEnd;
    return name;
}

// Gives the new file the owner, group and permission bits of `like` where
// the system lets us, and tells whether the result grants nobody more than
// `like` does. The owner and group come first, since changing them may
// clear some of the permission bits.
bool takeAttributes(NewFile& file, const FileAttributes& like) {
    // Whatever of it the system refused shows in what the file has below: a
    // user may not give a file away, but the edit goes ahead.
    file.setOwner(like.owner, like.group);
    const unsigned wanted = like.permissions & 0777;
    if (!file.setPermissions(wanted)) return false;
    FileAttributes now;
    if (!file.attributes(now) || now.permissions != wanted) return false;
    // A group we could not give the file must not get more than everyone
    // else already has.
    const unsigned groupOnly = (wanted >> 3) & ~wanted & 07;
    return like.group < 0 || now.group == like.group || groupOnly == 0;
}

}  // namespace

bool isTemporaryName(std::string_view name, std::string_view target) {
    if (!name.starts_with(target)) return false;
    name.remove_prefix(target.size());
    if (!name.starts_with(kTempTag) || !name.ends_with(kTempEnd)) return false;
    name.remove_prefix(kTempTag.size());
    name.remove_suffix(kTempEnd.size());
    return name.size() == kTempRandom && std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
           });
}

void removeLeftovers(FileSystem& fileSystem, const std::string& target) {
    const PathParts parts = splitPath(target);
    std::vector<std::string> names;
    // A folder that cannot be read to its end gives what it gave.
    fileSystem.listFiles(parts.folder, names);
    for (const std::string& name : names) {
        if (isTemporaryName(name, parts.name)) fileSystem.remove(inFolder(parts.folder, name));
    }
}

bool writeAndReplace(FileSystem& fileSystem, const std::string& target, const FileAttributes& like,
                     std::string_view bytes) {
    const PathParts parts = splitPath(target);
    std::string temp;
    std::unique_ptr<NewFile> file;
    FileSystem::CreateResult created = FileSystem::CreateResult::NameTaken;
    for (int attempt = 0; attempt < 16 && created == FileSystem::CreateResult::NameTaken; ++attempt) {
        temp = inFolder(parts.folder, temporaryName(parts.name));
        created = fileSystem.create(temp, like.permissions, file);
    }
    if (created != FileSystem::CreateResult::Created) return false;

    bool written = takeAttributes(*file, like) && file->write(bytes) && file->flush();
    written = file->close() && written;
    file.reset();
    if (written && fileSystem.rename(temp, target)) {
        // The new content is in place whatever this says: a failed folder
        // flush cannot be undone, and reporting the edit as failed would be
        // untrue as long as the system runs.
        fileSystem.syncFolder(parts.folder);
        return true;
    }
    fileSystem.remove(temp);
    return false;
}

}  // namespace skarn::replace
