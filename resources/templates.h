#pragma once

#include <string_view>

#include "ui/dialog_template.h"

namespace skarn {

// The program's dialog templates, with their controls in template order.
const DialogTemplate& aboutTemplate();         // 100, "About Skarn"
const DialogTemplate& simulatorTemplate();     // 102, the main window
const DialogTemplate& resultsTemplate();       // 130, "Results"
const DialogTemplate& optionsTemplate();       // 144, "Options"
const DialogTemplate& newCharacterTemplate();  // 145, "New Character Info"

// The template with `id`, or nullptr.
const DialogTemplate* findTemplate(int id);

// String `id` of the string table; empty when there is none.
std::string_view loadString(int id);

// Registers the compiled-in pictures with the Qt resource system. Every
// function above calls it, so a dialog built from these templates finds its
// pictures; call it directly before loading a picture by name otherwise.
void initResources();

}  // namespace skarn
