#include "citizens/TPPEditForm.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "citizens/ModalOverOpener.h"
#include "controls/FormParts.h"
#include "controls/KeyFilters.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "storage/Options.h"

namespace citizens {

namespace {

controls::TEditSD* NamedEdit(const char* name, int maxLength, QWidget* parent) {
    auto* edit = controls::Named(new controls::TEditSD(parent), name);
    edit->setMaxLength(maxLength);
    return edit;
}

QLabel* LabelOf(QWidget* field, const QString& text, QWidget* parent, bool mandatory) {
    QLabel* label = controls::FieldLabel(text, parent, mandatory);
    label->setBuddy(field);
    return label;
}

}  // namespace

TPPEditForm::TPPEditForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("PPEditForm"));
    setWindowTitle(QStringLiteral("Реквизиты платежного документа"));

    Edit1 = NamedEdit("Edit1", 250, this);
    Edit1->setMinimumWidth(320);
    RadioButton1 = controls::Named(new QRadioButton(QStringLiteral("п/п"), this), "RadioButton1");
    RadioButton2 = controls::Named(new QRadioButton(QStringLiteral("кв."), this), "RadioButton2");
    RadioButton3 = controls::Named(new QRadioButton(QStringLiteral("пр."), this), "RadioButton3");
    kinds_ = new QButtonGroup(this);
    kinds_->addButton(RadioButton1, 1);
    kinds_->addButton(RadioButton2, 2);
    kinds_->addButton(RadioButton3, 3);
    MaskEdit2 = NamedEdit("MaskEdit2", 30, this);
    controls::InstallKeyFilter(MaskEdit2, controls::KeyFilter::DigitsOnly);
    NumberAsterisk = controls::Named(controls::FieldLabel({}, this, true), "NumberAsterisk");
    MaskEdit1 = NamedEdit("MaskEdit1", 22, this);
    CustomPanel11 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel11");
    MaskEdit3 = NamedEdit("MaskEdit3", 22, this);
    controls::InstallKeyFilter(MaskEdit3, controls::KeyFilter::DigitsOnly);
    Button2 = controls::NamedButton("Button2", QStringLiteral("Сохранить"), this);
    Button3 = controls::NamedButton("Button3", QStringLiteral("Отмена"), this);
    Button1 = controls::NamedButton("Button1", QStringLiteral("Очистить"), this);
    Button8 = controls::NamedButton("Button8", QStringLiteral("?"), this);

    auto* kindRow = new QHBoxLayout;
    for (QRadioButton* kind : {RadioButton1, RadioButton2, RadioButton3})
        kindRow->addWidget(kind);
    kindRow->addStretch();
    auto* numberLabel = new QHBoxLayout;
    numberLabel->setSpacing(3);
    numberLabel->addWidget(
        LabelOf(MaskEdit2, QStringLiteral("№ Платежного документа"), this, false));
    numberLabel->addWidget(NumberAsterisk);
    numberLabel->addStretch();
    auto* legend = new QHBoxLayout;
    legend->setSpacing(0);
    legend->addWidget(controls::FieldLabel({}, this, true));
    legend->addWidget(new QLabel(QStringLiteral(" Поля, обязательные для заполнения"), this));
    legend->addStretch();

    auto* fields = new QGridLayout;
    fields->addWidget(LabelOf(Edit1, QStringLiteral("Плательщик"), this, false), 0, 0);
    fields->addWidget(Edit1, 0, 1);
    fields->addWidget(LabelOf(RadioButton1, QStringLiteral("Вид платежа:"), this, true), 1, 0);
    fields->addLayout(kindRow, 1, 1);
    fields->addLayout(numberLabel, 2, 0);
    fields->addWidget(MaskEdit2, 2, 1);
    fields->addWidget(LabelOf(MaskEdit1, QStringLiteral("Банк"), this, true), 3, 0);
    fields->addWidget(MaskEdit1, 3, 1);
    fields->addWidget(LabelOf(CustomPanel11->Edit(), QStringLiteral("Дата"), this, true), 4, 0);
    fields->addWidget(CustomPanel11, 4, 1, Qt::AlignLeft);
    fields->addWidget(LabelOf(MaskEdit3, QStringLiteral("Сумма"), this, true), 5, 0);
    fields->addWidget(MaskEdit3, 5, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(legend);
    layout->addStretch();
    layout->addLayout(gui::DialogButtonRow(Button8, {Button1, Button2, Button3}));
    gui::InstallDialogKeys(this, Button2, Button3);
    gui::InstallHelp(this, Button8, context_.startFolder, gui::topic::kPaymentDocument);

    connect(Button2, &QPushButton::clicked, this, &TPPEditForm::Save);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button1, &QPushButton::clicked, this, &TPPEditForm::Clear);
}

