#include "app/analysis/export.h"

#include <cstddef>
#include <string>
#include <vector>

#include <QChart>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWidget>

#include "app/analysis/analysis_page.h"
#include "ui/file_dialog.h"
#include "ui/message_box.h"

namespace skarn {

QString saveTab(QWidget& owner, AnalysisPage& page, const QString& folder, const std::string& you,
                const std::string& opp) {
    const std::vector<FileType> types = {{QStringLiteral("PNG image"), QStringLiteral("png")},
                                         {QStringLiteral("SVG image"), QStringLiteral("svg")},
                                         {QStringLiteral("CSV table"), QStringLiteral("csv")}};
    SaveFileRequest request;
    request.owner = &owner;
    request.caption = QStringLiteral("Save the %1 tab").arg(QString(page.title).remove(u'&'));
    request.suggestedPath = QDir(folder).filePath(QStringLiteral("skarn-%1.png").arg(page.stem));
    request.types = types;
    const SaveFileChoice choice = askSaveFileName(request);
    if (choice.path.isEmpty()) return {};

    // The kind of file follows the name's suffix where it is one of ours,
    // else the type chosen in the dialog.
    const QString suffix = QFileInfo(choice.path).suffix().toLower();
    int type = choice.type;
    for (std::size_t i = 0; i < types.size(); ++i)
        if (suffix == types[i].suffix) type = static_cast<int>(i);

    // A picture names what it shows in the title on its chart while it is
    // drawn, and in the file's own title.
    const QString title = QStringLiteral("Skarn: %1").arg(page.shownContext);
    QChart* chart = type < 2 ? page.titledChart() : nullptr;
    const QString chartTitle = chart ? chart->title() : QString();
    if (chart) chart->setTitle(chartTitle + QStringLiteral(" \u2014 ") + page.shownContext);

    // Charts lay themselves out on a posted event: let them, before they
    // are drawn into the file.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    // Written beside the file and renamed over it at the end, so that a
    // failure leaves an existing file as it was.
    QSaveFile file(choice.path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written && type == 0) {
        QImage image = page.picture()->grab().toImage();
        image.setText(QStringLiteral("Title"), title);
        written = image.save(&file, "PNG");
    } else if (written && type == 1) {
        QWidget* picture = page.picture();
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(picture->size());
        svg.setViewBox(QRect(QPoint(0, 0), picture->size()));
        svg.setTitle(title);
        svg.setDescription(QStringLiteral("The %1 tab of Skarn's Analysis window: %2")
                               .arg(QString(page.title).remove(u'&'), page.shownContext));
        QPainter painter;
        written = painter.begin(&svg);
        if (written) {
            picture->render(&painter);
            written = painter.end();
        }
    } else if (written) {
        const std::string csv = page.csv(you, opp);
        written = file.write(csv.data(), static_cast<qint64>(csv.size())) == static_cast<qint64>(csv.size());
    }
    if (chart) chart->setTitle(chartTitle);
    if (written) written = file.commit();
    if (!written) {
        messageBox(&owner,
                   QStringLiteral("Could not save %1: %2").arg(QDir::toNativeSeparators(choice.path), file.errorString()),
                   applicationName(), MessageIcon::Exclamation);
        return {};
    }
    return choice.path;
}

}  // namespace skarn
