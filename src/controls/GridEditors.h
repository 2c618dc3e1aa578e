#pragma once

#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <functional>
#include <memory>

#include "controls/GridCellValue.h"
#include "dictionaries/ReferenceLists.h"

class QCheckBox;
class QPushButton;
class QRect;
class QTableWidget;

namespace controls {

class TEditSD;
class TExtSrchComboBox;

// Called when the user changes a cell through its editor: the control the user worked in,
// and the cell's column and row.
using GridChangeNotification = std::function<void(QWidget* sender, int column, int row)>;

// An editor of one grid cell: it owns the control or controls that edit the cell, shows the
// cell's value object in them, and writes what the user does back into the value object.
// Its controls live inside the cell (a cell widget of the grid): they scroll with their row
// and are hidden with it, so a row always is edited in its own cells. The editor belongs to
// its cell and is freed with its row.
//
//     auto* editor = new TextEditGridEditor(grid);  // the grid owns it
//     editor->SetChangeNotification(this, [this](QWidget*, int, int) { RecomputeTotals(); });
//     editor->Edit(row, column);
class BaseGridEditor : public QObject {
    Q_OBJECT

public:
    explicit BaseGridEditor(QTableWidget* grid);

    // Puts the controls into a cell; they show the cell's value from now on.
    void Edit(int row, int column);

    // Puts the controls over the rectangle (in the coordinates of the cell's widget) and
    // shows or hides them.
    virtual void Place(const QRect& rect, bool visible);
    // A new value built from what the controls show; none in this base.
    virtual std::unique_ptr<GridCellValue> GetValue() const;
    // Shows a cell value in the controls.
    virtual void SetValue(const GridCellBaseValue& value);

    // The notification is not called once `receiver` is gone.
    void SetChangeNotification(QObject* receiver, GridChangeNotification notification);

    bool Placed() const { return placed_; }
    QTableWidget* Grid() const { return grid_; }
    // The cell edited now; -1 before Edit and once the row is removed.
    int Row() const;
    int Column() const;
    // The widget in the cell that holds the controls.
    QWidget* Host() const { return host_; }

protected:
    // Replaces the cell's value with what the controls show.
    void StoreValue();
    void Notify(QWidget* sender);

    bool placed_ = false;

private:
    QTableWidget* grid_;
    QPersistentModelIndex cell_;
    QPointer<QObject> receiver_;
    bool hasReceiver_ = false;
    GridChangeNotification notification_;
    QWidget* host_;
};

// A searchable list of one reference list: the cell holds the chosen identifier, -1 for
// none (or the empty entry).
class ComboBoxType1GridEditor : public BaseGridEditor {
    Q_OBJECT

public:
    ComboBoxType1GridEditor(QTableWidget* grid, const dictionaries::ReferenceList& list,
                            bool withEmptyEntry = true);

    void Place(const QRect& rect, bool visible) override;
    std::unique_ptr<GridCellValue> GetValue() const override;
    void SetValue(const GridCellBaseValue& value) override;

    TExtSrchComboBox* Control() const { return comboBox_; }

private:
    void Chosen();

    TExtSrchComboBox* comboBox_;
};

// The delete mark of a row: a check box over the first third of the cell, and a "-" button
// over its right half. The check box holds the cell's boolean; the button only calls the
// notification (the owner then asks and removes the row).
class DelType1GridEditor : public BaseGridEditor {
    Q_OBJECT

public:
    explicit DelType1GridEditor(QTableWidget* grid);

    void Place(const QRect& rect, bool visible) override;
    std::unique_ptr<GridCellValue> GetValue() const override;
    void SetValue(const GridCellBaseValue& value) override;

    QCheckBox* CheckBox() const { return checkBox_; }
    QPushButton* Button() const { return button_; }

private:
    QCheckBox* checkBox_;
    QPushButton* button_;
};

// A one-line edit whose text goes into the cell when the user leaves it (or presses Enter),
// not while typing; the notification follows.
class TextEditGridEditor : public BaseGridEditor {
    Q_OBJECT

public:
    explicit TextEditGridEditor(QTableWidget* grid);

    void Place(const QRect& rect, bool visible) override;
    std::unique_ptr<GridCellValue> GetValue() const override;
    void SetValue(const GridCellBaseValue& value) override;

    TEditSD* Control() const { return edit_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Commit();

    TEditSD* edit_;
};

// The editor of a cell; null when the cell has none.
BaseGridEditor* GridEditorAt(const QTableWidget* grid, int row, int column);

}  // namespace controls
