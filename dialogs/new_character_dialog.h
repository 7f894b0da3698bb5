#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <QWidget>

#include "ui/controls.h"
#include "ui/dialog.h"

namespace skarn {

class DataExchange;
class SectionFile;

// "New Character Info": the name, the six numbers, the weapon type, weapon
// and shield of a character to be created. It writes no file; it reads the
// equipment file to fill its weapon and shield lists and to apply the
// two-handed rule. After doModal returns IDOK the value members hold what
// the user entered, checked: the caller writes the character.
//
// On opening the focus is in the Name edit, the numbers show 0, no weapon
// type is chosen, the weapon list is empty and the shield list holds every
// shield and "- none -" with nothing selected.
class NewCharacterDialog : public Dialog {
    Q_OBJECT
public:
    // Reads the weapons and shields of `equipment`, from the time the dialog
    // opens. REQUIRES: `equipment` outlives the dialog.
    explicit NewCharacterDialog(SectionFile& equipment, QWidget* parent = nullptr);
    ~NewCharacterDialog() override;

    // Longest name the Name edit takes, in characters.
    static constexpr int kMaxNameChars = 20;
    // Longest name, in bytes of UTF-8, that the data files keep whole.
    static constexpr std::size_t kMaxNameBytes = 29;

    // --- Control members, bound by the first exchange.
    ComboBox* shieldList = nullptr;
    ComboBox* weaponList = nullptr;

    // --- Value members. Texts are UTF-8 bytes, as the data files hold them.
    std::int32_t armorRating = 0;
    std::int32_t dexterity = 0;
    std::string name;
    std::int32_t parry = 0;
    std::int32_t strength = 0;
    std::int32_t tactics = 0;
    std::int32_t weaponSkill = 0;
    std::int32_t weaponType = -1;  // WeaponType, -1 for none
    std::string shieldName;        // a shield, "- none -", or empty for none chosen
    std::string weaponName;        // empty when no weapon was chosen

    // --- Handlers, bound by the message map.
    // A weapon type was chosen: refills the weapon list with that type's
    // weapons and clears the weapon choice.
    void OnSelectWeaponType();
    // A weapon was chosen: a weapon needing more than one hand sets the
    // shield to "- none -".
    void OnSelectWeapon();
    // A shield was chosen: the two-handed rule of OnSelectWeapon applies.
    void OnSelectShield();

    // Fills the shield list with the shields of the equipment file and
    // "- none -"; leaves it empty when the file has no "Shields" section.
    void FillShieldList();
    // Adds the weapons of `section` of the equipment file, without empty
    // names; does nothing when there is no such section.
    void FillWeaponList(std::string_view section);

protected:
    bool onInitDialog() override;
    void doDataExchange(DataExchange& dx) override;

private:
    SectionFile* equipment_;  // not owned
    SectionFile& equipment();
};

}  // namespace skarn
