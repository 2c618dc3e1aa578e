#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <tuple>
#include <vector>

#include "ControlTesting.h"
#include "controls/GridEditors.h"
#include "controls/TEditSD.h"
#include "controls/TExtSrchComboBox.h"

using namespace controls;
using namespace controls_testing;
using dictionaries::ComboItem;
using dictionaries::ReferenceList;

namespace {

ReferenceList Countries() {
    return {{QStringLiteral("Армения"), ComboItem(51)},
            {QStringLiteral("Германия"), ComboItem(276)},
            {QStringLiteral("Румыния"), ComboItem(642)},
            {QStringLiteral("Таджикистан"), ComboItem(762)},
            {QStringLiteral("Узбекистан"), ComboItem(860)}};
}

enum Column { kCountry, kQuota, kDelete };

// A quota grid as the permit dialog has it: country, quota and delete mark, three rows
// visible, five data rows, a button of the dialog below.
struct QuotaGrid {
    QuotaGrid() {
        auto* layout = new QVBoxLayout(dialog.get());
        layout->addWidget(grid);
        layout->addWidget(save);
        grid->setColumnCount(3);
        grid->setRowCount(5);
        grid->verticalHeader()->setDefaultSectionSize(30);
        grid->verticalHeader()->hide();
        grid->setColumnWidth(kCountry, 160);
        grid->setColumnWidth(kQuota, 80);
        grid->setColumnWidth(kDelete, 90);
        grid->setFixedSize(360, grid->horizontalHeader()->sizeHint().height() + 3 * 30 + 4);
        const int countries[] = {51, 276, 642, 762, 860};
        for (int row = 0; row < 5; ++row) {
            SetCellValue(grid, row, kCountry, std::make_unique<GridCellValue>(countries[row]));
            SetCellValue(grid, row, kQuota, std::make_unique<GridCellValue>(10 * (row + 1)));
            SetCellValue(grid, row, kDelete, std::make_unique<GridCellValue>(false));
            AddEditor(new ComboBoxType1GridEditor(grid, Countries()), row, kCountry);
            AddEditor(new TextEditGridEditor(grid), row, kQuota);
            AddEditor(new DelType1GridEditor(grid), row, kDelete);
        }
        ShowActive(*dialog);
    }

    void AddEditor(BaseGridEditor* editor, int row, int column) {
        editor->SetChangeNotification(dialog.get(), [this](QWidget* sender, int col, int at) {
            notifications.emplace_back(sender, col, at);
        });
        editor->Edit(row, column);
    }

    QVariant Value(int row, int column) const { return CellValue(grid, row, column)->GetValue(); }
    template <class Editor>
    Editor* EditorAt(int row, int column) const {
        return static_cast<Editor*>(GridEditorAt(grid, row, column));
    }
    TExtSrchComboBox* CountryBox(int row) const {
        return EditorAt<ComboBoxType1GridEditor>(row, kCountry)->Control();
    }
    TEditSD* QuotaEdit(int row) const {
        return EditorAt<TextEditGridEditor>(row, kQuota)->Control();
    }
    DelType1GridEditor* DeleteEditor(int row) const {
        return EditorAt<DelType1GridEditor>(row, kDelete);
    }

    std::vector<std::tuple<QWidget*, int, int>> notifications;
    std::unique_ptr<QWidget> dialog = std::make_unique<QWidget>();
    QTableWidget* grid = new QTableWidget;
    QPushButton* save = new QPushButton(QStringLiteral("Сохранить"));
};

}  // namespace

TEST(GridEditors, ScrolledRowsAreEditedInTheirOwnCells) {
    QuotaGrid q;
    q.grid->verticalScrollBar()->setValue(2);
    QApplication::processEvents();
    ASSERT_EQ(q.grid->rowAt(5), 2);

    // The first editors shown are those of the third data row, with its values...
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(ShownIn(q.grid->viewport(), q.QuotaEdit(row)), row >= 2) << row;
    TEditSD* quota = q.QuotaEdit(2);
    EXPECT_EQ(quota->text(), QStringLiteral("30"));
    EXPECT_EQ(q.CountryBox(2)->currentText(), QStringLiteral("Румыния"));

    // ...and a change made there lands in the third row's cells, once the editor is left.
    quota->setFocus();
    quota->selectAll();
    Type(QStringLiteral("77"));
    EXPECT_EQ(q.Value(2, kQuota), 30);
    EXPECT_TRUE(q.notifications.empty());
    QTest::mouseClick(q.save, Qt::LeftButton);
    EXPECT_EQ(q.Value(2, kQuota), QStringLiteral("77"));
    EXPECT_EQ(q.Value(0, kQuota), 10);
    ASSERT_EQ(q.notifications.size(), 1u);
    EXPECT_EQ(q.notifications[0], std::make_tuple(static_cast<QWidget*>(quota), 1, 2));
}

