#include "dialogs/options_dialog.h"

#include "resources/resource_ids.h"
#include "resources/templates.h"
#include "ui/data_exchange.h"

namespace skarn {
namespace {

namespace opt = ids::options;

constexpr MessageMapEntry<OptionsDialog> kMessageMap[] = {
    {Notification::Clicked, opt::kToTheDeath, &OptionsDialog::OnToTheDeath},
    {Notification::Clicked, opt::kToDeathOfOpponent, &OptionsDialog::OnToDeathOfOpponent},
    {Notification::Clicked, opt::kDamagePer60Seconds, &OptionsDialog::OnDamagePer60Seconds},
};

}  // namespace

OptionsDialog::OptionsDialog(QWidget* parent) : Dialog(optionsTemplate(), parent) {
    bindMessageMap(kMessageMap);
}

void OptionsDialog::doDataExchange(DataExchange& dx) {
    dx.control(opt::kToDeathOfOpponent, toDeathOfOpponentBox);
    dx.control(opt::kToTheDeath, toTheDeathBox);
    dx.control(opt::kDamagePer60Seconds, damagePer60SecondsBox);
}

CheckBox* OptionsDialog::boxOf(FightMode m) const {
    switch (m) {
    case DamagePer60Seconds: return damagePer60SecondsBox;
    case ToDeathOfOpponent: return toDeathOfOpponentBox;
    case ToTheDeath: return toTheDeathBox;
    }
    return nullptr;
}

bool OptionsDialog::onInitDialog() {
    Dialog::onInitDialog();
    if (CheckBox* box = boxOf(mode)) box->setCheck(true);
    return true;
}

// A handler runs whenever the user changes its box, which has toggled
// itself by then; it settles all three, so that a click on the box already
// checked leaves it checked. Its own setCheck calls run no handler.
void OptionsDialog::OnDamagePer60Seconds() {
    mode = DamagePer60Seconds;
    toDeathOfOpponentBox->setCheck(false);
    toTheDeathBox->setCheck(false);
    damagePer60SecondsBox->setCheck(true);
}

void OptionsDialog::OnToDeathOfOpponent() {
    mode = ToDeathOfOpponent;
    toTheDeathBox->setCheck(false);
    damagePer60SecondsBox->setCheck(false);
    toDeathOfOpponentBox->setCheck(true);
}

void OptionsDialog::OnToTheDeath() {
    mode = ToTheDeath;
    toDeathOfOpponentBox->setCheck(false);
    damagePer60SecondsBox->setCheck(false);
    toTheDeathBox->setCheck(true);
}

}  // namespace skarn
