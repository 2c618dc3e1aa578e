#include "citizens/ModalOverOpener.h"

#include <QApplication>
#include <QDialog>

namespace citizens {

void MakeModalOverOpener(QDialog& dialog) {
    QWidget* opener = QApplication::activeWindow();
    if (opener && opener != &dialog && dialog.parentWidget() != opener)
        dialog.setParent(opener, dialog.windowFlags());
    dialog.setWindowModality(Qt::WindowModal);
}

}  // namespace citizens
