#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace gui {
struct Context;
class TerritoryOwner;
}  // namespace gui

namespace controls {
class TExtSrchComboBox;
}

namespace citizens {

// "Добавление / Редактирование территорий действия": the territories of work of a citizen,
// a permit or a package, chosen from the territories list in a grid. Modal; the owner's list
// changes only on "Сохранить", and nothing is written to the database here.
//
// Each row of StringGrid1 holds its mark (a check box and the row's own "-" button) and its
// territory (a searchable list); the cells keep the mark as a boolean and the territory as
// its identifier.
class TTerritoryEditForm : public QDialog {
    Q_OBJECT

public:
    TTerritoryEditForm(gui::Context& context, QWidget* parent = nullptr);

    // Shows the dialog modally with the owner's list, over the window of the owner (or the
    // active window). "Сохранить" gives the owner the new list and its names text and
    // returns true; "Отменить" returns false.
    bool EditTerritories(gui::TerritoryOwner& owner);

    // The rows' territories, in row order.
    QList<int> ListedTerritories() const;

    enum Column { kMarkColumn = 0, kTerritoryColumn = 1 };

    controls::TExtSrchComboBox* ComboBox11;  // the territory to add
    QPushButton* Button1;                    // "+"
    QLabel* Panel3;                          // "Территория действия"
    QCheckBox* CheckBox1;                    // mark or unmark every row
    QPushButton* Button4;                    // "-": remove the marked rows
    QTableWidget* StringGrid1;               // the rows
    QPushButton* Button2;                    // "Сохранить"
    QPushButton* Button3;                    // "Отменить"
    QPushButton* Button8;                    // "?"

protected:
    gui::Context& context_;

private:
    void Fill(const QList<int>& territories);
    void AppendRow(int territory);
    void EmptyGrid();
    bool IsMarked(int row) const;

    void Add();
    void MarkAll(bool marked);
    void RemoveMarked();
    void AskRemoveRow(int row);
    void Save();
    bool CheckEveryRowHasATerritory();

    gui::TerritoryOwner* owner_ = nullptr;
};

}  // namespace citizens
