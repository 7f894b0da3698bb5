#include "combat/random.h"

namespace skarn {

Random& globalRandom() {
    static Random generator;
    return generator;
}

}  // namespace skarn
