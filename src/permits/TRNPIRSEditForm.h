#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "dictionaries/ReferenceLists.h"
#include "gui/TerritoryOwner.h"
#include "permits/PermitEntrySave.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace gui {
struct Context;
}

namespace controls {
class TEditSD;
class TExtDateEdit;
class TExtSrchComboBox;
}  // namespace controls

namespace permits {

class EditorsInView;

// The permit entry dialog: a permit to hire foreign workforce with its number, issue date,
// period, quotas by country and by profession (with prefix) and, where the region setting
// asks for them, its territories of work. Modeless; opened empty to add a permit or filled
// with a stored one to change it. In the grids every cell keeps its value in a value object
// (an identifier, a quota, a delete mark) and is edited in place.
class TRNPIRSEditForm : public QDialog, public gui::TerritoryOwner {
    Q_OBJECT

public:
    TRNPIRSEditForm(gui::Context& context, QWidget* parent = nullptr);

    // Add mode, cleared, shown.
    void OpenNewPermit();
    // Edit mode with the stored permit, shown; its number cannot be changed. Nothing happens
    // when no permit has the number.
    void OpenPermitForEditing(const QString& number);
    // What "Территории действия" opens.
    void SetTerritoryEditor(gui::TerritoryEditor editor);

    bool EditMode() const { return editMode_; }
    // Whether the region setting asks for territories (read at each opening).
    bool TerritoriesInUse() const { return territoriesInUse_; }

    // The permit as the grids and fields hold it now (quota texts read as numbers).
    PermitEntry Entry() const;

    Kind territoryOwnerKind() const override { return Kind::Permit; }
    QList<int> territoryIds() const override { return territories_; }
    void setTerritories(const QList<int>& ids, const QString& names) override;

    // The columns of the two grids.
    enum CountryColumn { kCountry = 0, kCountryQuota = 1, kCountryDelete = 2 };
    enum ProfessionColumn {
        kPrefix = 0,
        kProfession = 1,
        kProfessionQuota = 2,
        kProfessionDelete = 3
    };

    controls::TEditSD* Edit1;                // "Номер:"
    controls::TExtDateEdit* CustomPanel13;   // "Дата выдачи РНП:"
    controls::TExtDateEdit* CustomPanel11;   // "c:"
    controls::TExtDateEdit* CustomPanel12;   // "по:"
    controls::TExtSrchComboBox* ComboBox11;  // "По странам:": the country to add
    controls::TEditSD* Edit2;                // its quota
    QPushButton* Button1;                    // "+" country
    QPushButton* Button2;                    // "-" marked countries
    QTableWidget* StringGrid1;               // "Страна", "Квота", "Удалить"
    QLabel* Label11;                         // the countries' total
    controls::TExtSrchComboBox* ComboBox13;  // "По профессиям:": the prefix to add
    controls::TExtSrchComboBox* ComboBox12;  // the profession to add
    controls::TEditSD* Edit3;                // its quota
    QPushButton* Button3;                    // "+" profession
    QPushButton* Button4;                    // "-" marked professions
    QTableWidget* StringGrid2;  // "Префикс", "Профессия", "Квота", "Удалить"
    QLabel* Label12;            // the professions' total
    QPushButton* Button7;       // "Территории действия"
    QPlainTextEdit* Memo1;  // the territories' names
    QPushButton* Button6;   // "Сохранить"
    QPushButton* Button5;   // "Отмена"
    QPushButton* Button8;   // "?"

private:
    void CreateControls();
    void LayOut();
    void ConnectControls();
    void PrepareShowing();
    void ShowWindow();
    void Clear();
    void ClearFields();

    void MakeCountryEditors(int row);
    void MakeProfessionEditors(int row);
    void MakeQuotaEditor(QTableWidget* grid, int row, int column);
    void MakeDeleteEditor(QTableWidget* grid, int row, int column);
    void SetCountryRow(int row, const CountryQuota& quota);
    void SetProfessionRow(int row, const ProfessionQuota& quota);
    void FillCountryRows(const QList<CountryQuota>& quotas);
    void FillProfessionRows(const QList<ProfessionQuota>& quotas);
    void AppendCountryRow(const CountryQuota& quota);
    void AppendProfessionRow(const ProfessionQuota& quota);

    void ProposeLastDay();
    bool ChosenWithQuota(controls::TExtSrchComboBox* list, const QString& missing,
                         QLineEdit* quota);
    void AddCountry();
    void AddProfession();
    void RemoveMarkedRows(QTableWidget* grid, int markColumn);
    void AskRemoveRow(QTableWidget* grid, int row);
    void RecomputeTotals();
    void EditTerritories();

    bool CheckGridRows();
    bool CheckFields();
    void Save();

    gui::Context& context_;
    bool editMode_ = false;
    bool territoriesInUse_ = true;
    QList<int> territories_;
    // The lists ComboBox11, ComboBox12 and ComboBox13 hold.
    dictionaries::ReferenceList loadedLists_[3];
    gui::TerritoryEditor territoryEditor_;
    QLabel* territoriesMark_ = nullptr;
    EditorsInView* countryEditors_ = nullptr;
    EditorsInView* professionEditors_ = nullptr;
};

}  // namespace permits
