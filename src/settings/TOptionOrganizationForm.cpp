#include "settings/TOptionOrganizationForm.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "controls/FormParts.h"
#include "controls/KeyFilters.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "gui/SaveFailure.h"

namespace settings {

namespace {

controls::TEditSD* Edit(const char* name, int maxLength, QWidget* parent) {
    auto* edit = controls::Named(new controls::TEditSD(parent), name);
    edit->setMaxLength(maxLength);
    return edit;
}

}  // namespace

TOptionOrganizationForm::TOptionOrganizationForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("OptionOrganizationForm"));
    setWindowTitle(QStringLiteral("Данные об организации и доверенном лице"));
    createControls();
    layOut();
    gui::InstallHelp(this, Button8, context_.startFolder, gui::topic::kOrganisation);
}

void TOptionOrganizationForm::createControls() {
    RadioButton1 =
        controls::Named(new QRadioButton(QStringLiteral("Организация:"), this), "RadioButton1");
    RadioButton2 =
        controls::Named(new QRadioButton(QStringLiteral("Доверенное лицо:"), this), "RadioButton2");
    Edit1 = Edit("Edit1", 255, this);
    Edit2 = Edit("Edit2", 12, this);
    EditSD1 = Edit("EditSD1", 255, this);
    EditSD2 = Edit("EditSD2", 255, this);
    CustomPanel11 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel11");
    Edit3 = Edit("Edit3", 255, this);
    Edit6 = Edit("Edit6", 255, this);
    Edit7 = Edit("Edit7", 255, this);
    Edit4 = Edit("Edit4", 50, this);
    Edit5 = Edit("Edit5", 50, this);
    controls::InstallKeyFilter(Edit1, controls::KeyFilter::OrganisationName);
    controls::InstallKeyFilter(Edit2, controls::KeyFilter::DigitsOnly);

    Button2 = controls::NamedButton("Button2", QStringLiteral("Сохранить"), this);
    Button1 = controls::NamedButton("Button1", QStringLiteral("Отмена"), this);
    Button8 = controls::NamedButton("Button8", QStringLiteral("?"), this);

    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            enableGroupOfType(kOrganisationItself);
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            enableGroupOfType(kTrustedPerson);
    });
    connect(Button2, &QPushButton::clicked, this, &TOptionOrganizationForm::save);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
}

