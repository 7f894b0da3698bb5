#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/exact.h"
#include "analysis/fighter.h"
#include "analysis/main_result.h"
#include "data/section_file.h"

// A fighter against every opponent of the character file: the mean of the
// main result over them, with the worst case and its opponent.
namespace skarn::analysis {

// An opponent that cannot fight `you`, and why.
struct LeftOut {
    std::string name;
    std::string why;
};

// Every character of [OppChars] with its stored gear, in file order, a
// name listed twice once. One that cannot be armed, or that
// model::findRunFault refuses against `you` in `mode`, is named in
// `leftOut`. False with `error` when the section is missing or no opponent
// can fight. It reads both files: call it on the thread that owns them.
bool armOpponents(SectionFile& characters, SectionFile& equipment, const Fighter& you,
                  FightMode mode, std::vector<Fighter>& opponents, std::vector<LeftOut>& leftOut,
                  std::string& error);

struct AgainstAll {
    FightMode mode = DamagePer60Seconds;
    KeyFigure figure = KeyFigure::Margin;  // mainKey(mode).front()
    std::vector<ExactOutcome> outcomes;    // one an opponent, in their order
    ExactOdds mean;                        // meanOdds of the outcomes
    double meanFigure = 0.0;               // the first key of `mean`
    std::size_t worst = 0;                 // the opponent `you` does worst against (compareMain)
};

// `you` against each of `opponents`, exactly, on up to
// threadCount(settings.threads) threads. All or nothing: when the engine
// declines one, nothing, with `declined` naming the opponent; when
// cancelled, nothing with `cancelled` set.
// REQUIRES: opponents not empty, each within the run limits against `you`.
std::optional<AgainstAll> exactAgainstAll(const Fighter& you, const std::vector<Fighter>& opponents,
                                          const ExactSettings& settings, ExactRefusal& declined,
                                          bool& cancelled);

}  // namespace skarn::analysis
