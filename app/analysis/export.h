#pragma once

// Save… in the Analysis window: a tab's chart as a PNG or SVG picture, or
// its table as CSV. GUI thread only.

#include <string>

#include <QString>

class QWidget;

namespace skarn {

class AnalysisPage;

// Asks through the save-dialog hook where to save `page`, in `folder` to
// begin with, and writes it there: its picture as PNG or SVG, or its table
// as skarn-cli's CSV printer writes it for the fighters named `you` and
// `opp`. The kind follows the name's suffix where it is png, svg or csv,
// else the type chosen in the dialog. A picture says what it shows (the
// matchup, the mode, and the seed or "exact": page.shownContext) in the
// title drawn on its chart and in the file's own title. The file is written beside its place and renamed over it at
// the end, so that a failure leaves an existing file as it was; a failure is
// told in a message box over `owner`. Returns the path written, or nothing
// when the user cancelled or the write failed.
// REQUIRES: page.hasResult().
QString saveTab(QWidget& owner, AnalysisPage& page, const QString& folder, const std::string& you,
                const std::string& opp);

}  // namespace skarn