TEST(GridEditors, EnterStoresTheTextBeforeTheDialogActsOnIt) {
    QuotaGrid q;
    q.QuotaEdit(1)->setFocus();
    q.QuotaEdit(1)->selectAll();
    Type(QStringLiteral("5"));
    Press(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(q.Value(1, kQuota), QStringLiteral("5"));
}

TEST(GridEditors, DeleteMarkAndRowButton) {
    QuotaGrid q;
    q.grid->verticalScrollBar()->setValue(2);
    QApplication::processEvents();
    QTest::mouseClick(q.DeleteEditor(3)->CheckBox(), Qt::LeftButton);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(q.Value(row, kDelete).toBool(), row == 3) << row;
    EXPECT_TRUE(q.notifications.empty());

    QTest::mouseClick(q.DeleteEditor(4)->Button(), Qt::LeftButton);
    ASSERT_EQ(q.notifications.size(), 1u);
    EXPECT_EQ(q.notifications[0],
              std::make_tuple(static_cast<QWidget*>(q.DeleteEditor(4)->Button()), 2, 4));
    EXPECT_EQ(q.Value(4, kDelete).toBool(), false);

    QCheckBox* box = q.DeleteEditor(3)->CheckBox();
    EXPECT_EQ(box->palette().color(box->backgroundRole()), QColor(0xFF, 0xFF, 0xEE));

    // The check box takes the first third of the cell, the button its right half.
    const QRect cell = q.DeleteEditor(4)->Host()->rect().adjusted(3, 3, -3, -3);
    EXPECT_EQ(q.DeleteEditor(4)->CheckBox()->geometry().width(), cell.width() / 3);
    EXPECT_EQ(q.DeleteEditor(4)->Button()->geometry().left(), cell.left() + cell.width() / 2);
    EXPECT_EQ(q.DeleteEditor(4)->Button()->geometry().right(), cell.right());
}

TEST(GridEditors, ListEditorStoresTheChosenIdentifierOrMinusOne) {
    QuotaGrid q;
    TExtSrchComboBox* box = q.CountryBox(0);
    EXPECT_TRUE(q.EditorAt<ComboBoxType1GridEditor>(0, kCountry)->Placed());
    box->setFocus();
    Type(QStringLiteral("уз"));
    Press(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(q.Value(0, kCountry), 860);
    EXPECT_EQ(std::get<1>(q.notifications.back()), 0);

    box->setFocus();
    Press(Qt::Key_Escape);  // the whole list, the empty entry chosen
    Press(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(q.Value(0, kCountry), -1);
    EXPECT_EQ(box->currentText(), QString());
    EXPECT_EQ(q.Value(1, kCountry), 276);
}

TEST(GridEditors, EditorsFollowTheirRowWhenRowsAboveAreRemoved) {
    QuotaGrid q;
    TEditSD* quota = q.QuotaEdit(3);
    q.grid->removeRow(1);
    EXPECT_EQ(q.EditorAt<TextEditGridEditor>(2, kQuota)->Control(), quota);
    EXPECT_EQ(q.EditorAt<TextEditGridEditor>(2, kQuota)->Row(), 2);

    quota->setFocus();
    Type(QChar(u'1'));
    q.save->setFocus();
    EXPECT_EQ(q.Value(2, kQuota), QStringLiteral("401"));
    EXPECT_EQ(std::get<2>(q.notifications.back()), 2);

    // A value the owner puts into a cell shows in its editor.
    SetCellValue(q.grid, 0, kQuota, std::make_unique<GridCellValue>(99));
    EXPECT_EQ(q.QuotaEdit(0)->text(), QStringLiteral("99"));
    SetCellValue(q.grid, 0, kCountry, std::make_unique<GridCellValue>(762));
    EXPECT_EQ(q.CountryBox(0)->currentText(), QStringLiteral("Таджикистан"));
}

TEST(GridEditors, LeavingTheWindowCommitsNothingAndADialogGoingAwayNotifiesNobody) {
    QuotaGrid q;
    q.QuotaEdit(0)->setFocus();
    Type(QChar(u'5'));
    QWidget another;  // the user turns to another window: the focus stays in the edit
    ShowActive(another);
    EXPECT_EQ(q.Value(0, kQuota), 10);
    EXPECT_TRUE(q.notifications.empty());

    ShowActive(*q.dialog);
    EXPECT_TRUE(q.QuotaEdit(0)->hasFocus());
    // Destroyed while shown, its editor holding the focus: the owner is half gone by the
    // time the edit loses the focus, and must not be called.
    q.dialog.reset();
    EXPECT_TRUE(q.notifications.empty());
}
