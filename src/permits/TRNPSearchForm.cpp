#include "permits/TRNPSearchForm.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <vector>

#include "controls/FormParts.h"
#include "controls/TEditSD.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "gui/SaveFailure.h"
#include "permits/PermitStore.h"
#include "permits/TRNPIRSEditForm.h"

namespace permits {

namespace {

constexpr int kNumberLength = 50;
constexpr int kMarkColumnWidth = 34;
constexpr int kNumberColumnWidth = 350;

// The selection colours: grey while a result row is selected, the grid's own pale grey
// once the selection is cleared.
const QColor kSelectedColour(0xC0, 0xC0, 0xC0);
const QColor kClearedColour(0xEE, 0xEE, 0xEE);

// The physical key of "G" / "П" on a PC keyboard, as the X keyboard extension numbers it
// (evdev 34 + 8); its symbols on the Latin and the Russian layout.
constexpr quint32 kGKeyScanCode = 42;
constexpr quint32 kSymbols[] = {0x67, 0x47, 0x6d0, 0x6f0};  // g G Cyrillic_pe Cyrillic_PE
constexpr int kCyrillicCapitalPe = 0x041F;

}  // namespace

// The result rows: each a permit number and its mark. Filled in one reset, so that ten
// thousand numbers cost one update of the grid.
class PermitResults : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetNumbers(const QStringList& numbers) {
        beginResetModel();
        numbers_ = numbers;
        marks_.assign(static_cast<size_t>(numbers.size()), false);
        endResetModel();
    }

    const QStringList& Numbers() const { return numbers_; }
    bool Marked(int row) const { return row >= 0 && row < rowCount() && marks_[row]; }

    void SetMarked(int row, bool marked) {
        marks_[row] = marked;
        const QModelIndex cell = index(row, TRNPSearchForm::kMarkColumn);
        emit dataChanged(cell, cell, {Qt::CheckStateRole});
    }

    void SetAllMarked(bool marked) {
        if (numbers_.isEmpty())
            return;
        marks_.assign(marks_.size(), marked);
        emit dataChanged(index(0, TRNPSearchForm::kMarkColumn),
                         index(rowCount() - 1, TRNPSearchForm::kMarkColumn), {Qt::CheckStateRole});
    }

    QStringList MarkedNumbers() const {
        QStringList marked;
        for (int row = 0; row < rowCount(); ++row) {
            if (marks_[row])
                marked << numbers_.at(row);
        }
        return marked;
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(numbers_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 2;
    }

    QVariant data(const QModelIndex& cell, int role) const override {
        if (!cell.isValid())
            return {};
        if (cell.column() == TRNPSearchForm::kMarkColumn && role == Qt::CheckStateRole)
            return marks_[cell.row()] ? Qt::Checked : Qt::Unchecked;
        if (cell.column() == TRNPSearchForm::kNumberColumn && role == Qt::DisplayRole)
            return numbers_.at(cell.row());
        return {};
    }

    // The marks change by a click anywhere in their cell (the dialog does it), not by the
    // view's own check box handling.
    Qt::ItemFlags flags(const QModelIndex& cell) const override {
        return cell.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole &&
            section == TRNPSearchForm::kNumberColumn)
            return QStringLiteral("Номер разрешения");
        return {};
    }

private:
    QStringList numbers_;
    std::vector<bool> marks_;
};

