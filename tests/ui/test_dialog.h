#pragma once

// A small dialog of every control kind, for the tests of the dialog layer.

#include <cstdint>
#include <string>

#include "ui/data_exchange.h"
#include "ui/dialog.h"

namespace skarn::testing {

enum TestIds : int {
    kStrength = 10,  // number 0..400
    kParry = 11,     // number 0..300
    kSortedList = 20,
    kTypeList = 21,  // unsorted, with initial entries
    kStatus = 30,    // read-only text
    kName = 31,      // text of at most 20 characters
    kGo = 40,
    kCheck = 41,
    kPicture = 42,  // a bitmap button
    kSlider = 50,
    kProgress = 51,
};

inline const DialogTemplate& testTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.id = 900;
        d.caption = "Test Dialog";
        d.width = 200;
        d.height = 120;
        d.fontName = "MS Sans Serif";
        d.fontPointSize = 8;
        d.style = kSystemMenu;
        d.objectName = "testDialog";
        using K = ControlKind;
        d.controls = {
            {K::GroupBox, -1, "Group", 4, 4, 150, 60, kNoStyle, "group", "", "", {}},
            {K::Static, -1, "Str.", 8, 14, 25, 12, kRightAligned | kVerticallyCentered, "strengthLabel", "", "", {}},
            {K::Edit, kStrength, "", 35, 14, 20, 12, kBorder | kDigitsOnly | kAutoHScroll, "strength", "Test Str.", "", {}},
            {K::Edit, kParry, "", 60, 14, 20, 12, kBorder | kDigitsOnly | kAutoHScroll, "parry", "Test Parry", "", {}},
            {K::ComboBox, kSortedList, "", 8, 30, 80, 60, kSorted | kVScroll, "sortedList", "Test sorted list", "", {}},
            {K::ComboBox, kTypeList, "", 90, 30, 60, 60, kVScroll, "typeList", "Test type list", "",
             {"Fencing", "Mace", "Sword", "Wrestling"}},
            {K::Edit, kStatus, "", 8, 46, 140, 12, kBorder | kReadOnly | kAutoHScroll, "status", "Test status", "", {}},
            {K::Edit, kName, "", 8, 66, 100, 12, kBorder | kAutoHScroll, "name", "Test name", "", {}},
            {K::PushButton, IDOK, "OK", 160, 4, 36, 14, kDefaultButton, "ok", "", "", {}},
            {K::PushButton, IDCANCEL, "Cancel", 160, 22, 36, 14, kNoStyle, "cancel", "", "", {}},
            {K::PushButton, kGo, "Go", 160, 40, 36, 14, kNoStyle, "go", "", "", {}},
            {K::BitmapButton, kPicture, "PIC", 160, 58, 12, 13, kNoStyle, "picture", "", "", {}},
            {K::CheckBox, kCheck, "Check", 8, 82, 60, 10, kNoStyle, "check", "", "", {}},
            {K::Trackbar, kSlider, "", 8, 94, 80, 19, kAutoTicks | kTicksBothSides, "slider", "Test slider", "", {}},
            {K::ProgressBar, kProgress, "", 100, 96, 90, 13, kBorder, "progress", "Test progress", "", {}},
        };
        return d;
    }();
    return t;
}

class TestDialog : public Dialog {
public:
    TestDialog() : Dialog(testTemplate()) {
        bindMessageMap(kMessageMap);
    }

    std::int32_t strength = 0;
    std::int32_t parry = 0;
    std::int32_t typeIndex = -1;
    std::string listText;
    std::string status;
    std::string name;

    int goClicks = 0;
    int pictureClicks = 0;
    int checkClicks = 0;
    int listChoices = 0;
    int typeChoices = 0;
    unsigned lastSysCommand = 0;
    int initCount = 0;

    using Dialog::onCancel;
    using Dialog::onOK;

protected:
    bool onInitDialog() override {
        ++initCount;
        return Dialog::onInitDialog();
    }
    void doDataExchange(DataExchange& dx) override {
        dx.number(kStrength, strength, 0, 400);
        dx.number(kParry, parry, 0, 300);
        dx.listIndex(kTypeList, typeIndex);
        dx.text(kStatus, status);
        dx.text(kName, name, 20);
        dx.listText(kSortedList, listText);
    }
    void onSysCommand(unsigned command, std::int64_t) override { lastSysCommand = command; }

private:
    void OnGo() { ++goClicks; }
    void OnPicture() { ++pictureClicks; }
    void OnCheck() { ++checkClicks; }
    void OnSelectList() { ++listChoices; }
    void OnSelectType() { ++typeChoices; }

    static constexpr MessageMapEntry<TestDialog> kMessageMap[] = {
        {Notification::Clicked, kGo, &TestDialog::OnGo},
        {Notification::Clicked, kPicture, &TestDialog::OnPicture},
        {Notification::Clicked, kCheck, &TestDialog::OnCheck},
        {Notification::SelEndOk, kSortedList, &TestDialog::OnSelectList},
        {Notification::SelEndOk, kTypeList, &TestDialog::OnSelectType},
    };
};

}  // namespace skarn::testing
