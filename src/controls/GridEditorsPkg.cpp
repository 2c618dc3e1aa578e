#include "controls/GridEditorsPkg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMouseEvent>
#include <QTableWidget>

namespace controls {

namespace {

const QString kTicked = QStringLiteral("1");
const QString kUnticked = QStringLiteral("0");

// The check box keeps 1 pixel from the cell's edges and 3 more from its left edge; the
// link 1 pixel.
const QMargins kCheckBoxInset(1 + 3, 1, 1, 1);
const QMargins kLinkInset(1, 1, 1, 1);

const QColor kLinkColour(0x00, 0x00, 0xFF);

}  // namespace

GridEditorPkg::GridEditorPkg(QTableWidget* grid, int row, int column, const QMargins& inset)
    : grid_(grid), cell_(grid->model()->index(row, column)), host_(new QWidget(grid->viewport())) {
    setParent(host_);
    auto* layout = new QHBoxLayout(host_);
    layout->setContentsMargins(inset);
    layout->setSpacing(0);
    grid->setCellWidget(row, column, host_);
}

void GridEditorPkg::Hold(QWidget* control) {
    host_->layout()->addWidget(control);
}

int GridEditorPkg::Row() const {
    return cell_.isValid() ? cell_.row() : -1;
}

int GridEditorPkg::Column() const {
    return cell_.isValid() ? cell_.column() : -1;
}

DelGridEditorPkg::DelGridEditorPkg(QTableWidget* grid, int row, int column)
    : GridEditorPkg(grid, row, column, kCheckBoxInset), checkBox_(new QCheckBox) {
    checkBox_->setAutoFillBackground(true);
    QPalette palette = checkBox_->palette();
    palette.setColor(checkBox_->backgroundRole(), Qt::white);  // the face, Button
    palette.setColor(QPalette::Base, Qt::white);               // the box
    checkBox_->setPalette(palette);
    Hold(checkBox_);
    if (!grid->item(row, column))
        grid->setItem(row, column, new QTableWidgetItem(kUnticked));
    checkBox_->setChecked(grid->item(row, column)->text() == kTicked);
    connect(checkBox_, &QCheckBox::clicked, this, &DelGridEditorPkg::Clicked);
    connect(grid, &QTableWidget::itemChanged, this, &DelGridEditorPkg::CellChanged);
}

bool DelGridEditorPkg::Checked() const {
    return checkBox_->isChecked();
}

void DelGridEditorPkg::SetChecked(bool checked) {
    if (Row() < 0)
        return;
    const QString text = checked ? kTicked : kUnticked;
    if (QTableWidgetItem* item = Grid()->item(Row(), Column()))
        item->setText(text);
    else
        Grid()->setItem(Row(), Column(), new QTableWidgetItem(text));
}

void DelGridEditorPkg::Clicked(bool checked) {
    SetChecked(checked);
    if (Row() >= 0)
        Grid()->setCurrentCell(Row(), Column());
}

void DelGridEditorPkg::CellChanged(QTableWidgetItem* item) {
    if (item->row() == Row() && item->column() == Column())
        checkBox_->setChecked(item->text() == kTicked);
}

LinkGridEditorPkg::LinkGridEditorPkg(QTableWidget* grid, int row, int column, const QString& text,
                                     int id, std::function<void(int id)> action)
    : GridEditorPkg(grid, row, column, kLinkInset)
    , label_(new QLabel(text))
    , id_(id)
    , action_(std::move(action)) {
    label_->setAlignment(Qt::AlignCenter);
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, kLinkColour);
    label_->setPalette(palette);
    label_->setCursor(Qt::PointingHandCursor);
    label_->installEventFilter(this);
    Hold(label_);
    FollowSelection();
    connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LinkGridEditorPkg::FollowSelection);
}

// Blue, or the selection's text colour while the row is selected: blue on the selection's
// blue could not be read.
void LinkGridEditorPkg::FollowSelection() {
    const bool selected = Row() >= 0 && Grid()->selectionModel()->isRowSelected(Row());
    label_->setForegroundRole(selected ? QPalette::HighlightedText : QPalette::WindowText);
}

bool LinkGridEditorPkg::eventFilter(QObject* watched, QEvent* event) {
    if (watched != label_)
        return GridEditorPkg::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::Enter:
            SetUnderlined(true);
            break;
        case QEvent::Leave:
            SetUnderlined(false);
            break;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                label_->rect().contains(mouse->position().toPoint()) && action_)
                action_(id_);
            break;
        }
        default:
            break;
    }
    return GridEditorPkg::eventFilter(watched, event);
}

void LinkGridEditorPkg::SetUnderlined(bool underlined) {
    QFont font = label_->font();
    font.setUnderline(underlined);
    label_->setFont(font);
}

GridEditorPkg* GridEditorPkgAt(const QTableWidget* grid, int row, int column) {
    const QWidget* host = grid->cellWidget(row, column);
    return host ? host->findChild<GridEditorPkg*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

}  // namespace controls
