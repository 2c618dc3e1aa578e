#pragma once

#include <QDialog>
#include <optional>

#include "citizens/PaymentDocumentStore.h"

namespace gui {
struct Context;
}

namespace citizens {

// "Реквизиты платежного документа": the one payment document the citizen entry dialog holds
// for the citizen being entered. Modal; nothing is written to the database here, the
// document is written with the citizen.
class TPPEditForm : public QDialog {
    Q_OBJECT

public:
    TPPEditForm(gui::Context& context, QWidget* parent = nullptr);

    // Shows the dialog modally over the citizen dialog for `held` (no value: the citizen has
    // no payment document yet; the payer then starts as `payer`, the citizen's names).
    // "Сохранить" fills `held` (creating it when it had no value) and returns true;
    // "Отмена" returns false and leaves `held` as it was.
    bool EditPaymentDocument(std::optional<PPFormData>& held, const QString& payer);

protected:
    gui::Context& context_;
};

}  // namespace citizens
