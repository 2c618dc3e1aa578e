#pragma once

#include <QDialog>

#include "settings/OrganisationStore.h"

class QPushButton;
class QRadioButton;

namespace gui {
struct Context;
}

namespace controls {
class TEditSD;
class TExtDateEdit;
}  // namespace controls

namespace settings {

// The organisation the papers are made for, or the trusted person who acts for it. Every
// showing loads the stored data; "Сохранить" or Enter checks and stores them, "Отмена" or Esc
// closes without storing.
class TOptionOrganizationForm : public QDialog {
    Q_OBJECT

public:
    TOptionOrganizationForm(gui::Context& context, QWidget* parent = nullptr);

    QRadioButton* RadioButton1;             // "Организация:"
    controls::TEditSD* Edit1;               // name
    controls::TEditSD* Edit2;               // ИНН
    controls::TEditSD* EditSD1;             // legal address
    controls::TEditSD* EditSD2;             // ОГРН
    controls::TExtDateEdit* CustomPanel11;  // registration date
    QRadioButton* RadioButton2;             // "Доверенное лицо:"
    controls::TEditSD* Edit3;               // surname
    controls::TEditSD* Edit6;               // given name
    controls::TEditSD* Edit7;               // patronymic
    controls::TEditSD* Edit4;               // passport series
    controls::TEditSD* Edit5;               // passport number
    QPushButton* Button2;                   // "Сохранить"
    QPushButton* Button1;                   // "Отмена"
    QPushButton* Button8;                   // "?"

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void createControls();
    void layOut();
    void selectType(int type);
    void enableGroupOfType(int type);
    void showRecord(const OrgFormData& record);
    OrgFormData record() const;
    bool checkRequiredFields();
    void save();

    gui::Context& context_;
};

}  // namespace settings
