#include "permits/EditorsInView.h"

#include <QEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <algorithm>

#include "controls/GridEditors.h"

namespace permits {

EditorsInView::EditorsInView(QTableWidget* grid, MakeRowEditors makeRowEditors)
    : QObject(grid)
    , grid_(grid)
    , viewport_(grid->viewport())
    , makeRowEditors_(std::move(makeRowEditors)) {
    viewport_->installEventFilter(this);
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, &EditorsInView::Update);
    connect(grid_->verticalScrollBar(), &QScrollBar::rangeChanged, this, &EditorsInView::Update);
}

void EditorsInView::Update() {
    const int rows = grid_->rowCount();
    const int first = grid_->rowAt(0);
    if (rows == 0 || first < 0)
        return;
    const int shownLast = grid_->rowAt(grid_->viewport()->height() - 1);
    const int last = shownLast < 0 ? rows - 1 : std::min(shownLast + 1, rows - 1);
    for (int row = first; row <= last; ++row)
        Ensure(row);
}

void EditorsInView::Ensure(int row) {
    if (row >= 0 && row < grid_->rowCount() && !controls::GridEditorAt(grid_, row, 0))
        makeRowEditors_(row);
}

bool EditorsInView::eventFilter(QObject* watched, QEvent* event) {
    // Compared with the viewport kept, not asked of the grid: the viewport's last events come
    // while the grid is being destroyed.
    if (watched == viewport_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        Update();
    return QObject::eventFilter(watched, event);
}

}  // namespace permits
