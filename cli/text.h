#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace skarn::cli {

// The width of `text` on a terminal, counting each UTF-8 character once.
std::size_t displayWidth(std::string_view text);

// `text` followed by blanks up to `width` columns.
std::string padRight(std::string_view text, std::size_t width);
std::string padLeft(std::string_view text, std::size_t width);

// A number as the Results dialog shows it: "%.15g", so 66.6 and 60.
std::string resultText(double value);
// A number with two decimals.
std::string fixed2(double value);

// Rows of cells laid out in columns two blanks apart; the columns listed in
// `rightAligned` are aligned to the right. Each line is indented by `indent`.
std::string formatTable(const std::vector<std::vector<std::string>>& rows,
                        const std::vector<std::size_t>& rightAligned, std::size_t indent = 0);

}  // namespace skarn::cli
