#pragma once

// Ids of the program's resources: dialog templates, their controls, icons,
// strings and window-menu commands.

namespace skarn::ids {

// Dialog templates.
inline constexpr int kAboutDialog = 100;
inline constexpr int kSimulatorDialog = 102;
inline constexpr int kResultsDialog = 130;
inline constexpr int kOptionsDialog = 144;
inline constexpr int kNewCharacterDialog = 145;

// Icons and bitmaps, by the name they are loaded with.
inline constexpr const char* kLargeIcon = "141";
inline constexpr const char* kSmallIcon = "142";
inline constexpr const char* kWarriorBitmap = "154";

// Strings.
inline constexpr int kAboutMenuString = 101;  // "&About Skarn..."
inline constexpr int kAnalysisMenuString = 110;  // "A&nalysis…"

// Window-menu commands.
inline constexpr unsigned kAboutCommand = 16;
inline constexpr unsigned kAnalysisCommand = 32;  // opens the Analysis window
// The framework's Help command (F1).
inline constexpr int kHelpCommand = 57670;

// Controls of the main dialog (template 102). Push buttons IDOK = 1 and
// IDCANCEL = 2 are the framework's; "Quit" is IDCANCEL.
namespace simulator {
inline constexpr int kYourCharacterList = 1001;
inline constexpr int kOptions = 1002;
inline constexpr int kYourSave = 1003;
inline constexpr int kYourNew = 1004;
inline constexpr int kYourDel = 1005;
inline constexpr int kFightCountSlider = 1006;
inline constexpr int kYourStrength = 1009;
inline constexpr int kYourDexterity = 1010;
inline constexpr int kYourArmorRating = 1011;
inline constexpr int kYourWeaponSkill = 1012;
inline constexpr int kYourTactics = 1013;
inline constexpr int kYourParry = 1014;
inline constexpr int kYourWeaponList = 1015;
inline constexpr int kStatusLine = 1016;
inline constexpr int kOppCharacterList = 1024;
inline constexpr int kYourWeaponTypeList = 1025;
inline constexpr int kYourShieldList = 1026;
inline constexpr int kOppNew = 1027;
inline constexpr int kOppSave = 1028;
inline constexpr int kOppDel = 1029;
inline constexpr int kOppStrength = 1030;
inline constexpr int kOppDexterity = 1031;
inline constexpr int kOppArmorRating = 1032;
inline constexpr int kOppWeaponSkill = 1033;
inline constexpr int kOppTactics = 1034;
inline constexpr int kOppParry = 1035;
inline constexpr int kOppWeaponTypeList = 1036;
inline constexpr int kOppShieldList = 1037;
inline constexpr int kOppWeaponList = 1038;
inline constexpr int kBegin = 1039;
inline constexpr int kProgressBar = 1040;
inline constexpr int kQuit = 2;
}  // namespace simulator

// Controls of the Results dialog (template 130).
namespace results {
inline constexpr int kWinPercent = 1007;
inline constexpr int kDamageTaken = 1008;
inline constexpr int kDamageGiven = 1009;
inline constexpr int kTime = 1010;
}  // namespace results

// Controls of the Options dialog (template 144).
namespace options {
inline constexpr int kDamagePer60Seconds = 1042;
inline constexpr int kToDeathOfOpponent = 1044;
inline constexpr int kToTheDeath = 1045;
}  // namespace options

// Controls of the New Character dialog (template 145).
namespace newCharacter {
inline constexpr int kName = 1017;
inline constexpr int kStrength = 1018;
inline constexpr int kDexterity = 1019;
inline constexpr int kArmorRating = 1020;
inline constexpr int kWeaponSkill = 1021;
inline constexpr int kTactics = 1022;
inline constexpr int kParry = 1023;
inline constexpr int kWeaponTypeList = 1024;
inline constexpr int kShieldList = 1025;
inline constexpr int kWeaponList = 1026;
}  // namespace newCharacter

}  // namespace skarn::ids