// The number's mark is also refreshed on every opening, not only by "Очистить", so that it
// always says what the check will ask.
bool TPPEditForm::EditPaymentDocument(std::optional<PPFormData>& held, const QString& payer) {
    MakeModalOverOpener(*this);
    if (held) {
        Fill(*held);
        NumberAsterisk->setVisible(NumberRequired());
    } else {
        Edit1->setText(payer);
        Clear();
    }
    Edit1->setFocus();
    held_ = &held;
    const bool saved = exec() == QDialog::Accepted;
    held_ = nullptr;
    return saved;
}

void TPPEditForm::Clear() {
    NumberAsterisk->setVisible(NumberRequired());
    MaskEdit1->clear();
    MaskEdit2->clear();
    CustomPanel11->SetText({});
    MaskEdit3->setText(QStringLiteral("1000"));
    ChooseKind(1);
}

void TPPEditForm::Fill(const PPFormData& record) {
    Edit1->setText(record.payer);
    MaskEdit2->setText(record.number);
    CustomPanel11->SetText(record.date);
    MaskEdit1->setText(record.bank);
    MaskEdit3->setText(record.sum);
    ChooseKind(record.documentKind);
}

bool TPPEditForm::Check() {
    const auto refuse = [this](const char* text, QWidget* field) {
        gui::MessageBoxes::error(this, QStringLiteral("Ошибка ввода данных"),
                                 QString::fromUtf8(text));
        field->setFocus();
        return false;
    };
    if (ChosenKind() == 0)
        return refuse("Обязательное поле 'Вид платежного документа' не заполнено", RadioButton1);
    if (NumberRequired() && MaskEdit2->text().isEmpty())
        return refuse("Обязательное поле '№ Платежного документа' не заполнено", MaskEdit2);
    if (MaskEdit1->text().isEmpty())
        return refuse("Обязательное поле 'Банк' не заполнено", MaskEdit1);
    const QString date = CustomPanel11->Text();
    if (date.isEmpty())
        return refuse("Обязательное поле 'Дата' не заполнено", CustomPanel11->Edit());
    if (MaskEdit3->text().isEmpty())
        return refuse("Обязательное поле 'Сумма' не заполнено", MaskEdit3);
    if (!dates::IsValidDateText(date).valid)
        return refuse("Фомат поля 'Дата' должен быть ДД/ММ/ГГГГ'", CustomPanel11->Edit());
    return true;
}

// The fields this system never fills are stored empty on every save; INN and KPP are left.
void TPPEditForm::Save() {
    if (!held_ || !Check())
        return;
    if (!held_->has_value())
        held_->emplace();
    PPFormData& record = **held_;
    record.payer = Edit1->text();
    record.number = MaskEdit2->text();
    record.bik.clear();
    record.date = CustomPanel11->Text();
    record.bank = MaskEdit1->text();
    record.sum = MaskEdit3->text();
    record.correspondentAccount.clear();
    record.account.clear();
    record.okato.clear();
    record.paymentKind.clear();
    record.basis.clear();
    record.remainder = 0;
    record.documentKind = ChosenKind();
    accept();
}

bool TPPEditForm::NumberRequired() const {
    storage::AppSettings settings;
    storage::AppSettingsDAO::instance(context_.db).Load(settings);
    return settings.paymentNumberRequired;
}

int TPPEditForm::ChosenKind() const {
    return std::max(0, kinds_->checkedId());
}

// A kind other than 1, 2 or 3 chooses none.
void TPPEditForm::ChooseKind(int kind) {
    kinds_->setExclusive(false);
    for (QAbstractButton* button : kinds_->buttons())
        button->setChecked(kinds_->id(button) == kind);
    kinds_->setExclusive(true);
}

}  // namespace citizens
