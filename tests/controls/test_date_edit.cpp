#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QCalendarWidget>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>

#include "ControlTesting.h"
#include "controls/TExtDateEdit.h"
#include "controls/TForm2.h"
#include "dates/DateConventions.h"

using controls::TExtDateEdit;
using controls::TForm2;
using namespace controls_testing;

namespace {

// A date field followed by an edit to move the focus to.
struct DateWindow {
    DateWindow() {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(date);
        layout->addWidget(other);
        ShowActive(window);
        date->setFocus();
    }
    TForm2* Picker() const { return date->Edit()->Picker(); }

    QWidget window;
    TExtDateEdit* date = new TExtDateEdit;
    QLineEdit* other = new QLineEdit;
};

// Clicks a day of the month the calendar shows. Row 0 of the calendar's table holds the
// names of the days; the first and the last two weeks show days of the neighbouring months.
void ClickDay(QCalendarWidget* calendar, int day) {
    auto* view = calendar->findChild<QTableView*>();
    QAbstractItemModel* model = view->model();
    for (int row = 1; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex index = model->index(row, column);
            const int shown = index.data().toInt();
            const bool inMonth = row == 1 ? shown <= 7 : row >= 5 ? shown >= 15 : true;
            if (inMonth && shown == day) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->visualRect(index).center());
                return;
            }
        }
    }
    FAIL() << "no day " << day;
}

}  // namespace

TEST(DateEdit, TypedDatesBecomeDateTextWhenTheFieldIsLeft) {
    struct Case {
        const char* typed;
        const char* left;
    };
    const Case cases[] = {
        {"05032008", "05/03/2008"},    {"050308", "05/03/2008"}, {"050399", "05/03/1999"},
        {"050318", "05/03/2018"},      {"050319", "05/03/1919"}, {"31022008", "31022008"},
        {"05а03b/2008", "05/03/2008"}, {"0503/", "0503"},
    };
    for (const Case& c : cases) {
        DateWindow w;
        QSignalSpy exited(w.date, &TExtDateEdit::exited);
        Type(QString::fromUtf8(c.typed));
        w.other->setFocus();
        EXPECT_EQ(w.date->Text(), QString::fromUtf8(c.left)) << c.typed;
        EXPECT_EQ(exited.size(), 1);
    }
}

TEST(DateEdit, EnteringTheFieldShowsTheDigitsAgain) {
    DateWindow w;
    w.other->setFocus();
    w.date->SetText(QStringLiteral("05/03/2008"));
    w.date->setFocus();
    EXPECT_EQ(w.date->Edit()->text(), QStringLiteral("05032008"));
    // A dialog that saves while the user is still in the field reads the date text.
    EXPECT_EQ(w.date->Text(), QStringLiteral("05/03/2008"));
    Press(Qt::Key_Backspace);
    EXPECT_EQ(w.date->Text(), QStringLiteral("0503200"));

    w.other->setFocus();
    w.date->SetText(QStringLiteral("050308"));
    w.date->setFocus();
    EXPECT_EQ(w.date->Edit()->text(), QStringLiteral("050308"));
}

TEST(DateEdit, PickerOnAnEmptyFieldShowsTodayAndAClickedDayFillsTheField) {
    DateWindow w;
    w.date->Button()->click();
    TForm2* picker = w.Picker();
    ASSERT_TRUE(picker->isVisible());
    const QDate today = QDate::currentDate();
    EXPECT_EQ(picker->ComboBox1->currentIndex(), today.month() - 1);
    EXPECT_EQ(picker->CSpinEdit1->value(), today.year());
    EXPECT_EQ(picker->CCalendar1->selectedDate(), today);

    ClickDay(picker->CCalendar1, 15);
    EXPECT_FALSE(picker->isVisible());
    EXPECT_TRUE(w.date->Edit()->hasFocus());
    EXPECT_EQ(w.date->Edit()->text(), QDate(today.year(), today.month(), 15).toString("ddMMyyyy"));
}

