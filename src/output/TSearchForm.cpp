#include "output/TSearchForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "citizens/CitizenStore.h"
#include "controls/FormParts.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "gui/SaveFailure.h"
#include "output/ApplicationFormsFlow.h"
#include "output/CitizenListFlow.h"
#include "output/CitizenSearch.h"
#include "output/ExportFlow.h"

namespace output {

namespace {

constexpr int kColumnWidths[TSearchForm::ColumnCount] = {20, 153, 86, 55, 118, 97, 63, 115, 64};

// Characters of the key that carries "П" and of the key that carries "Э" on the Russian
// layout, in the layouts a user may have active (the Ukrainian one has "Є" where Russian has
// "Э"); on X11 the physical key is recognised by its key code as well, whatever the layout.
constexpr int kSearchKeys[] = {Qt::Key_G, 0x041F};
constexpr int kExportKeys[] = {Qt::Key_Apostrophe, Qt::Key_QuoteDbl, 0x042D, 0x0404};
constexpr quint32 kX11SearchKeyCode = 42;
constexpr quint32 kX11ExportKeyCode = 48;

bool WithCtrlOnly(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    return modifiers == Qt::ControlModifier;
}

template <std::size_t N>
bool IsCtrlKey(const QKeyEvent& key, const int (&keys)[N], quint32 x11KeyCode) {
    if (!WithCtrlOnly(key))
        return false;
    if (std::find(std::begin(keys), std::end(keys), key.key()) != std::end(keys))
        return true;
    return QGuiApplication::platformName() == QLatin1String("xcb") &&
           key.nativeScanCode() == x11KeyCode;
}

bool IsEnter(const QKeyEvent& key) {
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

QString FilterFieldName(FilterField field) {
    switch (field) {
        case FilterField::BirthDate:
            return QStringLiteral("Дата рождения");
        case FilterField::AddedFromDate:
            return QStringLiteral("Период добавления: С");
        case FilterField::AddedToDate:
            return QStringLiteral("Период добавления: ПО");
        case FilterField::Citizenship:
            return QStringLiteral("Гражданство");
        case FilterField::AddedFromHour:
            return QStringLiteral("Время(час) С");
        case FilterField::AddedToHour:
            return QStringLiteral("Время(час) ПО");
    }
    return {};
}

QString FilterErrorText(FilterField field) {
    const bool hour = field == FilterField::AddedFromHour || field == FilterField::AddedToHour;
    if (hour)
        return QStringLiteral("Поле '%1' должно содержать час от 0 до 23.")
            .arg(FilterFieldName(field));
    if (field == FilterField::Citizenship)
        return QStringLiteral("Поле '%1' заполнено неверно.").arg(FilterFieldName(field));
    return QStringLiteral("Поле '%1' содержит неверную дату.").arg(FilterFieldName(field));
}

QSpinBox* HourEdit(const char* name, QWidget* parent) {
    auto* hour = controls::Named(new QSpinBox(parent), name);
    hour->setRange(0, 23);
    hour->setWrapping(false);
    return hour;
}

QLabel* LabelFor(const QString& text, QWidget* field, QWidget* parent) {
    QLabel* label = controls::FieldLabel(text, parent);
    label->setBuddy(field);
    return label;
}

// The country names by identifier, the first entry of an identifier winning.
QHash<int, QString> CountryNames(const dictionaries::ReferenceList& countries) {
    QHash<int, QString> names;
    names.reserve(countries.size());
    for (const dictionaries::ReferenceEntry& entry : countries) {
        if (!names.contains(entry.item.id))
            names.insert(entry.item.id, entry.name);
    }
    return names;
}

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QTableWidgetItem* MarkCell() {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

}  // namespace

TSearchForm::TSearchForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("SearchForm"));
    setWindowTitle(QStringLiteral("Поиск иностранного гражданина"));
    createControls();
    layOut();
    gui::InstallDialogKeys(this, Button2, Button3);
    gui::InstallHelp(this, Button8, context_.startFolder, gui::topic::kCitizenSearch);

    connect(Button2, &QPushButton::clicked, this, &TSearchForm::RunSearch);
    connect(Button1, &QPushButton::clicked, this, &TSearchForm::exportMarked);
    connect(Button5, &QPushButton::clicked, this, &TSearchForm::listMarked);
    connect(Button6, &QPushButton::clicked, this, &TSearchForm::fillFormsOfMarked);
    connect(Button4, &QPushButton::clicked, this, &TSearchForm::deleteMarked);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    connect(CheckBox1, &QCheckBox::toggled, this, &TSearchForm::setAllMarks);
    connect(StringGrid1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == MarkColumn)
            markChanged(item->row());
    });
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this,
            &TSearchForm::openCurrentForEditing);
}

