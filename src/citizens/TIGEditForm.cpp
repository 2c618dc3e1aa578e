#include "citizens/TIGEditForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "citizens/Base64.h"
#include "citizens/CitizenSave.h"
#include "citizens/CitizenTerritoryStore.h"
#include "citizens/TPPEditForm.h"
#include "citizens/TPhotoArea.h"
#include "citizens/TRegistrationAddr.h"
#include "citizens/TTerritoryEditForm.h"
#include "controls/FormParts.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "controls/TExtSrchEdit.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "gui/SaveFailure.h"
#include "permits/PackageStore.h"
#include "settings/OrganisationStore.h"
#include "settings/RegionSetting.h"

namespace citizens {

namespace {

const QString kAddCaption = QStringLiteral("Ввод данных о иностранном гражданине");
const QString kEditCaption = QStringLiteral("Редактирование данных о иностранном гражданине");
const QString kSaved = QStringLiteral("данные иностранного гражданина");

controls::TEditSD* PlainEdit(const char* name, QWidget* parent) {
    return controls::Named(new controls::TEditSD(parent), name);
}

// The organisation's and trusted person's fields are filled for the user; the Tab key skips
// them.
controls::TEditSD* OrganisationEdit(const char* name, QWidget* parent) {
    controls::TEditSD* edit = PlainEdit(name, parent);
    edit->setFocusPolicy(Qt::ClickFocus);
    return edit;
}

controls::TExtEdit* StyledEdit(const char* name, int style, int maxLength, QWidget* parent) {
    auto* edit = controls::Named(new controls::TExtEdit(parent), name);
    edit->SetEditStyle(style);
    edit->setMaxLength(maxLength);
    return edit;
}

controls::TExtDateEdit* DateEdit(const char* name, QWidget* parent) {
    auto* edit = controls::Named(new controls::TExtDateEdit(parent), name);
    edit->setFixedWidth(110);
    return edit;
}

controls::TExtSrchComboBox* SearchCombo(const char* name, QWidget* parent) {
    return controls::Named(new controls::TExtSrchComboBox(parent), name);
}

QCheckBox* CheckBox(const char* name, const QString& caption, QWidget* parent) {
    return controls::Named(new QCheckBox(caption, parent), name);
}

// A field's label, named for assistive technology by the field it stands before.
QLabel* LabelOf(QWidget* field, const QString& text, bool mandatory = false) {
    QLabel* label = controls::FieldLabel(text, field->parentWidget(), mandatory);
    label->setBuddy(field);
    return label;
}

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QLabel* Asterisk(QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("*"), parent);
    label->setStyleSheet(QStringLiteral("color: #d00000;"));
    return label;
}

void SetVisible(std::initializer_list<QWidget*> widgets, bool visible) {
    for (QWidget* widget : widgets)
        widget->setVisible(visible);
}

// The entries of `list` for the identifiers, in their order; an identifier the list lacks
// is left out.
dictionaries::ReferenceList NamedEntries(const dictionaries::ReferenceList& list,
                                         const QList<qint32>& ids) {
    dictionaries::ReferenceList entries;
    for (qint32 id : ids) {
        const auto found =
            std::find_if(list.cbegin(), list.cend(),
                         [id](const dictionaries::ReferenceEntry& e) { return e.item.id == id; });
        if (found != list.cend())
            entries.append({found->name, dictionaries::ComboItem(id)});
    }
    return entries;
}

// A date field's text as it shows once the field is left: a date typed as digits is read as
// its date text even when the focus moved on without the field being told (an inactive
// window), since only date texts convert to date numbers.
QString DateText(const controls::TExtDateEdit* field) {
    return controls::DateTextOnLeaving(field->Text());
}

// A modal dialog of this folder shown over the window that opens it: that window is blocked,
// the help window stays usable.
void OverWindow(QDialog* dialog, QWidget* opener) {
    if (dialog->parentWidget() != opener)
        dialog->setParent(opener, dialog->windowFlags());
    dialog->setWindowModality(Qt::WindowModal);
}

}  // namespace

TIGEditForm::TIGEditForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("IGEditForm"));
    setWindowTitle(kAddCaption);
    regionType_ = settings::LoadRegionType(context_.db);
    createControls();
    layOut();
    connectControls();
    gui::InstallHelp(this, Button7, context_.startFolder, gui::HelpTopicSource([this] {
                         return QString::fromLatin1(visa_ ? gui::topic::kCitizenWithVisa
                                                          : gui::topic::kCitizenWithoutVisa);
                     }));
    gui::InstallDialogKeys(this, Button2, Button3);
    setUpMode();
}

TIGEditForm::~TIGEditForm() = default;

void TIGEditForm::UseDialogs(TPPEditForm* payment, TRegistrationAddr* address,
                             TTerritoryEditForm* territories) {
    paymentDialog_ = payment;
    addressDialog_ = address;
    territoryDialog_ = territories;
}

// ---- Controls and layout ----

void TIGEditForm::createControls() {
    OrganisationGroup = controls::Named(new QWidget(this), "OrganisationGroup");
    Edit1 = OrganisationEdit("Edit1", OrganisationGroup);
    Edit2 = OrganisationEdit("Edit2", OrganisationGroup);
    Edit2->setMaxLength(10);
    TrustedPersonGroup = controls::Named(new QWidget(this), "TrustedPersonGroup");
    Edit5 = OrganisationEdit("Edit5", TrustedPersonGroup);
    Edit7 = OrganisationEdit("Edit7", TrustedPersonGroup);
    Edit8 = OrganisationEdit("Edit8", TrustedPersonGroup);
    Edit4 = OrganisationEdit("Edit4", TrustedPersonGroup);
    Edit6 = OrganisationEdit("Edit6", TrustedPersonGroup);
    CheckBox3 = CheckBox("CheckBox3", QStringLiteral("Запомнить данные"), this);
    CheckBox3->setFocusPolicy(Qt::ClickFocus);
    CustomPanel14 = DateEdit("CustomPanel14", this);

    ComboBox1 = controls::Named(new QComboBox(this), "ComboBox1");
    ComboBox1->setMinimumWidth(200);
    Label40 = controls::Named(new QLabel(this), "Label40");
    ComboBox2 = controls::Named(new QComboBox(this), "ComboBox2");
    ComboBox2->setFocusPolicy(Qt::NoFocus);
    ComboBox11 = SearchCombo("ComboBox11", this);
    ComboBox11->setFixedWidth(130);
    ComboProfess = SearchCombo("ComboProfess", this);
    RNPDateFrom = DateEdit("RNPDateFrom", this);
    RNPDateTo = DateEdit("RNPDateTo", this);
    CheckBox4 = CheckBox("CheckBox4", QStringLiteral("Удержать"), this);

    createPassportControls();
    createAttachedControls();
}

