#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include "app/analysis/analysis_host.h"
#include "combat/combatant.h"
#include "combat/fight.h"
#include "model/fighter.h"
#include "ui/controls.h"
#include "ui/dialog.h"

namespace skarn {

class AnalysisWindow;

// The main window: two mirrored groups, "You" and "Opponent", each with a
// character list, NEW/SAVE/DEL, six number fields and the weapon-type,
// weapon and shield lists; below them the fight-count slider, "Begin",
// "Options", "Quit", the status line and the progress bar. It owns every
// value the user sees and every value a run reads. GUI thread only; a run
// of Begin blocks that thread until the Results dialog opens.
//
// It is the Analysis window's AnalysisHost: the window reaches it through
// that interface alone.
class SimulatorDialog : public Dialog, public AnalysisHost {
    Q_OBJECT
public:
    explicit SimulatorDialog(QWidget* parent = nullptr);

    // Everything of one side, You or Opponent, for the twin handlers: one
    // implementation over a Side serves both.
    struct Side {
        std::string_view name;              // "You" or "Opponent"
        std::string_view characterSection;  // "YourChars" or "OppChars"
        ComboBox*& characterList;
        ComboBox*& weaponList;
        ComboBox*& shieldList;
        std::string& characterName;
        std::int32_t& strength;
        std::int32_t& dexterity;
        std::int32_t& weaponSkill;
        std::int32_t& weaponType;
        std::int32_t& armorRating;
        std::int32_t& tactics;
        std::int32_t& parry;
        std::string& weaponName;
        std::string& shieldName;
        std::int32_t& weaponSpeed;
        std::int32_t& diceCount;
        std::int32_t& diceSides;
        std::int32_t& damageBonus;
        std::int32_t& shieldAbsorb;
        std::int32_t& hitPoints;
        Combatant& combatant;
    };

    // --- Control members, bound to their controls by the first exchange.
    ComboBox* yourShieldList = nullptr;
    ComboBox* oppShieldList = nullptr;
    ComboBox* yourCharacterList = nullptr;
    ComboBox* oppCharacterList = nullptr;
    ProgressBar* progressBar = nullptr;
    Edit* statusLine = nullptr;
    ComboBox* oppWeaponList = nullptr;
    ComboBox* yourWeaponList = nullptr;
    Trackbar* fightCountSlider = nullptr;
    BitmapButton* yourSaveButton = nullptr;
    BitmapButton* yourNewButton = nullptr;
    BitmapButton* yourDelButton = nullptr;
    BitmapButton* oppSaveButton = nullptr;
    BitmapButton* oppNewButton = nullptr;
    BitmapButton* oppDelButton = nullptr;

    // --- Value members, exchanged with the controls. Texts are the data
    // files' bytes.
    std::int32_t oppArmorRating = 0;
    std::int32_t oppParry = 0;
    std::int32_t oppWeaponSkill = 0;
    std::int32_t oppWeaponType = -1;
    std::string statusText;
    std::int32_t yourArmorRating = 0;
    std::int32_t yourDexterity = 0;
    std::int32_t oppDexterity = 0;
    std::int32_t oppTactics = 0;
    std::int32_t oppStrength = 0;
    std::int32_t yourParry = 0;
    std::int32_t yourStrength = 0;
    std::int32_t yourTactics = 0;
    std::int32_t yourWeaponSkill = 0;
    std::int32_t yourWeaponType = -1;
    std::string oppShieldName;
    std::string oppWeaponName;
    std::string yourShieldName;
    std::string yourWeaponName;
    std::string oppCharacterName;
    std::string yourCharacterName;

    // --- Run-time members, not exchanged. The weapon and shield statistics
    // start at 0 and hold the last lookup that reached them.
    std::int32_t yourHitPoints = 0;
    std::int32_t oppHitPoints = 0;
    std::int32_t yourShieldAbsorb = 0;
    std::int32_t yourDiceCount = 0;
    std::int32_t yourDiceSides = 0;
    std::int32_t yourDamageBonus = 0;
    std::int32_t yourWeaponSpeed = 0;
    std::int32_t oppShieldAbsorb = 0;
    std::int32_t oppDiceCount = 0;
    std::int32_t oppDiceSides = 0;
    std::int32_t oppDamageBonus = 0;
    std::int32_t oppWeaponSpeed = 0;
    FightMode fightMode = DamagePer60Seconds;
    double winCount = 0.0;
    double damageTakenSum = 0.0;
    double damageGivenSum = 0.0;
    double tickSum = 0.0;
    QIcon largeIcon;  // icon 141
    QIcon smallIcon;  // icon 142

