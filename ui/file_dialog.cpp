#include "ui/file_dialog.h"

#include <utility>

#include <QFileDialog>
#include <QStringList>

namespace skarn {
namespace {

SaveFileHook& currentHook() {
    static SaveFileHook hook;
    return hook;
}

QString nameFilter(const FileType& type) {
    return QStringLiteral("%1 (*.%2)").arg(type.description, type.suffix);
}

SaveFileChoice showRealDialog(const SaveFileRequest& request) {
    QFileDialog dialog(request.owner, request.caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const FileType& type : request.types) filters << nameFilter(type);
    dialog.setNameFilters(filters);
    const int selected =
        request.selectedType >= 0 && request.selectedType < static_cast<int>(request.types.size())
            ? request.selectedType
            : 0;
    dialog.selectNameFilter(filters[selected]);
    // The suffix follows the chosen type, so that "chart" saved as an SVG
    // image becomes "chart.svg" and the overwrite question names that file.
    dialog.setDefaultSuffix(request.types[static_cast<std::size_t>(selected)].suffix);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const auto index = filters.indexOf(filter);
        if (index >= 0) dialog.setDefaultSuffix(request.types[static_cast<std::size_t>(index)].suffix);
    });
    if (!request.suggestedPath.isEmpty()) dialog.selectFile(request.suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return {dialog.selectedFiles().first(), static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))};
}

}  // namespace

SaveFileChoice askSaveFileName(const SaveFileRequest& request) {
    if (const SaveFileHook& hook = currentHook()) return hook(request);
    return showRealDialog(request);
}

SaveFileHook setSaveFileHook(SaveFileHook hook) { return std::exchange(currentHook(), std::move(hook)); }

}  // namespace skarn
