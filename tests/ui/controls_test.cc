#include "ui/controls.h"

#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/support/ui_testing.h"

namespace skarn {
namespace {

std::vector<std::string> entries(const ComboBox& list) {
    std::vector<std::string> result;
    for (int i = 0; i < list.count(); ++i) result.push_back(list.entry(i));
    return result;
}

TEST(ComboBox, SortedListOrdersIgnoringCaseTiesInByteOrder) {
    const std::vector<std::vector<std::string>> insertionOrders = {
        {"Zed", "bob", "adam", "Bob", "", "Bobby"},
        {"Bobby", "Bob", "bob", "Zed", "adam", ""},
        {"", "adam", "bob", "Bob", "Bobby", "Zed"},
    };
    const std::vector<std::string> sorted = {"", "adam", "Bob", "bob", "Bobby", "Zed"};
    for (const auto& order : insertionOrders) {
        ComboBox list(true);
        for (const std::string& entry : order) list.addString(entry);
        EXPECT_EQ(entries(list), sorted) << "first added: " << order.front();
    }

    ComboBox unsorted(false);
    for (const std::string& entry : insertionOrders[0]) unsorted.addString(entry);
    EXPECT_EQ(entries(unsorted), insertionOrders[0]);
}

TEST(ComboBox, AddingKeepsTheSelectionWhereItWas) {
    ComboBox list(true);
    list.addString("Mace");
    EXPECT_EQ(list.curSel(), -1) << "the first entry added must not be selected";
    list.setCurSel(0);
    list.addString("Axe");  // sorts before the selected entry
    EXPECT_EQ(list.selectedEntry(), "Mace");
    list.resetContent();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.curSel(), -1);
    EXPECT_EQ(list.selectedEntry(), "");
}

TEST(ComboBox, SelectStringPrefersTheExactEntry) {
    struct Case {
        std::string text;
        int startSelection;
        std::string selected;
    };
    const Case cases[] = {
        {"bob", -1, "bob"},      // exact, though "Bob" comes first
        {"Bob", -1, "Bob"},
        {"BOB", -1, "Bob"},      // no exact entry: the first beginning with it
        {"bobb", -1, "Bobby"},
        {"\xC4", -1, "\xC4ke"},  // Latin-1 bytes
        {"\xC3\xA4", -1, "\xC4ke"},  // ä typed in UTF-8 finds Äke in Latin-1
        {"x", 0, "adam"},        // no match: the selection stays
        {"x", -1, ""},
        {"", 2, ""},             // empty: nothing selected
    };
    for (const Case& c : cases) {
        ComboBox list(true);
        for (const char* entry : {"Bob", "bob", "Bobby", "adam", "\xC4ke"}) list.addString(entry);
        list.setCurSel(c.startSelection);
        list.selectString(c.text);
        EXPECT_EQ(list.selectedEntry(), c.selected) << "text \"" << c.text << "\"";
    }
}

TEST(ComboBox, EntriesShowTheirBytesAsText) {
    ComboBox list(false);
    list.addString("\xC4ke");           // Latin-1
    list.addString("\xC3\x84ke");       // UTF-8
    list.addString("\xC3\x84ke \xC3");  // UTF-8 cut inside its last letter
    EXPECT_EQ(list.itemText(0), QString::fromUtf8("\xC3\x84ke"));
    EXPECT_EQ(list.itemText(1), QString::fromUtf8("\xC3\x84ke"));
    EXPECT_EQ(list.itemText(2), QString::fromUtf8("\xC3\x84ke \xEF\xBF\xBD"));
    EXPECT_EQ(list.entry(0), "\xC4ke");
    EXPECT_EQ(list.entry(1), "\xC3\x84ke");
    // The cut entry keeps its bytes: a stored text finds it, and gives them back.
    EXPECT_EQ(list.entry(2), "\xC3\x84ke \xC3");
    EXPECT_EQ(list.selectString("\xC3\x84ke \xC3"), 2);
    EXPECT_EQ(list.selectedEntry(), "\xC3\x84ke \xC3");
}

TEST(Edit, DigitsOnlyRefusesTypedNonDigitsButTakesPastedText) {
    Edit edit(true);
    QTest::keyClicks(&edit, "1a2-3 4.");
    EXPECT_EQ(edit.text(), "1234");

    QApplication::clipboard()->setText("-5x");
    edit.clear();
    edit.paste();
    EXPECT_EQ(edit.text(), "-5x");

    Edit plain(false);
    QTest::keyClicks(&plain, "a-1");
    EXPECT_EQ(plain.text(), "a-1");
}

TEST(Edit, GivesBackTheBytesItWasGivenUntilEdited) {
    Edit edit(false);
    edit.setBytes("\xC4ke");
    EXPECT_EQ(edit.text(), QString::fromUtf8("\xC3\x84ke"));
    EXPECT_EQ(edit.bytes(), "\xC4ke");
    QTest::keyClicks(&edit, "n");
    EXPECT_EQ(edit.bytes(), "\xC3\x84ken");
}

// A message in a read-only field shows from its first character, however it
// is written, and a cut one is whole in the tool tip and description. A
// field the user types in keeps showing where the typing is.
TEST(Edit, AReadOnlyFieldShowsItsTextFromTheStart) {
    QWidget window;
    window.resize(400, 80);
    Edit status(false, &window);
    status.setReadOnly(true);
    status.setGeometry(10, 10, 150, 24);
    Edit typed(false, &window);
    typed.setGeometry(10, 40, 150, 24);
    window.show();

    const QString message = "Opponent: hit points 2000000 is out of range (-1000000 to 1000000).";
    const struct {
        const char* how;
        std::function<void()> write;
    } ways[] = {
        {"replaceSel",
         [&] {
             status.setSel(0, -1);
             status.replaceSel(message);
         }},
        {"setText", [&] { status.setText(message); }},
        {"setBytes", [&] { status.setBytes(message.toStdString()); }},
    };
    for (const auto& way : ways) {
        status.setText("Earlier.");
        way.write();
        EXPECT_EQ(status.text(), message) << way.how;
        EXPECT_TRUE(status.isTextCut()) << way.how;
        EXPECT_EQ(firstShownCharacter(status), 0) << way.how;
        EXPECT_EQ(status.toolTip(), message) << way.how;
        EXPECT_EQ(status.accessibleDescription(), message) << way.how;
    }
    status.setText("Saved.");
    EXPECT_FALSE(status.isTextCut());
    EXPECT_EQ(status.toolTip(), "");
    EXPECT_EQ(status.accessibleDescription(), "");

    typed.setFocus();
    QTest::keyClicks(&typed, message);
    EXPECT_GT(firstShownCharacter(typed), 0) << "the end, where the user types";
    EXPECT_EQ(typed.toolTip(), "");
}

TEST(Edit, ReplaceSelWritesIntoAReadOnlyField) {
    Edit edit(false);
    edit.setReadOnly(true);
    edit.setText("old text");
    edit.setSel(0, -1);
    edit.replaceSel("Information incomplete, can't continue.");
    EXPECT_EQ(edit.text(), "Information incomplete, can't continue.");
}

}  // namespace
}  // namespace skarn