void TIGEditForm::createPassportControls() {
    Edit14 = StyledEdit("Edit14", 1, 250, this);
    Edit15 = StyledEdit("Edit15", 1, 250, this);
    Edit = StyledEdit("Edit", 1, 250, this);
    Edit11 = StyledEdit("Edit11", 2, 10, this);
    Edit11->setFixedWidth(90);
    EditPassNum = StyledEdit("EditPassNum", 2, 15, this);
    DateREceive = DateEdit("DateREceive", this);
    IssuedBy = controls::Named(new controls::TExtSrchEdit(this), "IssuedBy");
    IssuedBy->setFixedWidth(245);
    IssuedBy->setMaxLength(250);
    CustomPanel12 = DateEdit("CustomPanel12", this);
    RadioButton1 =
        controls::Named(new QRadioButton(QStringLiteral("Мужской"), this), "RadioButton1");
    RadioButton2 =
        controls::Named(new QRadioButton(QStringLiteral("Женский"), this), "RadioButton2");
    RadioButton1->setChecked(true);
    ComboBox12 = SearchCombo("ComboBox12", this);
    photo_ = controls::Named(new TPhotoArea(context_, this), "PhotoArea");
    EdOsOtm = PlainEdit("EdOsOtm", this);
}

void TIGEditForm::createAttachedControls() {
    CheckBox1 = CheckBox("CheckBox1", QStringLiteral("Все медицинские справки приняты"), this);
    CustomPanel11 = DateEdit("CustomPanel11", this);
    CustomPanel13 = DateEdit("CustomPanel13", this);
    Edit3 = PlainEdit("Edit3", this);
    Edit3->setMinimumWidth(120);
    Label15 = controls::Named(new QLabel(QStringLiteral("Не принято"), this), "Label15");
    Button1 = controls::NamedButton("Button1", QStringLiteral("Принять"), this);
    ButtonPPDel = controls::NamedButton("ButtonPPDel", QStringLiteral("Удалить"), this);
    CheckBox2 = CheckBox("CheckBox2", QStringLiteral("Разрешение на временное проживание"), this);
    Button9 = controls::NamedButton("Button9", QStringLiteral("Адрес регистрации"), this);
    Edit12 = PlainEdit("Edit12", this);
    Label41 = controls::Named(new QLabel(QStringLiteral("Территории действия:"), this), "Label41");
    Button6 = controls::NamedButton("Button6", QStringLiteral("Территории действия"), this);
    TerritoriesAsterisk = controls::Named(Asterisk(this), "TerritoriesAsterisk");
    Memo1 = controls::Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->setFixedHeight(48);
    Label41->setBuddy(Memo1);
    CheckBox5 = CheckBox("CheckBox5", QStringLiteral("Удержать"), this);
    Button2 = controls::NamedButton("Button2", QStringLiteral("Сохранить"), this);
    Button3 = controls::NamedButton("Button3", QStringLiteral("Отмена"), this);
    Button7 = controls::NamedButton("Button7", QStringLiteral("?"), this);
}

void TIGEditForm::layOut() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(organisationArea());
    layout->addWidget(workArea());
    layout->addWidget(passportArea());
    layout->addWidget(attachedArea());
    layout->addStretch();
    layout->addLayout(gui::DialogButtonRow(Button7, {Button2, Button3}));
}

QWidget* TIGEditForm::organisationArea() {
    auto* organisation = new QGridLayout(OrganisationGroup);
    organisation->setContentsMargins(0, 0, 0, 0);
    organisation->addWidget(Heading(QStringLiteral("Данные об"), OrganisationGroup), 0, 0);
    organisation->addWidget(Heading(QStringLiteral("Организации:"), OrganisationGroup), 1, 0);
    organisation->addWidget(LabelOf(Edit1, QStringLiteral("Наименование:"), true), 0, 1);
    organisation->addWidget(Edit1, 0, 2);
    organisation->addWidget(LabelOf(Edit2, QStringLiteral("ИНН:"), true), 1, 1);
    organisation->addWidget(Edit2, 1, 2, Qt::AlignLeft);
    Edit1->setMinimumWidth(320);
    Edit2->setFixedWidth(120);

    auto* person = new QGridLayout(TrustedPersonGroup);
    person->setContentsMargins(0, 0, 0, 0);
    person->addWidget(Heading(QStringLiteral("Данные о "), TrustedPersonGroup), 0, 0);
    person->addWidget(Heading(QStringLiteral("Доверенном лице:"), TrustedPersonGroup), 1, 0);
    person->addWidget(LabelOf(Edit5, QStringLiteral("Фамилия:"), true), 0, 1);
    person->addWidget(Edit5, 0, 2);
    person->addWidget(LabelOf(Edit7, QStringLiteral("Имя:"), true), 0, 3);
    person->addWidget(Edit7, 0, 4);
    person->addWidget(LabelOf(Edit8, QStringLiteral("Отчество:")), 0, 5);
    person->addWidget(Edit8, 0, 6);
    person->addWidget(LabelOf(Edit4, QStringLiteral("Паспорт:     Серия")), 1, 1);
    person->addWidget(Edit4, 1, 2);
    person->addWidget(LabelOf(Edit6, QStringLiteral("Номер:"), true), 1, 3);
    person->addWidget(Edit6, 1, 4);
    for (QWidget* field : std::initializer_list<QWidget*>{Edit5, Edit7, Edit8, Edit4, Edit6})
        field->setMinimumWidth(130);

    auto* area = new QFrame(this);
    area->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(area);
    row->addWidget(OrganisationGroup, 1);
    row->addWidget(TrustedPersonGroup, 1);
    auto* right = new QGridLayout;
    right->addWidget(CheckBox3, 0, 0, 1, 2);
    right->addWidget(LabelOf(CustomPanel14, QStringLiteral("Дата заполнения:")), 1, 0);
    right->addWidget(CustomPanel14, 1, 1);
    row->addLayout(right);
    return area;
}

