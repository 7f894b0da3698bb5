#include <set>
#include <string>

#include <gtest/gtest.h>

#include "model/stats.h"

namespace skarn::model {
namespace {

// Each statistic is found again by its command-line key, and no two share a
// caption or a key.
TEST(StatsTest, EachStatIsFoundByItsCommandLineKey) {
    std::set<std::string> captions, jsonKeys, cliKeys;
    for (const Stat stat : kStats) {
        const StatInfo& info = statInfo(stat);
        EXPECT_EQ(statWithCliKey(info.cliKey), stat) << info.cliKey;
        captions.insert(info.caption);
        jsonKeys.insert(info.jsonKey);
        cliKeys.insert(info.cliKey);
    }
    EXPECT_EQ(captions.size(), 6u);
    EXPECT_EQ(jsonKeys.size(), 6u);
    EXPECT_EQ(cliKeys.size(), 6u);
    for (const char* key : {"", "STR", "Str.", "strength", "str ", "skil"})
        EXPECT_FALSE(statWithCliKey(key)) << '"' << key << '"';
}

}  // namespace
}  // namespace skarn::model
