#include "model/fighter.h"

#include "data/records.h"

namespace skarn::model {

HitPoints hitPointsOf(SectionFile& characters, std::string_view section, std::string_view name,
                      std::int32_t strength) {
    HitPoints hitPoints;
    hitPoints.stored =
        characters.lookupInt(section, name, CharacterRecord::hitPoints, hitPoints.value);
    if (!hitPoints.stored) hitPoints.value = strength;
    return hitPoints;
}

}  // namespace skarn::model