QWidget* TIGEditForm::workArea() {
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 4, 0, 4);
    PermitLabel = controls::Named(LabelOf(ComboBox1, QStringLiteral("РНП:")), "PermitLabel");
    grid->addWidget(PermitLabel, 0, 0);
    auto* permit = new QHBoxLayout;
    permit->addWidget(ComboBox1);
    permit->addSpacing(12);
    permit->addWidget(Label40, 1);
    grid->addLayout(permit, 0, 1, 1, 6);
    PackageLabel =
        controls::Named(LabelOf(ComboBox2, QStringLiteral("Номер пакета:")), "PackageLabel");
    grid->addWidget(PackageLabel, 1, 0);
    grid->addWidget(ComboBox2, 1, 1, 1, 6);

    grid->addWidget(LabelOf(ComboProfess, QStringLiteral("Профессия:"), true), 2, 0);
    auto* profession = new QHBoxLayout;
    profession->addWidget(ComboBox11);
    profession->addWidget(ComboProfess, 1);
    grid->addLayout(profession, 2, 1, 1, 6);

    grid->addWidget(new QLabel(QStringLiteral("Разрешение на работу ИГ:"), area), 3, 0, 1, 2);
    grid->addWidget(LabelOf(RNPDateFrom, QStringLiteral("Период действия      c:"), true), 4, 0);
    grid->addWidget(RNPDateFrom, 4, 1);
    grid->addWidget(LabelOf(RNPDateTo, QStringLiteral("по:"), true), 4, 2);
    grid->addWidget(RNPDateTo, 4, 3);
    grid->addWidget(CheckBox4, 4, 4);
    grid->setColumnStretch(6, 1);
    return area;
}

QWidget* TIGEditForm::passportArea() {
    auto* area = new QFrame(this);
    area->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(Heading(QStringLiteral("Паспортные данные ИГ:"), area), row++, 0, 1, 4);
    const auto addRow = [&](QWidget* field, const QString& text, bool mandatory) {
        grid->addWidget(LabelOf(field, text, mandatory), row, 0);
        grid->addWidget(field, row++, 1, 1, 3);
    };
    addRow(Edit14, QStringLiteral("Фамилия:"), true);
    addRow(Edit15, QStringLiteral("Имя:"), true);
    addRow(Edit, QStringLiteral("Отчество:"), false);
    grid->addWidget(LabelOf(Edit11, QStringLiteral("Паспорт: Серия:")), row, 0);
    grid->addWidget(Edit11, row, 1);
    grid->addWidget(LabelOf(EditPassNum, QStringLiteral("Номер:"), true), row, 2, Qt::AlignRight);
    grid->addWidget(EditPassNum, row++, 3);
    grid->addWidget(LabelOf(DateREceive, QStringLiteral("Дата выдачи:")), row, 0);
    grid->addWidget(DateREceive, row++, 1, 1, 3, Qt::AlignLeft);
    grid->addWidget(LabelOf(IssuedBy, QStringLiteral("Кем выдан:")), row, 0);
    grid->addWidget(IssuedBy, row++, 1, 1, 3, Qt::AlignLeft);
    grid->addWidget(LabelOf(CustomPanel12, QStringLiteral("Дата рождения:"), true), row, 0);
    grid->addWidget(CustomPanel12, row++, 1, 1, 3, Qt::AlignLeft);
    auto* sex = new QHBoxLayout;
    sex->addWidget(RadioButton1);
    sex->addWidget(RadioButton2);
    sex->addStretch();
    grid->addWidget(LabelOf(RadioButton1, QStringLiteral("Пол:"), true), row, 0);
    grid->addLayout(sex, row++, 1, 1, 3);
    addRow(ComboBox12, QStringLiteral("Гражданство:"), true);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(3, 1);
    for (QWidget* field : std::initializer_list<QWidget*>{Edit14, Edit15, Edit, ComboBox12})
        field->setMinimumWidth(360);

    auto* photo = new QVBoxLayout;
    photo->addWidget(LabelOf(photo_->Button5, QStringLiteral("Фотография:"), true));
    photo->addWidget(photo_);
    photo->addStretch();

    auto* marks = new QHBoxLayout;
    marks->addWidget(LabelOf(EdOsOtm, QStringLiteral("Особые отметки:")));
    marks->addWidget(EdOsOtm, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(grid, 1);
    columns->addSpacing(16);
    columns->addLayout(photo);
    auto* layout = new QVBoxLayout(area);
    layout->addLayout(columns);
    layout->addLayout(marks);
    return area;
}

QWidget* TIGEditForm::attachedArea() {
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 4, 0, 0);
    AcceptanceLabel = LabelOf(CustomPanel11, QStringLiteral("Дата принятия:"), true);
    CertificateIssueLabel = LabelOf(CustomPanel13, QStringLiteral("Дата выдачи:"));
    CertificateNumberLabel = LabelOf(Edit3, QStringLiteral("Номер:"));
    auto* certificates = new QHBoxLayout;
    for (QWidget* part :
         std::initializer_list<QWidget*>{AcceptanceLabel, CustomPanel11, CertificateIssueLabel,
                                         CustomPanel13, CertificateNumberLabel, Edit3})
        certificates->addWidget(part);
    certificates->addStretch();
    grid->addWidget(CheckBox1, 0, 0);
    grid->addLayout(certificates, 0, 1, 1, 3);

    auto* payment = new QHBoxLayout;
    payment->addWidget(Label15);
    payment->addWidget(Button1);
    payment->addWidget(ButtonPPDel);
    payment->addStretch();
    grid->addWidget(LabelOf(Button1, QStringLiteral("Платежное поручение:")), 1, 0);
    grid->addLayout(payment, 1, 1, 1, 3);

    grid->addWidget(CheckBox2, 2, 0);
    grid->addWidget(Button9, 2, 1, Qt::AlignLeft);
    grid->addWidget(LabelOf(Edit12, QStringLiteral("Адрес постоянного места жительства:")), 3, 0);
    grid->addWidget(Edit12, 3, 1, 1, 3);

    auto* territories = new QHBoxLayout;
    territories->addWidget(Label41);
    territories->addWidget(Button6);
    territories->addWidget(TerritoriesAsterisk);
    territories->addStretch();
    grid->addLayout(territories, 4, 0, Qt::AlignTop);
    grid->addWidget(Memo1, 4, 1, 1, 2);
    grid->addWidget(CheckBox5, 4, 3, Qt::AlignTop);
    grid->setColumnStretch(2, 1);
    return area;
}

