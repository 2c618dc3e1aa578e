#include "permits/TPackageEditForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/FormParts.h"
#include "controls/TExtDateEdit.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "gui/SaveFailure.h"
#include "permits/PackageStore.h"
#include "settings/RegionSetting.h"

namespace permits {

namespace {

const QString kInputError = QStringLiteral("Ошибка ввода данных");
const QString kDateError = QStringLiteral("сохранение");

}  // namespace

TPackageEditForm::TPackageEditForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("PackageEditForm"));
    setWindowTitle(QStringLiteral("Добавление пакета"));
    createControls();
    layOut();
    gui::InstallHelp(this, Button7, context_.startFolder, gui::topic::kPackage);
}

void TPackageEditForm::createControls() {
    CustomPanel11 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel11");
    CustomPanel12 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel12");
    Button1 = controls::NamedButton("Button1", QStringLiteral("Территории действия"), this);
    Memo1 = controls::Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFixedHeight(Memo1->fontMetrics().lineSpacing() * 3 + 12);
    Memo2 = controls::Named(new QPlainTextEdit(this), "Memo2");
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setTabChangesFocus(true);
    Button2 = controls::NamedButton("Button2", QStringLiteral("Сохранить"), this);
    Button3 = controls::NamedButton("Button3", QStringLiteral("Отмена"), this);
    Button7 = controls::NamedButton("Button7", QStringLiteral("?"), this);

    connect(CustomPanel11, &controls::TExtDateEdit::exited, this,
            &TPackageEditForm::proposeLastDay);
    connect(Button1, &QPushButton::clicked, this, &TPackageEditForm::editTerritories);
    connect(Button2, &QPushButton::clicked, this, &TPackageEditForm::save);
    connect(Button3, &QPushButton::clicked, this, &TPackageEditForm::cancel);
}

