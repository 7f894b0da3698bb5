#include "data/section_file.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "data/file_faults.h"
#include "data/file_system.h"
#include "data/utf8_path.h"

namespace skarn {

namespace {

constexpr std::size_t kMaxWord = 29;      // bytes of a word, quotes included
constexpr std::size_t kMaxQuoted = 29;    // bytes kept of a quoted text
constexpr std::size_t kMaxDiscard = 1000;  // characters one discard covers
constexpr int kMaxNumberChars = 15;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// An edit writes the new file beside the data file it replaces, under the
// data file's name with this tag, six random letters or digits and this end:
// "charfile.cfg.temp-k3x9qa.btb". A name of its own for every edit, so that
// it never meets another program's temporary file.
constexpr std::string_view kTempTag = ".temp-";
constexpr std::string_view kTempEnd = ".btb";
constexpr std::size_t kTempRandom = 6;

bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The value of a digit of an integer literal up to base 16, or -1.
int digitValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

using filesys::injectedFault;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A buffered, forward-only character source over the data file. It hands out
// the file's bytes with every CR LF pair turned into one LF, as a text-mode
// stream does, and has a sticky failure state that makes it read as at the
// end of the file.
class Reader {
public:
    Reader() : buf_(new char[kCapacity]) {}

    // Opens path for reading when it is a regular file; returns false when it
    // cannot. When tryWrite is set the file is created empty when missing and
    // opened for reading and writing where it can be; writable tells whether
    // it was.
    bool open(const std::string& path, bool tryWrite, bool& writable) {
        close();
        file_.reset(filesys::openRegularFile(path, tryWrite, tryWrite, writable));
        if (!file_) return false;
        if (ensure(kByteOrderMark.size()) &&
            std::string_view(buf_.get() + pos_, kByteOrderMark.size()) == kByteOrderMark) {
            pos_ += kByteOrderMark.size();
        }
        return true;
    }

    void close() {
        file_.reset();
        pos_ = end_ = 0;
        rawEnd_ = false;
        pendingCr_ = false;
        failed_ = false;
        last_ = EOF;
    }

    bool isOpen() const { return file_ != nullptr; }
    bool failed() const { return failed_; }
    void fail() { failed_ = true; }
    // The character most recently handed out by get() or skip().
    int last() const { return last_; }

    int peek() {
        if (failed_ || (pos_ == end_ && !ensure(1))) return EOF;
        return static_cast<unsigned char>(buf_[pos_]);
    }

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
    void skipThrough(char delim, std::size_t limit) {
        while (limit > 0 && peek() != EOF) {
            const std::size_t span = std::min(limit, end_ - pos_);
            const char* start = buf_.get() + pos_;
            const void* hit = std::memchr(start, delim, span);
            const std::size_t taken =
                hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - start) + 1 : span;
            pos_ += taken;
            limit -= taken;
            last_ = static_cast<unsigned char>(buf_[pos_ - 1]);
            if (hit) return;
        }
    }

    // The raw bytes of the whole file, read from its start through the open
    // handle; false on a read error.
    bool readAll(std::string& out) {
        out.clear();
        if (!file_ || std::fseek(file_.get(), 0, SEEK_SET) != 0) return false;
        char chunk[1 << 16];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file_.get())) > 0) out.append(chunk, n);
        const bool ok = !std::ferror(file_.get());
        close();  // the buffer no longer matches the handle's position
        return ok;
    }

private:
    // The fuzz build makes the buffer tiny so that every chunk boundary case
    // is met on small inputs.
#ifdef SKARN_READER_BUFFER_BYTES
    static constexpr std::size_t kCapacity = SKARN_READER_BUFFER_BYTES;
#else
    static constexpr std::size_t kCapacity = 1 << 16;
