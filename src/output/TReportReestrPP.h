#pragma once

#include <QDialog>

class QPushButton;

namespace controls {
class TExtDateEdit;
}

namespace gui {
struct Context;
}

namespace output {

// "Отчеты: Реестр ПД": the register of the payment documents dated in a period, written into
// a spreadsheet the user names. Modal; both dates are empty each time it is shown.
class TReportReestrPP : public QDialog {
    Q_OBJECT

public:
    TReportReestrPP(gui::Context& context, QWidget* parent = nullptr);

    controls::TExtDateEdit* CustomPanel11;  // "Дата ввода ПД: С"
    controls::TExtDateEdit* CustomPanel12;  // "По:"
    QPushButton* Button1;                   // "Отчет"
    QPushButton* Button2;                   // "Отмена"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void makeReport();
    bool periodAccepted();

    gui::Context& context_;
};

}  // namespace output
