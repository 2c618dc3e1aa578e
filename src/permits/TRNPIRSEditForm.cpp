#include "permits/TRNPIRSEditForm.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "controls/FormParts.h"
#include "controls/GridEditors.h"
#include "controls/KeyFilters.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "dates/DateConventions.h"
#include "dictionaries/ReferenceLists.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "gui/SaveFailure.h"
#include "permits/EditorsInView.h"
#include "settings/RegionSetting.h"

namespace permits {

namespace {

constexpr int kRowHeight = 30;
constexpr int kVisibleRows = 3;
constexpr int kQuotaLength = 5;
constexpr int kNumberLength = 50;

const QString kInputErrorTitle = QStringLiteral("ошибка ввода данных");
const QString kSaveTitle = QStringLiteral("сохранение");
const QString kCountriesList = QStringLiteral("По странам");
const QString kProfessionsList = QStringLiteral("По профессиям");

// The key filters of the number and of the quota fields, typed and pasted.
void OnlyRusDigitalEvent(QLineEdit* edit) {
    controls::InstallKeyFilter(edit, controls::KeyFilter::RussianAndDigits);
}

void OnlyDigitalEvent(QLineEdit* edit) {
    controls::InstallKeyFilter(edit, controls::KeyFilter::DigitsOnly);
    edit->setMaxLength(kQuotaLength);
}

// A quota grid: whole rows selected, three data rows high, a vertical scroll bar; the
// column of the names takes the width the others leave.
QTableWidget* QuotaGrid(const char* name, const QStringList& captions, const QList<int>& widths,
                        int namesColumn, QWidget* parent) {
    auto* grid =
        controls::Named(new QTableWidget(0, static_cast<int>(captions.size()), parent), name);
    grid->setHorizontalHeaderLabels(captions);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    for (int column = 0; column < widths.size(); ++column)
        grid->setColumnWidth(column, widths[column]);
    grid->horizontalHeader()->setSectionResizeMode(namesColumn, QHeaderView::Stretch);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setFixedHeight(grid->horizontalHeader()->sizeHint().height() + kVisibleRows * kRowHeight +
                         2 * grid->frameWidth());
    return grid;
}

QVariant Value(const QTableWidget* grid, int row, int column) {
    const controls::GridCellBaseValue* value = controls::CellValue(grid, row, column);
    return value ? value->GetValue() : QVariant();
}

void SetValue(QTableWidget* grid, int row, int column, const QVariant& value) {
    controls::SetCellValue(grid, row, column, std::make_unique<controls::GridCellValue>(value));
}

// A quota is an integer when added with "+", the typed digits after an edit in the grid;
// an empty text counts 0 here and is refused at saving.
int Quota(const QTableWidget* grid, int row, int column) {
    return Value(grid, row, column).toInt();
}

int QuotaSum(const QTableWidget* grid, int column) {
    int sum = 0;
    for (int row = 0; row < grid->rowCount(); ++row)
        sum += Quota(grid, row, column);
    return sum;
}

bool Marked(const QTableWidget* grid, int row, int column) {
    return Value(grid, row, column).toBool();
}

// No item chosen, or the empty entry.
bool NothingChosen(const controls::TExtSrchComboBox* box) {
    return box->SelectedComboItemId() == -1 || box->currentText().isEmpty();
}

int DateNumber(const controls::TExtDateEdit* edit) {
    return dates::DateTextToNumber(controls::DateTextOnLeaving(edit->Text()));
}

bool IsDate(const controls::TExtDateEdit* edit) {
    return dates::IsValidDateText(edit->Text()).valid;
}

// Loads a list into a box unless the box holds that very list already: the reference lists
// do not change while the program runs, and a long one takes a while to load. (Clearing the
// dialog has emptied the box's choice and search text either way.)
void LoadUnlessLoaded(controls::TExtSrchComboBox* box, const dictionaries::ReferenceList& list,
                      dictionaries::ReferenceList& loaded) {
    if (loaded == list && box->count() > 0)
        return;
    box->LoadList(list);
    loaded = list;
}

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel* Labelled(QLabel* label, QWidget* buddy) {
    label->setBuddy(buddy);
    return label;
}

}  // namespace

TRNPIRSEditForm::TRNPIRSEditForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("RNPIRSEditForm"));
    setWindowTitle(QStringLiteral("Форма ввода разрешения на привлечение и использование ИРС"));
    CreateControls();
    LayOut();
    ConnectControls();
}