TSearchForm::~TSearchForm() {
    qApp->removeEventFilter(this);
}

void TSearchForm::createControls() {
    Edit1 = controls::Named(new controls::TEditSD(this), "Edit1");
    Edit2 = controls::Named(new controls::TEditSD(this), "Edit2");
    CustomPanel11 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel11");
    ComboBox11 = controls::Named(new controls::TExtSrchComboBox(this), "ComboBox11");
    ComboBox11->setMinimumWidth(220);
    CustomPanel12 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel12");
    hour1 = HourEdit("hour1", this);
    CustomPanel13 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel13");
    hour2 = HourEdit("hour2", this);
    hour2->setValue(23);
    CheckBox1 = controls::Named(new QCheckBox(QStringLiteral("Отметить все"), this), "CheckBox1");
    createGrid();
    Button2 = controls::NamedButton("Button2", QStringLiteral("Поиск"), this);
    Button1 = controls::NamedButton("Button1", QStringLiteral("Экспорт"), this);
    Button5 = controls::NamedButton("Button5", QStringLiteral("Экспорт в Excel"), this);
    Button6 = controls::NamedButton("Button6", QStringLiteral("Заполнить заявления"), this);
    Button4 = controls::NamedButton("Button4", QStringLiteral("Удалить отмеченные"), this);
    Button3 = controls::NamedButton("Button3", QStringLiteral("Отмена"), this);
    Button8 = controls::NamedButton("Button8", QStringLiteral("?"), this);
}

void TSearchForm::createGrid() {
    StringGrid1 = controls::Named(new QTableWidget(0, ColumnCount, this), "StringGrid1");
    StringGrid1->setHorizontalHeaderLabels(
        {QString(), QStringLiteral("ФИО"), QStringLiteral("Дата рождения"), QStringLiteral("Пол"),
         QStringLiteral("Гражданство"), QStringLiteral("Паспорт серия"),
         QStringLiteral("Паспорт номер"), QStringLiteral("Дата выдачи"), QString()});
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setWordWrap(false);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(StringGrid1->fontMetrics().height() + 6);
    QHeaderView* header = StringGrid1->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    // A caption wider than its column shows its beginning.
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setMinimumSectionSize(kColumnWidths[MarkColumn]);
    int visibleWidth = 0;
    for (int column = 0; column < ColumnCount; ++column) {
        StringGrid1->setColumnWidth(column, kColumnWidths[column]);
        if (column != KeyColumn)
            visibleWidth += kColumnWidths[column];
    }
    // The key column lies beyond the visible width: the grid is as wide as the other columns
    // and scrolls vertically only.
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StringGrid1->setFixedWidth(visibleWidth + 2 * StringGrid1->frameWidth() +
                               StringGrid1->verticalScrollBar()->sizeHint().width());
    connect(StringGrid1->horizontalScrollBar(), &QScrollBar::valueChanged, StringGrid1,
            [bar = StringGrid1->horizontalScrollBar()](int value) {
                if (value != 0)
                    bar->setValue(0);
            });
}

