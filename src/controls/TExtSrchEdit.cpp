#include "controls/TExtSrchEdit.h"

#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace controls {

TExtSrchEdit::TExtSrchEdit(QWidget* parent)
    : TEditSD(parent), dropDown_(new QFrame), listBox_(new QListWidget(dropDown_)) {
    dropDown_->setObjectName(QStringLiteral("DropDown"));
    // A window of its own only while the edit has no window to float in.
    dropDown_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    dropDown_->setFrameShape(QFrame::NoFrame);
    dropDown_->setAutoFillBackground(true);
    dropDown_->hide();
    auto* layout = new QVBoxLayout(dropDown_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(listBox_);

    listBox_->setObjectName(QStringLiteral("ListBox"));
    listBox_->setFrameShape(QFrame::NoFrame);
    // The keys stay with the edit: the list only shows and takes clicks.
    listBox_->setFocusPolicy(Qt::NoFocus);
    listBox_->setUniformItemSizes(true);
    listBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont small = listBox_->font();
    small.setPixelSize(kRowHeight - 1);
    listBox_->setFont(small);

    connect(this, &QLineEdit::textChanged, this, &TExtSrchEdit::Refill);
    connect(listBox_, &QListWidget::itemClicked, this, &TExtSrchEdit::TakeSuggestion);
}

TExtSrchEdit::~TExtSrchEdit() {
    delete dropDown_;  // null once the window it floats in has gone
}

int TExtSrchEdit::LoadList(const dictionaries::ReferenceList& list) {
    suggestions_.clear();
    upperSuggestions_.clear();
    for (const dictionaries::ReferenceEntry& entry : list) {
        suggestions_.append(entry.name);
        upperSuggestions_.append(entry.name.toUpper());
    }
    return static_cast<int>(suggestions_.size());
}

// Lists the suggestions that begin with the text, then those that contain it later.
void TExtSrchEdit::Refill() {
    listBox_->clear();
    if (text().isEmpty()) {
        dropDown_->hide();
        return;
    }
    const QString typed = text().toUpper();
    QStringList listed;
    for (int i = 0; i < suggestions_.size(); ++i) {
        if (upperSuggestions_.at(i).startsWith(typed))
            listed.append(suggestions_.at(i));
    }
    for (int i = 0; i < suggestions_.size(); ++i) {
        if (upperSuggestions_.at(i).indexOf(typed) > 0)
            listed.append(suggestions_.at(i));
    }
    for (const QString& suggestion : listed) {
        auto* item = new QListWidgetItem(suggestion, listBox_);
        item->setSizeHint(QSize(0, kRowHeight));
    }
    // A text set by the program while the user is elsewhere opens nothing.
    if (hasFocus())
        ShowDropDown();
}

void TExtSrchEdit::ShowDropDown() {
    QWidget* form = window();
    if (form != this && dropDown_->parentWidget() != form)
        dropDown_->setParent(form);
    const int rows = std::min(listBox_->count(), kVisibleRows);
    const int height = rows * kRowHeight + (rows > 0 ? kPadding : 0);
    const QPoint below = form == this ? mapToGlobal(QPoint(0, this->height()))
                                      : mapTo(form, QPoint(0, this->height()));
    dropDown_->setGeometry(QRect(below, QSize(width(), height)));
    dropDown_->raise();
    dropDown_->show();
}

void TExtSrchEdit::MoveSelection(int step) {
    const int count = listBox_->count();
    if (count == 0)
        return;
    const int row = listBox_->currentRow();
    listBox_->setCurrentRow(row < 0 ? 0 : std::clamp(row + step, 0, count - 1));
}

bool TExtSrchEdit::SuggestionSelected() const {
    return dropDown_->isVisible() && listBox_->currentItem() &&
           listBox_->currentItem()->isSelected();
}

void TExtSrchEdit::TakeSuggestion(const QListWidgetItem* item) {
    if (!item)
        return;
    setText(item->text());
    dropDown_->hide();
    setCursorPosition(static_cast<int>(text().size()));
}

void TExtSrchEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Down:
        case Qt::Key_Up:
            if (!text().isEmpty())
                ShowDropDown();
            MoveSelection(event->key() == Qt::Key_Down ? 1 : -1);
            return;
        case Qt::Key_Left:
        case Qt::Key_Right:
            dropDown_->hide();
            TEditSD::keyPressEvent(event);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (SuggestionSelected()) {
                TakeSuggestion(listBox_->currentItem());
                return;
            }
            break;
        default:
            break;
    }
    TEditSD::keyPressEvent(event);
    if (!text().isEmpty() && !dropDown_->isVisible())
        ShowDropDown();
}

void TExtSrchEdit::mouseReleaseEvent(QMouseEvent* event) {
    TEditSD::mouseReleaseEvent(event);
    if (SuggestionSelected())
        TakeSuggestion(listBox_->currentItem());
}

void TExtSrchEdit::focusOutEvent(QFocusEvent* event) {
    dropDown_->hide();
    TEditSD::focusOutEvent(event);
}

}  // namespace controls
