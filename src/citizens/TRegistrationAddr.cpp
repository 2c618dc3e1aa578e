#include "citizens/TRegistrationAddr.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "citizens/ModalOverOpener.h"
#include "controls/FormParts.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "settings/RegionSetting.h"

namespace citizens {

namespace {

const QString kErrorTitle = QStringLiteral("Ошибка введенных данных");

QLabel* LabelOf(QWidget* field, const QString& text, QWidget* parent) {
    QLabel* label = controls::FieldLabel(text, parent);
    label->setBuddy(field);
    return label;
}

controls::TEditSD* NamedEdit(const char* name, QWidget* parent) {
    return controls::Named(new controls::TEditSD(parent), name);
}

}  // namespace

TRegistrationAddr::TRegistrationAddr(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("RegistrationAddr"));
    setWindowTitle(QStringLiteral("Адрес регистрации"));

    Edit1 = NamedEdit("Edit1", this);
    ComboBox11 = controls::Named(new controls::TExtSrchComboBox(this), "ComboBox11");
    ComboBox11->setMinimumWidth(320);
    ComboBox12 = controls::Named(new controls::TExtSrchComboBox(this), "ComboBox12");
    Edit2 = NamedEdit("Edit2", this);
    Edit3 = NamedEdit("Edit3", this);
    Edit4 = NamedEdit("Edit4", this);
    Edit5 = NamedEdit("Edit5", this);
    Edit6 = NamedEdit("Edit6", this);
    Edit7 = NamedEdit("Edit7", this);
    CustomPanel11 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel11");
    CustomPanel12 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel12");
    Button1 = controls::NamedButton("Button1", QStringLiteral("Сохранить"), this);
    Button2 = controls::NamedButton("Button2", QStringLiteral("Отменить"), this);
    Button8 = controls::NamedButton("Button8", QStringLiteral("?"), this);

