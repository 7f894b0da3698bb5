#include "data/section_reader.h"

#include <limits>
#include <utility>

#include "data/syntax.h"

namespace skarn {

namespace {

constexpr std::size_t kMaxWord = 29;       // bytes of a word, quotes included
constexpr std::size_t kMaxQuoted = 29;     // bytes kept of a quoted text
constexpr std::size_t kMaxDiscard = 1000;  // characters one discard covers

}  // namespace

SectionReader::SectionReader(std::string fileName, FileSystem& fileSystem, bool writable)
    : fileName_(std::move(fileName)), fileSystem_(fileSystem), wantWrite_(writable) {}

void SectionReader::rewind() {
    in_.close();
    writable_ = false;
    std::unique_ptr<ReadableFile> file;
    if (wantWrite_) {
        file = fileSystem_.open(fileName_, FileSystem::Access::CreateReadWrite);
        writable_ = file != nullptr;
    }
    if (!file) file = fileSystem_.open(fileName_, FileSystem::Access::Read);
    in_.open(std::move(file));
}

bool SectionReader::readAll(std::string& bytes) {
    rewind();
    return in_.readAll(bytes);
}

// Reads the next word, at most kMaxWord bytes of it; false when there is
// none before the end of the file.
bool SectionReader::readWord(std::string& word) {
    word.clear();
    int c;
    while ((c = in_.peek()) != EOF && syntax::isSpace(c)) in_.get();
    if (c == EOF) return false;
    while (word.size() < kMaxWord && (c = in_.peek()) != EOF && !syntax::isSpace(c)) {
        word.push_back(static_cast<char>(c));
        in_.get();
    }
    return true;
}

bool SectionReader::openSection(std::string_view section) {
    rewind();
    std::string word;
    while (readWord(word)) {
        if (word[0] != '[') {
            skipLine();
            continue;
        }
        // The name is the word without its first and last character; the last
        // one is "]" by convention and is not examined.
        const std::string_view name = std::string_view(word).substr(1, word.size() >= 2 ? word.size() - 2 : 0);
        if (name == section) return true;
    }
    return false;
}

bool SectionReader::nextEntry(std::string& text) {
    for (;;) {
        if (!readWord(text)) {
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
        while (text.size() < kMaxQuoted && (c = in_.get()) != EOF && c != '"') {
            text.push_back(static_cast<char>(c));
        }
    }
    if (text.size() == kMaxQuoted) {
        // Drop the rest of an over-long text with its closing quote. Reading
        // resumes from one character back, so a closing quote already taken
        // ends the discard at once.
        if (in_.last() != '"') in_.skipThrough('"', kMaxDiscard - 1);
    }
    return true;
}

void SectionReader::skipLine() { in_.skipThrough('\n', kMaxDiscard); }

bool SectionReader::findEntry(std::string_view name) {
    std::string text;
    nextEntry(text);
    while (!text.empty()) {
        if (text == name) return true;
        skipLine();
        nextEntry(text);
    }
    return false;
}

bool SectionReader::readInt(std::int32_t& value) {
    int c;
    while ((c = in_.peek()) != EOF && syntax::isSpace(c)) in_.get();
    if (c == EOF) {
        in_.fail();
        return false;
    }
    const syntax::IntegerLiteral literal = syntax::takeInteger(in_);
    if (!literal.hasDigit) {
        value = 0;
        in_.fail();
        return false;
    }
    if (!syntax::fitsInt32(literal.value)) {
        value = literal.value > 0 ? std::numeric_limits<std::int32_t>::max()
                                  : std::numeric_limits<std::int32_t>::min();
        in_.fail();
        return false;
    }
    value = static_cast<std::int32_t>(literal.value);
    return true;
}

bool SectionReader::readTextField(int n, std::string& text) {
    if (n < 1) return false;
    bool result = false;
    for (int i = 0; i < n; ++i) {
        // Past the end every further call gives false and the empty text.
        if (i > 0 && exhausted()) {
            text.clear();
            return false;
        }
        result = nextEntry(text);
    }
    return result;
}

bool SectionReader::readIntField(int n, std::int32_t& value) {
    if (n < 1) return false;
    std::string scratch;
    for (int i = 1; i < n && !exhausted(); ++i) nextEntry(scratch);
    return readInt(value);
}

bool SectionReader::lookupText(std::string_view section, std::string_view name, int n, std::string& text) {
    return openSection(section) && findEntry(name) && readTextField(n, text);
}

bool SectionReader::lookupInt(std::string_view section, std::string_view name, int n, std::int32_t& value) {
    return openSection(section) && findEntry(name) && readIntField(n, value);
}

}  // namespace skarn
