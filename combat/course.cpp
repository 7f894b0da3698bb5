#include "combat/course.h"

namespace skarn::exact {

StopSums stopSums(const Course& you, const Course& opp) {
    StopSums sums;
    // The time adds up a law of up to hundreds of thousands of ticks, so it
    // is compensated; the others are plain sums, in the same order.
    CompensatedSum seconds;
    forEachStop(you, opp, [&](const Stop& s) {
        seconds.add(s.probability * (static_cast<double>(s.tick) / 100.0));
        sums.yourSwings += s.probability * static_cast<double>(s.yourSwings);
        sums.oppSwings += s.probability * static_cast<double>(s.oppSwings);
        sums.won += s.yourPart;
    });
    sums.seconds = seconds.value();
    return sums;
}

}  // namespace skarn::exact
