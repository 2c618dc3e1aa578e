#include "permits/TIGPkgSearchForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "controls/FormParts.h"
#include "controls/GridEditorsPkg.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "gui/SaveFailure.h"
#include "permits/PackageStore.h"
#include "permits/TPackageEditForm.h"

namespace permits {

namespace {

// The package of a result row, kept in its number cell (the link shows the number).
constexpr int kNumberRole = Qt::UserRole;
constexpr int kPackageRole = Qt::UserRole + 1;

const QString kMarked = QStringLiteral("1");
const QString kUnmarked = QStringLiteral("0");

constexpr int kColumnWidths[TIGPkgSearchForm::kColumnCount] = {25, 131, 144, 296, 124};

QTableWidgetItem* ReadOnlyItem(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

}  // namespace

TIGPkgSearchForm::TIGPkgSearchForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("IGPkgSearchForm"));
    setWindowTitle(QStringLiteral("Поиск по пакету ИГ"));
    createControls();
    createGrid();
    layOut();
    gui::InstallHelp(this, Button8, context_.startFolder, gui::topic::kPackageSearch);
}

void TIGPkgSearchForm::UsePackageEditor(TPackageEditForm* editor) {
    editor_ = editor;
}

void TIGPkgSearchForm::createControls() {
    ComboBox1 = controls::Named(new controls::TExtSrchComboBox(this), "ComboBox1");
    ComboBox1->setMinimumWidth(260);
    RNPDateFrom = controls::Named(new controls::TExtDateEdit(this), "RNPDateFrom");
    RNPDateTo = controls::Named(new controls::TExtDateEdit(this), "RNPDateTo");
    Button1 = controls::NamedButton("Button1", QStringLiteral("Поиск"), this);
    Button2 = controls::NamedButton("Button2", QStringLiteral("Отмена"), this);
    CheckBox1 = controls::Named(new QCheckBox(QStringLiteral("Отметить все"), this), "CheckBox1");
    Button4 = controls::NamedButton("Button4", QStringLiteral("Удалить отмеченные"), this);
    Button8 = controls::NamedButton("Button8", QStringLiteral("?"), this);

    connect(Button1, &QPushButton::clicked, this, &TIGPkgSearchForm::search);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(CheckBox1, &QCheckBox::clicked, this, &TIGPkgSearchForm::markAll);
    connect(Button4, &QPushButton::clicked, this, &TIGPkgSearchForm::deleteMarked);
}

void TIGPkgSearchForm::createGrid() {
    StringGrid1 = controls::Named(new QTableWidget(1, kColumnCount, this), "StringGrid1");
    StringGrid1->setHorizontalHeaderLabels(
        {QString(), QStringLiteral("Номер пакета"), QStringLiteral("Дата ввода"),
         QStringLiteral("Дата начала - Дата окончания"), QStringLiteral("Кол-во ИГ")});
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(22);
    StringGrid1->horizontalHeader()->setHighlightSections(false);
    StringGrid1->horizontalHeader()->setMinimumSectionSize(kColumnWidths[kMark]);
    for (int column = 0; column < kColumnCount; ++column)
        StringGrid1->setColumnWidth(column, kColumnWidths[column]);
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { openRow(row); });
    connect(StringGrid1->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TIGPkgSearchForm::placeEditors);
    StringGrid1->viewport()->installEventFilter(this);
}

void TIGPkgSearchForm::layOut() {
    using controls::FieldLabel;
    QLabel* package = FieldLabel(QStringLiteral("Номер пакета:"), this);
    package->setBuddy(ComboBox1);
    QLabel* from = FieldLabel(QStringLiteral("c:"), this);
    from->setBuddy(RNPDateFrom->Edit());
    QLabel* to = FieldLabel(QStringLiteral("по:"), this);
    to->setBuddy(RNPDateTo->Edit());

    auto* filters = new QGridLayout;
    filters->addWidget(package, 0, 0);
    filters->addWidget(ComboBox1, 0, 1, 1, 4, Qt::AlignLeft);
    filters->addWidget(FieldLabel(QStringLiteral("Период добавления:"), this), 1, 0);
    auto* period = new QHBoxLayout;
    period->addWidget(from);
    period->addWidget(RNPDateFrom);
    period->addSpacing(16);
    period->addWidget(to);
    period->addWidget(RNPDateTo);
    period->addStretch();
    filters->addLayout(period, 1, 1, 1, 4);
    filters->setColumnStretch(4, 1);

    QLabel* results = FieldLabel(QStringLiteral("Результаты поиска"), this);
    results->setBuddy(StringGrid1);
    auto* aboveGrid = new QHBoxLayout;
    aboveGrid->addWidget(results);
    aboveGrid->addStretch();
    aboveGrid->addWidget(CheckBox1);
    auto* belowGrid = new QHBoxLayout;
    belowGrid->addWidget(Button4);
    belowGrid->addStretch();

    int gridWidth = 2 * StringGrid1->frameWidth() + 20;  // room for the scroll bar
    for (int width : kColumnWidths)
        gridWidth += width;
    StringGrid1->setMinimumSize(gridWidth, 240);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addSpacing(8);
    layout->addLayout(aboveGrid);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(belowGrid);
    layout->addSpacing(8);
    layout->addLayout(gui::DialogButtonRow(Button8, {Button1, Button2}));
    resize(gridWidth + 24, 480);
    gui::InstallDialogKeys(this, Button1, Button2);
}

