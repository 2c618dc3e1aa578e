#include "controls/GridEditors.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFocusEvent>
#include <QPushButton>
#include <QTableWidget>

#include "controls/TEditSD.h"
#include "controls/TExtSrchComboBox.h"

namespace controls {

namespace {

// The background of the editing controls: a pale yellow.
const QColor kEditorColour(0xFF, 0xFF, 0xEE);
// The controls keep this far from the cell's edges, so that the grid lines and the row's
// selection stay visible around them.
constexpr int kInset = 3;

// The widget that sits in the cell and holds the editor's controls; it lays them out
// whenever the grid gives the cell a new size.
class GridEditorHost : public QWidget {
public:
    GridEditorHost(BaseGridEditor* editor, QWidget* parent) : QWidget(parent), editor_(editor) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        editor_->Place(rect().adjusted(kInset, kInset, -kInset, -kInset), true);
    }

private:
    BaseGridEditor* editor_;
};

}  // namespace

BaseGridEditor::BaseGridEditor(QTableWidget* grid)
    : grid_(grid), host_(new GridEditorHost(this, grid->viewport())) {
    host_->hide();
    setParent(host_);
}

void BaseGridEditor::Edit(int row, int column) {
    cell_ = QPersistentModelIndex(grid_->model()->index(row, column));
    grid_->setCellWidget(row, column, host_);
    if (const GridCellBaseValue* value = CellValue(grid_, row, column))
        SetValue(*value);
    Place(host_->rect().adjusted(kInset, kInset, -kInset, -kInset), true);
}

void BaseGridEditor::Place(const QRect&, bool) {}

std::unique_ptr<GridCellValue> BaseGridEditor::GetValue() const {
    return nullptr;
}

void BaseGridEditor::SetValue(const GridCellBaseValue&) {}

void BaseGridEditor::SetChangeNotification(QObject* receiver, GridChangeNotification notification) {
    receiver_ = receiver;
    hasReceiver_ = receiver != nullptr;
    notification_ = std::move(notification);
}

int BaseGridEditor::Row() const {
    return cell_.isValid() ? cell_.row() : -1;
}

int BaseGridEditor::Column() const {
    return cell_.isValid() ? cell_.column() : -1;
}

void BaseGridEditor::StoreValue() {
    if (cell_.isValid())
        SetCellValue(grid_, Row(), Column(), GetValue(), false);
}

void BaseGridEditor::Notify(QWidget* sender) {
    if (!cell_.isValid() || !notification_ || (hasReceiver_ && receiver_.isNull()))
        return;
    notification_(sender, Column(), Row());
}

ComboBoxType1GridEditor::ComboBoxType1GridEditor(QTableWidget* grid,
                                                 const dictionaries::ReferenceList& list,
                                                 bool withEmptyEntry)
    : BaseGridEditor(grid), comboBox_(new TExtSrchComboBox(Host())) {
    comboBox_->LoadList(list, withEmptyEntry);
    comboBox_->SetColor(kEditorColour);
    connect(comboBox_, &QComboBox::activated, this, &ComboBoxType1GridEditor::Chosen);
    // Typing selects the first item that matches: the user sees it chosen, so it is.
    connect(comboBox_, &QComboBox::currentIndexChanged, this, [this] {
        if (comboBox_->hasFocus() || comboBox_->view()->isVisible())
            Chosen();
    });
}

void ComboBoxType1GridEditor::Place(const QRect& rect, bool visible) {
    comboBox_->setGeometry(rect);
    comboBox_->setVisible(visible);
    placed_ = true;
}

std::unique_ptr<GridCellValue> ComboBoxType1GridEditor::GetValue() const {
    return std::make_unique<GridCellValue>(comboBox_->SelectedComboItemId());
}

void ComboBoxType1GridEditor::SetValue(const GridCellBaseValue& value) {
    const QSignalBlocker quiet(comboBox_);
    comboBox_->ClearChoice();
    comboBox_->SelectComboItemById(value.GetValue().toInt());
}

void ComboBoxType1GridEditor::Chosen() {
    StoreValue();
    Notify(comboBox_);
}

DelType1GridEditor::DelType1GridEditor(QTableWidget* grid)
    : BaseGridEditor(grid)
    , checkBox_(new QCheckBox(Host()))
    , button_(new QPushButton(QStringLiteral("-"), Host())) {
    checkBox_->setAutoFillBackground(true);
    QPalette palette = checkBox_->palette();
    palette.setColor(checkBox_->backgroundRole(), kEditorColour);  // the face, Button
    palette.setColor(QPalette::Base, kEditorColour);               // the box
    checkBox_->setPalette(palette);
    connect(checkBox_, &QCheckBox::clicked, this, &DelType1GridEditor::StoreValue);
    connect(button_, &QPushButton::clicked, this, [this] { Notify(button_); });
}

// The check box over the first third, the button over the right half.
void DelType1GridEditor::Place(const QRect& rect, bool visible) {
    checkBox_->setGeometry(rect.left(), rect.top(), rect.width() / 3, rect.height());
    const int half = rect.left() + rect.width() / 2;
    button_->setGeometry(half, rect.top(), rect.right() + 1 - half, rect.height());
    checkBox_->setVisible(visible);
    button_->setVisible(visible);
}

std::unique_ptr<GridCellValue> DelType1GridEditor::GetValue() const {
    return std::make_unique<GridCellValue>(checkBox_->isChecked());
}

void DelType1GridEditor::SetValue(const GridCellBaseValue& value) {
    checkBox_->setChecked(value.GetValue().toBool());
}

TextEditGridEditor::TextEditGridEditor(QTableWidget* grid)
    : BaseGridEditor(grid), edit_(new TEditSD(Host())) {
    edit_->SetColor(kEditorColour);
    edit_->installEventFilter(this);
    // Enter may also press the dialog's default button: the text must be in the cell first.
    connect(edit_, &QLineEdit::returnPressed, this, &TextEditGridEditor::Commit);
}

void TextEditGridEditor::Place(const QRect& rect, bool visible) {
    edit_->setGeometry(rect);
    edit_->setVisible(visible);
}

std::unique_ptr<GridCellValue> TextEditGridEditor::GetValue() const {
    return std::make_unique<GridCellValue>(edit_->text());
}

void TextEditGridEditor::SetValue(const GridCellBaseValue& value) {
    edit_->setText(value.GetValue().toString());
}

// Leaving the edit for another control commits, a button of the dialog included. A window
// that stops being the active one (another program, or the dialog closing or going away)
// moves no focus inside the dialog and commits nothing: the owner may be half destroyed.
bool TextEditGridEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason &&
        edit_->window()->isVisible())
        Commit();
    return BaseGridEditor::eventFilter(watched, event);
}

void TextEditGridEditor::Commit() {
    StoreValue();
    Notify(edit_);
}

BaseGridEditor* GridEditorAt(const QTableWidget* grid, int row, int column) {
    const QWidget* host = grid->cellWidget(row, column);
    return host ? host->findChild<BaseGridEditor*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

}  // namespace controls
