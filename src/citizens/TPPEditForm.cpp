#include "citizens/TPPEditForm.h"

#include "gui/Context.h"

namespace citizens {

// Until the dialog's controls join it, it edits nothing.
TPPEditForm::TPPEditForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("PPEditForm"));
    setWindowTitle(QStringLiteral("Реквизиты платежного документа"));
}

bool TPPEditForm::EditPaymentDocument(std::optional<PPFormData>&, const QString&) {
    return false;
}

}  // namespace citizens
