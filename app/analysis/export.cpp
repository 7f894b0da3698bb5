#include "app/analysis/export.h"

#include <cstddef>
#include <string>
#include <vector>

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

QString saveTab(QWidget& owner, AnalysisPage& page, const QString& folder, const QString& description) {
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

    // Charts lay themselves out on a posted event: let them, before they
    // are drawn into the file.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    // Written beside the file and renamed over it at the end, so that a
    // failure leaves an existing file as it was.
    QSaveFile file(choice.path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written && type == 0) {
        written = page.picture()->grab().toImage().save(&file, "PNG");
    } else if (written && type == 1) {
        QWidget* picture = page.picture();
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(picture->size());
        svg.setViewBox(QRect(QPoint(0, 0), picture->size()));
        svg.setTitle(QStringLiteral("Skarn: %1").arg(QString(page.title).remove(u'&')));
        svg.setDescription(description);
        QPainter painter;
        written = painter.begin(&svg);
        if (written) {
            picture->render(&painter);
            written = painter.end();
        }
    } else if (written) {
        const std::string csv = page.csv();
        written = file.write(csv.data(), static_cast<qint64>(csv.size())) == static_cast<qint64>(csv.size());
    }
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
