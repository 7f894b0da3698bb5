#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace skarn {

// Reader and editor of one sectioned text file ("charfile.cfg",
// "equifile.cfg"). Reading works by words and tokens from one shared read
// position; edits copy the file line by line into a temporary file next to
// it ("temp.btb") and put that in the data file's place in one step.
//
// Every operation that can fail returns false and shows nothing. Names are
// compared byte for byte, case-sensitively.
class SectionFile {
public:
    enum class Mode {
        ReadWrite,  // open for reading, create when missing; edits allowed
        ReadOnly,   // never creates, writes or removes any file
    };

    explicit SectionFile(std::string fileName, Mode mode = Mode::ReadWrite);
    ~SectionFile();  // closes the file; removes a left-over temporary file (ReadWrite)

    SectionFile(const SectionFile&) = delete;
    SectionFile& operator=(const SectionFile&) = delete;

    const std::string& fileName() const;
    // True when the data file could be opened for reading.
    bool isOpen() const;

    // Reading.
    void rewind();
    bool openSection(std::string_view section);
    bool nextEntry(std::string& text);  // true only for a quoted text (stored without quotes)
    void skipLine();
    bool findEntry(std::string_view name);
    bool readInt(std::int32_t& value);
    bool readTextField(int n, std::string& text);      // REQUIRES: n >= 1
    bool readIntField(int n, std::int32_t& value);     // REQUIRES: n >= 1
    bool lookupText(std::string_view section, std::string_view name, int n, std::string& text);
    bool lookupInt(std::string_view section, std::string_view name, int n, std::int32_t& value);

    // Editing. Each returns true only when the data file now holds the
    // change; on false the data file is byte for byte as it was.
    bool insertAfter(std::string_view section, std::string_view entry, std::string_view newLine);
    bool insertFirst(std::string_view section, std::string_view newLine);
    bool removeEntry(std::string_view section, std::string_view entry);
    bool replaceEntry(std::string_view section, std::string_view entry, std::string_view newLine);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The two program-wide data files of the window, in the working directory.
// Constructed on first use.
SectionFile& charFile();
SectionFile& equiFile();

}  // namespace skarn