#endif
    static_assert(kCapacity >= 8, "room for a held-back CR and the byte order mark");

    // Makes at least n translated characters available unless the file ends
    // first; false when fewer than n are left.
    bool ensure(std::size_t n) {
        while (end_ - pos_ < n) {
            if (!file_ || rawEnd_) return false;
            fill();
        }
        return true;
    }

    // Appends the next chunk of the file to the buffer, translating CR LF into
    // LF. A CR that ends the chunk waits for the next one to see what follows.
    void fill() {
        if (pos_ > 0) {
            std::memmove(buf_.get(), buf_.get() + pos_, end_ - pos_);
            end_ -= pos_;
            pos_ = 0;
        }
        std::size_t rawStart = end_;
        if (pendingCr_) {
            buf_[end_++] = '\r';
            pendingCr_ = false;
        }
        const std::size_t n = std::fread(buf_.get() + end_, 1, kCapacity - end_, file_.get());
        if (n < kCapacity - end_) rawEnd_ = true;  // end of file, or an error: stop either way
        const std::size_t rawStop = end_ + n;
        std::size_t out = rawStart;
        for (std::size_t i = rawStart; i < rawStop; ++i) {
            const char c = buf_[i];
            if (c == '\r') {
                if (i + 1 < rawStop) {
                    if (buf_[i + 1] == '\n') {
                        buf_[out++] = '\n';
                        ++i;
                        continue;
                    }
                } else if (!rawEnd_) {
                    pendingCr_ = true;
                    continue;
                }
            }
            buf_[out++] = c;
        }
        end_ = out;
    }

    FilePtr file_;
    std::unique_ptr<char[]> buf_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool rawEnd_ = false;     // no more bytes to read from the file
    bool pendingCr_ = false;  // a CR held back from the end of the last chunk
    bool failed_ = false;
    int last_ = EOF;
};

// The lines of a file's text: split at LF, one CR before it dropped; a last
// line without a line end is a line too.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

std::string enclosed(char open, std::string_view text, char close) {
    std::string result;
    result.reserve(text.size() + 2);
    result += open;
    result += text;
    result += close;
    return result;
}

enum class Edit { InsertAfter, InsertFirst, Remove, Replace };

// Builds the edited file from the old one; false when the target line is not
// there. With an empty entry name the target is the first line that begins
// with "[section]", which stays in place; otherwise it is the first line
// beginning with the quoted name inside the first section whose header line
// is exactly "[section]", up to the next line that begins with "[".
bool rewriteLines(std::string_view text, Edit edit, std::string_view section,
                  std::string_view entry, std::string_view newLine, std::string& out) {
    std::string_view bom;
    if (text.starts_with(kByteOrderMark)) {
        bom = text.substr(0, kByteOrderMark.size());
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::vector<std::string_view> lines = splitLines(text);
    const std::string header = enclosed('[', section, ']');
    const std::string prefix = enclosed('"', entry, '"');
    const bool headerTarget = entry.empty();

    std::size_t target = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (headerTarget) {
            if (lines[i].starts_with(header)) {
                target = i;
                break;
            }
        } else if (lines[i] == header) {
            for (std::size_t j = i + 1; j < lines.size() && !lines[j].starts_with('['); ++j) {
                if (lines[j].starts_with(prefix)) {
                    target = j;
                    break;
                }
            }
            break;
        }
    }
    if (target == lines.size()) return false;

    out.clear();
    out.reserve(text.size() + lines.size() + newLine.size() + 8);
    out.append(bom);
    auto put = [&out](std::string_view line) {
        out.append(line);
        out.append("\r\n");
    };
    for (std::size_t i = 0; i < target; ++i) put(lines[i]);
    if (headerTarget) put(lines[target]);
    switch (edit) {
    case Edit::InsertAfter:
        put(lines[target]);
        put(newLine);
        break;
    case Edit::InsertFirst:
        put("");
        put(newLine);
        break;
    case Edit::Remove:
        break;
    case Edit::Replace:
        put(newLine);
        break;
    }
    for (std::size_t i = target + 1; i < lines.size(); ++i) put(lines[i]);
    return true;
}

// Whether `text` begins, after whitespace, with an integer that readInt
// takes: the same sign, base prefixes, 15-character limit and 32-bit range.
bool startsWithInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(static_cast<unsigned char>(text[i]))) ++i;
    text.remove_prefix(i);
    int taken = 0;
    auto peek = [&] { return taken < static_cast<int>(text.size()) ? text[taken] : '\0'; };
    bool negative = false;
    if (peek() == '+' || peek() == '-') {
        negative = peek() == '-';
        ++taken;
    }
    int base = 10;
    bool anyDigit = false;
    if (taken < kMaxNumberChars && peek() == '0') {
        ++taken;
        anyDigit = true;
        base = 8;
        if (taken < kMaxNumberChars && (peek() == 'x' || peek() == 'X')) {
            ++taken;
            base = 16;
        }
    }
    std::int64_t magnitude = 0;
    while (taken < kMaxNumberChars) {
        const char c = peek();
        const int digit = digitValue(c);
        if (digit < 0 || digit >= base) break;
        ++taken;
        magnitude = magnitude * base + digit;
        anyDigit = true;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return anyDigit && value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

// A name for the temporary file of an edit of `target`, in the same folder.
std::filesystem::path temporaryName(const std::filesystem::path& target) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    constexpr std::string_view kLetters = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = pathUtf8(target.filename());
    name += kTempTag;
    for (std::size_t i = 0; i < kTempRandom; ++i) name += kLetters[random() % kLetters.size()];
    name += kTempEnd;
    return target.parent_path() / utf8Path(name);
}

