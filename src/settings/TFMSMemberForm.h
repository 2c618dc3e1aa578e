#pragma once

#include <QDialog>

class QPushButton;

namespace controls {
class TEditSD;
}

namespace gui {
struct Context;
}

namespace settings {

// The name of the FMS office that receives the application forms, kept under "FMSMEMBER".
class TFMSMemberForm : public QDialog {
    Q_OBJECT

public:
    TFMSMemberForm(gui::Context& context, QWidget* parent = nullptr);

    controls::TEditSD* Edit1;
    QPushButton* Button2;  // "Сохранить"
    QPushButton* Button3;  // "Отмена"
    QPushButton* Button1;  // "?": this window has no help page

protected:
    void showEvent(QShowEvent* event) override;

private:
    void save();

    gui::Context& context_;
};

}  // namespace settings
