#pragma once

#include <QDialog>

#include "citizens/RegistrationAddressStore.h"

class QPushButton;

namespace gui {
struct Context;
}

namespace controls {
class TEditSD;
class TExtDateEdit;
class TExtSrchComboBox;
}  // namespace controls

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

    controls::TEditSD* Edit1;                // "Индекс:"
    controls::TExtSrchComboBox* ComboBox11;  // "Регион:", the regions list
    controls::TExtSrchComboBox* ComboBox12;  // "Район:", the districts of the chosen region
    controls::TEditSD* Edit2;                // "Город:"
    controls::TEditSD* Edit3;                // "Улица:"
    controls::TEditSD* Edit4;                // "Район города:"
    controls::TEditSD* Edit5;                // "д./вл.:"
    controls::TEditSD* Edit6;                // "стр./корп.:"
    controls::TEditSD* Edit7;                // "кв./оф.:"
    controls::TExtDateEdit* CustomPanel11;   // "Дата регистрации:" "C:"
    controls::TExtDateEdit* CustomPanel12;   // "По:"
    QPushButton* Button1;                    // "Сохранить"
    QPushButton* Button2;                    // "Отменить"
    QPushButton* Button8;                    // "?"

protected:
    gui::Context& context_;

private:
    void Load(const RegAddrFormData& record);
    // A region with a name chosen offers its districts; no region disables the districts.
    void RegionChosen();
    // A date field holds nothing or a date; false (after saying which) otherwise. `date`
    // takes the date text.
    bool CheckDate(controls::TExtDateEdit* field, const QString& name, QString& date);
    void Save();

    RegAddrFormData* held_ = nullptr;
    // The region whose districts ComboBox12 offers; -1 for none.
    int districtsRegion_ = -1;
};

}  // namespace citizens
