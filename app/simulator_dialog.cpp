#include "app/simulator_dialog.h"

#include <ctime>

#include <QKeySequence>

#include "app/analysis/analysis_window.h"
#include "app/program_objects.h"
#include "data/records.h"
#include "dialogs/about_dialog.h"
#include "dialogs/stat_field.h"
#include "resources/resource_ids.h"
#include "resources/templates.h"
#include "ui/data_exchange.h"
#include "ui/images.h"

namespace skarn {
namespace {

namespace sim = ids::simulator;
using model::Stat;

// Painting, the minimised icon and the drag icon are the window system's
// own on Qt; the window icons set in onInitDialog stand for all three. The
// window-menu commands reach onSysCommand.
constexpr MessageMapEntry<SimulatorDialog> kMessageMap[] = {
    {Notification::Clicked, sim::kOptions, &SimulatorDialog::OnOptions},
    {Notification::SelEndOk, sim::kOppCharacterList, &SimulatorDialog::OnSelectOppCharacter},
    {Notification::SelEndOk, sim::kYourCharacterList, &SimulatorDialog::OnSelectYourCharacter},
    {Notification::SelEndOk, sim::kYourWeaponTypeList, &SimulatorDialog::OnSelectYourWeaponType},
    {Notification::SelEndOk, sim::kOppWeaponTypeList, &SimulatorDialog::OnSelectOppWeaponType},
    {Notification::Clicked, sim::kOppNew, &SimulatorDialog::OnOppNew},
    {Notification::Clicked, sim::kOppSave, &SimulatorDialog::OnOppSave},
    {Notification::Clicked, sim::kYourDel, &SimulatorDialog::OnYourDel},
    {Notification::Clicked, sim::kOppDel, &SimulatorDialog::OnOppDel},
    {Notification::Clicked, sim::kYourNew, &SimulatorDialog::OnYourNew},
    {Notification::Clicked, sim::kYourSave, &SimulatorDialog::OnYourSave},
    {Notification::Clicked, sim::kBegin, &SimulatorDialog::OnBegin},
    {Notification::SelEndOk, sim::kOppWeaponList, &SimulatorDialog::OnSelectOppWeapon},
    {Notification::SelEndOk, sim::kYourWeaponList, &SimulatorDialog::OnSelectYourWeapon},
    {Notification::SelEndOk, sim::kOppShieldList, &SimulatorDialog::OnSelectOppShield},
    {Notification::SelEndOk, sim::kYourShieldList, &SimulatorDialog::OnSelectYourShield},
};

}  // namespace

SimulatorDialog::SimulatorDialog(QWidget* parent)
    : Dialog(simulatorTemplate(), parent),
      largeIcon(loadIcon(ids::kLargeIcon)),
      smallIcon(loadIcon(ids::kSmallIcon)),
      you_{"You",
           kYourChars,
           yourCharacterList,
           yourWeaponList,
           yourShieldList,
           yourCharacterName,
           yourStrength,
           yourDexterity,
           yourWeaponSkill,
           yourWeaponType,
           yourArmorRating,
           yourTactics,
           yourParry,
           yourWeaponName,
           yourShieldName,
           yourWeaponSpeed,
           yourDiceCount,
           yourDiceSides,
           yourDamageBonus,
           yourShieldAbsorb,
           yourHitPoints,
           yourCombatant()},
      opp_{"Opponent",
           kOppChars,
           oppCharacterList,
           oppWeaponList,
           oppShieldList,
           oppCharacterName,
           oppStrength,
           oppDexterity,
           oppWeaponSkill,
           oppWeaponType,
           oppArmorRating,
           oppTactics,
           oppParry,
           oppWeaponName,
           oppShieldName,
           oppWeaponSpeed,
           oppDiceCount,
           oppDiceSides,
           oppDamageBonus,
           oppShieldAbsorb,
           oppHitPoints,
           oppCombatant()} {
    bindMessageMap(kMessageMap);
}

void SimulatorDialog::doDataExchange(DataExchange& dx) {
    dx.control(sim::kYourShieldList, yourShieldList);
    dx.control(sim::kOppShieldList, oppShieldList);
    dx.control(sim::kYourCharacterList, yourCharacterList);
    dx.control(sim::kOppCharacterList, oppCharacterList);
    dx.control(sim::kProgressBar, progressBar);
    dx.control(sim::kStatusLine, statusLine);
    dx.control(sim::kOppWeaponList, oppWeaponList);
    dx.control(sim::kYourWeaponList, yourWeaponList);
    dx.control(sim::kFightCountSlider, fightCountSlider);
    dx.control(sim::kYourSave, yourSaveButton);
    dx.control(sim::kYourNew, yourNewButton);
    dx.control(sim::kYourDel, yourDelButton);
    dx.control(sim::kOppSave, oppSaveButton);
    dx.control(sim::kOppNew, oppNewButton);
    dx.control(sim::kOppDel, oppDelButton);

    exchangeStat(dx, sim::kOppArmorRating, oppArmorRating, Stat::ArmorRating);
    exchangeStat(dx, sim::kOppParry, oppParry, Stat::Parry);
    exchangeStat(dx, sim::kOppWeaponSkill, oppWeaponSkill, Stat::WeaponSkill);
    dx.listIndex(sim::kOppWeaponTypeList, oppWeaponType);
    dx.text(sim::kStatusLine, statusText);
    exchangeStat(dx, sim::kYourArmorRating, yourArmorRating, Stat::ArmorRating);
    exchangeStat(dx, sim::kYourDexterity, yourDexterity, Stat::Dexterity);
    exchangeStat(dx, sim::kOppDexterity, oppDexterity, Stat::Dexterity);
    exchangeStat(dx, sim::kOppTactics, oppTactics, Stat::Tactics);
    exchangeStat(dx, sim::kOppStrength, oppStrength, Stat::Strength);
    exchangeStat(dx, sim::kYourParry, yourParry, Stat::Parry);
    exchangeStat(dx, sim::kYourStrength, yourStrength, Stat::Strength);
    exchangeStat(dx, sim::kYourTactics, yourTactics, Stat::Tactics);
    exchangeStat(dx, sim::kYourWeaponSkill, yourWeaponSkill, Stat::WeaponSkill);
    dx.listIndex(sim::kYourWeaponTypeList, yourWeaponType);
    dx.listText(sim::kOppShieldList, oppShieldName);
    dx.listText(sim::kOppWeaponList, oppWeaponName);
    dx.listText(sim::kYourShieldList, yourShieldName);
    dx.listText(sim::kYourWeaponList, yourWeaponName);
    dx.listText(sim::kOppCharacterList, oppCharacterName);
    dx.listText(sim::kYourCharacterList, yourCharacterName);
}

bool SimulatorDialog::onInitDialog() {
    // The weapon-type entries and the first exchange, which binds the
    // control members.
    Dialog::onInitDialog();

    // Analysis… comes before About, which stays the last item.
    const std::string_view analysis = loadString(ids::kAnalysisMenuString);
    appendWindowMenuItem(ids::kAnalysisCommand,
                         QString::fromUtf8(analysis.data(), static_cast<qsizetype>(analysis.size())),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    const std::string_view about = loadString(ids::kAboutMenuString);
    if (!about.empty())
        appendWindowMenuItem(ids::kAboutCommand,
                             QString::fromUtf8(about.data(), static_cast<qsizetype>(about.size())));

    setWindowIcons(largeIcon, smallIcon);

    for (BitmapButton* button :
         {yourNewButton, yourSaveButton, yourDelButton, oppNewButton, oppSaveButton, oppDelButton})
        button->autoLoad();

    fightCountSlider->setRange(0, 7);
    // A move of the slider changes the fights of the next run.
    connect(fightCountSlider, &QSlider::valueChanged, this, [this] { const RunChange change(*this); });

    FillShieldLists();
    FillCharacterLists();

    // The one seeding of the generator: every dice roll of every run follows.
    generator().seed(static_cast<std::uint32_t>(std::time(nullptr)));
    fightMode = DamagePer60Seconds;
    return true;  // the focus goes to the You character list
}

void SimulatorDialog::clearStatus() {
    statusText.clear();
    statusLine->clear();
}

void SimulatorDialog::showStatus(const QString& text) {
    statusLine->setSel(0, -1);
    statusLine->replaceSel(text);
}

void SimulatorDialog::onSysCommand(unsigned command, std::int64_t) {
    if ((command & 0xFFF0u) == ids::kAboutCommand) {
        AboutDialog about;
        about.doModal();
    }
    if ((command & 0xFFF0u) == ids::kAnalysisCommand) OnAnalysis();
}

AnalysisWindow* SimulatorDialog::analysisWindow() const { return analysisWindow_; }

void SimulatorDialog::OnAnalysis() {
    // One Analysis window, kept when closed, so that it opens again with
    // its seed and settings.
    if (!analysisWindow_) analysisWindow_ = new AnalysisWindow(*this, *this);
    analysisWindow_->openOnMainWindow();
}

}  // namespace skarn
