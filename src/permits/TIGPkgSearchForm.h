#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QCheckBox;
class QPushButton;
class QTableWidget;

namespace gui {
struct Context;
}

namespace controls {
class DelGridEditorPkg;
class LinkGridEditorPkg;
class TExtDateEdit;
class TExtSrchComboBox;
}  // namespace controls

namespace permits {

struct IGPackageFormData;
class TPackageEditForm;

// "Поиск по пакету ИГ": finds packages by package and by the days they were created, lists
// each with its number, creation day, period and count of citizens, opens one for editing
// (double click), starts a new citizen in one (its number link) and deletes the marked
// ones. Modeless; every showing refills the package list and clears the results.
class TIGPkgSearchForm : public QDialog {
    Q_OBJECT

public:
    TIGPkgSearchForm(gui::Context& context, QWidget* parent = nullptr);

    // The package entry that a double click opens.
    void UsePackageEditor(TPackageEditForm* editor);

    // The grid's columns.
    enum Column { kMark, kNumber, kCreated, kPeriod, kCitizens, kColumnCount };

    // How many packages the last search found; each has its result row, from row 0.
    int FoundCount() const { return foundCount_; }
    // The package of a result row, and whether the row is marked (its cell text is "1").
    QString NumberOfRow(int row) const;
    int PackageOfRow(int row) const;
    bool IsRowMarked(int row) const;
    // The check box and the link of a result row in view; null for a row out of view.
    controls::DelGridEditorPkg* MarkOfRow(int row) const;
    controls::LinkGridEditorPkg* LinkOfRow(int row) const;

    controls::TExtSrchComboBox* ComboBox1;  // "Номер пакета:"
    controls::TExtDateEdit* RNPDateFrom;    // "Период добавления:" "c:"
    controls::TExtDateEdit* RNPDateTo;      // "по:"
    QPushButton* Button1;                   // "Поиск"
    QPushButton* Button2;                   // "Отмена"
    QCheckBox* CheckBox1;                   // "Отметить все"
    QTableWidget* StringGrid1;              // "Результаты поиска"
    QPushButton* Button4;                   // "Удалить отмеченные"
    QPushButton* Button8;                   // "?"

Q_SIGNALS:
    // The user asked to enter a new visa-free citizen into this package.
    void newCitizenInPackageRequested(int packageId);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createGrid();
    void layOut();
    void fillPackageList();
    void clearResults();
    bool readCreationDay(controls::TExtDateEdit* field, const QString& message, int& day);
    void search();
    void showResults(const QList<IGPackageFormData>& packages);
    void placeEditors();
    void addEditors(int row);
    void removeEditors(int row);
    void markAll(bool marked);
    void openRow(int row);
    QStringList markedNumbers() const;
    void deleteMarked();

    gui::Context& context_;
    TPackageEditForm* editor_ = nullptr;
    int foundCount_ = 0;
    // The result rows that have their check box and link now.
    int firstEdited_ = 0;
    int lastEdited_ = -1;
};

}  // namespace permits