void TPackageEditForm::layOut() {
    using controls::FieldLabel;
    const bool mandatory = true;
    QLabel* from = FieldLabel(QStringLiteral("c:"), this, mandatory);
    from->setBuddy(CustomPanel11->Edit());
    QLabel* to = FieldLabel(QStringLiteral("по:"), this, mandatory);
    to->setBuddy(CustomPanel12->Edit());
    auto* period = new QHBoxLayout;
    period->addWidget(FieldLabel(QStringLiteral("Период действия \nразрешения: "), this));
    period->addSpacing(8);
    period->addWidget(from);
    period->addWidget(CustomPanel11);
    period->addSpacing(16);
    period->addWidget(to);
    period->addWidget(CustomPanel12);
    period->addStretch();

    territoryMark_ = FieldLabel(QString(), this, mandatory);
    auto* territoryButton = new QHBoxLayout;
    territoryButton->addWidget(Button1);
    territoryButton->addWidget(territoryMark_);
    territoryButton->addStretch();

    QLabel* notes = FieldLabel(QStringLiteral("Примечания:"), this);
    notes->setBuddy(Memo2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(period);
    layout->addSpacing(8);
    layout->addLayout(territoryButton);
    layout->addWidget(Memo1);
    layout->addSpacing(8);
    layout->addWidget(notes);
    layout->addWidget(Memo2, 1);
    layout->addSpacing(8);
    layout->addLayout(gui::DialogButtonRow(Button7, {Button2, Button3}));
    resize(520, 400);
    gui::InstallDialogKeys(this, Button2, Button3);
}

void TPackageEditForm::OpenNewPackage() {
    editing_ = false;
    packageId_ = -1;
    clear();
    showTerritoryControls();
    showModeless();
}

bool TPackageEditForm::OpenPackageForEditing(int id) {
    IGPackageFormData package;
    if (!LoadPackage(context_.db, id, package))
        return false;
    editing_ = true;
    packageId_ = package.id;
    territories_ = package.territories;
    Memo2->setPlainText(package.notes);
    Memo1->setPlainText(dictionaries::JoinedNames(context_.lists.territories, territories_, u','));
    CustomPanel11->SetText(package.activeFrom);
    CustomPanel12->SetText(package.activeTo);
    showTerritoryControls();
    showModeless();
    return true;
}

void TPackageEditForm::SetTerritoryEditor(gui::TerritoryEditor editor) {
    territoryEditor_ = std::move(editor);
}

void TPackageEditForm::setTerritories(const QList<int>& ids, const QString& names) {
    territories_ = ids;
    Memo1->setPlainText(names);
}

void TPackageEditForm::showModeless() {
    show();
    raise();
    activateWindow();
}

void TPackageEditForm::clear() {
    Memo2->clear();
    Memo1->clear();
    CustomPanel11->SetText(QString());
    CustomPanel12->SetText(QString());
    territories_.clear();
}

bool TPackageEditForm::territoriesInUse() const {
    return settings::LoadRegionId(context_.db) == -1;
}

// The territory controls follow the region setting as it is when the dialog opens or
// saves: a package opened for editing after the setting changed asks for what is shown.
void TPackageEditForm::showTerritoryControls() {
    const bool inUse = territoriesInUse();
    Button1->setVisible(inUse);
    Memo1->setVisible(inUse);
    territoryMark_->setVisible(inUse);
}

// The usual period of a package: one year from its first day.
void TPackageEditForm::proposeLastDay() {
    const QString from = CustomPanel11->Text();
    if (from.isEmpty() || !dates::IsValidDateText(from).valid)
        return;
    const int lastDay = dates::PeriodEnd(dates::DateTextToNumber(from), 1, 0, 0);
    CustomPanel12->SetText(dates::DateNumberToText(lastDay));
}

void TPackageEditForm::editTerritories() {
    if (territoryEditor_)
        territoryEditor_(*this);
}

// The checks of a save in their order; the first failure is shown and stops the save.
bool TPackageEditForm::checkEntries() {
    const auto refuse = [this](const QString& title, const QString& text, QWidget* focus) {
        gui::MessageBoxes::error(this, title, text);
        if (focus)
            focus->setFocus();
        return false;
    };
    const QString from = CustomPanel11->Text();
    const QString to = CustomPanel12->Text();
    if (from.isEmpty())
        return refuse(kInputError,
                      QStringLiteral("Поле 'Период действия С' является обязательным для "
                                     "заполнения."),
                      CustomPanel11->Edit());
    if (!dates::IsValidDateText(from).valid)
        return refuse(kDateError, QStringLiteral("Ошибка заполнения даты ('Поле период с') "),
                      CustomPanel11->Edit());
    if (to.isEmpty())
        return refuse(kInputError,
                      QStringLiteral("Поле 'Период действия По' является обязательным для "
                                     "заполнения."),
                      CustomPanel12->Edit());
    if (!dates::IsValidDateText(to).valid)
        return refuse(kDateError, QStringLiteral("Ошибка заполнения даты ('Поле период по')"),
                      CustomPanel12->Edit());
    switch (
        dates::CheckPeriod(dates::DateTextToNumber(from), dates::DateTextToNumber(to), 0, 0, 0)) {
        case 1:
            return refuse(kInputError,
                          QStringLiteral("Поле 'Период действия По' не может быть раньше "
                                         "'Периода действия C'"),
                          nullptr);
        case 2:
            return refuse(kInputError,
                          QStringLiteral("Поле 'Период действия По' не может быть раньше "
                                         "настоящей даты"),
                          nullptr);
        default:
            break;
    }
    showTerritoryControls();
    if (territoriesInUse() && Memo1->toPlainText().isEmpty())
        return refuse(kInputError,
                      QStringLiteral("Поле 'Территории действия' является обязательным для "
                                     "заполнения."),
                      nullptr);
    return true;
}

IGPackageFormData TPackageEditForm::record() const {
    IGPackageFormData record;
    record.id = packageId_;
    record.territories = territories_;
    record.notes = Memo2->toPlainText();
    record.activeFrom = CustomPanel11->Text();
    record.activeTo = CustomPanel12->Text();
    return record;
}

void TPackageEditForm::save() {
    if (!checkEntries())
        return;
    const IGPackageFormData package = record();
    if (editing_ ? !saveChanges(package) : !saveNew(package))
        return;
    hide();
}

bool TPackageEditForm::saveNew(const IGPackageFormData& package) {
    IGPackageFormData stored;
    if (!gui::SaveOrReport(this, QStringLiteral("новый пакет"),
                           [&] { stored = AddNewPackage(context_.db, package); }))
        return false;
    gui::MessageBoxes::information(this, QStringLiteral("Добавление пакета ИГ"),
                                   QStringLiteral("Сформирован пакет №") + stored.number);
    return true;
}

// A package deleted in the package search while it was open here cannot take the changes;
// saying so keeps them in the window instead of dropping them silently.
bool TPackageEditForm::saveChanges(const IGPackageFormData& package) {
    bool updated = false;
    if (!gui::SaveOrReport(this, QStringLiteral("изменения пакета"),
                           [&] { updated = UpdatePackage(context_.db, package, packageId_); }))
        return false;
    if (!updated) {
        gui::MessageBoxes::error(this, QStringLiteral("Ошибка сохранения"),
                                 QStringLiteral("Не удалось сохранить изменения пакета: пакет "
                                                "удалён из базы данных.\n\nВведённые данные "
                                                "остались в окне."));
    }
    return updated;
}

void TPackageEditForm::cancel() {
    clear();
    hide();
}

}  // namespace permits
