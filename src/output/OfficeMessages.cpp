#include "output/OfficeMessages.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include "gui/MessageBoxes.h"
#include "output/OfficeRun.h"

namespace output {

void ShowOfficeError(QWidget* parent, const OfficeError& error) {
    if (!error.isError())
        return;
    const QString title = QStringLiteral("Ошибка");
    gui::MessageBoxes::error(parent, title, OfficeErrorText(error));
    gui::MessageBoxes::error(parent, title, OfficeStopText(error));
}

OfficeBusy::OfficeBusy(OfficeRun& run) : run_(run) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    run_.setWhileStarting(
        [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
}

OfficeBusy::~OfficeBusy() {
    run_.setWhileStarting({});
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace output
