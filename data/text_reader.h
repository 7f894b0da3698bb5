#pragma once

// A buffered, forward-only character source over a data file. Internal to
// data/; one thread at a time.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "data/file_system.h"

namespace skarn {

// Hands out the file's bytes with every CR LF pair turned into one LF, as a
// text-mode stream does, skipping a UTF-8 byte order mark at the start. A
// sticky failure state makes it read as at the end of the file until it is
// opened again.
class TextReader {
public:
    TextReader();

    // Starts reading `file` from its start; closes what was open before.
    // A null file leaves the reader closed: it reads as an empty file.
    void open(std::unique_ptr<ReadableFile> file);
    void close();

    bool isOpen() const { return file_ != nullptr; }
    void fail() { failed_ = true; }
    // The character most recently handed out by get() or skipThrough().
    int last() const { return last_; }

    // The next character, or EOF.
    int peek() {
        if (failed_ || (pos_ == end_ && !ensure(1))) return EOF;
        return static_cast<unsigned char>(buf_[pos_]);
    }
    // Takes the next character, or EOF.
    int get() {
        const int c = peek();
        if (c != EOF) {
            ++pos_;
            last_ = c;
        }
        return c;
    }

    // Discards characters up to and including the next `delim`, at most
    // `limit` of them.
    void skipThrough(char delim, std::size_t limit);

    // The raw bytes of the whole file from its start, line ends untranslated;
    // closes the reader. False on a read error or when it is closed.
    bool readAll(std::string& out);

private:
    // The fuzz build makes the buffer tiny so that every chunk boundary case
    // is met on small inputs.
#ifdef SKARN_READER_BUFFER_BYTES
    static constexpr std::size_t kCapacity = SKARN_READER_BUFFER_BYTES;
#else
    static constexpr std::size_t kCapacity = 1 << 16;
#endif
    static_assert(kCapacity >= 8, "room for a held-back CR and the byte order mark");

    bool ensure(std::size_t n);
    void fill();

    std::unique_ptr<ReadableFile> file_;
    std::unique_ptr<char[]> buf_;
    std::uint64_t offset_ = 0;  // of the next raw byte to read from the file
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool rawEnd_ = false;     // no more bytes to read from the file
    bool pendingCr_ = false;  // a CR held back from the end of the last chunk
    bool failed_ = false;
    int last_ = EOF;
};

}  // namespace skarn
