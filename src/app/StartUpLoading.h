#pragma once

#include <QString>

class QWidget;

namespace gui {
struct Context;
}

namespace app {

class Forms;

// Whether the ten files the program needs lie in `folder`, tested in a fixed order: the seven
// reference files, then the three form templates. The first missing one is reported with its
// own message (over `parent`) and the application is told to terminate; the files after it
// are not tested.
bool CheckRequiredFiles(const QString& folder, QWidget* parent = nullptr);

// The work of the main window's first showing: the splash window, the required-file check,
// the reference lists loaded into the context with progress shown. Ends the program when a
// file is missing or a reference file holds a bad entry.
void RunStartUpLoading(Forms& forms, gui::Context& context);

}  // namespace app
