#pragma once

#include <QDialog>

class QPushButton;
class QRadioButton;

namespace gui {
struct Context;
}

namespace controls {
class TExtSrchComboBox;
}

namespace settings {

// Where the employer's papers are handled: in a region of the user's choice, or at the
// Moscow issuing centre, where every permit, package and citizen carries its territories.
class TOptionRegionForm : public QDialog {
    Q_OBJECT

public:
    TOptionRegionForm(gui::Context& context, QWidget* parent = nullptr);

    QRadioButton* RadioButton1;              // "Ваш регион"
    controls::TExtSrchComboBox* ComboBox11;  // the territories list
    QRadioButton* RadioButton2;              // "Центр выдачи Москва"
    QPushButton* Button2;                    // "Сохранить"
    QPushButton* Button1;                    // "Отмена"
    QPushButton* Button8;                    // "?"

Q_SIGNALS:
    // A new setting was saved; the windows that keep the region type take it from here.
    void regionTypeSaved(int regionType);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void save();

    gui::Context& context_;
};

}  // namespace settings
