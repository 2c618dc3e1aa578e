#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace gui {
struct Context;
}

namespace settings {

// The general settings: whether a payment document needs its number.
class TSettingsForm : public QDialog {
    Q_OBJECT

public:
    TSettingsForm(gui::Context& context, QWidget* parent = nullptr);

    QCheckBox* PPNumberNessCheckBox;
    QPushButton* Button1;  // "Сохранить"
    QPushButton* Button2;  // "Отменить"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void save();

    gui::Context& context_;
};

}  // namespace settings
