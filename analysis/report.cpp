#include "analysis/report.h"

#include <utility>

#include "analysis/report_words.h"

namespace skarn::report {

Cell Cell::ofText(std::string text) {
    Cell cell;
    cell.kind = CellKind::Text;
    cell.text = std::move(text);
    return cell;
}

Cell Cell::ofWhole(std::int64_t value) {
    Cell cell;
    cell.kind = CellKind::Whole;
    cell.whole = value;
    return cell;
}

Cell Cell::ofReal(double value, int decimals, bool sign) {
    Cell cell;
    cell.kind = CellKind::Real;
    cell.real = value;
    cell.decimals = decimals;
    cell.sign = sign;
    return cell;
}

Cell Cell::shown(std::string text) && {
    shownAs = std::move(text);
    return std::move(*this);
}

std::string shownText(const Cell& cell) {
    if (cell.shownAs) return *cell.shownAs;
    switch (cell.kind) {
    case CellKind::Empty: return "";
    case CellKind::Text: return cell.text;
    case CellKind::Whole: return std::to_string(cell.whole);
    case CellKind::Real:
        if (cell.decimals == kResultDigits) return resultText(cell.real);
        return cell.sign ? signedFixed(cell.real, cell.decimals) : fixedText(cell.real, cell.decimals);
    }
    return "";
}

std::optional<std::size_t> Table::column(std::string_view wanted) const {
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (columns[c].key == wanted) return c;
    return std::nullopt;
}

const Table* Report::table(std::string_view wanted) const {
    for (const Table& t : tables)
        if (t.key == wanted) return &t;
    return nullptr;
}

}  // namespace skarn::report
