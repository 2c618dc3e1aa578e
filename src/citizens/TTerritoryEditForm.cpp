#include "citizens/TTerritoryEditForm.h"

#include "gui/Context.h"
#include "gui/TerritoryOwner.h"

namespace citizens {

// Until the dialog's grid joins it, it edits nothing.
TTerritoryEditForm::TTerritoryEditForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TerritoryEditForm"));
    setWindowTitle(QStringLiteral("Добавление / Редактирование территорий действия"));
}

bool TTerritoryEditForm::EditTerritories(gui::TerritoryOwner&) {
    return false;
}

}  // namespace citizens