    auto* fields = new QGridLayout;
    const auto row = [fields, this](int at, QWidget* field, const QString& label) {
        fields->addWidget(LabelOf(field, label, this), at, 0);
        fields->addWidget(field, at, 1);
    };
    row(0, Edit1, QStringLiteral("Индекс:"));
    row(1, ComboBox11, QStringLiteral("Регион:"));
    row(2, ComboBox12, QStringLiteral("Район:"));
    row(3, Edit2, QStringLiteral("Город:"));
    row(4, Edit3, QStringLiteral("Улица:"));
    row(5, Edit4, QStringLiteral("Район города:"));
    auto* house = new QHBoxLayout;
    house->addWidget(Edit5);
    house->addWidget(LabelOf(Edit6, QStringLiteral("стр./корп.:"), this));
    house->addWidget(Edit6);
    house->addWidget(LabelOf(Edit7, QStringLiteral("кв./оф.:"), this));
    house->addWidget(Edit7);
    fields->addWidget(LabelOf(Edit5, QStringLiteral("д./вл.:"), this), 6, 0);
    fields->addLayout(house, 6, 1);
    // The "C" is the Latin capital C.
    auto* period = new QHBoxLayout;
    period->addWidget(LabelOf(CustomPanel11->Edit(), QStringLiteral("C:"), this));
    period->addWidget(CustomPanel11);
    period->addWidget(LabelOf(CustomPanel12->Edit(), QStringLiteral("По:"), this));
    period->addWidget(CustomPanel12);
    period->addStretch();
    fields->addWidget(new QLabel(QStringLiteral("Дата регистрации:"), this), 7, 0);
    fields->addLayout(period, 7, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(gui::DialogButtonRow(Button8, {Button1, Button2}));
    gui::InstallDialogKeys(this, Button1, Button2);
    gui::InstallHelp(this, Button8, context_.startFolder, gui::topic::kRegistrationAddress);

    connect(ComboBox11, &QComboBox::activated, this, &TRegistrationAddr::RegionChosen);
    connect(ComboBox11, &controls::TExtSrchComboBox::characterTyped, this,
            [this](const QString& character) {
                if (character == QLatin1String("\r") || character == QLatin1String(" "))
                    RegionChosen();
            });
    // Typing in the list moves the choice to another region too: its districts follow, so
    // that a district of one region is never saved with another region.
    connect(ComboBox11, &QComboBox::currentIndexChanged, this, [this] {
        if (ComboBox11->SelectedComboItemId() != districtsRegion_)
            RegionChosen();
    });
    connect(Button1, &QPushButton::clicked, this, &TRegistrationAddr::Save);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

RegAddrFormData TRegistrationAddr::ResetRecord() const {
    RegAddrFormData record;
    record.region = settings::LoadRegionId(context_.db);
    return record;
}

bool TRegistrationAddr::EditAddress(RegAddrFormData& held) {
    MakeModalOverOpener(*this);
    Load(held);
    Edit1->setFocus();
    held_ = &held;
    const bool saved = exec() == QDialog::Accepted;
    held_ = nullptr;
    return saved;
}

void TRegistrationAddr::Load(const RegAddrFormData& record) {
    ComboBox11->LoadList(context_.lists.regions);
    Edit1->setText(record.postalIndex);
    districtsRegion_ = -1;
    if (record.region != -1)
        ComboBox11->SelectComboItemById(record.region);
    RegionChosen();
    if (ComboBox12->isEnabled())
        ComboBox12->SelectComboItemById(record.district);
    Edit2->setText(record.city);
    Edit3->setText(record.street);
    Edit4->setText(record.cityDistrict);
    Edit5->setText(record.house);
    Edit6->setText(record.building);
    Edit7->setText(record.flat);
    CustomPanel11->SetText(record.registeredFrom);
    CustomPanel12->SetText(record.registeredTo);
}

void TRegistrationAddr::RegionChosen() {
    const int region = ComboBox11->SelectedComboItemId();
    if (region != -1 && !ComboBox11->currentText().isEmpty()) {
        ComboBox12->LoadEntriesWithExtra(context_.lists.districts, region);
        ComboBox12->setEnabled(true);
        districtsRegion_ = region;
    } else {
        ComboBox12->ClearChoice();
        ComboBox12->setEnabled(false);
        districtsRegion_ = -1;
    }
}

bool TRegistrationAddr::CheckDate(controls::TExtDateEdit* field, const QString& name,
                                  QString& date) {
    date = controls::DateTextOnLeaving(field->Text());
    if (date.isEmpty() || (date.size() == 10 && dates::IsValidDateText(date).valid))
        return true;
    gui::MessageBoxes::error(
        this, kErrorTitle,
        QStringLiteral("Поле '%1' должно содержать дату в формате ДД/ММ/ГГГГ").arg(name));
    field->Edit()->setFocus();
    return false;
}

void TRegistrationAddr::Save() {
    if (!held_)
        return;
    QString from;
    QString to;
    if (!CheckDate(CustomPanel11, QStringLiteral("Дата регистрации C"), from) ||
        !CheckDate(CustomPanel12, QStringLiteral("Дата регистрации По"), to))
        return;
    if (!from.isEmpty() && !to.isEmpty() &&
        dates::DateTextToNumber(to) <= dates::DateTextToNumber(from)) {
        gui::MessageBoxes::error(
            this, kErrorTitle,
            QStringLiteral("Поле 'Дата регистрации По' не может быть раньше 'Даты регистрации C'"));
        return;
    }
    RegAddrFormData& record = *held_;
    record.postalIndex = Edit1->text();
    record.region = ComboBox11->SelectedComboItemId();
    record.district = ComboBox12->SelectedComboItemId();
    record.city = Edit2->text();
    record.street = Edit3->text();
    record.cityDistrict = Edit4->text();
    record.house = Edit5->text();
    record.building = Edit6->text();
    record.flat = Edit7->text();
    record.registeredFrom = from;
    record.registeredTo = to;
    accept();
}

}  // namespace citizens