void TIGPkgSearchForm::showEvent(QShowEvent* event) {
    // Not when the window system shows it again (restored from the task bar).
    if (!event->spontaneous()) {
        fillPackageList();
        ComboBox1->SelectComboItemById(-1);
        clearResults();
    }
    QDialog::showEvent(event);
}

bool TIGPkgSearchForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == StringGrid1->viewport() && event->type() == QEvent::Resize)
        placeEditors();
    return QDialog::eventFilter(watched, event);
}

void TIGPkgSearchForm::fillPackageList() {
    dictionaries::ReferenceList packages;
    for (const PackageListEntry& entry : ListPackages(context_.db))
        packages.append({entry.text, dictionaries::ComboItem(entry.id)});
    ComboBox1->LoadList(packages, true);
}

// The rows go with their check boxes and links; one empty row stays.
void TIGPkgSearchForm::clearResults() {
    StringGrid1->setRowCount(0);
    StringGrid1->setRowCount(1);
    foundCount_ = 0;
    firstEdited_ = 0;
    lastEdited_ = -1;
}

QString TIGPkgSearchForm::NumberOfRow(int row) const {
    const QTableWidgetItem* item = row < foundCount_ ? StringGrid1->item(row, kNumber) : nullptr;
    return item ? item->data(kNumberRole).toString() : QString();
}

int TIGPkgSearchForm::PackageOfRow(int row) const {
    const QTableWidgetItem* item = row < foundCount_ ? StringGrid1->item(row, kNumber) : nullptr;
    return item ? item->data(kPackageRole).toInt() : -1;
}

bool TIGPkgSearchForm::IsRowMarked(int row) const {
    const QTableWidgetItem* item = row < foundCount_ ? StringGrid1->item(row, kMark) : nullptr;
    return item && item->text() == kMarked;
}

controls::DelGridEditorPkg* TIGPkgSearchForm::MarkOfRow(int row) const {
    return qobject_cast<controls::DelGridEditorPkg*>(
        controls::GridEditorPkgAt(StringGrid1, row, kMark));
}

controls::LinkGridEditorPkg* TIGPkgSearchForm::LinkOfRow(int row) const {
    return qobject_cast<controls::LinkGridEditorPkg*>(
        controls::GridEditorPkgAt(StringGrid1, row, kNumber));
}

// An empty filter day is no bound (-1); a day that is not a date is reported.
bool TIGPkgSearchForm::readCreationDay(controls::TExtDateEdit* field, const QString& message,
                                       int& day) {
    const QString text = field->Text();
    day = -1;
    if (text.isEmpty())
        return true;
    if (!dates::IsValidDateText(text).valid) {
        gui::MessageBoxes::error(this, QStringLiteral("сохранение"), message);
        field->Edit()->setFocus();
        return false;
    }
    day = dates::DateTextToNumber(text);
    return true;
}

void TIGPkgSearchForm::search() {
    clearResults();
    const int package = ComboBox1->SelectedComboItemId();
    int earliest = -1;
    int latest = -1;
    if (!readCreationDay(RNPDateFrom, QStringLiteral("Ошибка заполнения даты ('Поле период с') "),
                         earliest) ||
        !readCreationDay(RNPDateTo, QStringLiteral("Ошибка заполнения даты ('Поле период по') "),
                         latest))
        return;
    showResults(FindPackages(context_.db, package, earliest, latest));
}