// Whether `name` is that of a temporary file of an edit of `target`.
bool isTemporaryName(std::string_view name, std::string_view target) {
    if (!name.starts_with(target)) return false;
    name.remove_prefix(target.size());
    if (!name.starts_with(kTempTag) || !name.ends_with(kTempEnd)) return false;
    name.remove_prefix(kTempTag.size());
    name.remove_suffix(kTempEnd.size());
    return name.size() == kTempRandom &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
           });
}

// Removes the temporary files that edits of `target` cut short (by a crash or
// a power cut) left beside it. REQUIRES: the edit lock on `target` is held,
// so that none of them belongs to an edit in progress.
void removeLeftovers(const std::filesystem::path& target) {
    namespace fs = std::filesystem;
    const std::string name = pathUtf8(target.filename());
    std::error_code ec;
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    fs::directory_iterator it(folder, ec);
    std::vector<fs::path> found;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (!isTemporaryName(pathUtf8(it->path().filename()), name)) continue;
        // Only files and links are removed; a link goes, never what it names.
        const fs::file_type type = it->symlink_status(ec).type();
        if (!ec && (type == fs::file_type::regular || type == fs::file_type::symlink))
            found.push_back(it->path());
    }
    for (const fs::path& leftover : found) {
        if (!injectedFault(FileOp::Remove)) fs::remove(leftover, ec);
    }
}

// Writes `bytes` to a new temporary file beside `target`, flushes it to the
// disk and renames it over `target`, then flushes the folder so that the
// rename is on the disk too. The target is never opened for writing or
// removed, so whatever fails, it holds either its old content or the new one.
// Removes the temporary file when it gives up.
// REQUIRES: `lock` holds the edit lock on `target`.
bool writeAndReplace(const filesys::EditLock& lock, const std::filesystem::path& target,
                 std::string_view bytes) {
    std::filesystem::path temp;
    filesys::WriteResult written = filesys::WriteResult::NameTaken;
    for (int attempt = 0; attempt < 16 && written == filesys::WriteResult::NameTaken; ++attempt) {
        temp = temporaryName(target);
        written = filesys::writeNewFile(pathUtf8(temp), lock.attributes(), bytes);
    }
    if (written == filesys::WriteResult::Written && !injectedFault(FileOp::Rename) &&
        filesys::replaceFile(pathUtf8(temp), pathUtf8(target))) {
        // The new content is in place whatever this says: a failed folder
        // flush cannot be undone, and reporting the edit as failed would be
        // untrue as long as the system runs.
        filesys::syncFolder(pathUtf8(target.parent_path()));
        return true;
    }
    const bool created = written == filesys::WriteResult::Written ||
                         written == filesys::WriteResult::Failed;
    if (created && !injectedFault(FileOp::Remove)) {
        std::error_code ec;
        std::filesystem::remove(temp, ec);
    }
    return false;
}

}  // namespace

struct SectionFile::Impl {
    Impl(std::string name, Mode m) : fileName(std::move(name)), mode(m) {}

    void rewind() { reader.open(fileName, mode == Mode::ReadWrite, writable); }

    // Reads the next word, at most kMaxWord bytes of it; false when there is
    // none before the end of the file.
    bool readWord(std::string& word) {
        word.clear();
        int c;
        while ((c = reader.peek()) != EOF && isSpace(c)) reader.get();
        if (c == EOF) return false;
        while (word.size() < kMaxWord && (c = reader.peek()) != EOF && !isSpace(c)) {
            word.push_back(static_cast<char>(c));
            reader.get();
        }
        return true;
    }

    // Whether nothing more can be read until the next rewind.
    bool exhausted() { return reader.peek() == EOF; }

    bool edit(Edit kind, std::string_view section, std::string_view entry, std::string_view newLine);
    bool rewriteLocked(Edit kind, std::string_view section, std::string_view entry,
                       std::string_view newLine);

