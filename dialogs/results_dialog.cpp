#include "dialogs/results_dialog.h"

#include "resources/resource_ids.h"
#include "resources/templates.h"
#include "ui/data_exchange.h"

namespace skarn {

namespace res = ids::results;

ResultsDialog::ResultsDialog(QWidget* parent) : Dialog(resultsTemplate(), parent) {}

void ResultsDialog::doDataExchange(DataExchange& dx) {
    dx.number(res::kDamageGiven, resultDamageGiven);
    dx.number(res::kDamageTaken, resultDamageTaken);
    dx.number(res::kTime, resultTime);
    dx.number(res::kWinPercent, resultWinPercent);
}

void ResultsDialog::onOK() { endDialog(IDOK); }

}  // namespace skarn