void TRNPIRSEditForm::CreateControls() {
    Edit1 = controls::Named(new controls::TEditSD(this), "Edit1");
    Edit1->setMaxLength(kNumberLength);
    OnlyRusDigitalEvent(Edit1);
    CustomPanel13 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel13");
    CustomPanel11 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel11");
    CustomPanel12 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel12");

    ComboBox11 = controls::Named(new controls::TExtSrchComboBox(this), "ComboBox11");
    Edit2 = controls::Named(new controls::TEditSD(this), "Edit2");
    OnlyDigitalEvent(Edit2);
    Button1 = controls::NamedButton("Button1", QStringLiteral("+"), this);
    Button2 = controls::NamedButton("Button2", QStringLiteral("-"), this);
    StringGrid1 =
        QuotaGrid("StringGrid1",
                  {QStringLiteral("Страна"), QStringLiteral("Квота"), QStringLiteral("Удалить")},
                  {300, 90, 90}, kCountry, this);
    Label11 = controls::Named(new QLabel(QStringLiteral("0"), this), "Label11");

    ComboBox13 = controls::Named(new controls::TExtSrchComboBox(this), "ComboBox13");
    ComboBox12 = controls::Named(new controls::TExtSrchComboBox(this), "ComboBox12");
    Edit3 = controls::Named(new controls::TEditSD(this), "Edit3");
    OnlyDigitalEvent(Edit3);
    Button3 = controls::NamedButton("Button3", QStringLiteral("+"), this);
    Button4 = controls::NamedButton("Button4", QStringLiteral("-"), this);
    StringGrid2 = QuotaGrid("StringGrid2",
                            {QStringLiteral("Префикс"), QStringLiteral("Профессия"),
                             QStringLiteral("Квота"), QStringLiteral("Удалить")},
                            {130, 260, 90, 90}, kProfession, this);
    Label12 = controls::Named(new QLabel(QStringLiteral("0"), this), "Label12");

    Button7 = controls::NamedButton("Button7", QStringLiteral("Территории действия"), this);
    territoriesMark_ = controls::FieldLabel(QString(), this, true);
    Memo1 = controls::Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFixedHeight(3 * fontMetrics().lineSpacing() + 12);
    Button6 = controls::NamedButton("Button6", QStringLiteral("Сохранить"), this);
    Button5 = controls::NamedButton("Button5", QStringLiteral("Отмена"), this);
    Button8 = controls::NamedButton("Button8", QStringLiteral("?"), this);

    for (QPushButton* button : {Button1, Button2, Button3, Button4})
        button->setFixedWidth(36);
    for (QWidget* quota : {static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Edit3)})
        quota->setFixedWidth(70);
    ComboBox13->setMinimumWidth(130);

    countryEditors_ = new EditorsInView(StringGrid1, [this](int row) { MakeCountryEditors(row); });
    professionEditors_ =
        new EditorsInView(StringGrid2, [this](int row) { MakeProfessionEditors(row); });
}