// Every package found gets its row, however many there are. The rows in view get their
// check box and link; scrolling moves them on (placeEditors), the cells keep the marks.
// The grid's change signals are held back while it fills: each check box follows every
// change of the grid's cells, those of the results just cleared too until the event loop
// frees them.
void TIGPkgSearchForm::showResults(const QList<IGPackageFormData>& packages) {
    QList<int> ids;
    for (const IGPackageFormData& found : packages)
        ids << found.id;
    const QList<int> citizens = CountPackageCitizens(context_.db, ids);
    {
        const QSignalBlocker quiet(StringGrid1);
        StringGrid1->setRowCount(std::max<int>(1, packages.size()));
        for (int row = 0; row < packages.size(); ++row) {
            const IGPackageFormData& found = packages[row];
            StringGrid1->setItem(row, kMark, ReadOnlyItem(kUnmarked));
            QTableWidgetItem* number = ReadOnlyItem(QString());
            number->setData(kNumberRole, found.number);
            number->setData(kPackageRole, found.id);
            StringGrid1->setItem(row, kNumber, number);
            StringGrid1->setItem(row, kCreated, ReadOnlyItem(found.created));
            StringGrid1->setItem(
                row, kPeriod,
                ReadOnlyItem(found.activeFrom + QStringLiteral(" - ") + found.activeTo));
            StringGrid1->setItem(row, kCitizens,
                                 ReadOnlyItem(QString::number(citizens[row]), Qt::AlignRight));
        }
    }
    foundCount_ = packages.size();
    placeEditors();
}

// Only the rows in view carry their editors: a grid holding a widget per row for thousands
// of rows takes seconds to show.
void TIGPkgSearchForm::placeEditors() {
    if (foundCount_ == 0)
        return;
    const int height = StringGrid1->viewport()->height();
    const int first = std::max(0, StringGrid1->rowAt(0));
    int last = height > 0 ? StringGrid1->rowAt(height - 1) : first;
    if (last < 0 || last >= foundCount_)
        last = foundCount_ - 1;
    for (int row = firstEdited_; row <= lastEdited_; ++row) {
        if (row < first || row > last)
            removeEditors(row);
    }
    for (int row = first; row <= last; ++row) {
        if (!MarkOfRow(row))
            addEditors(row);
    }
    firstEdited_ = first;
    lastEdited_ = last;
}

void TIGPkgSearchForm::addEditors(int row) {
    new controls::DelGridEditorPkg(StringGrid1, row, kMark);
    new controls::LinkGridEditorPkg(StringGrid1, row, kNumber, NumberOfRow(row), PackageOfRow(row),
                                    [this](int id) { Q_EMIT newCitizenInPackageRequested(id); });
}

void TIGPkgSearchForm::removeEditors(int row) {
    StringGrid1->removeCellWidget(row, kMark);
    StringGrid1->removeCellWidget(row, kNumber);
}

// The rows out of view keep their marks in their cells; the check boxes in view follow.
void TIGPkgSearchForm::markAll(bool marked) {
    for (int row = 0; row < foundCount_; ++row)
        StringGrid1->item(row, kMark)->setText(marked ? kMarked : kUnmarked);
}

void TIGPkgSearchForm::openRow(int row) {
    if (row < foundCount_ && editor_)
        editor_->OpenPackageForEditing(PackageOfRow(row));
}

QStringList TIGPkgSearchForm::markedNumbers() const {
    QStringList numbers;
    for (int row = 0; row < foundCount_; ++row) {
        if (IsRowMarked(row))
            numbers << NumberOfRow(row);
    }
    return numbers;
}

// The citizens of a deleted package keep its identifier; the citizen entry shows them with
// no package chosen.
void TIGPkgSearchForm::deleteMarked() {
    if (!gui::MessageBoxes::askYesNo(this, QStringLiteral("удаление"),
                                     QStringLiteral("Вы уверены, что хотите удалить выбранные "
                                                    "записи?")))
        return;
    const QStringList numbers = markedNumbers();
    if (numbers.isEmpty())
        return;
    if (!gui::DeleteOrReport(this, QStringLiteral("отмеченные пакеты"),
                             [&] { DeletePackages(context_.db, numbers); }))
        return;
    const int chosen = ComboBox1->SelectedComboItemId();
    search();
    fillPackageList();
    ComboBox1->SelectComboItemById(chosen);
    if (ComboBox1->SelectedComboItemId() != chosen)
        ComboBox1->SelectComboItemById(-1);
}

}  // namespace permits
