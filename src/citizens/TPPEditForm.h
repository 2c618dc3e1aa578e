#pragma once

#include <QDialog>
#include <optional>

#include "citizens/PaymentDocumentStore.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

namespace gui {
struct Context;
}

namespace controls {
class TEditSD;
class TExtDateEdit;
}  // namespace controls

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

    controls::TEditSD* Edit1;    // "Плательщик", at most 250 characters
    QRadioButton* RadioButton1;  // "п/п", document kind 1
    QRadioButton* RadioButton2;  // "кв.", document kind 2
    QRadioButton* RadioButton3;  // "пр.", document kind 3
    controls::TEditSD* MaskEdit2;  // "№ Платежного документа", digits, at most 30
    QLabel* NumberAsterisk;        // shown while "PP_NUMBER_NESS" is "1"
    controls::TEditSD* MaskEdit1;           // "Банк", at most 22 characters
    controls::TExtDateEdit* CustomPanel11;  // "Дата"
    controls::TEditSD* MaskEdit3;           // "Сумма", digits, at most 22
    QPushButton* Button2;                   // "Сохранить"
    QPushButton* Button3;                   // "Отмена"
    QPushButton* Button1;                   // "Очистить"
    QPushButton* Button8;                   // "?"

protected:
    gui::Context& context_;

private:
    // "Очистить": the number's mark from the setting, bank, number and date empty, the sum
    // 1000, "п/п". The payer stays.
    void Clear();
    void Fill(const PPFormData& record);
    // The six checks in their order; the first failure is shown and ends them.
    bool Check();
    void Save();
    bool NumberRequired() const;
    int ChosenKind() const;
    void ChooseKind(int kind);

    QButtonGroup* kinds_;
    std::optional<PPFormData>* held_ = nullptr;
};

}  // namespace citizens
