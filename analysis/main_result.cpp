#include "analysis/main_result.h"

#include <cmath>

#include "combat/swing_law.h"

namespace skarn::analysis {
namespace {

constexpr KeyPart kToTheDeath[] = {{KeyFigure::WinPercent, true},
                                   {KeyFigure::DamageTaken, false},
                                   {KeyFigure::Time, false}};
constexpr KeyPart kToDeathOfOpponent[] = {{KeyFigure::Time, false},
                                          {KeyFigure::DamageTaken, false}};
constexpr KeyPart kPer60Seconds[] = {{KeyFigure::Margin, true}, {KeyFigure::DamageTaken, false}};

}  // namespace

std::span<const KeyPart> mainKey(FightMode mode) {
    switch (mode) {
    case ToTheDeath: return kToTheDeath;
    case ToDeathOfOpponent: return kToDeathOfOpponent;
    case DamagePer60Seconds: break;
    }
    return kPer60Seconds;
}

const char* keyFigureKey(KeyFigure figure) {
    switch (figure) {
    case KeyFigure::WinPercent: return "winPercent";
    case KeyFigure::DamageTaken: return "damageTaken";
    case KeyFigure::Time: return "time";
    case KeyFigure::Margin: break;
    }
    return "margin";
}

double keyValue(const ExactOdds& odds, KeyFigure figure) {
    switch (figure) {
    case KeyFigure::WinPercent: return odds.winPercent ? odds.winPercent->mean : 0.0;
    case KeyFigure::DamageTaken: return odds.damageTaken.mean;
    case KeyFigure::Time: return odds.time.mean;
    case KeyFigure::Margin: break;
    }
    return odds.damageGiven.mean - odds.damageTaken.mean;
}

double mainFigure(const ExactOdds& odds) { return keyValue(odds, mainKey(odds.mode).front().figure); }

bool tiedWith(const ExactOdds& entry, const ExactOdds& best) {
    for (const KeyPart& part : mainKey(best.mode)) {
        if (std::abs(keyValue(entry, part.figure) - keyValue(best, part.figure)) > kTieTolerance)
            return false;
    }
    return true;
}

ExactOdds meanOdds(std::span<const ExactOdds* const> odds) {
    ExactOdds mean;
    mean.mode = odds.front()->mode;
    exact::CompensatedSum win, taken, given, time, unaccounted;
    for (const ExactOdds* o : odds) {
        if (o->winPercent) win.add(o->winPercent->mean);
        taken.add(o->damageTaken.mean);
        given.add(o->damageGiven.mean);
        time.add(o->time.mean);
        unaccounted.add(o->unaccounted);
    }
    const auto n = static_cast<double>(odds.size());
    if (odds.front()->winPercent) mean.winPercent = ExactFigure{win.value() / n, 0.0};
    mean.damageTaken.mean = taken.value() / n;
    mean.damageGiven.mean = given.value() / n;
    mean.time.mean = time.value() / n;
    mean.unaccounted = unaccounted.value() / n;
    return mean;
}

int compareMain(const ExactOdds& a, const ExactOdds& b) {
    for (const KeyPart& part : mainKey(a.mode)) {
        const double x = keyValue(a, part.figure);
        const double y = keyValue(b, part.figure);
        if (x == y) continue;
        return (x > y) == part.higherIsBetter ? -1 : 1;
    }
    return 0;
}

}  // namespace skarn::analysis
