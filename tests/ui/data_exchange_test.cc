#include "ui/data_exchange.h"

#include <climits>
#include <optional>
#include <string>

#include <QTest>

#include <gtest/gtest.h>

#include "tests/support/ui_testing.h"
#include "tests/ui/test_dialog.h"

namespace skarn {
namespace {

using testing::TestDialog;
namespace ids = testing;

TEST(ParseInteger, TakesBlanksSignAndDigitsWithin32Bits) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case valid[] = {
        {"0", 0},         {"450", 450},          {"  12", 12},          {"\t7", 7},
        {"+5", 5},        {"-5", -5},            {"007", 7},            {" -0", 0},
        {"2147483647", INT_MAX},                 {"-2147483648", INT_MIN},
    };
    for (const Case& c : valid) EXPECT_EQ(parseInteger(c.text), c.value) << '"' << c.text << '"';

    const char* invalid[] = {"",   " ",    "-",   "+",   "12 ", "1a",  "1.5", "--1",
                             "+-1", "0x10", "2147483648", "-2147483649", "99999999999",
                             "999999999999999999999999999999"};
    for (const char* text : invalid) EXPECT_EQ(parseInteger(text), std::nullopt) << '"' << text << '"';
    EXPECT_EQ(parseInteger(QString::fromUtf8("\xEF\xBC\x91")), std::nullopt) << "a full-width digit";
}

TEST(FormatNumber, WritesFifteenSignificantDigitsLikePercentG) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{66.6, "66.6"}, {60.0, "60"},       {0.0, "0"},
                          {2.0 / 3.0, "0.666666666666667"}, {-2.5, "-2.5"},
                          {1e20, "1e+20"}, {123456789012345678.0, "1.23456789012346e+17"}};
    for (const Case& c : cases) EXPECT_EQ(formatNumber(c.value), c.text) << c.value;

    EXPECT_EQ(parseNumber(" 66.6"), 66.6);
    EXPECT_EQ(parseNumber("+1e3"), 1000.0);
    for (const char* text : {"", "1,5", "inf", "nan", "1.5 ", "+-1", "1e999"})
        EXPECT_EQ(parseNumber(text), std::nullopt) << '"' << text << '"';
}

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { dialog.showModeless(); }

    Edit* edit(int id) { return dialog.edit(id); }
    ComboBox* list(int id) { return dialog.comboBox(id); }

    MessageBoxRecorder messages;
    TestDialog dialog;
};

