#include "output/OfficeMessages.h"

#include "gui/MessageBoxes.h"

namespace output {

void ShowOfficeError(QWidget* parent, const OfficeError& error) {
    if (!error.isError())
        return;
    const QString title = QStringLiteral("Ошибка");
    gui::MessageBoxes::error(parent, title, OfficeErrorText(error));
    gui::MessageBoxes::error(parent, title, OfficeStopText(error));
}

}  // namespace output
