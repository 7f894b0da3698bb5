#pragma once

#include <QWidget>

#include "combat/fight.h"
#include "ui/controls.h"
#include "ui/dialog.h"

namespace skarn {

class DataExchange;

// "Options": the stop rule of the fights, chosen with three check boxes that
// behave as one choice. The caller sets `mode` before running the dialog and
// reads it back when the dialog ends with IDOK; on any other end `mode` may
// hold a choice the user dropped.
class OptionsDialog : public Dialog {
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* parent = nullptr);

    // --- Control members, bound by the first exchange.
    CheckBox* toDeathOfOpponentBox = nullptr;   // 1044
    CheckBox* toTheDeathBox = nullptr;          // 1045
    CheckBox* damagePer60SecondsBox = nullptr;  // 1042

    // The stop rule being edited.
    FightMode mode = DamagePer60Seconds;

    // --- Handlers, bound by the message map. Each sets `mode` and leaves
    // its own box, and only that one, checked.
    void OnToTheDeath();
    void OnToDeathOfOpponent();
    void OnDamagePer60Seconds();

protected:
    // Checks the box of the current mode.
    bool onInitDialog() override;
    void doDataExchange(DataExchange& dx) override;

private:
    CheckBox* boxOf(FightMode mode) const;
};

}  // namespace skarn
