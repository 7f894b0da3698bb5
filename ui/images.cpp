#include "ui/images.h"

#include <QDir>
#include <QString>

namespace skarn {

QPixmap loadBitmap(std::string_view name) {
    if (name.empty()) return {};
    return QPixmap(QStringLiteral(":/skarn/bitmaps/") +
                   QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) +
                   QStringLiteral(".png"));
}

QIcon loadIcon(std::string_view id) {
    QIcon icon;
    if (id.empty()) return icon;
    const QString prefix =
        QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size())) + QLatin1Char('-');
    const QDir dir(QStringLiteral(":/skarn/icons"));
    for (const QString& file : dir.entryList({prefix + QStringLiteral("*.png")}, QDir::Files)) {
        // Only files named ID-SIZE.png, SIZE a number.
        bool isSize = false;
        file.mid(prefix.size()).chopped(4).toInt(&isSize);
        if (isSize) icon.addFile(dir.filePath(file));
    }
    return icon;
}

}  // namespace skarn
