#pragma once

#include <QDialog>

#include "citizens/RegistrationAddressStore.h"

namespace gui {
struct Context;
}

namespace citizens {

// "Адрес регистрации": the registration address the citizen entry dialog holds for the
// citizen being entered. Modal; nothing is written to the database here, the address is
// written with the citizen.
class TRegistrationAddr : public QDialog {
    Q_OBJECT

public:
    TRegistrationAddr(gui::Context& context, QWidget* parent = nullptr);

    // A record for a new citizen: every text empty, no district, and the region of the
    // region setting (-1 when the papers go to the Moscow issuing centre).
    RegAddrFormData ResetRecord() const;

    // Shows the dialog modally for `held`. "Сохранить" (once the dates are in order) stores
    // the fields into `held` and returns true; "Отменить" returns false and leaves it.
    bool EditAddress(RegAddrFormData& held);

protected:
    gui::Context& context_;
};

}  // namespace citizens