TEST(DateEdit, PickerShowsTheFieldsDateAndItsMonthAndYearControlsTurnThePage) {
    DateWindow w;
    Type(QStringLiteral("05032008"));
    w.date->SetVisible(true);
    TForm2* picker = w.Picker();
    EXPECT_EQ(picker->CCalendar1->selectedDate(), QDate(2008, 3, 5));
    EXPECT_EQ(picker->ComboBox1->currentText(), QStringLiteral("Март"));
    EXPECT_EQ(picker->ComboBox1->count(), 12);
    EXPECT_EQ(picker->ComboBox1->itemText(11), QStringLiteral("Декабрь"));
    EXPECT_EQ(picker->CSpinEdit1->minimum(), 1800);
    EXPECT_EQ(picker->CSpinEdit1->maximum(), 3000);

    // A five-digit year loses its last digit.
    picker->CSpinEdit1->setFocus();
    picker->CSpinEdit1->selectAll();
    Type(QStringLiteral("20119"));
    EXPECT_EQ(picker->CSpinEdit1->text(), QStringLiteral("2011"));
    EXPECT_EQ(picker->CCalendar1->yearShown(), 2011);
    picker->ComboBox1->setCurrentIndex(1);
    emit picker->ComboBox1->activated(1);
    EXPECT_EQ(picker->CCalendar1->monthShown(), 2);
    EXPECT_EQ(picker->CCalendar1->yearShown(), 2011);

    ClickDay(picker->CCalendar1, 28);
    EXPECT_EQ(w.date->Edit()->text(), QStringLiteral("28022011"));
    w.other->setFocus();
    EXPECT_EQ(w.date->Text(), QStringLiteral("28/02/2011"));

    // Date text in the field; a six-digit date shows today instead.
    w.date->SetVisible(true);
    EXPECT_EQ(picker->CCalendar1->selectedDate(), QDate(2011, 2, 28));
    w.date->SetVisible(false);
    w.date->SetText(QStringLiteral("050308"));
    w.date->SetVisible(true);
    EXPECT_EQ(picker->CCalendar1->selectedDate(), QDate::currentDate());
}

TEST(DateEdit, PickerHidesOnEscapeAndWhenAnotherWindowBecomesActive) {
    DateWindow w;
    w.date->SetVisible(true);
    TForm2* picker = w.Picker();
    Press(Qt::Key_Escape);
    EXPECT_FALSE(picker->isVisible());

    w.date->SetVisible(true);
    QWidget another;
    ShowActive(another);
    EXPECT_FALSE(picker->isVisible());
}

TEST(DateEdit, PickerOpensUnderTheEditsRightEndInsideItsWindow) {
    QWidget window;
    window.setGeometry(20, 20, 600, 120);
    auto* left = new TExtDateEdit(&window);
    left->setGeometry(10, 10, 120, 24);
    auto* right = new TExtDateEdit(&window);
    right->setGeometry(470, 10, 120, 24);
    ShowActive(window);

    left->SetVisible(true);
    TForm2* picker = left->Edit()->Picker();
    const QPoint edge =
        left->Edit()->mapToGlobal(QPoint(left->Edit()->width(), left->Edit()->height()));
    EXPECT_EQ(picker->pos(), QPoint(edge.x() - 18, edge.y()));
    left->SetVisible(false);

    right->SetVisible(true);
    picker = right->Edit()->Picker();
    const QPoint rightEdge =
        right->Edit()->mapToGlobal(QPoint(right->Edit()->width(), right->Edit()->height()));
    EXPECT_EQ(picker->pos(), QPoint(rightEdge.x() - 18 - picker->width(), rightEdge.y()));
}

TEST(DateEdit, DisabledFieldTurnsGrey) {
    TExtDateEdit date;
    date.SetEditColor(QColor(0xFF, 0xFF, 0xEE));
    date.setEnabled(false);
    EXPECT_FALSE(date.Edit()->isEnabled());
    EXPECT_EQ(date.Edit()->palette().color(QPalette::Disabled, QPalette::Base), QColor("#C0C0C0"));
    date.setEnabled(true);
    EXPECT_EQ(date.EditColor(), QColor(0xFF, 0xFF, 0xEE));
}
