#pragma once

#include <cstdint>

#include "model/stats.h"
#include "ui/data_exchange.h"

namespace skarn {

// Exchanges the number field `id` with `value`, checked against the range
// the window accepts for `stat`.
inline void exchangeStat(DataExchange& dx, int id, std::int32_t& value, model::Stat stat) {
    const model::StatInfo& info = model::statInfo(stat);
    dx.number(id, value, info.low, info.high);
}

}  // namespace skarn
