#include <string>

#include <gtest/gtest.h>

#include "model/modes.h"

namespace skarn::model {
namespace {

// Every mode is found again by its name; the names and captions are those
// of the command line and of the Options dialog.
TEST(ModesTest, EachModeIsFoundByItsName) {
    struct Case {
        FightMode mode;
        std::string name, caption;
    };
    const Case cases[] = {
        {DamagePer60Seconds, "damage60", "Find damage per 60 seconds"},
        {ToDeathOfOpponent, "opponent", "Fight to the death of the opponent"},
        {ToTheDeath, "death", "Fight to the death"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(modeName(c.mode), c.name);
        EXPECT_EQ(modeCaption(c.mode), c.caption);
        EXPECT_EQ(modeNamed(c.name), c.mode) << c.name;
    }
}

TEST(ModesTest, OtherTextsAndValuesAreNoMode) {
    for (const char* text : {"", "Death", "damage", "death ", "Fight to the death", "2"})
        EXPECT_FALSE(modeNamed(text)) << '"' << text << '"';
    EXPECT_STREQ(modeName(static_cast<FightMode>(3)), "?");
    EXPECT_STREQ(modeCaption(static_cast<FightMode>(-1)), "");
}

}  // namespace
}  // namespace skarn::model
