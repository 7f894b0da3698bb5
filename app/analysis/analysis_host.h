#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <QMetaObject>
#include <QString>

#include "combat/fight.h"
#include "model/fighter.h"

class QObject;

namespace skarn {

// What the Analysis window needs of the main window, and all it may reach:
// the fighters as "Begin" takes them, a weapon or shield handed to the You
// side, and word when what a run would fight changes. The main window
// implements it; the Analysis window knows the main window through it alone.
// GUI thread only.
class AnalysisHost {
public:
    // Both sides as a run of "Begin" would fight them, its stop rule, and the
    // fights of a run at the slider's position.
    struct Fighters {
        model::Fighter you;
        model::Fighter opp;
        FightMode mode = DamagePer60Seconds;
        std::int64_t sliderFights = 1;
    };
    // The fighters, or else why there are none: the text the main window's
    // status line then shows.
    struct Preparation {
        std::optional<Fighters> fighters;
        QString refusal;
    };

    // What the main window shows chosen, without taking any typed value:
    // the characters, weapons and shields of both sides ("- none -" for no
    // shield), the stop rule and the slider's fights. It shows no message
    // and changes nothing.
    struct Choices {
        std::string you, yourWeapon, yourShield;
        std::string opp, oppWeapon, oppShield;
        FightMode mode = DamagePer60Seconds;
        std::int64_t sliderFights = 1;

        bool operator==(const Choices&) const = default;
    };
    virtual Choices choices() const = 0;

    // Takes the main window's values as "Begin" takes them before a run of
    // `fights` fights, with the same messages, status line and focus, and
    // checks that such a run can be fought.
    virtual Preparation prepareFighters(std::int64_t fights) = 0;

    // Puts the weapon `name` of `weaponType` into the You side as a user
    // would: the type first where it differs, then the weapon, each through
    // its handler. False, with nothing chosen, when the weapon list of that
    // type holds no such entry (the type stays chosen).
    virtual bool giveYouWeapon(std::int32_t weaponType, const std::string& name) = 0;
    // Puts the shield `name` into the You side through the shield handler.
    // False, with nothing chosen, when the shield list holds no such entry.
    virtual bool giveYouShield(const std::string& name) = 0;

    // Calls `slot` in `context`'s thread each time the sides, the stop rule
    // or the slider may have changed: after a choice in a character,
    // weapon-type, weapon or shield list, NEW, SAVE or DEL, Options ended
    // with OK, or a move of the slider. Once for each such action, when it
    // has ended. Values typed into the number fields are taken only by the
    // next run and give no call. The connection ends with `context`.
    virtual QMetaObject::Connection onRunChanged(QObject* context, std::function<void()> slot) = 0;

protected:
    ~AnalysisHost() = default;
};

}  // namespace skarn
