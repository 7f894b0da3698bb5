#include "cli/text.h"

#include <algorithm>
#include <cstdio>

namespace skarn::cli {

std::size_t displayWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
    }));
}

std::string padRight(std::string_view text, std::size_t width) {
    std::string out(text);
    const std::size_t used = displayWidth(text);
    if (used < width) out.append(width - used, ' ');
    return out;
}

std::string padLeft(std::string_view text, std::size_t width) {
    const std::size_t used = displayWidth(text);
    std::string out = used < width ? std::string(width - used, ' ') : std::string();
    out += text;
    return out;
}

std::string resultText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

std::string fixed2(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

std::string formatTable(const std::vector<std::vector<std::string>>& rows,
                        const std::vector<std::size_t>& rightAligned, std::size_t indent) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size()) widths.resize(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(row[c]));
    }
    std::string out;
    for (const auto& row : rows) {
        std::string line(indent, ' ');
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) line += "  ";
            const bool right =
                std::find(rightAligned.begin(), rightAligned.end(), c) != rightAligned.end();
            line += right ? padLeft(row[c], widths[c]) : padRight(row[c], widths[c]);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line;
        out += '\n';
    }
    return out;
}

}  // namespace skarn::cli
