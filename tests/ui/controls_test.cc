#include "ui/controls.h"

#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

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
    EXPECT_EQ(list.itemText(0), QString::fromUtf8("\xC3\x84ke"));
    EXPECT_EQ(list.itemText(1), QString::fromUtf8("\xC3\x84ke"));
    EXPECT_EQ(list.entry(0), "\xC4ke");
    EXPECT_EQ(list.entry(1), "\xC3\x84ke");
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
