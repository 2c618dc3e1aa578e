#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <vector>

#include "ControlTesting.h"
#include "controls/GridEditorsPkg.h"

using namespace controls;
using namespace controls_testing;

namespace {

enum Column { kMark, kNumber, kDate };

// The package search's result grid: a mark and a package number link per row, five rows,
// three of them visible.
struct ResultGrid {
    ResultGrid() {
        (new QVBoxLayout(&dialog))->addWidget(grid);
        grid->setColumnCount(3);
        grid->setRowCount(5);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->verticalHeader()->setDefaultSectionSize(26);
        grid->verticalHeader()->hide();
        grid->setColumnWidth(kMark, 25);
        grid->setColumnWidth(kNumber, 131);
        grid->setFixedSize(300, grid->horizontalHeader()->sizeHint().height() + 3 * 26 + 4);
        for (int row = 0; row < 5; ++row) {
            new DelGridEditorPkg(grid, row, kMark);
            new LinkGridEditorPkg(grid, row, kNumber, QString::number(100 + row), 7000 + row,
                                  [this](int id) { opened.push_back(id); });
            grid->setItem(row, kDate, new QTableWidgetItem(QStringLiteral("05/03/2008")));
        }
        ShowActive(dialog);
    }
    DelGridEditorPkg* Mark(int row) const {
        return static_cast<DelGridEditorPkg*>(GridEditorPkgAt(grid, row, kMark));
    }
    LinkGridEditorPkg* Link(int row) const {
        return static_cast<LinkGridEditorPkg*>(GridEditorPkgAt(grid, row, kNumber));
    }
    QString MarkText(int row) const { return grid->item(row, kMark)->text(); }

    std::vector<int> opened;
    QWidget dialog;
    QTableWidget* grid = new QTableWidget;
};

}  // namespace

TEST(PackageGridEditors, TickingARowWritesItsMarkAndARepaintKeepsIt) {
    ResultGrid r;
    QTest::mouseClick(r.Mark(1)->CheckBox(), Qt::LeftButton);
    EXPECT_EQ(r.MarkText(1), QStringLiteral("1"));
    for (int row : {0, 2, 3, 4})
        EXPECT_EQ(r.MarkText(row), QStringLiteral("0")) << row;
    EXPECT_EQ(r.grid->currentRow(), 1);
    QCheckBox* box = r.Mark(1)->CheckBox();
    EXPECT_EQ(box->palette().color(box->backgroundRole()), QColor(Qt::white));

    // Scrolled away and back, and repainted: still ticked.
    r.grid->verticalScrollBar()->setValue(2);
    QApplication::processEvents();
    EXPECT_FALSE(ShownIn(r.grid->viewport(), r.Mark(1)->CheckBox()));
    r.grid->verticalScrollBar()->setValue(0);
    r.grid->viewport()->repaint();
    QApplication::processEvents();
    EXPECT_TRUE(ShownIn(r.grid->viewport(), r.Mark(1)->CheckBox()));
    EXPECT_TRUE(r.Mark(1)->CheckBox()->isChecked());

    // Marking all goes through the cells' texts.
    for (int row = 0; row < 5; ++row)
        r.Mark(row)->SetChecked(true);
    EXPECT_TRUE(r.Mark(4)->CheckBox()->isChecked());
    r.grid->item(4, kMark)->setText(QStringLiteral("0"));
    EXPECT_FALSE(r.Mark(4)->Checked());
}

TEST(PackageGridEditors, LinkIsBlueUnderlinedUnderTheMouseAndOpensItsPackage) {
    ResultGrid r;
    QLabel* link = r.Link(2)->Label();
    EXPECT_EQ(link->text(), QStringLiteral("102"));
    EXPECT_EQ(link->alignment(), Qt::AlignCenter);
    EXPECT_EQ(link->palette().color(link->foregroundRole()), QColor(0, 0, 255));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(link->font().underline());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), link->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(link, &enter);
    EXPECT_TRUE(link->font().underline());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    EXPECT_FALSE(link->font().underline());

    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(r.opened, std::vector<int>{7002});

    r.grid->selectRow(2);  // readable on the selection
    EXPECT_EQ(link->palette().color(link->foregroundRole()),
              link->palette().color(QPalette::HighlightedText));
    r.grid->selectRow(3);
    EXPECT_EQ(link->palette().color(link->foregroundRole()), QColor(0, 0, 255));
}

TEST(PackageGridEditors, ClearingTheResultsFreesTheEditors) {
    ResultGrid r;
    QPointer<GridEditorPkg> mark = r.Mark(0);
    QPointer<GridEditorPkg> link = r.Link(4);
    r.grid->setRowCount(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(mark.isNull());
    EXPECT_TRUE(link.isNull());
}