void TIGEditForm::connectControls() {
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TIGEditForm::permitChosen);
    connect(ComboProfess, &QComboBox::currentIndexChanged, this, &TIGEditForm::professionChosen);
    connect(ComboBox12, &QComboBox::currentIndexChanged, this, &TIGEditForm::citizenshipChosen);
    connect(CheckBox2, &QCheckBox::toggled, this, &TIGEditForm::temporaryResidenceToggled);
    connect(CheckBox1, &QCheckBox::toggled, this, &TIGEditForm::medicalCertificatesToggled);
    connect(RNPDateFrom, &controls::TExtDateEdit::exited, this, &TIGEditForm::proposePeriodEnd);
    connect(ButtonPPDel, &QPushButton::clicked, this, &TIGEditForm::removePaymentDocument);
    connect(Button1, &QPushButton::clicked, this, &TIGEditForm::editPaymentDocument);
    connect(Button9, &QPushButton::clicked, this, &TIGEditForm::editAddress);
    connect(Button6, &QPushButton::clicked, this, &TIGEditForm::editTerritories);
    connect(Button2, &QPushButton::clicked, this, &TIGEditForm::save);
    connect(Button3, &QPushButton::clicked, this, &TIGEditForm::cancel);
}

// ---- Openers ----

void TIGEditForm::OpenNewCitizen(int visaRegime) {
    packageLink_ = false;
    setWindowTitle(kAddCaption);
    visa_ = visaRegime == 1;
    ComboProfess->setEnabled(false);
    ComboBox12->setEnabled(false);
    clear();
    editing_ = false;
    editedKey_ = storedProfession_ = storedCitizenship_ = storedPackage_ = -1;
    setUpMode();
    present();
    // Under a permit nothing can be entered before the permit is chosen.
    enableDataFields(!visa_);
}

void TIGEditForm::OpenNewCitizenInPackage(int packageId) {
    packageLink_ = true;
    setWindowTitle(kAddCaption);
    visa_ = false;
    clear();
    enableDataFields(true);
    editing_ = false;
    editedKey_ = storedProfession_ = storedCitizenship_ = storedPackage_ = -1;
    setUpMode();
    present();
    fillPackageList(false);
    {
        const QSignalBlocker quiet(ComboBox2);
        ComboBox2->setCurrentIndex(ComboBox2->findData(packageId));
    }
    packageChosen();
}

void TIGEditForm::OpenCitizenForEditing(int key) {
    IGFormData record;
    if (!LoadCitizen(context_.db, record, key)) {
        gui::MessageBoxes::error(this, QStringLiteral("Ошибка"),
                                 QStringLiteral("Иностранный гражданин не найден в базе данных: "
                                                "его запись удалена."));
        return;
    }
    PPFormData document;
    HoldPaymentDocument(LoadCitizenPaymentDocument(context_.db, key, document)
                            ? std::optional<PPFormData>(document)
                            : std::nullopt);
    editing_ = true;
    setWindowTitle(kEditCaption);
    ComboProfess->setEnabled(true);
    ComboBox12->setEnabled(true);
    // What an earlier citizen left must not shape this one: the quotas of its permit and a
    // permit list read before permits changed.
    quotaLoaded_ = false;
    prefixIndex_.clear();
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->clear();
    }
    fillFromRecord(record);
    showTerritories(LoadCitizenTerritories(context_.db, key));
    address_ = addressDialog_ ? addressDialog_->ResetRecord() : RegAddrFormData();
    LoadRegistrationAddress(context_.db, address_, key);
    IssuedBy->DropDown()->hide();
    present();
    enableDataFields(true);
}

void TIGEditForm::SetRegionType(int regionType) {
    regionType_ = regionType;
    setUpTerritoryControls();
}

void TIGEditForm::TakeReferenceLists() {
    IssuedBy->LoadList(context_.lists.allCountries);
    const QSignalBlocker quietProfession(ComboProfess);
    const QSignalBlocker quietCountry(ComboBox12);
    ComboProfess->LoadList(context_.lists.professions);
    ComboBox12->LoadList(context_.lists.visaFreeCountries);
}

// Shown anew, or brought to the front already shown: either way it is set up as on showing.
void TIGEditForm::present() {
    if (isVisible()) {
        onShowing();
    } else {
        // The window takes its size from the group that will show.
        showOrganisationGroup();
        show();
    }
    raise();
    activateWindow();
}

void TIGEditForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored by the window system keeps what it shows.
    if (!event->spontaneous())
        onShowing();
}

void TIGEditForm::onShowing() {
    CustomPanel14->setFocus();
    if (!editing_) {
        CheckBox3->setChecked(remembered_.on);
        if (remembered_.on) {
            Edit1->setText(remembered_.orgName);
            Edit2->setText(remembered_.orgInn);
            Edit5->setText(remembered_.surname);
            Edit7->setText(remembered_.givenName);
            Edit8->setText(remembered_.patronymic);
            Edit4->setText(remembered_.passportSeries);
            Edit6->setText(remembered_.passportNumber);
        } else {
            const settings::OrgFormData org = settings::LoadOrganisation(context_.db);
            Edit1->setText(org.name);
            Edit2->setText(org.inn);
            Edit5->setText(org.surname);
            Edit7->setText(org.givenName);
            Edit8->setText(org.patronymic);
            Edit4->setText(org.passportSeries);
            Edit6->setText(org.passportNumber);
        }
    }
    showOrganisationGroup();
}

int TIGEditForm::organisationType() const {
    return editing_ ? storedOrgType_ : settings::LoadOrganisation(context_.db).type;
}

void TIGEditForm::showOrganisationGroup() {
    const bool trusted = organisationType() == settings::kTrustedPerson;
    OrganisationGroup->setVisible(!trusted);
    TrustedPersonGroup->setVisible(trusted);
}

