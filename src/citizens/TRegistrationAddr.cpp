#include "citizens/TRegistrationAddr.h"

#include "gui/Context.h"
#include "settings/RegionSetting.h"

namespace citizens {

// Until the dialog's controls join it, it edits nothing.
TRegistrationAddr::TRegistrationAddr(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("RegistrationAddr"));
    setWindowTitle(QStringLiteral("Адрес регистрации"));
}

RegAddrFormData TRegistrationAddr::ResetRecord() const {
    RegAddrFormData record;
    record.region = settings::LoadRegionId(context_.db);
    return record;
}

bool TRegistrationAddr::EditAddress(RegAddrFormData&) {
    return false;
}

}  // namespace citizens
