#include "citizens/TTerritoryEditForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "controls/FormParts.h"
#include "controls/GridEditors.h"
#include "controls/TExtSrchComboBox.h"
#include "dictionaries/ReferenceLists.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "gui/TerritoryOwner.h"

namespace citizens {

namespace {

constexpr int kMarkColumnWidth = 90;
constexpr int kRowHeight = 30;

const QString kInputErrorTitle = QStringLiteral("Ошибка ввода данных");

// The window the dialog is modal over: the owner's own window when the owner is one and
// shows, otherwise the window the user works in.
QWidget* OpenerOf(gui::TerritoryOwner& owner, QWidget* self) {
    if (auto* widget = dynamic_cast<QWidget*>(&owner); widget && widget->window()->isVisible())
        return widget->window();
    QWidget* active = QApplication::activeWindow();
    return active == self ? nullptr : active;
}

// The heading above the grid: the mark-all box and the upper "-" over the marks, the
// column's caption over the territories.
QHBoxLayout* GridHeading(QCheckBox* markAll, QPushButton* removeMarked, QLabel* caption) {
    auto* marks = new QHBoxLayout;
    marks->setContentsMargins(3, 0, 3, 0);
    marks->addWidget(markAll);
    marks->addStretch();
    marks->addWidget(removeMarked);
    auto* markCell = new QWidget;
    markCell->setFixedWidth(kMarkColumnWidth);
    markCell->setLayout(marks);
    caption->setFrameShape(QFrame::Panel);
    caption->setFrameShadow(QFrame::Raised);
    caption->setAlignment(Qt::AlignCenter);
    auto* heading = new QHBoxLayout;
    heading->setSpacing(0);
    heading->addWidget(markCell);
    heading->addWidget(caption, 1);
    return heading;
}

}  // namespace

TTerritoryEditForm::TTerritoryEditForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TerritoryEditForm"));
    setWindowTitle(QStringLiteral("Добавление / Редактирование территорий действия"));

    ComboBox11 = controls::Named(new controls::TExtSrchComboBox(this), "ComboBox11");
    ComboBox11->setMinimumWidth(300);
    Button1 = controls::NamedButton("Button1", QStringLiteral("+"), this);
    Panel3 = controls::Named(new QLabel(QStringLiteral("Территория действия"), this), "Panel3");
    CheckBox1 = controls::Named(new QCheckBox(this), "CheckBox1");
    Button4 = controls::NamedButton("Button4", QStringLiteral("-"), this);
    Button4->setFixedWidth(36);
    StringGrid1 = controls::Named(new QTableWidget(0, 2, this), "StringGrid1");
    Button2 = controls::NamedButton("Button2", QStringLiteral("Сохранить"), this);
    Button3 = controls::NamedButton("Button3", QStringLiteral("Отменить"), this);
    Button8 = controls::NamedButton("Button8", QStringLiteral("?"), this);

    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    StringGrid1->setColumnWidth(kMarkColumn, kMarkColumnWidth);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setMinimumHeight(8 * kRowHeight);

