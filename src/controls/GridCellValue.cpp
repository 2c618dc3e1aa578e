#include "controls/GridCellValue.h"

#include <QTableWidget>

#include "controls/GridEditors.h"

namespace controls {

namespace {

// A grid cell that owns a value object besides its text.
class ValueCell : public QTableWidgetItem {
public:
    static constexpr int kType = QTableWidgetItem::UserType + 1;

    ValueCell() : QTableWidgetItem(kType) {}

    std::unique_ptr<GridCellBaseValue> value;
};

}  // namespace

GridCellBaseValue* CellValue(const QTableWidget* grid, int row, int column) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item || item->type() != ValueCell::kType)
        return nullptr;
    return static_cast<ValueCell*>(item)->value.get();
}

void SetCellValue(QTableWidget* grid, int row, int column, std::unique_ptr<GridCellBaseValue> value,
                  bool showInEditor) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item || item->type() != ValueCell::kType) {
        auto cell = std::make_unique<ValueCell>();
        if (item)
            cell->setText(item->text());
        item = cell.get();
        grid->setItem(row, column, cell.release());  // frees the item the cell had
    }
    auto* cell = static_cast<ValueCell*>(item);
    cell->value = std::move(value);
    if (!showInEditor || !cell->value)
        return;
    if (BaseGridEditor* editor = GridEditorAt(grid, row, column))
        editor->SetValue(*cell->value);
}

}  // namespace controls
