#pragma once

#include <QDialog>
#include <QList>

#include "gui/TerritoryOwner.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace gui {
struct Context;
}

namespace controls {
class TExtDateEdit;
}

namespace permits {

struct IGPackageFormData;

// "Добавление пакета": creates a package of citizens, or changes the period, notes and
// territories of one; its number and creation day never change. Modeless: the main window
// opens it for a new package, the package search for an existing one. Closing hides it; a
// save closes it without clearing, "Отмена" clears it.
class TPackageEditForm : public QDialog, public gui::TerritoryOwner {
    Q_OBJECT

public:
    TPackageEditForm(gui::Context& context, QWidget* parent = nullptr);

    // Add mode, cleared, shown.
    void OpenNewPackage();
    // Edit mode with the stored package, shown. False, with nothing changed, when there is
    // no package with this identifier.
    bool OpenPackageForEditing(int id);

    // What "Территории действия" opens; without one the button does nothing.
    void SetTerritoryEditor(gui::TerritoryEditor editor);

    bool IsEditing() const { return editing_; }

    // gui::TerritoryOwner: the package's list, no limit.
    Kind territoryOwnerKind() const override { return Kind::Package; }
    QList<int> territoryIds() const override { return territories_; }
    void setTerritories(const QList<int>& ids, const QString& names) override;

    controls::TExtDateEdit* CustomPanel11;  // first day of validity
    controls::TExtDateEdit* CustomPanel12;  // last day of validity
    QPushButton* Button1;                   // "Территории действия"
    QPlainTextEdit* Memo1;                  // names of the chosen territories
    QPlainTextEdit* Memo2;                  // "Примечания:"
    QPushButton* Button2;                   // "Сохранить"
    QPushButton* Button3;                   // "Отмена"
    QPushButton* Button7;                   // "?"

private:
    void createControls();
    void layOut();
    void showModeless();
    void clear();
    void showTerritoryControls();
    bool territoriesInUse() const;
    void proposeLastDay();
    void editTerritories();
    bool checkEntries();
    IGPackageFormData record() const;
    void save();
    bool saveNew(const IGPackageFormData& record);
    bool saveChanges(const IGPackageFormData& record);
    void cancel();

    gui::Context& context_;
    gui::TerritoryEditor territoryEditor_;
    QLabel* territoryMark_ = nullptr;  // the red "*" of Button1
    bool editing_ = false;
    int packageId_ = -1;
    QList<int> territories_;
};

}  // namespace permits
