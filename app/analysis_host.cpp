// The main window as the Analysis window sees it (AnalysisHost): the
// fighters as "Begin" takes them, and ranked gear given to the You side
// through the handlers a choice in the lists runs.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "app/simulator_dialog.h"
#include "resources/resource_ids.h"

namespace skarn {

AnalysisHost::Choices SimulatorDialog::choices() const {
    // The value members hold what the lists show after each handler; the
    // number fields are not read, as they reach a run only through it.
    return Choices{yourCharacterName, yourWeaponName, yourShieldName, oppCharacterName,
                   oppWeaponName,     oppShieldName,  fightMode,      sliderFights()};
}

AnalysisHost::Preparation SimulatorDialog::prepareFighters(std::int64_t fights) {
    Preparation prepared;
    if (const std::optional<RunFighters> run = prepareRun(fights))
        prepared.fighters = Fighters{run->you, run->opp, fightMode, sliderFights()};
    else
        prepared.refusal = statusLine->text();
    return prepared;
}

bool SimulatorDialog::giveYouWeapon(std::int32_t weaponType, const std::string& name) {
    // A change of type and weapon is one change: one notice, at the end.
    std::optional<RunChange> change;
    // A weapon of another type: the type first, as the user would pick it.
    ComboBox* types = comboBox(ids::simulator::kYourWeaponTypeList);
    if (types->curSel() != weaponType) {
        change.emplace(*this);
        types->setCurSel(weaponType);
        OnSelectYourWeaponType();
    }
    const int index = yourWeaponList->findExact(name);
    if (index < 0) return false;
    yourWeaponList->setCurSel(index);
    OnSelectYourWeapon();
    return true;
}

bool SimulatorDialog::giveYouShield(const std::string& name) {
    const int index = yourShieldList->findExact(name);
    if (index < 0) return false;
    yourShieldList->setCurSel(index);
    OnSelectYourShield();
    return true;
}

QMetaObject::Connection SimulatorDialog::onRunChanged(QObject* context, std::function<void()> slot) {
    return connect(this, &SimulatorDialog::runChanged, context, std::move(slot));
}

}  // namespace skarn