TEST_F(DataExchangeTest, NumbersGoBothWaysAndOutOfRangeValuesAreWrittenUnchecked) {
    dialog.strength = 450;
    dialog.parry = -3;
    dialog.updateData(false);
    EXPECT_EQ(edit(ids::kStrength)->text(), "450");
    EXPECT_EQ(edit(ids::kParry)->text(), "-3");
    EXPECT_TRUE(messages.shown().empty()) << "writing never complains";

    edit(ids::kStrength)->setText(" 400");
    edit(ids::kParry)->setText("0");
    EXPECT_TRUE(dialog.updateData(true));
    EXPECT_EQ(dialog.strength, 400);
    EXPECT_EQ(dialog.parry, 0);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(DataExchangeTest, AFailingFieldShowsItsMessageTakesTheFocusAndStopsTheExchange) {
    struct Case {
        const char* strength;
        const char* parry;
        QString message;
        int focused;
        std::int32_t strengthAfter;  // 7 = kept
        std::int32_t parryAfter;     // 8 = kept
    };
    const Case cases[] = {
        {"", "5", "Please enter an integer.", ids::kStrength, 7, 8},
        {"12a", "5", "Please enter an integer.", ids::kStrength, 7, 8},
        {"99999999999", "5", "Please enter an integer.", ids::kStrength, 7, 8},
        // An out-of-range value is taken, then refused.
        {"401", "5", "Please enter an integer between 0 and 400.", ids::kStrength, 401, 8},
        {"-1", "5", "Please enter an integer between 0 and 400.", ids::kStrength, -1, 8},
        // The fields before the failing one are taken.
        {"20", "301", "Please enter an integer between 0 and 300.", ids::kParry, 20, 301},
        {"20", "", "Please enter an integer.", ids::kParry, 20, 8},
    };
    for (const Case& c : cases) {
        const std::string what = std::string("Str. \"") + c.strength + "\", Parry \"" + c.parry + '"';
        messages.clear();
        dialog.strength = 7;
        dialog.parry = 8;
        dialog.typeIndex = -1;
        dialog.status = "before";
        edit(ids::kStrength)->setText(c.strength);
        edit(ids::kParry)->setText(c.parry);
        list(ids::kTypeList)->setCurSel(2);
        edit(ids::kStatus)->setText("after");
        edit(ids::kName)->setFocus();

        EXPECT_FALSE(dialog.updateData(true)) << what;
        ASSERT_EQ(messages.shown().size(), 1u) << what;
        const Message& shown = messages.shown().front();
        EXPECT_EQ(shown.text, c.message) << what;
        EXPECT_EQ(shown.caption, "skarn_ui_tests") << what;
        EXPECT_EQ(shown.icon, MessageIcon::Exclamation) << what;
        EXPECT_EQ(shown.buttons, MessageButtons::Ok) << what;
        EXPECT_EQ(shown.owner, &dialog) << what;

        EXPECT_EQ(dialog.focusWidget(), edit(c.focused)) << what;
        Edit* failed = edit(c.focused);
        EXPECT_EQ(failed->selectedText(), failed->text()) << what << ": whole text selected";
        EXPECT_EQ(dialog.strength, c.strengthAfter) << what;
        EXPECT_EQ(dialog.parry, c.parryAfter) << what;
        EXPECT_EQ(dialog.typeIndex, -1) << what << ": exchange went on past the failure";
        EXPECT_EQ(dialog.status, "before") << what << ": exchange went on past the failure";
    }
}

TEST_F(DataExchangeTest, ListIndexGoesBothWays) {
    ComboBox* types = list(ids::kTypeList);
    for (std::int32_t index : {-1, 0, 3}) {
        dialog.typeIndex = index;
        dialog.updateData(false);
        EXPECT_EQ(types->curSel(), index);
        dialog.typeIndex = 99;
        dialog.updateData(true);
        EXPECT_EQ(dialog.typeIndex, index);
    }
}

TEST_F(DataExchangeTest, ListTextSelectsByTheRuleAndGivesBackTheEntryBytes) {
    ComboBox* names = list(ids::kSortedList);
    for (const char* entry : {"Bob", "bob", "Bobby", "\xC4ke"}) names->addString(entry);
    struct Case {
        std::string member;
        std::string selected;  // and taken back
    };
    const Case cases[] = {
        {"bob", "bob"}, {"Bob", "Bob"}, {"BOBB", "Bobby"}, {"\xC4k", "\xC4ke"}, {"", ""},
    };
    for (const Case& c : cases) {
        dialog.listText = c.member;
        dialog.updateData(false);
        dialog.listText = "junk";
        EXPECT_TRUE(dialog.updateData(true));
        EXPECT_EQ(dialog.listText, c.selected) << "member \"" << c.member << '"';
    }
    // No match: the selection stays as it was, and is what is taken.
    names->setCurSel(0);
    dialog.listText = "nobody";
    dialog.updateData(false);
    dialog.updateData(true);
    EXPECT_EQ(dialog.listText, "Bob");
}

TEST_F(DataExchangeTest, TextKeepsItsBytesBothWays) {
    dialog.status = "\xC4ke";  // Latin-1
    dialog.updateData(false);
    EXPECT_EQ(edit(ids::kStatus)->text(), QString::fromUtf8("\xC3\x84ke"));
    dialog.status.clear();
    dialog.updateData(true);
    EXPECT_EQ(dialog.status, "\xC4ke");
}

TEST_F(DataExchangeTest, LimitedTextStopsTypingAndRefusesLongerText) {
    Edit* name = edit(ids::kName);
    EXPECT_EQ(name->maxLength(), 20) << "the first exchange limits the field";
    name->clear();
    QTest::keyClicks(name, "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(name->text(), "abcdefghijklmnopqrst");

    name->setMaxLength(100);  // as if the limit had never been set
    name->setText("abcdefghijklmnopqrstu");
    EXPECT_FALSE(dialog.updateData(true));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown().front().text, "Please enter no more than 20 characters.");
    EXPECT_EQ(dialog.focusWidget(), name);
}

class CheckedDialog : public TestDialog {
protected:
    void doDataExchange(DataExchange& dx) override {
        dx.text(ids::kName, name, 20);
        if (dx.saveAndValidate() && name.find('"') != std::string::npos)
            dx.fail("A name cannot hold a double quote.");
        dx.number(ids::kStrength, strength, 0, 400);
    }
};

TEST(DataExchangeFail, ADialogsOwnCheckFailsLikeABuiltInOne) {
    MessageBoxRecorder messages;
    CheckedDialog dialog;
    dialog.showModeless();
    dialog.edit(ids::kName)->setText("Bob \"the\" Bold");
    dialog.edit(ids::kStrength)->setText("5");
    dialog.edit(ids::kStrength)->setFocus();
    EXPECT_FALSE(dialog.updateData(true));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown().front().text, "A name cannot hold a double quote.");
    EXPECT_EQ(messages.shown().front().icon, MessageIcon::Exclamation);
    EXPECT_EQ(dialog.focusWidget(), dialog.edit(ids::kName));
    EXPECT_EQ(dialog.strength, 0) << "the exchange stopped at the failing check";
}

}  // namespace
}  // namespace skarn