    auto* adding = new QHBoxLayout;
    adding->addWidget(ComboBox11, 1);
    adding->addWidget(Button1);
    auto* grid = new QVBoxLayout;
    grid->setSpacing(0);
    grid->addLayout(GridHeading(CheckBox1, Button4, Panel3));
    grid->addWidget(StringGrid1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(adding);
    layout->addLayout(grid, 1);
    layout->addLayout(gui::DialogButtonRow(Button8, {Button2, Button3}));
    gui::InstallDialogKeys(this, Button2, Button3);
    resize(480, 420);

    connect(Button1, &QPushButton::clicked, this, &TTerritoryEditForm::Add);
    connect(CheckBox1, &QCheckBox::clicked, this, &TTerritoryEditForm::MarkAll);
    connect(Button4, &QPushButton::clicked, this, &TTerritoryEditForm::RemoveMarked);
    connect(Button2, &QPushButton::clicked, this, &TTerritoryEditForm::Save);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    gui::InstallHelp(this, Button8, context_.startFolder, gui::topic::kTerritories);
}

bool TTerritoryEditForm::EditTerritories(gui::TerritoryOwner& owner) {
    // Modal over the window that asks, so that the help window stays usable; afterwards the
    // dialog goes back to the parent it was created with, which owns it.
    QWidget* home = parentWidget();
    QWidget* opener = OpenerOf(owner, this);
    if (opener && opener != home)
        setParent(opener, windowFlags());
    setWindowModality(Qt::WindowModal);

    owner_ = &owner;
    ComboBox11->LoadList(context_.lists.territories);
    CheckBox1->setChecked(false);
    Fill(owner.territoryIds());
    const bool saved = exec() == QDialog::Accepted;
    EmptyGrid();
    owner_ = nullptr;

    if (parentWidget() != home)
        setParent(home, windowFlags());
    return saved;
}

QList<int> TTerritoryEditForm::ListedTerritories() const {
    QList<int> territories;
    territories.reserve(StringGrid1->rowCount());
    for (int row = 0; row < StringGrid1->rowCount(); ++row) {
        const controls::GridCellBaseValue* value =
            controls::CellValue(StringGrid1, row, kTerritoryColumn);
        territories << (value ? value->GetValue().toInt() : -1);
    }
    return territories;
}

void TTerritoryEditForm::Fill(const QList<int>& territories) {
    EmptyGrid();
    for (int territory : territories)
        AppendRow(territory);
}

void TTerritoryEditForm::AppendRow(int territory) {
    const int row = StringGrid1->rowCount();
    StringGrid1->insertRow(row);
    controls::SetCellValue(StringGrid1, row, kMarkColumn,
                           std::make_unique<controls::GridCellValue>(false));
    controls::SetCellValue(StringGrid1, row, kTerritoryColumn,
                           std::make_unique<controls::GridCellValue>(territory));

    auto* mark = new controls::DelType1GridEditor(StringGrid1);
    mark->Button()->setAutoDefault(false);  // Enter stays "Сохранить"
    mark->SetChangeNotification(this, [this](QWidget*, int, int at) { AskRemoveRow(at); });
    mark->Edit(row, kMarkColumn);
    auto* name = new controls::ComboBoxType1GridEditor(StringGrid1, context_.lists.territories);
    name->Edit(row, kTerritoryColumn);
}

void TTerritoryEditForm::EmptyGrid() {
    StringGrid1->setRowCount(0);  // frees the rows' values and editors
}

bool TTerritoryEditForm::IsMarked(int row) const {
    const controls::GridCellBaseValue* value = controls::CellValue(StringGrid1, row, kMarkColumn);
    return value && value->GetValue().toBool();
}

void TTerritoryEditForm::Add() {
    const int territory = ComboBox11->SelectedComboItemId();
    if (territory == -1 || ComboBox11->currentText().isEmpty()) {
        gui::MessageBoxes::error(this, QStringLiteral("ошибка ввода данных"),
                                 QStringLiteral("Должна быть задана территория"));
        ComboBox11->setFocus();
        return;
    }
    if (ListedTerritories().contains(territory)) {
        gui::MessageBoxes::error(this, kInputErrorTitle,
                                 QStringLiteral("Данная территория уже имеется в списке"));
        return;
    }
    // A citizen's record has room for a fixed number of territories.
    const int limit = owner_ ? owner_->territoryLimit() : 0;
    if (limit > 0 && StringGrid1->rowCount() >= limit) {
        gui::MessageBoxes::error(
            this, kInputErrorTitle,
            QStringLiteral("Можно задать не более %1 территорий действия").arg(limit));
        return;
    }
    AppendRow(territory);
    StringGrid1->scrollToBottom();
    ComboBox11->ClearChoice();
}

void TTerritoryEditForm::MarkAll(bool marked) {
    for (int row = 0; row < StringGrid1->rowCount(); ++row) {
        controls::SetCellValue(StringGrid1, row, kMarkColumn,
                               std::make_unique<controls::GridCellValue>(marked));
    }
}

// From the last row up, so that the rows still to be looked at keep their places.
void TTerritoryEditForm::RemoveMarked() {
    bool removed = false;
    for (int row = StringGrid1->rowCount() - 1; row >= 0; --row) {
        if (IsMarked(row)) {
            StringGrid1->removeRow(row);
            removed = true;
        }
    }
    if (!removed) {
        gui::MessageBoxes::warning(this, QStringLiteral("Ошибка удаления"),
                                   QStringLiteral("Не выбраны территории для удаления"));
    }
    CheckBox1->setChecked(false);
}

void TTerritoryEditForm::AskRemoveRow(int row) {
    StringGrid1->selectRow(row);
    if (gui::MessageBoxes::askYesNo(this, QStringLiteral("удаление"),
                                    QStringLiteral("Вы действительно хотите удалить эту строку")))
        StringGrid1->removeRow(row);
}

// A row whose list was emptied names no territory: saving it would store a territory that
// does not exist.
bool TTerritoryEditForm::CheckEveryRowHasATerritory() {
    const int row = ListedTerritories().indexOf(-1);
    if (row < 0)
        return true;
    gui::MessageBoxes::error(this, QStringLiteral("ошибка ввода данных"),
                             QStringLiteral("Должна быть задана территория"));
    StringGrid1->scrollToItem(StringGrid1->item(row, kTerritoryColumn));
    if (auto* editor = static_cast<controls::ComboBoxType1GridEditor*>(
            controls::GridEditorAt(StringGrid1, row, kTerritoryColumn)))
        editor->Control()->setFocus();
    return false;
}

void TTerritoryEditForm::Save() {
    if (!CheckEveryRowHasATerritory())
        return;
    const QList<int> territories = ListedTerritories();
    if (owner_) {
        owner_->setTerritories(
            territories,
            dictionaries::JoinedNames(context_.lists.territories, territories, QLatin1Char(',')));
    }
    accept();
}

}  // namespace citizens