    std::string fileName;
    Mode mode;
    Reader reader;
    bool writable = false;
};

SectionFile::SectionFile(std::string fileName, Mode mode)
    : impl_(std::make_unique<Impl>(std::move(fileName), mode)) {
    impl_->rewind();
}

SectionFile::~SectionFile() {
    impl_->reader.close();
    if (impl_->mode == Mode::ReadWrite) {
        try {
            // The left-overs of edits cut short go, but only when no other
            // program is editing the file this moment.
            std::error_code ec;
            const std::filesystem::path target = std::filesystem::canonical(utf8Path(impl_->fileName), ec);
            filesys::EditLock lock;
            if (!ec && lock.acquire(pathUtf8(target), std::chrono::milliseconds{0}))
                removeLeftovers(target);
        } catch (...) {
            // A throwing test hook, or a failed allocation, must not escape a destructor.
        }
    }
}

const std::string& SectionFile::fileName() const { return impl_->fileName; }

bool SectionFile::isOpen() const { return impl_->reader.isOpen(); }

void SectionFile::rewind() { impl_->rewind(); }

bool SectionFile::openSection(std::string_view section) {
    rewind();
    std::string word;
    while (impl_->readWord(word)) {
        if (word[0] != '[') {
            skipLine();
            continue;
        }
        // The name is the word without its first and last character; the last
        // one is "]" by convention and is not examined.
        const std::string_view name =
            std::string_view(word).substr(1, word.size() >= 2 ? word.size() - 2 : 0);
        if (name == section) return true;
    }
    return false;
}

bool SectionFile::nextEntry(std::string& text) {
    Reader& in = impl_->reader;
    for (;;) {
        if (!impl_->readWord(text)) {
            text.clear();
            return false;
        }
        if (text[0] == '[') {
            text.clear();
            return false;
        }
        if (text[0] == '#') {
            text.clear();
            skipLine();
            continue;
        }
        if (text[0] != '"') return false;
        break;
    }
    text.erase(0, 1);
    if (!text.empty() && text.back() == '"') {
        text.pop_back();
    } else if (text.size() < kMaxQuoted) {
        // The word stopped at a blank or at the word limit: the quoted text
        // goes on, blanks and line ends included, up to its closing quote.
        int c;
        while (text.size() < kMaxQuoted && (c = in.get()) != EOF && c != '"') {
            text.push_back(static_cast<char>(c));
        }
    }
    if (text.size() == kMaxQuoted) {
        // Drop the rest of an over-long text with its closing quote. Reading
        // resumes from one character back, so a closing quote already taken
        // ends the discard at once.
        if (in.last() != '"') in.skipThrough('"', kMaxDiscard - 1);
    }
    return true;
}

void SectionFile::skipLine() { impl_->reader.skipThrough('\n', kMaxDiscard); }

bool SectionFile::findEntry(std::string_view name) {
    std::string text;
    nextEntry(text);
    while (!text.empty()) {
        if (text == name) return true;
        skipLine();
        nextEntry(text);
    }
    return false;
}

bool SectionFile::readInt(std::int32_t& value) {
    Reader& in = impl_->reader;
    int c;
    while ((c = in.peek()) != EOF && isSpace(c)) in.get();
    if (c == EOF) {
        in.fail();
        return false;
    }

    int taken = 0;
    auto accept = [&] {
        in.get();
        ++taken;
    };
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        accept();
    }
    int base = 10;
    bool anyDigit = false;
    if (taken < kMaxNumberChars && in.peek() == '0') {
        accept();
        anyDigit = true;
        base = 8;
        if (taken < kMaxNumberChars && (in.peek() == 'x' || in.peek() == 'X')) {
            accept();
            base = 16;
        }
    }
    // At most 15 characters: the magnitude stays far below 2^63.
    std::int64_t magnitude = 0;
    while (taken < kMaxNumberChars) {
        c = in.peek();
        const int digit = digitValue(c);
        if (digit < 0 || digit >= base) break;
        accept();
        magnitude = magnitude * base + digit;
        anyDigit = true;
    }
    if (!anyDigit) {
        value = 0;
        in.fail();
        return false;
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<std::int32_t>::max()) {
        value = std::numeric_limits<std::int32_t>::max();
        in.fail();
        return false;
    }
    if (signedValue < std::numeric_limits<std::int32_t>::min()) {
        value = std::numeric_limits<std::int32_t>::min();
        in.fail();
        return false;
    }
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

