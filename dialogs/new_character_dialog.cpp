#include "dialogs/new_character_dialog.h"

#include <string>

#include <QString>

#include "data/records.h"
#include "data/section_file.h"
#include "dialogs/stat_field.h"
#include "model/equipment.h"
#include "model/sections.h"
#include "resources/resource_ids.h"
#include "resources/templates.h"
#include "ui/data_exchange.h"

namespace skarn {
namespace {

namespace nc = ids::newCharacter;
using model::Stat;

constexpr MessageMapEntry<NewCharacterDialog> kMessageMap[] = {
    {Notification::SelEndOk, nc::kWeaponTypeList, &NewCharacterDialog::OnSelectWeaponType},
    {Notification::SelEndOk, nc::kWeaponList, &NewCharacterDialog::OnSelectWeapon},
    {Notification::SelEndOk, nc::kShieldList, &NewCharacterDialog::OnSelectShield},
};

}  // namespace

NewCharacterDialog::NewCharacterDialog(SectionFile& equipment, QWidget* parent)
    : Dialog(newCharacterTemplate(), parent), equipment_(&equipment) {
    bindMessageMap(kMessageMap);
}

NewCharacterDialog::~NewCharacterDialog() = default;

SectionFile& NewCharacterDialog::equipment() { return *equipment_; }

void NewCharacterDialog::doDataExchange(DataExchange& dx) {
    dx.control(nc::kShieldList, shieldList);
    dx.control(nc::kWeaponList, weaponList);

    exchangeStat(dx, nc::kArmorRating, armorRating, Stat::ArmorRating);
    exchangeStat(dx, nc::kDexterity, dexterity, Stat::Dexterity);
    dx.text(nc::kName, name, kMaxNameChars);
    // The name is stored as a quoted text on one line of the character file:
    // a double quote would end it early, a line break would split the line,
    // and the reader keeps no more than 29 bytes of it. Twenty letters
    // outside ASCII can exceed that.
    if (dx.saveAndValidate()) {
        if (name.find_first_of("\"\r\n") != std::string::npos)
            dx.fail(QStringLiteral("Please enter a name without double quotes or line breaks."));
        else if (name.size() > kMaxNameBytes)
            dx.fail(QStringLiteral("Please enter a name of no more than %1 bytes in UTF-8.")
                        .arg(kMaxNameBytes));
    }
    exchangeStat(dx, nc::kParry, parry, Stat::Parry);
    exchangeStat(dx, nc::kStrength, strength, Stat::Strength);
    exchangeStat(dx, nc::kTactics, tactics, Stat::Tactics);
    exchangeStat(dx, nc::kWeaponSkill, weaponSkill, Stat::WeaponSkill);
    dx.listIndex(nc::kWeaponTypeList, weaponType);
    dx.listText(nc::kShieldList, shieldName);
    dx.listText(nc::kWeaponList, weaponName);
}

bool NewCharacterDialog::onInitDialog() {
    // The weapon-type entries and the first exchange, which binds the lists.
    Dialog::onInitDialog();
    FillShieldList();
    return true;  // the focus goes to the first control, the Name edit
}

void NewCharacterDialog::FillShieldList() {
    // Empty names are listed too.
    const auto names = model::sectionNames(equipment(), kShields);
    if (!names) return;
    for (const std::string& name : *names) shieldList->addString(name);
    shieldList->addString(NoneEntry);
}

void NewCharacterDialog::FillWeaponList(std::string_view section) {
    const auto names = model::weaponNames(equipment(), section);
    if (!names) return;
    for (const std::string& name : *names) weaponList->addString(name);
}

void NewCharacterDialog::OnSelectWeaponType() {
    updateData(true);  // a failed field has shown its message; go on regardless
    weaponList->resetContent();
    const std::string_view section = weaponSection(weaponType);
    if (!section.empty()) FillWeaponList(section);
    // A weapon must be chosen again after every choice of type.
    weaponName.clear();
    updateData(false);
}

void NewCharacterDialog::OnSelectWeapon() {
    updateData(true);
    // Without a weapon type there is no section to look in: the weapon has
    // no hands count and the shield stays.
    const std::string_view section = weaponSection(weaponType);
    if (!section.empty() &&
        model::rulesOutShield(model::lookupHands(equipment(), section, weaponName).hands))
        shieldName = NoneEntry;
    updateData(false);
}

void NewCharacterDialog::OnSelectShield() { OnSelectWeapon(); }

}  // namespace skarn