TRNPSearchForm::TRNPSearchForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context), results_(new PermitResults(this)) {
    setObjectName(QStringLiteral("RNPSearchForm"));
    setWindowTitle(QStringLiteral("Поиск РНП ИРС"));

    Edit1 = controls::Named(new controls::TEditSD(this), "Edit1");
    Edit1->setMaxLength(kNumberLength);
    Button2 = controls::NamedButton("Button2", QStringLiteral("Поиск"), this);
    CreateGrid();
    Button1 = controls::NamedButton("Button1", QStringLiteral("Удалить отмеченные"), this);
    Button3 = controls::NamedButton("Button3", QStringLiteral("Отмена"), this);
    Button8 = controls::NamedButton("Button8", QStringLiteral("?"), this);

    auto* numberLabel = new QLabel(QStringLiteral("Номер разрешения на привлечение:"), this);
    numberLabel->setBuddy(Edit1);
    auto* resultsLabel = new QLabel(QStringLiteral("Результаты поиска:"), this);
    resultsLabel->setBuddy(ProfGrid1);
    auto* number = new QHBoxLayout;
    number->addWidget(Edit1, 1);
    number->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(numberLabel);
    layout->addLayout(number);
    layout->addWidget(resultsLabel);
    layout->addWidget(ProfGrid1, 1);
    layout->addLayout(gui::DialogButtonRow(Button8, {Button1, Button3}));
    resize(440, 480);

    gui::InstallDialogKeys(this, Button2, Button3);
    gui::InstallHelp(this, Button8, context_.startFolder, gui::topic::kPermitSearch);
    installEventFilter(this);  // Ctrl+G, as it comes up from any control
    connect(Button2, &QPushButton::clicked, this, [this] {
        ProfGrid1->setFocus();
        Search();
    });
    connect(Button1, &QPushButton::clicked, this, &TRNPSearchForm::DeleteMarked);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    EmptyResults();
}

// The heading goes on resizing while the window's controls are destroyed, when the window is
// no longer a TRNPSearchForm to place its box.
TRNPSearchForm::~TRNPSearchForm() {
    disconnect(ProfGrid1->horizontalHeader(), nullptr, this, nullptr);
}

void TRNPSearchForm::CreateGrid() {
    ProfGrid1 = controls::Named(new QTableView(this), "ProfGrid1");
    ProfGrid1->setModel(results_);
    ProfGrid1->setToolTip(QStringLiteral("Выбрать РНП ИРС"));
    ProfGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ProfGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    ProfGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ProfGrid1->setWordWrap(false);
    QHeaderView* rows = ProfGrid1->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(ProfGrid1->fontMetrics().height() + 8);
    QHeaderView* heading = ProfGrid1->horizontalHeader();
    heading->setSectionResizeMode(kMarkColumn, QHeaderView::Fixed);
    heading->resizeSection(kMarkColumn, kMarkColumnWidth);
    heading->resizeSection(kNumberColumn, kNumberColumnWidth);
    heading->setHighlightSections(false);

    HeaderBox = controls::Named(new QCheckBox(heading), "HeaderBox");
    connect(heading, &QHeaderView::geometriesChanged, this, &TRNPSearchForm::PlaceHeaderBox);
    connect(heading, &QHeaderView::sectionResized, this, &TRNPSearchForm::PlaceHeaderBox);
    connect(HeaderBox, &QCheckBox::clicked, this, &TRNPSearchForm::MarkAll);
    // A click in the heading takes the selection away.
    connect(heading, &QHeaderView::sectionPressed, ProfGrid1, &QAbstractItemView::clearSelection);
    connect(ProfGrid1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { SetSelectionColour(ProfGrid1->selectionModel()->hasSelection()); });
    connect(ProfGrid1, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& cell) { CellClicked(cell.row(), cell.column()); });
    connect(ProfGrid1, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& cell) { OpenPermit(cell.row()); });
    PlaceHeaderBox();
}

void TRNPSearchForm::PlaceHeaderBox() {
    QHeaderView* heading = ProfGrid1->horizontalHeader();
    const QSize box = HeaderBox->sizeHint();
    const int left = heading->sectionViewportPosition(kMarkColumn);
    const int width = heading->sectionSize(kMarkColumn);
    HeaderBox->setGeometry(left + (width - box.width()) / 2, (heading->height() - box.height()) / 2,
                           box.width(), box.height());
}

void TRNPSearchForm::UsePermitEditor(TRNPIRSEditForm* editor) {
    permitEditor_ = editor;
}

void TRNPSearchForm::EmptyResults() {
    results_->SetNumbers({});
    HeaderBox->setChecked(false);
    SetSelectionColour(false);
}

void TRNPSearchForm::Search() {
    results_->SetNumbers(FindPermitNumbers(context_.db, Edit1->text()));
    HeaderBox->setChecked(false);
    SetSelectionColour(false);
}