void TSearchForm::layOut() {
    auto* filter = new QGridLayout;
    filter->addWidget(LabelFor(QStringLiteral("Фамилия:"), Edit1, this), 0, 0);
    filter->addWidget(Edit1, 0, 1, 1, 3);
    filter->addWidget(LabelFor(QStringLiteral("Имя:"), Edit2, this), 0, 4);
    filter->addWidget(Edit2, 0, 5, 1, 3);
    filter->addWidget(LabelFor(QStringLiteral("Дата рождения:"), CustomPanel11->Edit(), this), 1,
                      0);
    filter->addWidget(CustomPanel11, 1, 1, 1, 3);
    filter->addWidget(LabelFor(QStringLiteral("Гражданство:"), ComboBox11, this), 1, 4);
    filter->addWidget(ComboBox11, 1, 5, 1, 3);
    filter->addWidget(new QLabel(QStringLiteral("Период добавления:"), this), 2, 0);
    auto* period = new QHBoxLayout;
    period->addWidget(LabelFor(QStringLiteral("С "), CustomPanel12->Edit(), this));
    period->addWidget(CustomPanel12);
    period->addWidget(LabelFor(QStringLiteral("Время(час):"), hour1, this));
    period->addWidget(hour1);
    period->addSpacing(16);
    period->addWidget(LabelFor(QStringLiteral("ПО"), CustomPanel13->Edit(), this));
    period->addWidget(CustomPanel13);
    period->addWidget(LabelFor(QStringLiteral("Время(час):"), hour2, this));
    period->addWidget(hour2);
    period->addStretch();
    filter->addLayout(period, 2, 1, 1, 7);

    auto* results = new QGroupBox(QStringLiteral("Результаты поиска"), this);
    auto* outputs = new QHBoxLayout;
    for (QPushButton* button : {Button1, Button5, Button6, Button4})
        outputs->addWidget(button);
    outputs->addStretch();
    auto* resultsLayout = new QVBoxLayout(results);
    resultsLayout->addWidget(CheckBox1);
    resultsLayout->addWidget(StringGrid1, 1);
    resultsLayout->addLayout(outputs);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filter);
    layout->addWidget(results, 1);
    layout->addLayout(gui::DialogButtonRow(Button8, {Button2, Button3}));
    resize(sizeHint().width(), 620);
}

void TSearchForm::Reset() {
    Edit1->clear();
    Edit2->clear();
    for (controls::TExtDateEdit* date : {CustomPanel11, CustomPanel12, CustomPanel13})
        date->SetText({});
    ComboBox11->LoadList(context_.lists.allCountries, true);
    fillGrid({});
    hour1->setValue(0);
    hour2->setValue(23);
}

SearchFilter TSearchForm::readFilter() const {
    SearchFilter filter;
    filter.surname = Edit1->text();
    filter.givenName = Edit2->text();
    filter.birthDate = CustomPanel11->Text();
    filter.addedFromDate = CustomPanel12->Text();
    filter.addedToDate = CustomPanel13->Text();
    filter.citizenship = QString::number(ComboBox11->SelectedComboItemId());
    filter.addedFromHour = hour1->cleanText();
    filter.addedToHour = hour2->cleanText();
    return filter;
}

QWidget* TSearchForm::fieldOf(FilterField field) const {
    switch (field) {
        case FilterField::BirthDate:
            return CustomPanel11->Edit();
        case FilterField::AddedFromDate:
            return CustomPanel12->Edit();
        case FilterField::AddedToDate:
            return CustomPanel13->Edit();
        case FilterField::Citizenship:
            return ComboBox11;
        case FilterField::AddedFromHour:
            return hour1;
        case FilterField::AddedToHour:
            return hour2;
    }
    return StringGrid1;
}

void TSearchForm::RunSearch() {
    QList<citizens::IGFormData> found;
    try {
        found = SearchCitizens(context_.db, readFilter());
    } catch (const SearchFilterError& error) {
        gui::MessageBoxes::error(this, QStringLiteral("Ошибка ввода данных"),
                                 FilterErrorText(error.field()));
        fieldOf(error.field())->setFocus();
        return;
    }
    fillGrid(found);
    if (resultCount_ > 0)
        StringGrid1->setCurrentCell(0, NameColumn);
}

void TSearchForm::fillGrid(const QList<citizens::IGFormData>& found) {
    const QHash<int, QString> countries = CountryNames(context_.lists.allCountries);
    StringGrid1->setUpdatesEnabled(false);
    settingMarks_ = true;
    StringGrid1->clearContents();
    StringGrid1->setRowCount(static_cast<int>(found.size()));
    for (int row = 0; row < found.size(); ++row) {
        const citizens::IGFormData& c = found.at(row);
        StringGrid1->setItem(row, MarkColumn, MarkCell());
        StringGrid1->setItem(
            row, NameColumn,
            Cell(c.surname + QLatin1Char(' ') + c.givenName + QLatin1Char(' ') + c.patronymic));
        StringGrid1->setItem(row, BirthColumn, Cell(c.birthDate));
        StringGrid1->setItem(row, SexColumn,
                             Cell(c.sex == 1 ? QStringLiteral("муж") : QStringLiteral("жен")));
        const auto country = countries.constFind(c.citizenship);
        StringGrid1->setItem(
            row, CountryColumn,
            Cell(country != countries.constEnd() ? *country : QStringLiteral("неизвестно")));
        StringGrid1->setItem(row, SeriesColumn, Cell(c.passportSeries));
        StringGrid1->setItem(row, NumberColumn, Cell(c.passportNumber));
        StringGrid1->setItem(row, IssueColumn, Cell(c.passportIssueDate));
        StringGrid1->setItem(row, KeyColumn, Cell(QString::number(c.key)));
    }
    resultCount_ = static_cast<int>(found.size());
    settingMarks_ = false;
    StringGrid1->setUpdatesEnabled(true);
}

