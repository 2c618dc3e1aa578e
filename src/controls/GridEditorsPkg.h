#pragma once

#include <QObject>
#include <QPersistentModelIndex>
#include <functional>

class QCheckBox;
class QLabel;
class QMargins;
class QTableWidget;
class QTableWidgetItem;

namespace controls {

// The package search's editors: one per edited cell of each result row, living in that
// cell (a cell widget of the grid) and freed with its row when the results are removed
// (setRowCount(0) or removeRow; clearContents keeps them). Rows scrolled out of view hide
// their editors.
class GridEditorPkg : public QObject {
    Q_OBJECT

public:
    QTableWidget* Grid() const { return grid_; }
    // The cell edited; -1 once the row is gone.
    int Row() const;
    int Column() const;

protected:
    // Puts a holder for the control into the cell, keeping the control `inset` from the
    // cell's edges.
    GridEditorPkg(QTableWidget* grid, int row, int column, const QMargins& inset);
    // Adds the control to the holder in the cell.
    void Hold(QWidget* control);

private:
    QTableWidget* grid_;
    QPersistentModelIndex cell_;
    QWidget* host_;
};

// The mark of a result row: a white check box that mirrors the cell's text, "1" ticked and
// "0" not. A click writes the text and makes the row the grid's current row.
class DelGridEditorPkg : public GridEditorPkg {
    Q_OBJECT

public:
    DelGridEditorPkg(QTableWidget* grid, int row, int column);

    bool Checked() const;
    // Writes "1" or "0" into the cell; the box follows.
    void SetChecked(bool checked);

    QCheckBox* CheckBox() const { return checkBox_; }

private:
    void Clicked(bool checked);
    void CellChanged(QTableWidgetItem* item);

    QCheckBox* checkBox_;
};

// A link in a result row: a text shown centred in blue (in the selection's text colour while
// its row is selected) with a hand cursor, underlined while the mouse is over it; a click
// calls the owner's action with the identifier it carries.
class LinkGridEditorPkg : public GridEditorPkg {
    Q_OBJECT

public:
    LinkGridEditorPkg(QTableWidget* grid, int row, int column, const QString& text, int id,
                      std::function<void(int id)> action);

    int Id() const { return id_; }
    QLabel* Label() const { return label_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUnderlined(bool underlined);
    void FollowSelection();

    QLabel* label_;
    int id_;
    std::function<void(int id)> action_;
};

// The editor of a cell of the package search; null when the cell has none.
GridEditorPkg* GridEditorPkgAt(const QTableWidget* grid, int row, int column);

}  // namespace controls
