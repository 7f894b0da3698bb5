#include "analysis/report_text.h"

#include <algorithm>
#include <vector>

namespace skarn::report {

namespace {

std::string padded(std::string_view text, std::size_t width, Align align) {
    const std::size_t used = displayWidth(text);
    const std::string blanks(used < width ? width - used : 0, ' ');
    return align == Align::Right ? blanks + std::string(text) : std::string(text) + blanks;
}

}  // namespace

std::size_t displayWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
    }));
}

std::string textTable(const Table& table) {
    if (table.rows.empty()) return "";
    std::vector<std::size_t> shownColumns;
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        if (table.columns[c].views & kTextView) shownColumns.push_back(c);

    std::vector<std::vector<std::string>> lines;
    if (table.header) {
        std::vector<std::string>& captions = lines.emplace_back();
        for (const std::size_t c : shownColumns) captions.push_back(table.columns[c].caption);
    }
    for (const std::vector<Cell>& row : table.rows) {
        std::vector<std::string>& cells = lines.emplace_back();
        for (const std::size_t c : shownColumns) cells.push_back(shownText(row[c]));
    }
    std::vector<std::size_t> widths(shownColumns.size(), 0);
    for (const auto& cells : lines)
        for (std::size_t i = 0; i < cells.size(); ++i)
            widths[i] = std::max(widths[i], displayWidth(cells[i]));

    std::string out;
    for (const auto& cells : lines) {
        std::string line(static_cast<std::size_t>(std::max(table.indent, 0)), ' ');
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) line += "  ";
            line += padded(cells[i], widths[i], table.columns[shownColumns[i]].align);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line;
        out += '\n';
    }
    return out;
}

std::string textReport(const Report& report) {
    std::string out;
    for (const std::string& line : report.heading) out += line + "\n";
    const std::string* section = nullptr;
    for (const Table& table : report.tables) {
        if (!(table.views & kTextView)) continue;
        if (table.section.empty() || !section || *section != table.section) {
            if (!out.empty()) out += "\n";
            if (!table.section.empty()) out += table.section + "\n";
        }
        section = &table.section;
        if (!table.title.empty())
            out += std::string(static_cast<std::size_t>(std::max(table.indent - 2, 0)), ' ') +
                   table.title;
        if (table.missing) {
            out += "  " + *table.missing + "\n";
            continue;
        }
        if (!table.title.empty()) out += "\n";
        out += textTable(table);
        if (!table.notes.empty()) {
            out += "\n";
            for (const std::string& note : table.notes) out += note + "\n";
        }
    }
    return out;
}

}  // namespace skarn::report
