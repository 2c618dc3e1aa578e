#pragma once

class QDialog;

namespace citizens {

// Makes `dialog` window-modal over the window that opens it (the active window, when it is
// not the dialog itself), keeping the dialog's window flags: the opener is blocked while the
// dialog is open, and the help window stays usable. Call before exec().
void MakeModalOverOpener(QDialog& dialog);

}  // namespace citizens
