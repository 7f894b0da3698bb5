#pragma once

#include <optional>
#include <string_view>

#include "analysis/exact_rank.h"
#include "analysis/rank.h"
#include "analysis/report.h"
#include "analysis/report_words.h"

namespace skarn::report {

// The report of a ranking of weapons or shields for the You fighter named
// `you` against the Opponent named `opp`. `allTypes`: the weapons of every
// type were ranked, so each is shown with its type. Its context holds the
// names and the ranking's mode, seed and fights per entry; its heading
// names them and the order. Its one table, "ranking" (every view), holds
// the entries best first: the rank, the weapon or shield (quoted, with its
// type and a dropped shield in text; its name and weapon type in CSV), the
// ranked result with its 95% interval, its difference to the best with
// that difference's interval, and a bar in text; with `target`, the
// target's note.
// A ranking whose method is Exact is laid out alike with no seed and no
// fights: its heading says "exact", its entries have no interval (empty
// cells in CSV, no interval columns in text) and their difference to the
// best is a number alone.
Report rankReport(const analysis::Ranking& ranking, analysis::RankBy by, bool allTypes,
                  std::string_view you, std::string_view opp,
                  const std::optional<Target>& target = {});

// The report of an exact ranking, as rankReport lays out a ranking.
Report exactRankReport(const analysis::ExactRanking& ranking, analysis::RankBy by, bool allTypes,
                       std::string_view you, std::string_view opp);

}  // namespace skarn::report