QStringList TRNPSearchForm::ListedNumbers() const {
    return results_->Numbers();
}

bool TRNPSearchForm::IsMarked(int row) const {
    return results_->Marked(row);
}

bool TRNPSearchForm::IsSearchShortcut(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::ControlModifier)
        return false;
    if (key.key() == Qt::Key_G || key.key() == kCyrillicCapitalPe)
        return true;
    for (quint32 symbol : kSymbols) {
        if (key.nativeVirtualKey() == symbol)
            return true;
    }
    // Another layout gives the key another symbol; its place on the keyboard stays.
    const QString platform = QGuiApplication::platformName();
    return key.nativeScanCode() == kGKeyScanCode &&
           (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland")));
}

bool TRNPSearchForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this && event->type() == QEvent::KeyPress &&
        IsSearchShortcut(*static_cast<QKeyEvent*>(event))) {
        ProfGrid1->setFocus();
        Search();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TRNPSearchForm::SetSelectionColour(bool rowSelected) {
    QPalette palette = ProfGrid1->palette();
    const QColor colour = rowSelected ? kSelectedColour : kClearedColour;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, colour);
        palette.setColor(group, QPalette::HighlightedText, palette.color(group, QPalette::Text));
    }
    ProfGrid1->setPalette(palette);
}

// A click in a row's mark cell ticks or unticks it; unticking any row unticks the heading's
// box. Keys and the wheel move the selection without touching the marks.
void TRNPSearchForm::CellClicked(int row, int column) {
    if (column != kMarkColumn || row < 0)
        return;
    const bool marked = !results_->Marked(row);
    results_->SetMarked(row, marked);
    if (!marked)
        HeaderBox->setChecked(false);
}

void TRNPSearchForm::MarkAll(bool marked) {
    results_->SetAllMarked(marked);
}

void TRNPSearchForm::OpenPermit(int row) {
    if (row < 0 || row >= results_->rowCount() || !permitEditor_ ||
        !ProfGrid1->selectionModel()->hasSelection())
        return;
    permitEditor_->OpenPermitForEditing(results_->Numbers().at(row));
}

void TRNPSearchForm::DeleteMarked() {
    if (!gui::MessageBoxes::askYesNo(
            this, QStringLiteral("удаление"),
            QStringLiteral("Вы уверены, что хотите удалить выбранные записи?")))
        return;
    const QStringList marked = results_->MarkedNumbers();
    if (marked.isEmpty()) {
        gui::MessageBoxes::error(this, QStringLiteral("ошибка удаления"),
                                 QStringLiteral("Нет выбранных РНП ИРС для удаления"));
        return;
    }
    if (gui::MessageBoxes::askYesNo(
            this, QStringLiteral("Удаление набора РНП"),
            QStringLiteral("действительно хотите удалить все выбранные РНП ИРС?"))) {
        // Each permit goes in a transaction of its own: those deleted before a later "Нет"
        // or a refusal stay deleted. After a refusal the database refuses the rest too.
        for (const QString& number : marked) {
            if (!DeletePermitAsked(number))
                break;
        }
    }
    Search();
}

// A permit with citizens goes, with them, only when the user agrees. False when the
// database refused the deletion.
bool TRNPSearchForm::DeletePermitAsked(const QString& number) {
    const QStringList citizens = ListPermitCitizens(context_.db, number);
    const bool withCitizens = !citizens.isEmpty();
    if (withCitizens &&
        !gui::MessageBoxes::askYesNo(
            this, QStringLiteral("Удаление РНП"),
            QStringLiteral("РНП ИРС №") + number + QStringLiteral(" связан с ИГ: ") +
                citizens.join(QLatin1Char(',')) +
                QStringLiteral(".\nВнимание! В случае, если вы ответите \"Да\", будет удалён РНП "
                               "ИРС вместе со всеми прикреплёнными к нему ИГ.\nЕсли ответите "
                               "\"Нет\", то РНП ИРС не будет удалён.")))
        return true;
    return gui::DeleteOrReport(this, QStringLiteral("РНП ИРС №") + number,
                               [&] { DeletePermit(context_.db, number, withCitizens); });
}

}  // namespace permits
