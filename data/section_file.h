#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "data/file_system.h"

namespace skarn {

// Reader and editor of one sectioned text file ("charfile.cfg",
// "equifile.cfg"). Reading works by words and tokens from one shared read
// position; edits copy the file line by line into a temporary file next to
// it ("charfile.cfg.temp-k3x9qa.btb") and put that in the data file's place
// in one step.
//
// Only regular files (or links to them) are read or edited: a FIFO, device,
// socket or folder in a data file's place reads as a file that cannot be
// opened, and nothing ever waits on one.
//
// Every operation that can fail returns false and shows nothing. Names are
// compared byte for byte, case-sensitively.
//
// The syntax, as the reading operations see it: CR LF and a lone LF are line
// ends; whitespace is blank, tab, LF, CR, VT and FF; a word is a run of other
// bytes, at most 29 of them (a longer run is read as several words). A word
// beginning with "[" that stands first on its line is a section header, one
// beginning with "#" starts a comment running to the line end, and a quoted
// text is a double quote, up to 29 bytes that may include blanks (the rest of
// a longer text is dropped up to its closing quote), and a double quote. Any
// byte other than whitespace, NUL and bytes above 127 included, is part of a
// word. A UTF-8 byte order mark at the start of the file is skipped.
//
// Every file operation goes through the FileSystem handed in at construction.
//
// Threads: one thread at a time per instance (the read position is shared
// state). Instances on different threads may read and edit the same file:
// their edits take turns through the edit lock.
class SectionFile {
public:
    enum class Mode {
        ReadWrite,  // open for reading, create when missing; edits allowed
        ReadOnly,   // never creates, writes or removes any file
    };

    // Opens the file at once. ReadWrite creates it empty when missing (never
    // truncating it, and never through a dangling link), and opens a file
    // that exists but cannot be written for reading only, so that it reads
    // normally and every edit of it fails. ReadOnly leaves a missing file
    // missing: it reads as empty.
    // The file name may be any path; the temporary files of the edits live in
    // the folder of the file it names, links followed.
    // REQUIRES: `fileSystem` outlives the SectionFile.
    SectionFile(std::string fileName, FileSystem& fileSystem, Mode mode = Mode::ReadWrite);
    // Closes the file. In ReadWrite mode, also removes the temporary files
    // that edits cut short left behind, when no other program is editing the
    // file at the moment.
    ~SectionFile();

    SectionFile(const SectionFile&) = delete;
    SectionFile& operator=(const SectionFile&) = delete;

    const std::string& fileName() const;
    // True when the data file could be opened for reading: it exists, is a
    // regular file or a link to one, and may be read.
    bool isOpen() const;

    // Reading. The read position is shared by all of these and persists
    // between calls; only rewind (and so openSection and the lookups) puts it
    // back at the start of the file, clearing any failure.
    //
    // Closes and reopens the file; the read position is then its start.
    void rewind();
    // Rewinds, then places the read position right after the header word
    // "[section]" of the first such section. False when there is none.
    bool openSection(std::string_view section);
    // Reads the next token, skipping comments. True only for a quoted text,
    // stored without its quotes; false at a section header (which ends the
    // section, text empty), at the end of the file (text empty), or at a bare
    // word (consumed, text holds the word).
    bool nextEntry(std::string& text);  // true only for a quoted text (stored without quotes)
    // Discards the rest of the current line with its line end, at most 1000
    // characters.
    void skipLine();
    // Within the current section, places the read position right after the
    // named entry's name. The search ends at a section header, the end of the
    // file, or an entry with an empty name; an empty name is never found.
    bool findEntry(std::string_view name);
    // Reads one integer at the read position after any whitespace: an
    // optional sign and up to 15 characters in all, "0x"/"0X" hexadecimal, a
    // leading "0" octal, decimal otherwise; reading stops before the first
    // character that cannot continue the number. False when no digit could be
    // read (value 0), or at the end of the file or after an earlier failure
    // (value untouched). A number beyond 32 bits is clamped: value becomes
    // INT32_MAX or INT32_MIN and the result is false. After a false result
    // the reader reads as at the end of the file until the next rewind.
    bool readInt(std::int32_t& value);
    // Reads n tokens and leaves the n-th in text; true only when it is a
    // quoted text. Tokens run on across line ends. False for n < 1.
    bool readTextField(int n, std::string& text);      // REQUIRES: n >= 1
    // Passes over n - 1 tokens, then readInt. False for n < 1.
    bool readIntField(int n, std::int32_t& value);     // REQUIRES: n >= 1
    // openSection, findEntry, then readTextField / readIntField. When the
    // section or the entry is missing the output is left untouched.
    bool lookupText(std::string_view section, std::string_view name, int n, std::string& text);
    bool lookupInt(std::string_view section, std::string_view name, int n, std::int32_t& value);

    // Editing. Each returns true only when the data file now holds the
    // change; on false the data file is byte for byte as it was.
    //
    // The file is taken line by line (lines of any length; a last line
    // without a line end counts as a line); the named section is the first
    // whose header line is exactly "[section]", and the named entry the first
    // line of that section that begins with a double quote, the name and a
    // double quote. Every line of the new file ends with CR LF.
    //
    // Other programs may edit the same file: an edit holds an exclusive lock
    // on it from reading it to replacing it, waiting up to the file system's
    // lockWait() for another editor to finish before it fails. Under the
    // lock it removes the temporary files of edits cut short, writes the
    // whole new file to a temporary file of its own (created new, with the
    // data file's permissions and, where the system lets it, owner and group
    // from before its first byte), flushes it to the disk, renames it over
    // the data file, and flushes the folder. A data file that is a
    // link stays one: the file it leads to is replaced. Edits fail in
    // ReadOnly mode, on a file that could not be opened for writing, when the
    // lock stays taken, when the new file cannot get the data file's
    // permissions, when writing fails (a full disk, a file-size limit), and
    // for a new line holding a CR or LF.
    //
    // Places newLine right after the named entry's line. False for an empty
    // entry name.
    bool insertAfter(std::string_view section, std::string_view entry, std::string_view newLine);
    // Places an empty line and newLine right after the first line that begins
    // with "[section]".
    bool insertFirst(std::string_view section, std::string_view newLine);
    // Drops the named entry's line. With an empty entry name nothing is
    // dropped, and the result is true when the section exists.
    bool removeEntry(std::string_view section, std::string_view entry);
    // Replaces the named entry's line by newLine. With an empty entry name,
    // newLine goes right after the first line that begins with "[section]".
    bool replaceEntry(std::string_view section, std::string_view entry, std::string_view newLine);

    // The lines that the edits take for an entry: those beginning with the
    // quoted name in the first section whose header line is exactly
    // "[section]", up to the next line beginning with "[". Unlike findEntry,
    // the count goes on past an entry with an empty name and past the first
    // match, so it tells whether an edit would meet a line that no lookup
    // reads. Of these, `numbered` counts the lines whose field 1 is an
    // integer as readInt takes it right after the name (whitespace and line
    // ends skipped, within 32 bits). Both are 0 for an empty entry name or a
    // file that cannot be read.
    struct EntryLines {
        int count = 0;
        int numbered = 0;
    };
    EntryLines editableEntryLines(std::string_view section, std::string_view entry);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace skarn
