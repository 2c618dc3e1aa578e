#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QKeyEvent;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace gui {
struct Context;
}

namespace citizens {
struct IGFormData;
}

namespace controls {
class TEditSD;
class TExtDateEdit;
class TExtSrchComboBox;
}  // namespace controls

namespace output {

class TDocumentsFillStatusForm;

struct SearchFilter;
enum class FilterField;

// The citizen search: the user finds stored citizens by a filter, marks some of them in the
// result list and starts from here everything made from a selection (the export file, the
// spreadsheet list, the filled application forms), opens a citizen for editing and deletes
// marked citizens. Modeless; closing hides it with its results and marks.
class TSearchForm : public QDialog {
    Q_OBJECT

public:
    // The result grid's columns.
    enum Column {
        MarkColumn = 0,
        NameColumn,
        BirthColumn,
        SexColumn,
        CountryColumn,
        SeriesColumn,
        NumberColumn,
        IssueColumn,
        KeyColumn,
        ColumnCount
    };

    TSearchForm(gui::Context& context, QWidget* parent = nullptr);
    ~TSearchForm() override;

    controls::TEditSD* Edit1;                // "Фамилия:"
    controls::TEditSD* Edit2;                // "Имя:"
    controls::TExtDateEdit* CustomPanel11;   // "Дата рождения:"
    controls::TExtSrchComboBox* ComboBox11;  // "Гражданство:"
    controls::TExtDateEdit* CustomPanel12;   // "Период добавления:" "С "
    QSpinBox* hour1;                        // "Время(час):", 0 to 23 (its own spin buttons)
    controls::TExtDateEdit* CustomPanel13;  // "ПО"
    QSpinBox* hour2;                        // "Время(час):", 0 to 23
    QCheckBox* CheckBox1;                   // "Отметить все"
    QTableWidget* StringGrid1;              // "Результаты поиска"
    QPushButton* Button2;                   // "Поиск"
    QPushButton* Button1;                   // "Экспорт"
    QPushButton* Button5;                   // "Экспорт в Excel"
    QPushButton* Button6;                   // "Заполнить заявления"
    QPushButton* Button4;                   // "Удалить отмеченные"
    QPushButton* Button3;                   // "Отмена"
    QPushButton* Button8;                   // "?"

    // Empties the filter (hours 0 and 23, no country), refills the country list and empties
    // the results. The main menu resets the window before it shows it.
    void Reset();

    // The keys of the marked rows in grid order (the stored order); may be empty.
    QList<int> CollectMarkedKeys() const;

    // How many citizens the last search listed (0 after a reset).
    int ResultCount() const { return resultCount_; }

    // The window that shows the progress of "Заполнить заявления".
    void UseProgressWindow(TDocumentsFillStatusForm* progress) { progress_ = progress; }

public Q_SLOTS:
    // Searches with the filter as the fields show it now and lists the result, no row marked.
    // A filter text that cannot be converted is reported and the previous list stays.
    void RunSearch();

Q_SIGNALS:
    // The user opened a listed citizen for editing (double click).
    void editCitizenRequested(int key);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void layOut();
    void createGrid();
    SearchFilter readFilter() const;
    QWidget* fieldOf(FilterField field) const;
    void fillGrid(const QList<citizens::IGFormData>& found);
    void setAllMarks(bool marked);
    void markChanged(int row);
    void toggleCurrentMark();
    void openCurrentForEditing();
    void deleteMarked();
    void exportMarked();
    void listMarked();
    void fillFormsOfMarked();
    bool handleWindowKey(QObject* watched, const QKeyEvent& key);

    gui::Context& context_;
    TDocumentsFillStatusForm* progress_ = nullptr;
    int resultCount_ = 0;
    bool settingMarks_ = false;
};

}  // namespace output
