#pragma once

#include <functional>
#include <vector>

#include <QString>

class QWidget;

// The save dialog and its hook: GUI thread only. The hook is one for the
// whole program.
namespace skarn {

// One kind of file a save dialog offers, such as "PNG image" with the
// suffix "png".
struct FileType {
    QString description;
    QString suffix;  // without the dot
};

// What a save dialog asks for.
struct SaveFileRequest {
    QWidget* owner = nullptr;
    QString caption;
    QString suggestedPath;        // the folder it opens in and the name it offers
    std::vector<FileType> types;  // offered in this order
    int selectedType = 0;         // the one chosen at first
};

// The user's answer: the file to write and the kind of file chosen; an empty
// path when the dialog was cancelled.
struct SaveFileChoice {
    QString path;
    int type = -1;  // index into SaveFileRequest::types
};

// Asks where to save a file, in a modal save dialog owned by
// request.owner: a name typed without a suffix gets the chosen type's, and
// the dialog asks before it lets an existing file be overwritten. Goes
// through the save-dialog hook when one is set.
// REQUIRES: request.types is not empty.
SaveFileChoice askSaveFileName(const SaveFileRequest& request);

// A replacement for the save dialog: gets what would be asked and returns
// the answer. Tests set one to answer without a person.
using SaveFileHook = std::function<SaveFileChoice(const SaveFileRequest&)>;

// Installs `hook` for every following save dialog and returns the hook it
// replaces. An empty hook restores the real dialog.
SaveFileHook setSaveFileHook(SaveFileHook hook);

}  // namespace skarn