bool SectionFile::readTextField(int n, std::string& text) {
    if (n < 1) return false;
    bool result = false;
    for (int i = 0; i < n; ++i) {
        // Past the end every further call gives false and the empty text.
        if (i > 0 && impl_->exhausted()) {
            text.clear();
            return false;
        }
        result = nextEntry(text);
    }
    return result;
}

bool SectionFile::readIntField(int n, std::int32_t& value) {
    if (n < 1) return false;
    std::string scratch;
    for (int i = 1; i < n && !impl_->exhausted(); ++i) nextEntry(scratch);
    return readInt(value);
}

bool SectionFile::lookupText(std::string_view section, std::string_view name, int n,
                             std::string& text) {
    return openSection(section) && findEntry(name) && readTextField(n, text);
}

bool SectionFile::lookupInt(std::string_view section, std::string_view name, int n,
                            std::int32_t& value) {
    return openSection(section) && findEntry(name) && readIntField(n, value);
}

bool SectionFile::Impl::edit(Edit kind, std::string_view section, std::string_view entry,
                             std::string_view newLine) {
    if (mode == Mode::ReadOnly) return false;
    if (newLine.find_first_of("\r\n") != std::string_view::npos) return false;
    if (kind == Edit::InsertAfter && entry.empty()) return false;

    rewind();
    const bool canWrite = reader.isOpen() && writable;
    // Closed during the edit, so that the rename can replace the file also
    // on systems that refuse to replace an open one.
    reader.close();
    const bool ok = canWrite && rewriteLocked(kind, section, entry, newLine);
    rewind();
    return ok;
}

bool SectionFile::Impl::rewriteLocked(Edit kind, std::string_view section, std::string_view entry,
                                      std::string_view newLine) {
    filesys::ignoreFileSizeSignal();
    // A link stays a link: the file it leads to is the one replaced, by a
    // temporary file in that file's folder.
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::canonical(utf8Path(fileName), ec);
    if (ec) return false;
    filesys::EditLock lock;
    if (!lock.acquire(pathUtf8(target), filesys::editLockWait())) return false;
    removeLeftovers(target);
    std::string old;
    std::string updated;
    return lock.readAll(old) && rewriteLines(old, kind, section, entry, newLine, updated) &&
           writeAndReplace(lock, target, updated);
}

bool SectionFile::insertAfter(std::string_view section, std::string_view entry,
                              std::string_view newLine) {
    return impl_->edit(Edit::InsertAfter, section, entry, newLine);
}

bool SectionFile::insertFirst(std::string_view section, std::string_view newLine) {
    return impl_->edit(Edit::InsertFirst, section, {}, newLine);
}

bool SectionFile::removeEntry(std::string_view section, std::string_view entry) {
    return impl_->edit(Edit::Remove, section, entry, {});
}

bool SectionFile::replaceEntry(std::string_view section, std::string_view entry,
                               std::string_view newLine) {
    return impl_->edit(Edit::Replace, section, entry, newLine);
}

SectionFile::EntryLines SectionFile::editableEntryLines(std::string_view section,
                                                       std::string_view entry) {
    EntryLines result;
    if (entry.empty()) return result;
    impl_->rewind();
    std::string bytes;
    const bool readOk = impl_->reader.isOpen() && impl_->reader.readAll(bytes);
    impl_->rewind();
    if (!readOk) return result;

    std::string_view text = bytes;
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    const std::vector<std::string_view> lines = splitLines(text);
    const std::string header = enclosed('[', section, ']');
    const std::string prefix = enclosed('"', entry, '"');
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != header) continue;
        for (std::size_t j = i + 1; j < lines.size() && !lines[j].starts_with('['); ++j) {
            if (!lines[j].starts_with(prefix)) continue;
            ++result.count;
            // Field 1 may stand on a later line: the reader's tokens run on
            // across line ends.
            const auto afterName =
                static_cast<std::size_t>(lines[j].data() - text.data()) + prefix.size();
            if (startsWithInteger(text.substr(afterName))) ++result.numbered;
        }
        break;
    }
    return result;
}

SectionFile& charFile() {
    static SectionFile file("charfile.cfg");
    return file;
}

SectionFile& equiFile() {
    static SectionFile file("equifile.cfg");
    return file;
}

}  // namespace skarn
