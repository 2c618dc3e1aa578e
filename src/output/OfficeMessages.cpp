#include "output/OfficeMessages.h"

#include "app/MessageBoxes.h"

namespace output {

void ShowOfficeError(QWidget* parent, const OfficeError& error) {
    if (!error.isError())
        return;
    const QString title = QStringLiteral("Ошибка");
    app::MessageBoxes::error(parent, title, OfficeErrorText(error));
    app::MessageBoxes::error(parent, title, OfficeStopText(error));
}

}  // namespace output
