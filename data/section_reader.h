#pragma once

// The reading half of SectionFile: words, entries, fields and the lookups,
// from one read position over the data file. Internal to data/; the
// contracts are those of the reading operations in data/section_file.h. One
// thread at a time.

#include <cstdint>
#include <string>
#include <string_view>

#include "data/file_system.h"
#include "data/text_reader.h"

namespace skarn {

class SectionReader {
public:
    // `writable` asks for the file to be opened for reading and writing
    // (created empty when missing) where it can be; it is opened for reading
    // only where it cannot. REQUIRES: `fileSystem` outlives the reader.
    SectionReader(std::string fileName, FileSystem& fileSystem, bool writable);

    const std::string& fileName() const { return fileName_; }
    bool isOpen() const { return in_.isOpen(); }
    // Whether the last rewind opened the file for writing.
    bool writable() const { return writable_; }

    void rewind();
    void close() { in_.close(); }
    // Rewinds and takes the raw bytes of the whole file; the reader is
    // closed afterwards. False when the file cannot be read.
    bool readAll(std::string& bytes);

    bool openSection(std::string_view section);
    bool nextEntry(std::string& text);
    void skipLine();
    bool findEntry(std::string_view name);
    bool readInt(std::int32_t& value);
    bool readTextField(int n, std::string& text);
    bool readIntField(int n, std::int32_t& value);
    bool lookupText(std::string_view section, std::string_view name, int n, std::string& text);
    bool lookupInt(std::string_view section, std::string_view name, int n, std::int32_t& value);

private:
    bool readWord(std::string& word);
    // Whether nothing more can be read until the next rewind.
    bool exhausted() { return in_.peek() == EOF; }

    std::string fileName_;
    FileSystem& fileSystem_;
    bool wantWrite_;
    bool writable_ = false;
    TextReader in_;
};

}  // namespace skarn
