#pragma once

#include <QVariant>
#include <memory>

class QTableWidget;

namespace controls {

// The value of a grid cell that is edited in place: an integer, a boolean or a text. The
// owner of the grid reads its records from these values, never from the editing controls.
class GridCellBaseValue {
public:
    GridCellBaseValue() = default;
    virtual ~GridCellBaseValue() = default;

    virtual QVariant GetValue() const { return value_; }
    virtual void SetValue(const QVariant& value) { value_ = value; }

private:
    QVariant value_;
};

class GridCellValue : public GridCellBaseValue {
public:
    explicit GridCellValue(const QVariant& value) { SetValue(value); }
};

// The value object of a cell; null when the cell holds none.
GridCellBaseValue* CellValue(const QTableWidget* grid, int row, int column);

// Puts a value object into a cell, freeing the one it held, and shows it in the cell's
// editor if the cell has one (the editor itself stores without `showInEditor`). Removing a
// row frees the value objects of its cells.
void SetCellValue(QTableWidget* grid, int row, int column, std::unique_ptr<GridCellBaseValue> value,
                  bool showInEditor = true);

}  // namespace controls