void TOptionOrganizationForm::layOut() {
    using controls::FieldLabel;
    const bool mandatory = true;
    auto* passport = new QHBoxLayout;
    passport->addWidget(FieldLabel(QStringLiteral("Серия:"), this));
    passport->addWidget(Edit4);
    passport->addWidget(FieldLabel(QStringLiteral("Номер:"), this, mandatory));
    passport->addWidget(Edit5);

    // One grid for both groups, so that their labels and fields line up; column 0 indents
    // the fields under their radio button.
    auto* fields = new QGridLayout;
    fields->setColumnMinimumWidth(0, 16);
    int row = 0;
    const auto addRow = [&](const QString& label, bool required, QWidget* field) {
        fields->addWidget(FieldLabel(label, this, required), row, 1);
        fields->addWidget(field, row++, 2);
    };
    fields->addWidget(RadioButton1, row++, 0, 1, 3);
    addRow(QStringLiteral("Наименование организации:"), mandatory, Edit1);
    addRow(QStringLiteral("ИНН:"), mandatory, Edit2);
    addRow(QStringLiteral("Юридический адрес:"), false, EditSD1);
    addRow(QStringLiteral("ОГРН:"), false, EditSD2);
    fields->addWidget(FieldLabel(QStringLiteral("Дата регистрации:"), this), row, 1);
    fields->addWidget(CustomPanel11, row++, 2, Qt::AlignLeft);
    fields->setRowMinimumHeight(row++, 12);
    fields->addWidget(RadioButton2, row++, 0, 1, 3);
    addRow(QStringLiteral("Фамилия:"), mandatory, Edit3);
    addRow(QStringLiteral("Имя:"), mandatory, Edit6);
    addRow(QStringLiteral("Отчество:"), false, Edit7);
    fields->addWidget(FieldLabel(QStringLiteral("Паспорт:"), this), row, 1);
    fields->addLayout(passport, row++, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addSpacing(8);
    layout->addLayout(gui::DialogButtonRow(Button8, {Button2, Button1}));
    setMinimumWidth(560);
    gui::InstallDialogKeys(this, Button2, Button1);
}

void TOptionOrganizationForm::showEvent(QShowEvent* event) {
    const OrgFormData stored = LoadOrganisation(context_.db);
    setWindowTitle(QStringLiteral("Данные об организации и доверенном лице"));
    showRecord(stored);
    selectType(stored.type);
    QDialog::showEvent(event);
}

// Closing clears both choices, so that the next showing selects the stored type afresh.
void TOptionOrganizationForm::hideEvent(QHideEvent* event) {
    for (QRadioButton* radio : {RadioButton1, RadioButton2}) {
        radio->setAutoExclusive(false);
        radio->setChecked(false);
        radio->setAutoExclusive(true);
    }
    QDialog::hideEvent(event);
}

void TOptionOrganizationForm::selectType(int type) {
    (type == kTrustedPerson ? RadioButton2 : RadioButton1)->setChecked(true);
    enableGroupOfType(type);
}

// The group of the other type keeps its values; they are saved with the rest.
void TOptionOrganizationForm::enableGroupOfType(int type) {
    const bool organisation = type != kTrustedPerson;
    for (QWidget* field : QList<QWidget*>{Edit1, Edit2, EditSD1, EditSD2, CustomPanel11})
        field->setEnabled(organisation);
    for (QWidget* field : {Edit3, Edit6, Edit7, Edit4, Edit5})
        field->setEnabled(!organisation);
}

void TOptionOrganizationForm::showRecord(const OrgFormData& stored) {
    Edit1->setText(stored.name);
    Edit2->setText(stored.inn);
    EditSD1->setText(stored.legalAddress);
    EditSD2->setText(stored.ogrn);
    CustomPanel11->SetText(stored.registrationDate);
    Edit3->setText(stored.surname);
    Edit6->setText(stored.givenName);
    Edit7->setText(stored.patronymic);
    Edit4->setText(stored.passportSeries);
    Edit5->setText(stored.passportNumber);
}

OrgFormData TOptionOrganizationForm::record() const {
    OrgFormData entered;
    entered.name = Edit1->text();
    entered.inn = Edit2->text();
    entered.legalAddress = EditSD1->text();
    entered.ogrn = EditSD2->text();
    entered.registrationDate = CustomPanel11->Text();
    entered.surname = Edit3->text();
    entered.givenName = Edit6->text();
    entered.patronymic = Edit7->text();
    entered.passportSeries = Edit4->text();
    entered.passportNumber = Edit5->text();
    entered.type = RadioButton1->isChecked() ? kOrganisationItself : kTrustedPerson;
    return entered;
}

// Only the exactly empty text counts as empty: blanks are accepted.
bool TOptionOrganizationForm::checkRequiredFields() {
    struct Required {
        controls::TEditSD* field;
        bool ofOrganisation;
        const char* message;
    };
    const Required required[] = {
        {Edit1, true, "Поле 'Наименование организации' является обязательным для заполнения."},
        {Edit2, true, "Поле 'ИНН' является обязательным для заполнения."},
        {Edit3, false, "Поле 'Фамилия' является обязательным для заполнения."},
        {Edit6, false, "Поле 'Имя' является обязательным для заполнения."},
        {Edit5, false, "Поле 'Номер паспорта' является обязательным для заполнения."},
    };
    const bool organisation = RadioButton1->isChecked();
    for (const Required& entry : required) {
        if (entry.ofOrganisation == organisation && entry.field->text().isEmpty()) {
            gui::MessageBoxes::error(this, QStringLiteral("Ошибка ввода данных"),
                                     QString::fromUtf8(entry.message));
            entry.field->setFocus();
            return false;
        }
    }
    return true;
}

void TOptionOrganizationForm::save() {
    if (!checkRequiredFields())
        return;
    const OrgFormData entered = record();
    if (!gui::SaveOrReport(this, QStringLiteral("данные об организации и доверенном лице"),
                           [&] { SaveOrganisation(context_.db, entered); }))
        return;
    accept();
}

}  // namespace settings