void TRNPIRSEditForm::LayOut() {
    auto* fields = new QGridLayout;
    fields->addWidget(Labelled(controls::FieldLabel(QStringLiteral("Номер:"), this, true), Edit1),
                      0, 0);
    fields->addWidget(Edit1, 0, 1, 1, 3);
    fields->addWidget(Labelled(controls::FieldLabel(QStringLiteral("Дата выдачи РНП:"), this),
                               CustomPanel13->Edit()),
                      1, 0);
    fields->addWidget(CustomPanel13, 1, 1);
    fields->addWidget(controls::FieldLabel(QStringLiteral("Период действия разрешения:"), this), 2,
                      0);
    auto* period = new QHBoxLayout;
    period->addWidget(
        Labelled(controls::FieldLabel(QStringLiteral("c:"), this, true), CustomPanel11->Edit()));
    period->addWidget(CustomPanel11);
    period->addSpacing(16);
    period->addWidget(
        Labelled(controls::FieldLabel(QStringLiteral("по:"), this, true), CustomPanel12->Edit()));
    period->addWidget(CustomPanel12);
    period->addStretch();
    fields->addLayout(period, 2, 1, 1, 3);
    fields->setColumnStretch(3, 1);

    auto* countries = new QHBoxLayout;
    countries->addWidget(
        Labelled(controls::FieldLabel(kCountriesList + QLatin1Char(':'), this, true), ComboBox11));
    countries->addWidget(ComboBox11, 1);
    countries->addWidget(Edit2);
    countries->addWidget(Button1);
    countries->addWidget(Button2);
    auto* countriesTotal = new QHBoxLayout;
    countriesTotal->addStretch();
    countriesTotal->addWidget(Labelled(new QLabel(QStringLiteral("Итого:"), this), Label11));
    countriesTotal->addWidget(Label11);

    auto* professions = new QHBoxLayout;
    professions->addWidget(Labelled(
        controls::FieldLabel(kProfessionsList + QLatin1Char(':'), this, true), ComboBox13));
    professions->addWidget(ComboBox13);
    professions->addWidget(ComboBox12, 1);
    professions->addWidget(Edit3);
    professions->addWidget(Button3);
    professions->addWidget(Button4);
    auto* professionsTotal = new QHBoxLayout;
    professionsTotal->addStretch();
    professionsTotal->addWidget(Labelled(new QLabel(QStringLiteral("Итого:"), this), Label12));
    professionsTotal->addWidget(Label12);

    auto* territories = new QHBoxLayout;
    auto* territoriesButton = new QVBoxLayout;
    auto* buttonWithMark = new QHBoxLayout;
    buttonWithMark->addWidget(Button7);
    buttonWithMark->addWidget(territoriesMark_);
    territoriesButton->addLayout(buttonWithMark);
    territoriesButton->addStretch();
    territories->addLayout(territoriesButton);
    territories->addWidget(Memo1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addWidget(
        Heading(QStringLiteral("Численность привлекаемых рабочих и специалистов:"), this));
    layout->addLayout(countries);
    layout->addWidget(StringGrid1);
    layout->addLayout(countriesTotal);
    layout->addLayout(professions);
    layout->addWidget(StringGrid2);
    layout->addLayout(professionsTotal);
    layout->addLayout(territories);
    layout->addStretch();
    layout->addLayout(gui::DialogButtonRow(Button8, {Button6, Button5}));
    resize(660, sizeHint().height());
}

void TRNPIRSEditForm::ConnectControls() {
    gui::InstallDialogKeys(this, Button6, Button5);
    gui::InstallHelp(this, Button8, context_.startFolder, gui::topic::kPermit);
    connect(CustomPanel11, &controls::TExtDateEdit::exited, this, &TRNPIRSEditForm::ProposeLastDay);
    connect(Button1, &QPushButton::clicked, this, &TRNPIRSEditForm::AddCountry);
    connect(Button3, &QPushButton::clicked, this, &TRNPIRSEditForm::AddProfession);
    connect(Button2, &QPushButton::clicked, this,
            [this] { RemoveMarkedRows(StringGrid1, kCountryDelete); });
    connect(Button4, &QPushButton::clicked, this,
            [this] { RemoveMarkedRows(StringGrid2, kProfessionDelete); });
    connect(Button7, &QPushButton::clicked, this, &TRNPIRSEditForm::EditTerritories);
    connect(Button6, &QPushButton::clicked, this, &TRNPIRSEditForm::Save);
    connect(Button5, &QPushButton::clicked, this, [this] {
        Clear();
        reject();
    });
}

// --- opening ---------------------------------------------------------------------------

void TRNPIRSEditForm::OpenNewPermit() {
    editMode_ = false;
    setWindowTitle(QStringLiteral("Форма ввода разрешения на привлечение и использование ИРС"));
    Edit1->setEnabled(true);
    Clear();
    PrepareShowing();
    RecomputeTotals();
    ShowWindow();
    Edit1->setFocus();
}

void TRNPIRSEditForm::OpenPermitForEditing(const QString& number) {
    Permit permit;
    if (!LoadPermit(context_.db, number, permit))
        return;
    editMode_ = true;
    setWindowTitle(
        QStringLiteral("Форма редактирования разрешения на привлечение и использование ИРС"));
    Edit1->setEnabled(false);
    // The grids are emptied by being filled anew: rows that stay keep their editors.
    ClearFields();
    PrepareShowing();
    Edit1->setText(number);
    FillCountryRows(permit.countries);
    FillProfessionRows(permit.professions);
    CustomPanel11->SetText(dates::DateNumberToText(permit.dateFrom));
    CustomPanel12->SetText(dates::DateNumberToText(permit.dateTo));
    CustomPanel13->SetText(dates::DateNumberToText(permit.issueDate));
    // The stored territories stay with the permit even while the region setting hides them.
    const QList<int> territories = LoadPermitTerritories(context_.db, number);
    setTerritories(territories, dictionaries::JoinedNames(context_.lists.territories, territories,
                                                          QLatin1Char(',')));
    ShowWindow();
    RecomputeTotals();
}

void TRNPIRSEditForm::SetTerritoryEditor(gui::TerritoryEditor editor) {
    territoryEditor_ = std::move(editor);
}

// What every opening shows anew: the territory controls as the region setting asks, and the
// lists to add from.
void TRNPIRSEditForm::PrepareShowing() {
    territoriesInUse_ = settings::LoadRegionId(context_.db) == -1;
    Button7->setVisible(territoriesInUse_);
    Memo1->setVisible(territoriesInUse_);
    territoriesMark_->setVisible(territoriesInUse_);
    LoadUnlessLoaded(ComboBox11, context_.lists.allCountries, loadedLists_[0]);
    LoadUnlessLoaded(ComboBox12, context_.lists.professions, loadedLists_[1]);
    LoadUnlessLoaded(ComboBox13, context_.lists.professionPrefixes, loadedLists_[2]);
}

void TRNPIRSEditForm::ShowWindow() {
    show();
    raise();
    activateWindow();
    countryEditors_->Update();
    professionEditors_->Update();
}

void TRNPIRSEditForm::Clear() {
    ClearFields();
    StringGrid1->setRowCount(0);  // frees the rows' values and editors
    StringGrid2->setRowCount(0);
}

void TRNPIRSEditForm::ClearFields() {
    Edit1->clear();
    territories_.clear();
    Memo1->clear();
    for (controls::TExtDateEdit* date : {CustomPanel13, CustomPanel11, CustomPanel12})
        date->SetText(QString());
    for (controls::TExtSrchComboBox* list : {ComboBox11, ComboBox12, ComboBox13})
        list->ClearChoice();
    Edit2->clear();
    Edit3->clear();
}

PermitEntry TRNPIRSEditForm::Entry() const {
    PermitEntry entry;
    entry.number = Edit1->text();
    for (int row = 0; row < StringGrid1->rowCount(); ++row) {
        entry.permit.countries.append(
            {Value(StringGrid1, row, kCountry).toInt(), Quota(StringGrid1, row, kCountryQuota)});
    }
    for (int row = 0; row < StringGrid2->rowCount(); ++row) {
        entry.permit.professions.append({Value(StringGrid2, row, kProfession).toInt(),
                                         Quota(StringGrid2, row, kProfessionQuota),
                                         Value(StringGrid2, row, kPrefix).toInt()});
    }
    const auto dateOrNone = [](const controls::TExtDateEdit* edit) {
        return IsDate(edit) ? DateNumber(edit) : -1;
    };
    entry.permit.dateFrom = dateOrNone(CustomPanel11);
    entry.permit.dateTo = dateOrNone(CustomPanel12);
    entry.permit.issueDate = dateOrNone(CustomPanel13);
    entry.territories = territories_;
    return entry;
}

void TRNPIRSEditForm::setTerritories(const QList<int>& ids, const QString& names) {
    territories_ = ids;
    Memo1->setPlainText(names);
}

// --- grid rows and their editors -------------------------------------------------------

void TRNPIRSEditForm::MakeCountryEditors(int row) {
    (new controls::ComboBoxType1GridEditor(StringGrid1, context_.lists.allCountries))
        ->Edit(row, kCountry);
    MakeQuotaEditor(StringGrid1, row, kCountryQuota);
    MakeDeleteEditor(StringGrid1, row, kCountryDelete);
}

void TRNPIRSEditForm::MakeProfessionEditors(int row) {
    (new controls::ComboBoxType1GridEditor(StringGrid2, context_.lists.professionPrefixes))
        ->Edit(row, kPrefix);
    (new controls::ComboBoxType1GridEditor(StringGrid2, context_.lists.professions))
        ->Edit(row, kProfession);
    MakeQuotaEditor(StringGrid2, row, kProfessionQuota);
    MakeDeleteEditor(StringGrid2, row, kProfessionDelete);
}

// A quota typed in the grid takes the digits Edit2 takes; leaving it updates the totals.
void TRNPIRSEditForm::MakeQuotaEditor(QTableWidget* grid, int row, int column) {
    auto* editor = new controls::TextEditGridEditor(grid);
    OnlyDigitalEvent(editor->Control());
    editor->SetChangeNotification(this, [this](QWidget*, int, int) { RecomputeTotals(); });
    editor->Edit(row, column);
}

void TRNPIRSEditForm::MakeDeleteEditor(QTableWidget* grid, int row, int column) {
    auto* editor = new controls::DelType1GridEditor(grid);
    editor->Button()->setAutoDefault(false);  // Enter stays "Сохранить"
    editor->SetChangeNotification(this,
                                  [this, grid](QWidget*, int, int at) { AskRemoveRow(grid, at); });
    editor->Edit(row, column);
}

void TRNPIRSEditForm::SetCountryRow(int row, const CountryQuota& quota) {
    SetValue(StringGrid1, row, kCountry, quota.country);
    SetValue(StringGrid1, row, kCountryQuota, quota.quota);
    SetValue(StringGrid1, row, kCountryDelete, false);
}

void TRNPIRSEditForm::SetProfessionRow(int row, const ProfessionQuota& quota) {
    SetValue(StringGrid2, row, kPrefix, quota.prefix);
    SetValue(StringGrid2, row, kProfession, quota.profession);
    SetValue(StringGrid2, row, kProfessionQuota, quota.quota);
    SetValue(StringGrid2, row, kProfessionDelete, false);
}

// A stored permit's rows replace those of the grid at once: the grid changes its size
// once, the rows it keeps keep their editors (showing the new values), and of the new rows
// only those in view get editors.
void TRNPIRSEditForm::FillCountryRows(const QList<CountryQuota>& quotas) {
    StringGrid1->setRowCount(static_cast<int>(quotas.size()));
    for (int row = 0; row < quotas.size(); ++row)
        SetCountryRow(row, quotas[row]);
    StringGrid1->scrollToTop();
    countryEditors_->Update();
}

void TRNPIRSEditForm::FillProfessionRows(const QList<ProfessionQuota>& quotas) {
    StringGrid2->setRowCount(static_cast<int>(quotas.size()));
    for (int row = 0; row < quotas.size(); ++row)
        SetProfessionRow(row, quotas[row]);
    StringGrid2->scrollToTop();
    professionEditors_->Update();
}

void TRNPIRSEditForm::AppendCountryRow(const CountryQuota& quota) {
    const int row = StringGrid1->rowCount();
    StringGrid1->insertRow(row);
    SetCountryRow(row, quota);
    countryEditors_->Update();
}

void TRNPIRSEditForm::AppendProfessionRow(const ProfessionQuota& quota) {
    const int row = StringGrid2->rowCount();
    StringGrid2->insertRow(row);
    SetProfessionRow(row, quota);
    professionEditors_->Update();
}

// --- actions ---------------------------------------------------------------------------

// The default last day: the day before the same date a year later.
void TRNPIRSEditForm::ProposeLastDay() {
    if (CustomPanel11->Text().isEmpty() || !IsDate(CustomPanel11))
        return;
    CustomPanel12->SetText(
        dates::DateNumberToText(dates::PeriodEnd(DateNumber(CustomPanel11), 1, 0, 0)));
}

// The first checks of both "+" buttons: an item chosen in the list, a quota typed.
bool TRNPIRSEditForm::ChosenWithQuota(controls::TExtSrchComboBox* list, const QString& missing,
                                      QLineEdit* quota) {
    QWidget* faulty = NothingChosen(list)       ? static_cast<QWidget*>(list)
                      : quota->text().isEmpty() ? static_cast<QWidget*>(quota)
                                                : nullptr;
    if (!faulty)
        return true;
    gui::MessageBoxes::error(this, kInputErrorTitle,
                             faulty == list ? missing : QStringLiteral("Должна быть задана квота"));
    faulty->setFocus();
    return false;
}

void TRNPIRSEditForm::AddCountry() {
    if (!ChosenWithQuota(ComboBox11, QStringLiteral("Должна быть задана страна"), Edit2))
        return;
    const int country = ComboBox11->SelectedComboItemId();
    for (int row = 0; row < StringGrid1->rowCount(); ++row) {
        if (Value(StringGrid1, row, kCountry).toInt() == country) {
            gui::MessageBoxes::error(
                this, QStringLiteral("Ошибка ввода данных"),
                QStringLiteral("Данная страна уже имеется в списке. Вы можете поменять квоты"));
            return;
        }
    }
    AppendCountryRow({country, Edit2->text().toInt()});
    StringGrid1->scrollToBottom();
    ComboBox11->ClearChoice();
    Edit2->clear();
    RecomputeTotals();
    ComboBox11->setFocus();
}

void TRNPIRSEditForm::AddProfession() {
    if (!ChosenWithQuota(ComboBox12, QStringLiteral("Должна быть задана профессия"), Edit3))
        return;
    const int prefix = NothingChosen(ComboBox13) ? -1 : ComboBox13->SelectedComboItemId();
    const int profession = ComboBox12->SelectedComboItemId();
    for (int row = 0; row < StringGrid2->rowCount(); ++row) {
        if (Value(StringGrid2, row, kProfession).toInt() == profession &&
            Value(StringGrid2, row, kPrefix).toInt() == prefix) {
            gui::MessageBoxes::error(
                this, QStringLiteral("Ошибка ввода данных"),
                QStringLiteral("Данная профессия уже имеется в списке. Вы можете поменять квоты"));
            return;
        }
    }
    AppendProfessionRow({profession, Edit3->text().toInt(), prefix});
    StringGrid2->scrollToBottom();
    for (controls::TExtSrchComboBox* list : {ComboBox12, ComboBox13})
        list->ClearChoice();
    Edit3->clear();
    RecomputeTotals();
    ComboBox12->setFocus();
}

// One question for all the marked rows, asked at the first of them.
void TRNPIRSEditForm::RemoveMarkedRows(QTableWidget* grid, int markColumn) {
    bool asked = false;
    for (int row = 0; row < grid->rowCount();) {
        if (!Marked(grid, row, markColumn)) {
            ++row;
            continue;
        }
        if (!asked) {
            asked = true;
            if (!gui::MessageBoxes::askYesNo(
                    this, QStringLiteral("удаление"),
                    QStringLiteral("Вы действительно хотите удалить выбранные строки")))
                return;
        }
        grid->removeRow(row);  // the row below moves up and is looked at next
    }
    if (!asked) {
        gui::MessageBoxes::warning(this, QStringLiteral("удаление"),
                                   QStringLiteral("Для удаления ничего не выбрано"));
        return;
    }
    (grid == StringGrid1 ? countryEditors_ : professionEditors_)->Update();
    RecomputeTotals();
}

void TRNPIRSEditForm::AskRemoveRow(QTableWidget* grid, int row) {
    grid->selectRow(row);
    if (!gui::MessageBoxes::askYesNo(this, QStringLiteral("Удаление строки"),
                                     QStringLiteral("Вы уверены что хотите удалить данную строку")))
        return;
    grid->removeRow(row);
    (grid == StringGrid1 ? countryEditors_ : professionEditors_)->Update();
    RecomputeTotals();
}

void TRNPIRSEditForm::RecomputeTotals() {
    Label11->setText(QString::number(QuotaSum(StringGrid1, kCountryQuota)));
    Label12->setText(QString::number(QuotaSum(StringGrid2, kProfessionQuota)));
}

void TRNPIRSEditForm::EditTerritories() {
    if (territoryEditor_)
        territoryEditor_(*this);
}

// --- saving ----------------------------------------------------------------------------

namespace {

// The first row of a grid whose cell is empty: a quota emptied in the grid, or a list set
// back to its empty entry. -1 when there is none.
int FirstRowWithout(const QTableWidget* grid, int column, bool identifier) {
    for (int row = 0; row < grid->rowCount(); ++row) {
        const QVariant value = Value(grid, row, column);
        if (identifier ? value.toInt() == -1 : value.toString().isEmpty())
            return row;
    }
    return -1;
}

}  // namespace

// A row is saved only whole: with its country or profession and its quota. The message
// names the grid and the row (counted from 1), and the focus goes to the cell.
bool TRNPIRSEditForm::CheckGridRows() {
    struct Required {
        QTableWidget* grid;
        EditorsInView* editors;
        int column;
        bool identifier;
        QString field;
        QString list;
    };
    const Required required[] = {
        {StringGrid1, countryEditors_, kCountry, true, QStringLiteral("Страна"), kCountriesList},
        {StringGrid1, countryEditors_, kCountryQuota, false, QStringLiteral("Квота"),
         kCountriesList},
        {StringGrid2, professionEditors_, kProfession, true, QStringLiteral("Профессия"),
         kProfessionsList},
        {StringGrid2, professionEditors_, kProfessionQuota, false, QStringLiteral("Квота"),
         kProfessionsList},
    };
    for (const Required& cell : required) {
        const int row = FirstRowWithout(cell.grid, cell.column, cell.identifier);
        if (row < 0)
            continue;
        gui::MessageBoxes::error(
            this, kSaveTitle,
            QStringLiteral("Поле '%1' в строке %2 списка '%3' обязательно для заполнения")
                .arg(cell.field)
                .arg(row + 1)
                .arg(cell.list));
        cell.grid->scrollToItem(cell.grid->item(row, cell.column));
        cell.editors->Ensure(row);
        if (controls::BaseGridEditor* editor =
                controls::GridEditorAt(cell.grid, row, cell.column)) {
            if (auto* control =
                    editor->Host()->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                control->setFocus();
        }
        return false;
    }
    return true;
}

// The checks of saving in their order; the first that fails is shown and gets the focus.
bool TRNPIRSEditForm::CheckFields() {
    const auto refuse = [this](const QString& title, const QString& text, QWidget* focus) {
        gui::MessageBoxes::error(this, title, text);
        if (focus)
            focus->setFocus();
        return false;
    };
    if (QuotaSum(StringGrid1, kCountryQuota) != QuotaSum(StringGrid2, kProfessionQuota))
        return refuse(kSaveTitle,
                      QStringLiteral("Суммы квот по странам и профессиям должны совпадать"),
                      nullptr);
    if (Edit1->text().isEmpty())
        return refuse(kSaveTitle,
                      QStringLiteral("Поле \"Разрешение на привлечение 'Номер'\" является "
                                     "обязательным для заполнения. "),
                      Edit1);
    if (CustomPanel11->Text().isEmpty())
        return refuse(kSaveTitle,
                      QStringLiteral("Поле 'Начала периода действия' обязательно для заполнения"),
                      CustomPanel11->Edit());
    if (CustomPanel12->Text().isEmpty())
        return refuse(
            kSaveTitle,
            QStringLiteral("Поле 'Окончания периода действия' обязательно для заполнения"),
            CustomPanel12->Edit());
    if (territoriesInUse_ && Memo1->toPlainText().isEmpty())
        return refuse(kSaveTitle,
                      QStringLiteral("Поле 'Территории действия' обязательно для заполнения"),
                      Button7);
    if (!IsDate(CustomPanel11))
        return refuse(kSaveTitle,
                      QStringLiteral("Ошибка заполнения даты 'Начала периода действия'"),
                      CustomPanel11->Edit());
    if (!IsDate(CustomPanel12))
        return refuse(kSaveTitle,
                      QStringLiteral("Ошибка заполнения даты 'Окончания периода действия'"),
                      CustomPanel12->Edit());
    // The issue date is optional, but what is written must be a date.
    if (!CustomPanel13->Text().isEmpty() && !IsDate(CustomPanel13))
        return refuse(kSaveTitle, QStringLiteral("Ошибка заполнения даты 'Дата выдачи РНП'"),
                      CustomPanel13->Edit());
    switch (dates::CheckPeriod(DateNumber(CustomPanel11), DateNumber(CustomPanel12), 0, 0, 0)) {
        case 1:
            return refuse(QStringLiteral("Сохранение"),
                          QStringLiteral("Поле 'Период действия По' не может быть раньше "
                                         "'Периода действия C'"),
                          CustomPanel12->Edit());
        case 2:
            return refuse(
                QStringLiteral("Сохранение"),
                QStringLiteral("Поле 'Период действия По' не может быть раньше настоящей даты"),
                CustomPanel12->Edit());
        default:
            break;
    }
    if (!editMode_ && PermitExists(context_.db, Edit1->text()))
        return refuse(kSaveTitle,
                      QStringLiteral("Разрешение на привлечение ИРС с таким номером уже есть в "
                                     "базе."),
                      Edit1);
    return true;
}

void TRNPIRSEditForm::Save() {
    if (!CheckGridRows() || !CheckFields())
        return;
    const PermitEntry entry = Entry();
    bool saved = false;
    if (!gui::SaveOrReport(this,
                           QStringLiteral("разрешение на привлечение иностранной рабочей силы"),
                           [&] { saved = SavePermitEntry(context_.db, entry, editMode_); }))
        return;
    // A permit deleted in the permit search while it was open here is not brought back
    // without its citizens: the changes stay in the window.
    if (!saved) {
        gui::MessageBoxes::error(this, QStringLiteral("Ошибка сохранения"),
                                 QStringLiteral("Не удалось сохранить изменения разрешения: "
                                                "разрешение удалено из базы данных.\n\nВведённые "
                                                "данные остались в окне."));
        return;
    }
    Clear();
    accept();
}

}  // namespace permits
