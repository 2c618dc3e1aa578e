#pragma once

#include <QDialog>

namespace gui {
struct Context;
class TerritoryOwner;
}  // namespace gui

namespace citizens {

// "Добавление / Редактирование территорий действия": the territories of work of a citizen,
// a permit or a package, chosen from the territories list in a grid. Modal; the owner's list
// changes only on "Сохранить", and nothing is written to the database here.
class TTerritoryEditForm : public QDialog {
    Q_OBJECT

public:
    TTerritoryEditForm(gui::Context& context, QWidget* parent = nullptr);

    // Shows the dialog modally with the owner's list. "Сохранить" gives the owner the new
    // list and its names text and returns true; "Отменить" returns false.
    bool EditTerritories(gui::TerritoryOwner& owner);

protected:
    gui::Context& context_;
};

}  // namespace citizens
