#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QKeyEvent;
class QPushButton;
class QTableView;

namespace gui {
struct Context;
}

namespace controls {
class TEditSD;
}

namespace permits {

class PermitResults;
class TRNPIRSEditForm;

// "Поиск РНП ИРС": lists permits by number, opens one in the permit entry dialog for
// editing, and deletes the marked ones, each together with its citizens only when the user
// agrees. Modeless. The result grid has a mark column (with a box in its heading that marks
// every row) and the number column; a search lists every permit that matches.
class TRNPSearchForm : public QDialog {
    Q_OBJECT

public:
    TRNPSearchForm(gui::Context& context, QWidget* parent = nullptr);
    ~TRNPSearchForm() override;

    // The dialog that a double click on a result opens.
    void UsePermitEditor(TRNPIRSEditForm* editor);

    // No result rows, nothing marked or selected; the number typed stays.
    void EmptyResults();
    // Lists the permits whose number matches Edit1: all for an empty text, those containing
    // the rest of a text that begins with "%", otherwise the one number.
    void Search();

    // The result rows: their numbers, and whether a row is marked.
    QStringList ListedNumbers() const;
    bool IsMarked(int row) const;

    // Ctrl and the key that carries "G" on a Latin layout and "П" on the Russian one,
    // whichever layout is active.
    static bool IsSearchShortcut(const QKeyEvent& key);

    enum Column { kMarkColumn = 0, kNumberColumn = 1 };

    controls::TEditSD* Edit1;  // "Номер разрешения на привлечение:"
    QPushButton* Button2;      // "Поиск"
    QTableView* ProfGrid1;     // "Результаты поиска:"
    QCheckBox* HeaderBox;      // marks or unmarks every result row
    QPushButton* Button1;      // "Удалить отмеченные"
    QPushButton* Button3;      // "Отмена"
    QPushButton* Button8;      // "?"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateGrid();
    void PlaceHeaderBox();
    void SetSelectionColour(bool rowSelected);
    void CellClicked(int row, int column);
    void MarkAll(bool marked);
    void OpenPermit(int row);
    void DeleteMarked();
    bool DeletePermitAsked(const QString& number);

    gui::Context& context_;
    PermitResults* results_;
    TRNPIRSEditForm* permitEditor_ = nullptr;
};

}  // namespace permits
