#include "data/line_edit.h"

#include <cstddef>
#include <vector>

#include "data/syntax.h"

namespace skarn::lines {

namespace {

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

// The text without a byte order mark at its start, and the mark.
std::string_view withoutByteOrderMark(std::string_view& text) {
    if (!text.starts_with(syntax::kByteOrderMark)) return {};
    const std::string_view bom = text.substr(0, syntax::kByteOrderMark.size());
    text.remove_prefix(bom.size());
    return bom;
}

// The lines of the first section whose header line is exactly "[section]":
// from the line after the header up to the next line that begins with "[".
struct Range {
    std::size_t begin = 0;
    std::size_t end = 0;  // begin == end: empty, or no such section
};
Range sectionBody(const std::vector<std::string_view>& lines, std::string_view section) {
    const std::string header = enclosed('[', section, ']');
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != header) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !lines[end].starts_with('[')) ++end;
        return {i + 1, end};
    }
    return {};
}

}  // namespace

bool rewrite(std::string_view text, Edit edit, std::string_view section, std::string_view entry,
             std::string_view newLine, std::string& out) {
    const std::string_view bom = withoutByteOrderMark(text);
    const std::vector<std::string_view> lines = splitLines(text);
    const bool headerTarget = entry.empty();

    std::size_t target = lines.size();
    if (headerTarget) {
        const std::string header = enclosed('[', section, ']');
        for (std::size_t i = 0; i < lines.size() && target == lines.size(); ++i) {
            if (lines[i].starts_with(header)) target = i;
        }
    } else {
        const std::string prefix = enclosed('"', entry, '"');
        const Range body = sectionBody(lines, section);
        for (std::size_t i = body.begin; i < body.end && target == lines.size(); ++i) {
            if (lines[i].starts_with(prefix)) target = i;
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

EntryLineCount countEntryLines(std::string_view text, std::string_view section, std::string_view entry) {
    EntryLineCount result;
    if (entry.empty()) return result;
    withoutByteOrderMark(text);
    const std::vector<std::string_view> lines = splitLines(text);
    const std::string prefix = enclosed('"', entry, '"');
    const Range body = sectionBody(lines, section);
    for (std::size_t i = body.begin; i < body.end; ++i) {
        if (!lines[i].starts_with(prefix)) continue;
        ++result.count;
        // Field 1 may stand on a later line: the reader's tokens run on
        // across line ends.
        const auto afterName = static_cast<std::size_t>(lines[i].data() - text.data()) + prefix.size();
        if (syntax::startsWithInteger(text.substr(afterName))) ++result.numbered;
    }
    return result;
}

}  // namespace skarn::lines
