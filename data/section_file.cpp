// SectionFile: the reading of section_reader.*, the line edits of
// line_edit.* and the atomic replace of atomic_replace.*, on the file system
// handed in.

#include "data/section_file.h"

#include <chrono>
#include <string>
#include <string_view>
#include <utility>

#include "data/atomic_replace.h"
#include "data/line_edit.h"
#include "data/platform_file_system.h"
#include "data/section_reader.h"

namespace skarn {

struct SectionFile::Impl {
    Impl(std::string name, FileSystem& fs, Mode m)
        : fileSystem(fs), mode(m), reader(std::move(name), fs, m == Mode::ReadWrite) {}

    bool edit(lines::Edit kind, std::string_view section, std::string_view entry, std::string_view newLine);
    bool rewriteLocked(lines::Edit kind, std::string_view section, std::string_view entry,
                       std::string_view newLine);

    FileSystem& fileSystem;
    Mode mode;
    SectionReader reader;
};

SectionFile::SectionFile(std::string fileName, FileSystem& fileSystem, Mode mode)
    : impl_(std::make_unique<Impl>(std::move(fileName), fileSystem, mode)) {
    impl_->reader.rewind();
}

SectionFile::~SectionFile() {
    impl_->reader.close();
    if (impl_->mode == Mode::ReadWrite) {
        try {
            // The left-overs of edits cut short go, but only when no other
            // program is editing the file this moment.
            FileSystem& fs = impl_->fileSystem;
            std::string target;
            if (fs.resolve(impl_->reader.fileName(), target)) {
                const std::unique_ptr<LockedFile> lock = fs.lock(target, std::chrono::milliseconds{0});
                if (lock) replace::removeLeftovers(fs, target);
            }
        } catch (...) {
            // A file system that throws (a test's), or a failed allocation,
            // must not escape a destructor.
        }
    }
}

const std::string& SectionFile::fileName() const { return impl_->reader.fileName(); }

bool SectionFile::isOpen() const { return impl_->reader.isOpen(); }

void SectionFile::rewind() { impl_->reader.rewind(); }

bool SectionFile::openSection(std::string_view section) { return impl_->reader.openSection(section); }

bool SectionFile::nextEntry(std::string& text) { return impl_->reader.nextEntry(text); }

void SectionFile::skipLine() { impl_->reader.skipLine(); }

bool SectionFile::findEntry(std::string_view name) { return impl_->reader.findEntry(name); }

bool SectionFile::readInt(std::int32_t& value) { return impl_->reader.readInt(value); }

bool SectionFile::readTextField(int n, std::string& text) { return impl_->reader.readTextField(n, text); }

bool SectionFile::readIntField(int n, std::int32_t& value) { return impl_->reader.readIntField(n, value); }

bool SectionFile::lookupText(std::string_view section, std::string_view name, int n, std::string& text) {
    return impl_->reader.lookupText(section, name, n, text);
}

bool SectionFile::lookupInt(std::string_view section, std::string_view name, int n, std::int32_t& value) {
    return impl_->reader.lookupInt(section, name, n, value);
}

bool SectionFile::Impl::edit(lines::Edit kind, std::string_view section, std::string_view entry,
                             std::string_view newLine) {
    if (mode == Mode::ReadOnly) return false;
    if (newLine.find_first_of("\r\n") != std::string_view::npos) return false;
    if (kind == lines::Edit::InsertAfter && entry.empty()) return false;

    reader.rewind();
    const bool canWrite = reader.isOpen() && reader.writable();
    // Closed during the edit, so that the rename can replace the file also
    // on systems that refuse to replace an open one.
    reader.close();
    const bool ok = canWrite && rewriteLocked(kind, section, entry, newLine);
    reader.rewind();
    return ok;
}

bool SectionFile::Impl::rewriteLocked(lines::Edit kind, std::string_view section, std::string_view entry,
                                      std::string_view newLine) {
    // A link stays a link: the file it leads to is the one replaced, by a
    // temporary file in that file's folder.
    std::string target;
    if (!fileSystem.resolve(reader.fileName(), target)) return false;
    const std::unique_ptr<LockedFile> lock = fileSystem.lock(target, fileSystem.lockWait());
    if (!lock) return false;
    replace::removeLeftovers(fileSystem, target);
    std::string old;
    std::string updated;
    return lock->readAll(old) && lines::rewrite(old, kind, section, entry, newLine, updated) &&
           replace::writeAndReplace(fileSystem, target, lock->attributes(), updated);
}

bool SectionFile::insertAfter(std::string_view section, std::string_view entry, std::string_view newLine) {
    return impl_->edit(lines::Edit::InsertAfter, section, entry, newLine);
}

bool SectionFile::insertFirst(std::string_view section, std::string_view newLine) {
    return impl_->edit(lines::Edit::InsertFirst, section, {}, newLine);
}

bool SectionFile::removeEntry(std::string_view section, std::string_view entry) {
    return impl_->edit(lines::Edit::Remove, section, entry, {});
}

bool SectionFile::replaceEntry(std::string_view section, std::string_view entry, std::string_view newLine) {
    return impl_->edit(lines::Edit::Replace, section, entry, newLine);
}

SectionFile::EntryLines SectionFile::editableEntryLines(std::string_view section, std::string_view entry) {
    if (entry.empty()) return {};
    std::string bytes;
    const bool readOk = impl_->reader.readAll(bytes);
    impl_->reader.rewind();
    if (!readOk) return {};
    const lines::EntryLineCount counted = lines::countEntryLines(bytes, section, entry);
    return {counted.count, counted.numbered};
}

}  // namespace skarn
