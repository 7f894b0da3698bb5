#pragma once

// Save… in the Analysis window: a tab's chart as a PNG or SVG picture, or
// its table as CSV. GUI thread only.

#include <QString>

class QWidget;

namespace skarn {

class AnalysisPage;

// Asks through the save-dialog hook where to save `page`, in `folder` to
// begin with, and writes it there: its picture as PNG or SVG, or its table
// byte for byte as skarn-cli's CSV. The kind follows the name's suffix where
// it is png, svg or csv, else the type chosen in the dialog. An SVG carries
// `description`. The file is written beside its place and renamed over it at
// the end, so that a failure leaves an existing file as it was; a failure is
// told in a message box over `owner`. Returns the path written, or nothing
// when the user cancelled or the write failed.
// REQUIRES: page.hasResult().
QString saveTab(QWidget& owner, AnalysisPage& page, const QString& folder, const QString& description);

}  // namespace skarn