QList<int> TSearchForm::CollectMarkedKeys() const {
    QList<int> keys;
    for (int row = 0; row < resultCount_; ++row) {
        if (StringGrid1->item(row, MarkColumn)->checkState() == Qt::Checked)
            keys << StringGrid1->item(row, KeyColumn)->text().toInt();
    }
    return keys;
}

void TSearchForm::setAllMarks(bool marked) {
    settingMarks_ = true;
    for (int row = 0; row < resultCount_; ++row)
        StringGrid1->item(row, MarkColumn)->setCheckState(marked ? Qt::Checked : Qt::Unchecked);
    settingMarks_ = false;
}

// A row unmarked by the user means that not every row is marked any more; the other rows keep
// their marks.
void TSearchForm::markChanged(int row) {
    if (settingMarks_ || StringGrid1->item(row, MarkColumn)->checkState() == Qt::Checked)
        return;
    const QSignalBlocker quiet(CheckBox1);
    CheckBox1->setChecked(false);
}

void TSearchForm::toggleCurrentMark() {
    const int row = StringGrid1->currentRow();
    if (row < 0 || row >= resultCount_)
        return;
    QTableWidgetItem* mark = StringGrid1->item(row, MarkColumn);
    mark->setCheckState(mark->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void TSearchForm::openCurrentForEditing() {
    const int row = StringGrid1->currentRow();
    if (resultCount_ == 0 || row < 0)
        return;
    if (row >= resultCount_) {
        StringGrid1->setCurrentCell(resultCount_ - 1, NameColumn);
        return;
    }
    Q_EMIT editCitizenRequested(StringGrid1->item(row, KeyColumn)->text().toInt());
}

void TSearchForm::deleteMarked() {
    if (!gui::MessageBoxes::askYesNo(this, QStringLiteral("удаление"),
                                     QStringLiteral("Вы уверены, что хотите удалить выбранные "
                                                    "записи?")))
        return;
    const QList<int> keys = CollectMarkedKeys();
    if (!gui::DeleteOrReport(this, QStringLiteral("выбранные записи"),
                             [&] { citizens::DeleteCitizens(context_.db, keys); }))
        return;
    setAllMarks(false);
    RunSearch();
}

void TSearchForm::exportMarked() {
    ExportCitizenFile(this, context_, resultCount_, CollectMarkedKeys());
}

void TSearchForm::listMarked() {
    ExportCitizenList(this, context_, resultCount_, CollectMarkedKeys());
}

void TSearchForm::fillFormsOfMarked() {
    if (progress_)
        FillApplicationForms(this, context_, *progress_, resultCount_, CollectMarkedKeys());
}

void TSearchForm::showEvent(QShowEvent* event) {
    // The window takes its keys before its controls do: it watches every key of the program
    // while it is shown and acts on those that reach its own controls.
    qApp->installEventFilter(this);
    QDialog::showEvent(event);
}

void TSearchForm::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(this);
    QDialog::hideEvent(event);
}

bool TSearchForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this)
        return handleWindowKey(watched, *static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

bool TSearchForm::handleWindowKey(QObject* watched, const QKeyEvent& key) {
    if (IsCtrlKey(key, kSearchKeys, kX11SearchKeyCode)) {
        StringGrid1->setFocus();
        RunSearch();
        return true;
    }
    if (IsCtrlKey(key, kExportKeys, kX11ExportKeyCode)) {
        StringGrid1->setFocus();
        exportMarked();
        return true;
    }
    if (watched == StringGrid1 && key.key() == Qt::Key_Space && key.modifiers() == Qt::NoModifier) {
        toggleCurrentMark();
        return true;
    }
    // Enter that no control took reaches the window, where it presses "Поиск"
    // (InstallDialogKeys); the results get the focus first.
    if (watched == this && IsEnter(key))
        StringGrid1->setFocus();
    return false;
}

}  // namespace output
