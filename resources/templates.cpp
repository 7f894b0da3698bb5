#include "resources/templates.h"

#include <string>
#include <vector>

#include <QtGlobal>

#include "model/modes.h"
#include "resources/resource_ids.h"
#include "ui/message_box.h"

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerCompiledPictures() { Q_INIT_RESOURCE(skarn); }

namespace skarn {
namespace {

using K = ControlKind;

// Styles shared by several controls.
constexpr unsigned kNumberLabel = kRightAligned | kVerticallyCentered;
constexpr unsigned kNumberEdit = kBorder | kDigitsOnly | kAutoHScroll;
constexpr unsigned kList = kSorted | kVScroll;
constexpr unsigned kReadOnlyEdit = kBorder | kReadOnly | kAutoHScroll;

const std::vector<std::string> kWeaponTypes = {"Fencing", "Mace", "Sword", "Wrestling"};

DialogTemplate makeDialog(int id, std::string caption, int width, int height, unsigned style,
                          std::string objectName) {
    DialogTemplate t;
    t.id = id;
    t.caption = std::move(caption);
    t.width = width;
    t.height = height;
    t.fontName = "MS Sans Serif";
    t.fontPointSize = 8;
    t.style = style;
    t.objectName = std::move(objectName);
    return t;
}

// One control of a side group of the main window, placed for the You side.
struct SideControl {
    ControlKind kind;
    int youId;
    int oppId;
    const char* caption;
    int x, y, width, height;
    unsigned style;
    const char* role;   // objectName = side prefix + role ("your" + "Strength")
    const char* label;  // what a screen reader says after the side's name; "" for labels
    const char* toolTip;
};

// The You group; the Opponent group is the same moved 160 units right, with
// the Opponent ids.
const SideControl kSideGroup[] = {
    {K::GroupBox, -1, -1, nullptr, 7, 7, 148, 100, kNoStyle, "Group", nullptr, ""},
    {K::ComboBox, 1001, 1024, "", 10, 16, 101, 65, kList, "CharacterList", "character", ""},
    {K::BitmapButton, 1004, 1027, "NEW", 113, 16, 12, 13, kNoStyle, "NewButton", "new character",
     "New character"},
    {K::BitmapButton, 1003, 1028, "SAVE", 126, 16, 12, 13, kNoStyle, "SaveButton", "save character",
     "Save character"},
    {K::BitmapButton, 1005, 1029, "DEL", 139, 16, 12, 13, kNoStyle, "DelButton", "delete character",
     "Delete character"},
    {K::Static, -1, -1, "Str.", 10, 31, 25, 12, kNumberLabel, "StrengthLabel", "", ""},
    {K::Edit, 1009, 1030, "", 37, 31, 18, 12, kNumberEdit, "Strength", "Str.", ""},
    {K::Static, -1, -1, "Dex.", 10, 43, 25, 12, kNumberLabel, "DexterityLabel", "", ""},
    {K::Edit, 1010, 1031, "", 37, 43, 18, 12, kNumberEdit, "Dexterity", "Dex.", ""},
    {K::Static, -1, -1, "A.R.", 58, 31, 25, 12, kNumberLabel, "ArmorRatingLabel", "", ""},
    {K::Edit, 1011, 1032, "", 85, 31, 17, 12, kNumberEdit, "ArmorRating", "A.R.", ""},
    {K::Static, -1, -1, "W. Skill", 58, 43, 25, 12, kNumberLabel, "WeaponSkillLabel", "", ""},
    {K::Edit, 1012, 1033, "", 85, 43, 17, 12, kNumberEdit, "WeaponSkill", "W. Skill", ""},
    {K::Static, -1, -1, "Tactics", 106, 31, 25, 12, kNumberLabel, "TacticsLabel", "", ""},
    {K::Edit, 1013, 1034, "", 133, 31, 18, 12, kNumberEdit, "Tactics", "Tactics", ""},
    {K::Static, -1, -1, "Parry", 106, 43, 25, 12, kNumberLabel, "ParryLabel", "", ""},
    {K::Edit, 1014, 1035, "", 133, 43, 18, 12, kNumberEdit, "Parry", "Parry", ""},
    {K::Static, -1, -1, "Weapon Type:", 10, 56, 51, 10, kVerticallyCentered, "WeaponTypeLabel", "", ""},
    {K::ComboBox, 1025, 1036, "", 10, 67, 65, 66, kList, "WeaponTypeList", "weapon type", ""},
    {K::Static, -1, -1, "Weapon:", 10, 81, 34, 9, kVerticallyCentered, "WeaponLabel", "", ""},
    {K::ComboBox, 1015, 1038, "", 10, 91, 141, 68, kList, "WeaponList", "weapon", ""},
    {K::Static, -1, -1, "Shield:", 82, 57, 27, 9, kVerticallyCentered, "ShieldLabel", "", ""},
    {K::ComboBox, 1026, 1037, "", 82, 67, 69, 66, kList, "ShieldList", "shield", ""},
};

void addSideGroup(DialogTemplate& t, bool opponent) {
    const std::string prefix = opponent ? "opp" : "your";
    const std::string side = opponent ? "Opponent" : "You";
    const int shift = opponent ? 160 : 0;
    for (const SideControl& c : kSideGroup) {
        ControlTemplate control;
        control.kind = c.kind;
        control.id = opponent ? c.oppId : c.youId;
        control.caption = c.caption ? c.caption : side;
        control.x = c.x + shift;
        control.y = c.y;
        control.width = c.width;
        control.height = c.height;
        control.style = c.style;
        control.objectName = prefix + c.role;
        if (c.label && *c.label) control.accessibleName = side + " " + c.label;
        if (!c.label) control.accessibleName = side;
        control.toolTip = c.toolTip;
        if (control.id == ids::simulator::kYourWeaponTypeList ||
            control.id == ids::simulator::kOppWeaponTypeList)
            control.items = kWeaponTypes;
        t.controls.push_back(std::move(control));
    }
}

DialogTemplate buildSimulator() {
    DialogTemplate t = makeDialog(ids::kSimulatorDialog, "Vexa Combat Simulator v. 2.1", 322, 157,
                                  kSystemMenu | kMinimizeBox | kAppWindow, "simulatorDialog");
    addSideGroup(t, false);
    addSideGroup(t, true);
    const std::vector<ControlTemplate> rest = {
        {K::Static, -1, "Fast", 7, 120, 14, 8, kNoStyle, "fastLabel", "", "", {}},
        {K::Trackbar, 1006, "", 26, 111, 80, 19, kAutoTicks | kTicksBothSides, "fightCountSlider",
         "Number of fights, from Fast to Accurate", "", {}},
        {K::Static, -1, "Accurate", 110, 120, 30, 8, kNoStyle, "accurateLabel", "", "", {}},
        {K::PushButton, 1039, "Begin", 157, 115, 50, 14, kDefaultButton, "beginButton", "", "", {}},
        {K::PushButton, 1002, "Options", 211, 115, 50, 14, kNoStyle, "optionsButton", "", "", {}},
        {K::PushButton, IDCANCEL, "Quit", 265, 115, 50, 14, kNoStyle, "quitButton", "", "", {}},
        {K::Edit, 1016, "", 7, 137, 148, 13, kReadOnlyEdit, "statusLine", "Status", "", {}},
        {K::ProgressBar, 1040, "", 168, 137, 147, 13, kBorder, "progressBar", "Progress", "", {}},
    };
    t.controls.insert(t.controls.end(), rest.begin(), rest.end());
    return t;
}

DialogTemplate buildAbout() {
    DialogTemplate t = makeDialog(ids::kAboutDialog, "About Skarn", 151, 55, kSystemMenu, "aboutDialog");
    t.controls = {
        {K::Picture, -1, ids::kLargeIcon, 11, 17, 20, 20, kIcon, "aboutIcon", "Skarn", "", {}},
        {K::Static, -1, "Skarn Version 2.1", 40, 7, 67, 8, kNoPrefix, "versionText", "", "", {}},
        {K::Static, -1, "Skarn developers", 40, 23, 66, 8, kNoStyle, "creditsLine1", "", "", {}},
        {K::PushButton, IDOK, "OK", 112, 7, 32, 14, kDefaultButton, "okButton", "", "", {}},
        {K::Static, -1, "Built with C++ and Qt 6", 40, 40, 104, 8, kNoStyle, "creditsLine2", "", "", {}},
    };
    return t;
}

DialogTemplate buildResults() {
    DialogTemplate t = makeDialog(ids::kResultsDialog, "Results", 168, 82, kSystemMenu, "resultsDialog");
    t.controls = {
        {K::Static, -1, "Your Win %:", 7, 7, 53, 12, kNumberLabel, "winPercentLabel", "", "", {}},
        {K::Edit, 1007, "", 64, 7, 40, 12, kReadOnlyEdit, "resultWinPercent", "Your Win %", "", {}},
        {K::Static, -1, "Damage Taken", 7, 26, 53, 12, kNumberLabel, "damageTakenLabel", "", "", {}},
        {K::Edit, 1008, "", 64, 26, 40, 12, kReadOnlyEdit, "resultDamageTaken", "Damage Taken", "", {}},
        {K::Static, -1, "Damage Given", 7, 44, 53, 12, kNumberLabel, "damageGivenLabel", "", "", {}},
        {K::Edit, 1009, "", 64, 44, 40, 12, kReadOnlyEdit, "resultDamageGiven", "Damage Given", "", {}},
        {K::Static, -1, "Time in seconds", 7, 62, 53, 13, kNumberLabel, "timeLabel", "", "", {}},
        {K::Edit, 1010, "", 64, 62, 40, 13, kReadOnlyEdit, "resultTime", "Time in seconds", "", {}},
        {K::PushButton, IDOK, "OK", 111, 7, 50, 14, kDefaultButton, "okButton", "", "", {}},
        {K::Picture, -1, ids::kWarriorBitmap, 122, 26, 28, 49, kBitmap, "warriorPicture",
         "A warrior with a sword", "", {}},
    };
    return t;
}

DialogTemplate buildOptions() {
    DialogTemplate t = makeDialog(ids::kOptionsDialog, "Options", 193, 47, kSystemMenu, "optionsDialog");
    t.controls = {
        {K::PushButton, IDOK, "OK", 136, 7, 50, 14, kDefaultButton, "okButton", "", "", {}},
        {K::PushButton, IDCANCEL, "Cancel", 136, 26, 50, 14, kNoStyle, "cancelButton", "", "", {}},
        {K::CheckBox, 1042, model::modeCaption(DamagePer60Seconds), 7, 7, 107, 10, kNoStyle,
         "damagePer60SecondsCheck", "", "", {}},
        {K::CheckBox, 1044, model::modeCaption(ToDeathOfOpponent), 7, 19, 123, 10, kNoStyle,
         "toDeathOfOpponentCheck", "", "", {}},
        {K::CheckBox, 1045, model::modeCaption(ToTheDeath), 7, 31, 71, 10, kNoStyle, "toTheDeathCheck", "", "",
         {}},
    };
    return t;
}

DialogTemplate buildNewCharacter() {
    DialogTemplate t = makeDialog(ids::kNewCharacterDialog, "New Character Info", 221, 102, kSystemMenu,
                                  "newCharacterDialog");
    constexpr unsigned kNameEdit = kBorder | kAutoHScroll;
    t.controls = {
        {K::Static, -1, "Name", 7, 8, 21, 11, kRightAligned, "nameLabel", "", "", {}},
        {K::Edit, 1017, "", 31, 7, 117, 12, kNameEdit, "name", "Name", "", {}},
        {K::Static, -1, "Str.", 7, 22, 25, 12, kRightAligned, "strengthLabel", "", "", {}},
        {K::Edit, 1018, "", 34, 22, 18, 12, kNumberEdit, "strength", "Str.", "", {}},
        {K::Static, -1, "Dex.", 7, 34, 25, 12, kRightAligned, "dexterityLabel", "", "", {}},
        {K::Edit, 1019, "", 34, 34, 18, 12, kNumberEdit, "dexterity", "Dex.", "", {}},
        {K::Static, -1, "A.R.", 55, 22, 25, 12, kRightAligned, "armorRatingLabel", "", "", {}},
        {K::Edit, 1020, "", 82, 22, 17, 12, kNumberEdit, "armorRating", "A.R.", "", {}},
        {K::Static, -1, "W. Skill", 55, 34, 25, 12, kRightAligned, "weaponSkillLabel", "", "", {}},
        {K::Edit, 1021, "", 82, 34, 17, 12, kNumberEdit, "weaponSkill", "W. Skill", "", {}},
        {K::Static, -1, "Tactics", 103, 22, 25, 12, kRightAligned, "tacticsLabel", "", "", {}},
        {K::Edit, 1022, "", 130, 22, 18, 12, kNumberEdit, "tactics", "Tactics", "", {}},
        {K::Static, -1, "Parry", 103, 34, 25, 12, kRightAligned, "parryLabel", "", "", {}},
        {K::Edit, 1023, "", 130, 34, 18, 12, kNumberEdit, "parry", "Parry", "", {}},
        {K::Static, -1, "Weapon Type:", 7, 47, 51, 10, kNoStyle, "weaponTypeLabel", "", "", {}},
        {K::ComboBox, 1024, "", 7, 58, 65, 66, kVScroll, "weaponTypeList", "Weapon type", "", kWeaponTypes},
        {K::Static, -1, "Weapon:", 7, 72, 34, 9, kNoStyle, "weaponLabel", "", "", {}},
        {K::ComboBox, 1026, "", 7, 82, 141, 71, kList, "weaponList", "Weapon", "", {}},
        {K::Static, -1, "Shield:", 79, 48, 27, 9, kNoStyle, "shieldLabel", "", "", {}},
        {K::ComboBox, 1025, "", 79, 58, 69, 66, kList, "shieldList", "Shield", "", {}},
        {K::PushButton, IDOK, "OK", 164, 7, 50, 14, kDefaultButton, "okButton", "", "", {}},
        {K::PushButton, IDCANCEL, "Cancel", 164, 24, 50, 14, kNoStyle, "cancelButton", "", "", {}},
    };
    return t;
}

template <DialogTemplate (*build)()>
const DialogTemplate& cached() {
    initResources();
    static const DialogTemplate t = build();
    return t;
}

}  // namespace

const DialogTemplate& aboutTemplate() { return cached<buildAbout>(); }
const DialogTemplate& simulatorTemplate() { return cached<buildSimulator>(); }
const DialogTemplate& resultsTemplate() { return cached<buildResults>(); }
const DialogTemplate& optionsTemplate() { return cached<buildOptions>(); }
const DialogTemplate& newCharacterTemplate() { return cached<buildNewCharacter>(); }

const DialogTemplate* findTemplate(int id) {
    switch (id) {
        case ids::kAboutDialog: return &aboutTemplate();
        case ids::kSimulatorDialog: return &simulatorTemplate();
        case ids::kResultsDialog: return &resultsTemplate();
        case ids::kOptionsDialog: return &optionsTemplate();
        case ids::kNewCharacterDialog: return &newCharacterTemplate();
        default: return nullptr;
    }
}

std::string_view loadString(int id) {
    switch (id) {
        case ids::kAboutMenuString: return "&About Skarn...";
        case ids::kAnalysisMenuString: return "A&nalysis\u2026";
        default: return {};
    }
}

void initResources() {
    static const bool registered = (registerCompiledPictures(), true);
    (void)registered;
}

}  // namespace skarn