    Side& yourSide() { return you_; }
    Side& oppSide() { return opp_; }

    // --- Handlers, bound by the message map.
    void OnOptions();
    void OnSelectOppCharacter();
    void OnSelectYourCharacter();
    void OnSelectYourWeaponType();
    void OnSelectOppWeaponType();
    void OnOppNew();
    void OnOppSave();
    void OnYourDel();
    void OnOppDel();
    void OnYourNew();
    void OnYourSave();
    void OnBegin();
    void OnSelectOppWeapon();
    void OnSelectYourWeapon();
    void OnSelectOppShield();
    void OnSelectYourShield();
    // "Analysis…" in the window menu (Ctrl+Shift+A): opens the Analysis
    // window on the values shown, or brings it forward and analyses them
    // again.
    void OnAnalysis();

    // The fights of a run of "Begin": 3^k, with k the slider's position.
    std::int64_t sliderFights() const;

    // The Analysis window once opened, else nullptr.
    AnalysisWindow* analysisWindow() const;

    // --- AnalysisHost: what the Analysis window may ask of this window.
    Choices choices() const override;
    Preparation prepareFighters(std::int64_t fights) override;
    bool giveYouWeapon(std::int32_t weaponType, const std::string& name) override;
    bool giveYouShield(const std::string& name) override;
    QMetaObject::Connection onRunChanged(QObject* context, std::function<void()> slot) override;

    // --- List filling.
    // Refills both character lists from "charfile.cfg", then puts every
    // member into its control.
    void FillCharacterLists();
    // Adds the weapons of `section` of "equifile.cfg" to the side's weapon
    // list; neither empties the list nor exchanges.
    void FillWeaponList(Side& side, std::string_view section);
    // Fills both shield lists from "equifile.cfg", with "- none -".
    void FillShieldLists();

    // --- The status line. Begin, NEW, SAVE and DEL each clear it first, so
    // that it tells only what the last of them reported.
    // Empties the status line and statusText.
    void clearStatus();
    // Replaces the whole text of the status line. It is written in the
    // control, not through the exchange: statusText keeps its value until
    // the next exchange takes the text.
    void showStatus(const QString& text);

signals:
    // The sides, the stop rule or the slider may have changed: a character,
    // weapon-type, weapon or shield handler ran, NEW, SAVE or DEL, Options
    // ended with OK, or the slider moved. Emitted once for each of these,
    // when it has ended, however many handlers it ran.
    void runChanged();

protected:
    bool onInitDialog() override;
    void doDataExchange(DataExchange& dx) override;
    // Command kAboutCommand opens the About box.
    void onSysCommand(unsigned command, std::int64_t param) override;

private:
    // Both sides as a run fights them.
    struct RunFighters {
        model::Fighter you;
        model::Fighter opp;
    };
    // What "Begin" does before it fights `fights` fights: clears the status
    // line, takes the values from the controls (a value that fails its check
    // shows its message, and the rest goes on), works out the hit points,
    // checks that both sides are armed, copies them into the two combatants
    // and checks that they can be run under fightMode. Returns both sides;
    // nothing when the run is refused, with the reason in the status line.
    std::optional<RunFighters> prepareRun(std::int64_t fights);

    // Held by each handler that may change what a run fights; the outermost
    // of nested ones emits runChanged when it ends.
    class RunChange {
    public:
        explicit RunChange(SimulatorDialog& dialog) : dialog_(dialog) { ++dialog_.runChangeDepth_; }
        ~RunChange() {
            if (--dialog_.runChangeDepth_ == 0) emit dialog_.runChanged();
        }
        RunChange(const RunChange&) = delete;
        RunChange& operator=(const RunChange&) = delete;

    private:
        SimulatorDialog& dialog_;
    };

    Side you_;
    Side opp_;
    QPointer<AnalysisWindow> analysisWindow_;
    int runChangeDepth_ = 0;
};

}  // namespace skarn
