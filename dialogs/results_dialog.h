#pragma once

#include <QWidget>

#include "ui/dialog.h"

namespace skarn {

class DataExchange;

// "Results": the four averages of a run, in read-only fields, each shown as
// printf's "%.*g" with precision 15 gives it (66.6, 60) with a decimal point
// whatever the user's locale. The caller sets the members before running the
// dialog. OK, Escape and the close box end it.
class ResultsDialog : public Dialog {
    Q_OBJECT
public:
    explicit ResultsDialog(QWidget* parent = nullptr);

    double resultDamageGiven = 0.0;  // "Damage Given"
    double resultDamageTaken = 0.0;  // "Damage Taken"
    double resultTime = 0.0;         // "Time in seconds"
    double resultWinPercent = 0.0;   // "Your Win %:"

protected:
    void doDataExchange(DataExchange& dx) override;
    // Ends the dialog with IDOK. The fields are read-only, so there is
    // nothing to take back from them.
    void onOK() override;
};

}  // namespace skarn