// ---- Clearing and setting up ----

// Prepares the window for a new citizen; the organisation's fields and "Запомнить данные"
// stay as they are.
void TIGEditForm::clear() {
    const dictionaries::ReferenceLists& lists = context_.lists;
    IssuedBy->LoadList(lists.allCountries);
    IssuedBy->clear();
    {
        const QSignalBlocker quietProfession(ComboProfess);
        const QSignalBlocker quietCountry(ComboBox12);
        ComboProfess->LoadList(lists.professions);
        ComboBox12->LoadList(lists.visaFreeCountries);
        ComboBox11->LoadList(lists.professionPrefixes);
    }
    for (QLineEdit* edit :
         std::initializer_list<QLineEdit*>{Edit14, Edit15, Edit, Edit11, EditPassNum, EdOsOtm})
        edit->clear();
    DateREceive->SetText({});
    CustomPanel12->SetText({});
    RadioButton1->setChecked(true);
    CheckBox1->setChecked(false);
    HoldPaymentDocument(std::nullopt);
    CheckBox2->setChecked(false);
    photo_->Clear();
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->clear();
    }
    CustomPanel14->SetText(dates::DateNumberToText(dates::Today()));
    Edit12->clear();
    address_ = addressDialog_ ? addressDialog_->ResetRecord() : RegAddrFormData();
    if (!(CheckBox4->isChecked() && !visa_)) {
        RNPDateFrom->SetText({});
        RNPDateTo->SetText({});
    }
    if (!(CheckBox5->isChecked() && !visa_ && regionType_ == settings::kMoscowIssuingCentre)) {
        territories_.clear();
        Memo1->clear();
    }
    Label40->clear();
    medicalCertificatesToggled(false);
    CustomPanel11->SetText(dates::DateNumberToText(dates::Today()));
    CustomPanel13->SetText({});
    Edit3->clear();
    quotaLoaded_ = false;
    prefixIndex_.clear();
}

// What the regime and the mode allow; run after every change of regime, mode or enabling.
void TIGEditForm::setUpMode() {
    if (visa_) {
        Button9->setEnabled(false);
        packageLink_ = false;
        CheckBox2->setEnabled(false);
        if (!editing_)
            CheckBox2->setChecked(false);
        SetVisible({PermitLabel, ComboBox1, Label40}, true);
        ComboBox1->setEnabled(true);
        if (ComboBox1->count() == 0)
            fillPermitList();
    } else {
        ComboBox11->setEnabled(true);
        CheckBox2->setEnabled(true);
        SetVisible({PermitLabel, ComboBox1, Label40}, false);
        Button9->setEnabled(true);
        packageLink_ = true;
        if (!editing_)
            fillPackageList(true);
    }
    SetVisible({PackageLabel, ComboBox2}, false);
    setUpTerritoryControls();
    setWindowTitle((editing_ ? kEditCaption : kAddCaption) +
                   (visa_ ? QStringLiteral(".Визовый") : QStringLiteral(".Безвизовый")));
    setUpTabOrder();
}

// With a region of its own no territories are asked for. At the Moscow issuing centre a
// citizen under a permit has the permit's territories, shown only; a visa-free citizen has
// its own, chosen in the territory dialog.
void TIGEditForm::setUpTerritoryControls() {
    const bool territories = regionType_ == settings::kMoscowIssuingCentre;
    Memo1->setVisible(territories);
    Label41->setVisible(territories && visa_);
    SetVisible({Button6, TerritoriesAsterisk, CheckBox5}, territories && !visa_);
    CheckBox4->setVisible(!visa_);
}

