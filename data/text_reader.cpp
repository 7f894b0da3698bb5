#include "data/text_reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "data/syntax.h"

namespace skarn {

TextReader::TextReader() : buf_(new char[kCapacity]) {}

void TextReader::open(std::unique_ptr<ReadableFile> file) {
    close();
    file_ = std::move(file);
    if (!file_) return;
    constexpr std::string_view bom = syntax::kByteOrderMark;
    if (ensure(bom.size()) && std::string_view(buf_.get() + pos_, bom.size()) == bom) pos_ += bom.size();
}

void TextReader::close() {
    file_.reset();
    offset_ = 0;
    pos_ = end_ = 0;
    rawEnd_ = false;
    pendingCr_ = false;
    failed_ = false;
    last_ = EOF;
}

void TextReader::skipThrough(char delim, std::size_t limit) {
    while (limit > 0 && peek() != EOF) {
        const std::size_t span = std::min(limit, end_ - pos_);
        const char* start = buf_.get() + pos_;
        const void* hit = std::memchr(start, delim, span);
        const std::size_t taken = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - start) + 1 : span;
        pos_ += taken;
        limit -= taken;
        last_ = static_cast<unsigned char>(buf_[pos_ - 1]);
        if (hit) return;
    }
}

bool TextReader::readAll(std::string& out) {
    out.clear();
    bool ok = file_ != nullptr;
    char chunk[1 << 16];
    while (ok) {
        std::size_t got = 0;
        ok = file_->read(out.size(), chunk, sizeof chunk, got);
        out.append(chunk, got);
        if (got < sizeof chunk) break;
    }
    close();
    return ok;
}

// Makes at least n translated characters available unless the file ends
// first; false when fewer than n are left.
bool TextReader::ensure(std::size_t n) {
    while (end_ - pos_ < n) {
        if (!file_ || rawEnd_) return false;
        fill();
    }
    return true;
}

// Appends the next chunk of the file to the buffer, translating CR LF into
// LF. A CR that ends the chunk waits for the next one to see what follows.
void TextReader::fill() {
    if (pos_ > 0) {
        std::memmove(buf_.get(), buf_.get() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    const std::size_t rawStart = end_;
    if (pendingCr_) {
        buf_[end_++] = '\r';
        pendingCr_ = false;
    }
    std::size_t n = 0;
    const bool ok = file_->read(offset_, buf_.get() + end_, kCapacity - end_, n);
    offset_ += n;
    if (!ok || n < kCapacity - end_) rawEnd_ = true;  // end of file, or an error: stop either way
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

}  // namespace skarn