// The order of the paper form; the prefix depends on the profession under a permit, so the
// profession comes first there.
void TIGEditForm::setUpTabOrder() {
    QList<QWidget*> order{CustomPanel14, ComboBox1};
    if (visa_)
        order << ComboProfess << ComboBox11;
    else
        order << ComboBox11 << ComboProfess;
    order << RNPDateFrom << RNPDateTo << CheckBox4 << Edit14 << Edit15 << Edit << Edit11
          << EditPassNum << DateREceive << IssuedBy << CustomPanel12 << RadioButton1 << RadioButton2
          << ComboBox12 << photo_->Button4 << photo_->Button5 << photo_->Button8 << EdOsOtm
          << CheckBox1 << CustomPanel11 << CustomPanel13 << Edit3 << Button1 << ButtonPPDel
          << CheckBox2 << Button9 << Edit12 << Button6 << CheckBox5 << Button2 << Button3
          << Button7;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TIGEditForm::enableDataFields(bool enabled) {
    for (QWidget* field : std::initializer_list<QWidget*>{
             ComboProfess,    Edit14,      Edit15,        Edit,         Edit11,
             EditPassNum,     DateREceive, CustomPanel12, RadioButton1, RadioButton2,
             ComboBox12,      RNPDateFrom, RNPDateTo,     CheckBox4,    photo_->Button4,
             photo_->Button5, Button1,     CheckBox2,     Button9,      Edit12,
             Button6,         CheckBox5,   IssuedBy,      EdOsOtm,      ComboBox11})
        field->setEnabled(enabled);
    // Certificates are not asked for a citizen with a temporary residence permit.
    CheckBox1->setEnabled(enabled && !CheckBox2->isChecked());
    setUpMode();
}

void TIGEditForm::fillPermitList() {
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->clear();
    ComboBox1->addItem(QString());
    ComboBox1->addItems(permits::FindPermitNumbers(context_.db, QString()));
}

void TIGEditForm::fillPackageList(bool withEmptyEntry) {
    const QSignalBlocker quiet(ComboBox2);
    ComboBox2->clear();
    if (withEmptyEntry)
        ComboBox2->addItem(QString(), -1);
    for (const permits::PackageListEntry& entry : permits::ListPackages(context_.db))
        ComboBox2->addItem(entry.text, entry.id);
    ComboBox2->setCurrentIndex(withEmptyEntry ? 0 : -1);
}

void TIGEditForm::selectPermit(const QString& number) {
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->setCurrentIndex(-1);
    for (int i = 0; i < ComboBox1->count(); ++i) {
        if (ComboBox1->itemText(i) == number) {
            ComboBox1->setCurrentIndex(i);
            return;
        }
    }
}

void TIGEditForm::fillFromRecord(const IGFormData& r) {
    const dictionaries::ReferenceLists& lists = context_.lists;
    const QSignalBlocker quietProfession(ComboProfess);
    const QSignalBlocker quietCountry(ComboBox12);
    ComboProfess->LoadList(lists.professions);
    ComboBox11->LoadList(lists.professionPrefixes);
    Edit14->setText(r.surname);
    Edit15->setText(r.givenName);
    Edit->setText(r.patronymic);
    Edit11->setText(r.passportSeries);
    EditPassNum->setText(r.passportNumber);
    DateREceive->SetText(r.passportIssueDate);
    IssuedBy->setText(r.passportIssuedBy);
    CustomPanel12->SetText(r.birthDate);
    const bool medical = r.medicalCertificatesAccepted == 1;
    CheckBox1->setChecked(medical);
    medicalCertificatesToggled(medical);
    CustomPanel11->SetText(medical ? r.medicalAcceptanceDate : QString());
    CustomPanel13->SetText(medical ? r.medicalIssueDate : QString());
    Edit3->setText(medical ? r.medicalNumber : QString());
    Edit12->setText(r.permanentAddress);
    CustomPanel14->SetText(r.fillingDate);
    CheckBox2->setChecked(r.temporaryResidence == 1);
    ComboBox12->LoadList(r.temporaryResidence == 1 ? lists.allCountries : lists.visaFreeCountries);

    visa_ = r.visaRegime == 1;
    setUpMode();
    storedPackage_ = r.package;
    if (!visa_) {
        // A package deleted since is not listed: the choice stays empty, and the save keeps
        // the stored package (chosenPackage).
        fillPackageList(true);
        const QSignalBlocker quiet(ComboBox2);
        ComboBox2->setCurrentIndex(std::max(0, ComboBox2->findData(r.package)));
    } else {
        selectPermit(r.permitNumber);
    }
    RNPDateFrom->SetText(r.workFrom);
    RNPDateTo->SetText(r.workTo);
    Edit1->setText(r.orgName);
    Edit2->setText(r.orgInn);
    Edit5->setText(r.trustedSurname);
    Edit7->setText(r.trustedGivenName);
    Edit8->setText(r.trustedPatronymic);
    Edit4->setText(r.trustedPassportSeries);
    Edit6->setText(r.trustedPassportNumber);
    storedOrgType_ = r.orgType;
    storedProfession_ = r.profession;
    storedCitizenship_ = r.citizenship;
    if (visa_ && ComboBox1->currentIndex() > 0)
        permitChosen();

    ComboProfess->SelectComboItemById(r.profession);
    if (visa_) {
        // The citizen's own prefix is still free for it.
        for (permits::PrefixQuots& prefix : prefixIndex_[r.profession]) {
            if (prefix.prefix == r.professionPrefix) {
                ++prefix.quota;
                break;
            }
        }
    }
    professionChosen();
    ComboBox11->SelectComboItemById(r.professionPrefix);
    ComboBox12->setCurrentIndex(-1);
    ComboBox12->SelectComboItemById(r.citizenship);
    EdOsOtm->setText(r.specialMarks);
    (r.sex == 1 ? RadioButton1 : RadioButton2)->setChecked(true);
    photo_->ShowStoredPhoto(r.photo);
    editedKey_ = r.key;
}

// ---- Reactions to the user ----

void TIGEditForm::permitChosen() {
    const QString number = ComboBox1->currentText();
    if (ComboBox1->currentIndex() <= 0 || number.isEmpty()) {
        enableDataFields(false);
        return;
    }
    enableDataFields(true);
    permits::Permit permit;
    permits::LoadPermit(context_.db, number, permit);
    Label40->setText(QStringLiteral("Период действия: ") +
                     dates::DateNumberToText(permit.dateFrom) + QLatin1Char('-') +
                     dates::DateNumberToText(permit.dateTo));
    if (regionType_ == settings::kMoscowIssuingCentre)
        showTerritories(permits::LoadPermitTerritories(context_.db, number));
    permits::SubtractUsedQuotas(context_.db, number, permit.countries, permit.professions);
    prefixIndex_ = permits::BuildProfessionPrefixIndex(permit.professions);
    quotaLoaded_ = true;
    permits::GiveBackCitizenPlace(permit.countries, permit.professions, storedCitizenship_,
                                  storedProfession_);

    const QList<qint32> countries = permits::OfferedCountries(permit.countries);
    const QList<qint32> professions = permits::OfferedProfessions(permit.professions);
    {
        const QSignalBlocker quietProfession(ComboProfess);
        const QSignalBlocker quietCountry(ComboBox12);
        ComboProfess->LoadList(NamedEntries(context_.lists.professions, professions));
        ComboBox12->LoadList(NamedEntries(context_.lists.allCountries, countries));
        ComboBox11->LoadList({}, false);
    }
    if (countries.isEmpty() && professions.isEmpty())
        gui::MessageBoxes::show(this, QMessageBox::NoIcon, QStringLiteral("Ошибка выбора РНП"),
                                QStringLiteral("Недостаточно квот для данного кода РНП"));
}

// Under a permit the prefixes offered are those of the chosen profession with places left.
void TIGEditForm::professionChosen() {
    if (!quotaLoaded_)
        return;
    dictionaries::ReferenceList prefixes;
    for (const permits::PrefixQuots& prefix :
         prefixIndex_.value(ComboProfess->SelectedComboItemId())) {
        if (prefix.quota > 0)
            prefixes.append(
                {dictionaries::NameById(context_.lists.professionPrefixes, prefix.prefix),
                 dictionaries::ComboItem(prefix.prefix)});
    }
    ComboBox11->LoadList(prefixes, false);
    if (ComboBox11->count() > 0)
        ComboBox11->setCurrentIndex(0);
}

void TIGEditForm::citizenshipChosen() {
    Edit12->setText(
        dictionaries::NameById(context_.lists.allCountries, ComboBox12->SelectedComboItemId()));
}

// A citizen with a temporary residence permit brings no medical certificates and may come
// from any country.
void TIGEditForm::temporaryResidenceToggled(bool checked) {
    if (checked) {
        CheckBox1->setChecked(false);
        CheckBox1->setEnabled(false);
    } else {
        CheckBox1->setEnabled(true);
    }
    if (!visa_)
        loadCountries(checked ? context_.lists.allCountries : context_.lists.visaFreeCountries,
                      true);
}

void TIGEditForm::medicalCertificatesToggled(bool checked) {
    SetVisible({AcceptanceLabel, CustomPanel11, CertificateIssueLabel, CustomPanel13,
                CertificateNumberLabel, Edit3},
               checked);
}

// A year of work, less a day, from the start; under a permit no later than its last day.
void TIGEditForm::proposePeriodEnd() {
    const QString start = DateText(RNPDateFrom);
    if (!dates::IsValidDateText(start).valid)
        return;
    int capped = 0;
    int permitFrom = -1;
    int permitTo = -1;
    if (visa_) {
        if (ComboBox1->currentText().isEmpty())
            return;
        capped =
            permits::LoadPermitPeriod(context_.db, ComboBox1->currentText(), permitFrom, permitTo)
                ? 1
                : 0;
    }
    RNPDateTo->SetText(dates::DateNumberToText(
        dates::PeriodEnd(dates::DateTextToNumber(start), 1, capped, permitTo)));
}

void TIGEditForm::packageChosen() {
    const int id = ComboBox2->currentIndex() < 0 ? -1 : ComboBox2->currentData().toInt();
    permits::IGPackageFormData package;
    if (id == -1 || !permits::LoadPackage(context_.db, id, package))
        return;
    RNPDateFrom->SetText(package.activeFrom);
    RNPDateTo->SetText(package.activeTo);
    showTerritories(package.territories);
}

void TIGEditForm::HoldPaymentDocument(const std::optional<PPFormData>& document) {
    paymentDocument_ = document;
    const bool held = document.has_value();
    Label15->setText(held ? QStringLiteral("Платеж принят") : QStringLiteral("Не принято"));
    Button1->setText(held ? QStringLiteral("Редактировать") : QStringLiteral("Принять"));
    ButtonPPDel->setVisible(held);
}

// A stored citizen's payment document goes at once, whatever happens to the rest.
void TIGEditForm::removePaymentDocument() {
    if (!gui::MessageBoxes::askYesNo(this, QStringLiteral("Удаление Платежного поручения"),
                                     QStringLiteral("Вы уверены, что хотите удалить платежное "
                                                    "поручение?")))
        return;
    if (editing_ && !gui::DeleteOrReport(this, QStringLiteral("платежное поручение"), [&] {
            DeleteCitizenPaymentDocuments(context_.db, editedKey_);
        }))
        return;
    HoldPaymentDocument(std::nullopt);
}

void TIGEditForm::editPaymentDocument() {
    if (!paymentDialog_)
        return;
    OverWindow(paymentDialog_, this);
    std::optional<PPFormData> held = paymentDocument_;
    const QString payer =
        Edit14->text() + QLatin1Char(' ') + Edit15->text() + QLatin1Char(' ') + Edit->text();
    if (paymentDialog_->EditPaymentDocument(held, payer))
        HoldPaymentDocument(held);
}

void TIGEditForm::editAddress() {
    if (!addressDialog_)
        return;
    OverWindow(addressDialog_, this);
    addressDialog_->EditAddress(address_);
}

void TIGEditForm::editTerritories() {
    if (!territoryDialog_)
        return;
    OverWindow(territoryDialog_, this);
    territoryDialog_->EditTerritories(*this);
}

void TIGEditForm::setTerritories(const QList<int>& ids, const QString& names) {
    territories_ = ids;
    Memo1->setPlainText(names);
}

void TIGEditForm::showTerritories(const QList<int>& ids) {
    setTerritories(ids,
                   dictionaries::JoinedNames(context_.lists.territories, ids, QLatin1Char(',')));
}

void TIGEditForm::loadCountries(const dictionaries::ReferenceList& list, bool keepChoice) {
    const QSignalBlocker quiet(ComboBox12);
    const int chosen = ComboBox12->SelectedComboItemId();
    ComboBox12->LoadList(list);
    if (keepChoice && chosen != -1)
        ComboBox12->SelectComboItemById(chosen);
}

void TIGEditForm::cancel() {
    CheckBox4->setChecked(false);
    CheckBox5->setChecked(false);
    hide();
}

// ---- Saving ----

void TIGEditForm::save() {
    remember();
    if (!validate())
        return;
    // A photo too large for its stored text would be lost without a word.
    const qsizetype photoBytes = photo_->Jpeg().size();
    if (!IsStorablePhotoSize(photoBytes)) {
        gui::MessageBoxes::error(this, QString::fromUtf8(kPhotoTooLargeTitle),
                                 PhotoTooLargeMessage(photoBytes));
        return;
    }
    CitizenSave entered{record(), paymentDocument_, address_, territories_,
                        editing_ ? editedKey_ : -1};
    std::optional<int> key;
    if (!gui::SaveOrReport(this, kSaved, [&] { key = SaveCitizen(context_.db, entered); }))
        return;
    if (!key) {
        gui::MessageBoxes::error(this, QStringLiteral("Ошибка сохранения"),
                                 QStringLiteral("Не удалось сохранить %1: запись иностранного "
                                                "гражданина удалена из базы данных, ничего не "
                                                "записано.")
                                     .arg(kSaved));
        return;
    }
    if (editing_) {
        clear();
        hide();
        emit citizenEdited();
        return;
    }
    afterAddSave(entered.record.permitNumber);
}

// The window stays for the next citizen: under the same permit, with the quotas left after
// this one, or in the same package.
void TIGEditForm::afterAddSave(const QString& permitNumber) {
    clear();
    if (visa_) {
        fillPermitList();
        selectPermit(permitNumber);
        permitChosen();
    }
    if (packageLink_)
        packageChosen();
}

// Taken at every press, before the checks and whatever they find.
void TIGEditForm::remember() {
    remembered_ = {CheckBox3->isChecked(), Edit1->text(), Edit2->text(), Edit5->text(),
                   Edit7->text(),          Edit8->text(), Edit4->text(), Edit6->text()};
}

bool TIGEditForm::validate() {
    const std::optional<InputError> error = CheckCitizenInput(input());
    if (!error)
        return true;
    gui::MessageBoxes::show(this, QMessageBox::NoIcon, error->title, error->text);
    if (QWidget* field = fieldOf(error->field))
        field->setFocus();
    return false;
}

CitizenInput TIGEditForm::input() const {
    CitizenInput in;
    in.visa = visa_;
    in.permitNumber =
        visa_ && ComboBox1->currentIndex() >= 0 ? ComboBox1->currentText() : QString();
    if (!in.permitNumber.isEmpty())
        permits::LoadPermitPeriod(context_.db, in.permitNumber, in.permitFrom, in.permitTo);
    in.profession = ComboProfess->SelectedComboItemId();
    in.surname = Edit14->text();
    in.givenName = Edit15->text();
    in.patronymic = Edit->text();
    in.passportNumber = EditPassNum->text();
    in.passportIssueDate = DateText(DateREceive);
    in.issuedBy = IssuedBy->text();
    in.birthDate = DateText(CustomPanel12);
    in.specialMarks = EdOsOtm->text();
    in.medical = CheckBox1->isChecked();
    in.medicalAcceptanceDate = DateText(CustomPanel11);
    in.medicalIssueDate = DateText(CustomPanel13);
    in.sexChosen = RadioButton1->isChecked() || RadioButton2->isChecked();
    in.citizenship = ComboBox12->SelectedComboItemId();
    in.workFrom = DateText(RNPDateFrom);
    in.workTo = DateText(RNPDateTo);
    in.regionType = regionType_;
    in.territoriesText = Memo1->toPlainText();
    in.orgType = organisationType();
    in.orgName = Edit1->text();
    in.orgInn = Edit2->text();
    in.trustedSurname = Edit5->text();
    in.trustedGivenName = Edit7->text();
    in.trustedPassportNumber = Edit6->text();
    in.hasPhoto = photo_->HasPhoto();
    in.fillingDate = DateText(CustomPanel14);
    in.today = dates::Today();
    return in;
}

QWidget* TIGEditForm::fieldOf(InputField field) const {
    switch (field) {
        case InputField::None:
            return nullptr;
        case InputField::Permit:
            return ComboBox1;
        case InputField::Profession:
            return ComboProfess;
        case InputField::Surname:
            return Edit14;
        case InputField::GivenName:
            return Edit15;
        case InputField::Patronymic:
            return Edit;
        case InputField::PassportNumber:
            return EditPassNum;
        case InputField::PassportIssueDate:
            return DateREceive;
        case InputField::IssuedBy:
            return IssuedBy;
        case InputField::BirthDate:
            return CustomPanel12;
        case InputField::Male:
            return RadioButton1;
        case InputField::Citizenship:
            return ComboBox12;
        case InputField::SpecialMarks:
            return EdOsOtm;
        case InputField::MedicalAcceptanceDate:
            return CustomPanel11;
        case InputField::MedicalIssueDate:
            return CustomPanel13;
        case InputField::WorkFrom:
            return RNPDateFrom;
        case InputField::WorkTo:
            return RNPDateTo;
        case InputField::Territories:
            return Button6;
        case InputField::OrgName:
            return Edit1;
        case InputField::OrgInn:
            return Edit2;
        case InputField::TrustedSurname:
            return Edit5;
        case InputField::TrustedGivenName:
            return Edit7;
        case InputField::TrustedPassportNumber:
            return Edit6;
        case InputField::FillingDate:
            return CustomPanel14;
    }
    return nullptr;
}

IGFormData TIGEditForm::record() const {
    IGFormData r;
    r.profession = ComboProfess->SelectedComboItemId();
    r.citizenship = ComboBox12->SelectedComboItemId();
    r.professionPrefix = ComboBox11->SelectedComboItemId();
    r.surname = Edit14->text();
    r.givenName = Edit15->text();
    r.patronymic = Edit->text();
    r.passportSeries = Edit11->text();
    r.passportNumber = EditPassNum->text();
    r.passportIssueDate = DateText(DateREceive);
    r.passportIssuedBy = IssuedBy->text();
    r.birthDate = DateText(CustomPanel12);
    r.specialMarks = EdOsOtm->text();
    r.medicalCertificatesAccepted = CheckBox1->isChecked() ? 1 : 0;
    if (CheckBox1->isChecked()) {
        r.medicalAcceptanceDate = DateText(CustomPanel11);
        r.medicalIssueDate = DateText(CustomPanel13);
        r.medicalNumber = Edit3->text();
    }
    r.permanentAddress = Edit12->text();
    r.fillingDate = DateText(CustomPanel14);
    r.temporaryResidence = CheckBox2->isChecked() ? 1 : 0;
    r.sex = RadioButton1->isChecked() ? 1 : 0;
    r.visaRegime = visa_ ? 1 : 0;
    if (visa_ && ComboBox1->currentIndex() >= 0)
        r.permitNumber = ComboBox1->currentText();
    r.workFrom = DateText(RNPDateFrom);
    r.workTo = DateText(RNPDateTo);
    // The fields as they stand, hidden ones too; the rest of the organisation as stored now.
    const settings::OrgFormData org = settings::LoadOrganisation(context_.db);
    r.orgName = Edit1->text();
    r.orgInn = Edit2->text();
    r.trustedSurname = Edit5->text();
    r.trustedGivenName = Edit7->text();
    r.trustedPatronymic = Edit8->text();
    r.orgLegalAddress = org.legalAddress;
    r.orgOgrn = org.ogrn;
    r.orgRegistrationDate = org.registrationDate;
    r.trustedPassportSeries = Edit4->text();
    r.trustedPassportNumber = Edit6->text();
    r.orgType = editing_ ? storedOrgType_ : org.type;
    r.package = chosenPackage();
    r.photo = photo_->StoredText();
    return r;
}

// In a package only in visa-free mode. An edited citizen whose package is not listed any more
// (it was deleted) keeps its stored package: nothing is dropped that the user did not change.
int TIGEditForm::chosenPackage() const {
    if (!packageLink_)
        return -1;
    const int id = ComboBox2->currentIndex() < 0 ? -1 : ComboBox2->currentData().toInt();
    if (editing_ && id == -1)
        return storedPackage_;
    return id;
}

}  // namespace citizens
