#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "citizens/CitizenStore.h"
#include "controls/ControlTesting.h"
#include "controls/GridEditorsPkg.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "permits/PackageStore.h"
#include "permits/TIGPkgSearchForm.h"
#include "permits/TPackageEditForm.h"
#include "storage/Database.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using permits::IGPackageFormData;
using permits::TIGPkgSearchForm;

namespace {

constexpr int k12May2010 = 40310;

// A user's double click: the press and release of the first click, then the second.
void DoubleClick(QWidget* widget, const QPoint& at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
}

class PackageSearchFormTest : public ::testing::Test {
protected:
    PackageSearchFormTest() { search.UsePackageEditor(&editor); }

    // Package `n` (identifier 10 + n, number 000n) created on 12/05/2010 + days.
    void addPackage(int n, int days, int citizens = 0) {
        IGPackageFormData package;
        package.number = QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
        package.activeFrom = "01/06/2010";
        package.activeTo = "31/05/2011";
        permits::InsertPackage(data.db(), package, 10 + n, k12May2010 + days);
        for (int i = 0; i < citizens; ++i) {
            citizens::IGFormData citizen;
            citizen.package = 10 + n;
            citizens::InsertCitizen(data.db(), citizen, ++citizenKeys);
        }
    }

    void find(const QString& from = {}, const QString& to = {}) {
        search.RNPDateFrom->SetText(from);
        search.RNPDateTo->SetText(to);
        QTest::mouseClick(search.Button1, Qt::LeftButton);
        QApplication::processEvents();  // the grid places its cell editors
    }

    QString cell(int row, int column) const {
        QTableWidgetItem* item = search.StringGrid1->item(row, column);
        return item ? item->text() : QString();
    }

    // Each result row as number|created|period|count, the number read from its link.
    QStringList results() const {
        QStringList rows;
        for (int row = 0; row < search.StringGrid1->rowCount(); ++row) {
            controls::LinkGridEditorPkg* link = search.LinkOfRow(row);
            rows << QStringList{link ? link->Label()->text() : QString(),
                                cell(row, TIGPkgSearchForm::kCreated),
                                cell(row, TIGPkgSearchForm::kPeriod),
                                cell(row, TIGPkgSearchForm::kCitizens)}
                        .join('|');
        }
        return rows;
    }

    QStringList numbersFound() const {
        QStringList numbers;
        for (int row = 0; row < search.FoundCount(); ++row)
            numbers << search.NumberOfRow(row);
        return numbers;
    }

    QStringList packageChoices() const {
        QStringList texts;
        for (int i = 0; i < search.ComboBox1->count(); ++i)
            texts << search.ComboBox1->itemText(i);
        return texts;
    }

    void deleteMarked(QMessageBox::StandardButton answer) {
        gui::MessageBoxes::setNextAnswer(answer);
        QTest::mouseClick(search.Button4, Qt::LeftButton);
        const auto shown = gui::MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].title, "удаление");
        EXPECT_EQ(shown[0].text, "Вы уверены, что хотите удалить выбранные записи?");
        EXPECT_EQ(shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    permits::TPackageEditForm editor{context};
    TIGPkgSearchForm search{context};
    int citizenKeys = 0;
};

}  // namespace

TEST_F(PackageSearchFormTest, ShowingOffersEveryPackageAndOneEmptyResultRow) {
    addPackage(3, 0);
    addPackage(1, 1);
    search.show();
    EXPECT_EQ(search.windowTitle(), "Поиск по пакету ИГ");
    EXPECT_EQ(search.objectName(), "IGPkgSearchForm");
    EXPECT_FALSE(search.isModal());
    // In identifier order, after the empty item that stands for any package.
    EXPECT_EQ(packageChoices(), QStringList({"", "0001  -  13/05/2010", "0003  -  12/05/2010"}));
    EXPECT_EQ(search.ComboBox1->currentIndex(), 0);
    EXPECT_EQ(search.ComboBox1->SelectedComboItemId(), -1);
    EXPECT_EQ(search.StringGrid1->rowCount(), 1);
    EXPECT_EQ(search.MarkOfRow(0), nullptr);

    QStringList captions;
    QList<int> widths;
    for (int column = 0; column < search.StringGrid1->columnCount(); ++column) {
        captions << search.StringGrid1->horizontalHeaderItem(column)->text();
        widths << search.StringGrid1->columnWidth(column);
    }
    EXPECT_EQ(captions, QStringList({"", "Номер пакета", "Дата ввода",
                                     "Дата начала - Дата окончания", "Кол-во ИГ"}));
    EXPECT_EQ(widths, QList<int>({25, 131, 144, 296, 124}));
}

TEST_F(PackageSearchFormTest, EmptyFilterListsEveryPackageInStoredOrderWithItsCitizens) {
    addPackage(2, 0, 3);
    addPackage(1, 2);
    addPackage(3, 1, 1);
    search.show();
    find();
    EXPECT_EQ(results(), QStringList({"0002|12/05/2010|01/06/2010 - 31/05/2011|3",
                                      "0001|14/05/2010|01/06/2010 - 31/05/2011|0",
                                      "0003|13/05/2010|01/06/2010 - 31/05/2011|1"}));
    EXPECT_EQ(search.LinkOfRow(2)->Id(), 13);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(cell(row, TIGPkgSearchForm::kMark), "0");
}

TEST_F(PackageSearchFormTest, FiltersByPackageAndCreationDaysBothIncluded) {
    for (int n = 1; n <= 4; ++n)
        addPackage(n, n - 1);  // 12/05/2010 to 15/05/2010
    search.show();
    const struct {
        int package;
        QString from, to;
        QStringList numbers;
    } cases[] = {
        {-1, "13/05/2010", "14/05/2010", {"0002", "0003"}},  // the "по:" day is included
        {-1, "", "13/05/2010", {"0001", "0002"}},
        {-1, "14/05/2010", "", {"0003", "0004"}},
        {-1, "15/05/2010", "12/05/2010", {}},  // reversed: nothing, and no message
        {13, "", "", {"0003"}},
        {13, "", "12/05/2010", {}},
    };
    for (const auto& c : cases) {
        search.ComboBox1->SelectComboItemById(c.package);
        find(c.from, c.to);
        EXPECT_EQ(numbersFound(), c.numbers) << c.from.toStdString() << "-" << c.to.toStdString();
        EXPECT_GE(search.StringGrid1->rowCount(), 1);
    }
}

TEST_F(PackageSearchFormTest, FilterDaysThatAreNotDatesAreReportedWithFocus) {
    addPackage(1, 0);
    controls_testing::ShowActive(search);
    find();
    const struct {
        QString from, to;
        const char* text;
        controls::TExtDateEdit* focused;
    } cases[] = {
        {"31/02/2010", "", "Ошибка заполнения даты ('Поле период с') ", search.RNPDateFrom},
        {"", "3105201", "Ошибка заполнения даты ('Поле период по') ", search.RNPDateTo},
    };
    for (const auto& c : cases) {
        gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        find(c.from, c.to);
        const auto shown = gui::MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].title, "сохранение");
        EXPECT_EQ(shown[0].text, c.text);
        EXPECT_TRUE(c.focused->Edit()->hasFocus()) << c.text;
        EXPECT_EQ(search.FoundCount(), 0);  // the results were cleared
        EXPECT_EQ(search.StringGrid1->rowCount(), 1);
    }
}

TEST_F(PackageSearchFormTest, EveryPackageFoundIsShownNotOnlyAHundredAndScrolls) {
    {
        storage::Transaction transaction(data.db());
        for (int n = 1; n <= 130; ++n)
            addPackage(n, 0);
        transaction.commit();
    }
    controls_testing::ShowActive(search);
    find();
    EXPECT_EQ(search.FoundCount(), 130);
    EXPECT_EQ(search.StringGrid1->rowCount(), 130);
    EXPECT_EQ(search.NumberOfRow(129), "0130");
    EXPECT_EQ(search.PackageOfRow(129), 140);

    // The rows in view carry their check box and link, and they follow the scrolling; a
    // mark stays with its row.
    QWidget* viewport = search.StringGrid1->viewport();
    ASSERT_NE(search.MarkOfRow(0), nullptr);
    EXPECT_TRUE(controls_testing::ShownIn(viewport, search.MarkOfRow(0)->CheckBox()));
    EXPECT_EQ(search.LinkOfRow(129), nullptr);
    QTest::mouseClick(search.MarkOfRow(1)->CheckBox(), Qt::LeftButton);
    search.StringGrid1->scrollToBottom();
    QApplication::processEvents();
    ASSERT_NE(search.LinkOfRow(129), nullptr);
    EXPECT_TRUE(controls_testing::ShownIn(viewport, search.LinkOfRow(129)->Label()));
    EXPECT_EQ(search.LinkOfRow(129)->Label()->text(), "0130");
    EXPECT_EQ(search.MarkOfRow(1), nullptr);
    search.StringGrid1->scrollToTop();
    QApplication::processEvents();
    ASSERT_NE(search.MarkOfRow(1), nullptr);
    EXPECT_TRUE(search.MarkOfRow(1)->CheckBox()->isChecked());
    EXPECT_FALSE(search.MarkOfRow(0)->CheckBox()->isChecked());

    // "Отметить все" reaches the rows out of view too.
    QTest::mouseClick(search.CheckBox1, Qt::LeftButton);
    EXPECT_TRUE(search.IsRowMarked(129));
    EXPECT_TRUE(search.MarkOfRow(0)->CheckBox()->isChecked());
    deleteMarked(QMessageBox::Yes);
    EXPECT_TRUE(Rows(data.db(), "igpackage").isEmpty());
    EXPECT_EQ(search.FoundCount(), 0);
}

TEST_F(PackageSearchFormTest, MarksWriteTheirCellAndMarkAllSetsEveryRow) {
    addPackage(1, 0);
    addPackage(2, 0);
    addPackage(3, 0);
    controls_testing::ShowActive(search);
    find();
    QTest::mouseClick(search.MarkOfRow(1)->CheckBox(), Qt::LeftButton);
    EXPECT_EQ(cell(1, TIGPkgSearchForm::kMark), "1");
    EXPECT_EQ(cell(0, TIGPkgSearchForm::kMark), "0");

    QTest::mouseClick(search.CheckBox1, Qt::LeftButton);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(cell(row, TIGPkgSearchForm::kMark), "1") << row;
        EXPECT_TRUE(search.MarkOfRow(row)->CheckBox()->isChecked()) << row;
    }
    QTest::mouseClick(search.CheckBox1, Qt::LeftButton);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(cell(row, TIGPkgSearchForm::kMark), "0") << row;
}

TEST_F(PackageSearchFormTest, DeletingMarkedPackagesKeepsTheirCitizensAndRefreshes) {
    addPackage(1, 0, 2);
    addPackage(2, 0);
    addPackage(3, 0, 1);
    search.show();
    find();
    search.MarkOfRow(0)->SetChecked(true);
    search.MarkOfRow(2)->SetChecked(true);

    deleteMarked(QMessageBox::No);
    EXPECT_EQ(Rows(data.db(), "igpackage").size(), 3);
    EXPECT_EQ(search.FoundCount(), 3);

    deleteMarked(QMessageBox::Yes);
    EXPECT_EQ(Rows(data.db(), "igpackage", "pkgnumber"), QStringList{"0002"});
    EXPECT_EQ(numbersFound(), QStringList{"0002"});
    EXPECT_EQ(packageChoices(), QStringList({"", "0002  -  12/05/2010"}));
    EXPECT_EQ(search.ComboBox1->SelectedComboItemId(), -1);
    // The citizens stay and still carry their former package's identifier.
    EXPECT_EQ(Rows(data.db(), "ig", "igid, iIGPkgNumber"), QStringList({"1|11", "2|11", "3|13"}));

    // Nothing marked: nothing deleted, and nothing shown after the question.
    deleteMarked(QMessageBox::Yes);
    EXPECT_EQ(Rows(data.db(), "igpackage", "pkgnumber"), QStringList{"0002"});
}

TEST_F(PackageSearchFormTest, ChosenPackageStaysChosenAfterADeletionOfAnother) {
    addPackage(1, 0);
    addPackage(2, 0);
    search.show();
    find();
    search.ComboBox1->SelectComboItemById(12);
    search.MarkOfRow(0)->SetChecked(true);
    deleteMarked(QMessageBox::Yes);
    EXPECT_EQ(search.ComboBox1->SelectedComboItemId(), 12);
    EXPECT_EQ(numbersFound(), QStringList{"0002"});
}

TEST_F(PackageSearchFormTest, RefusedDeletionIsReportedAndNothingIsDeleted) {
    addPackage(1, 0);
    addPackage(2, 0);
    search.show();
    find();
    search.MarkOfRow(0)->SetChecked(true);
    search.MarkOfRow(1)->SetChecked(true);
    data.db().exec("PRAGMA query_only = ON");
    gui::MessageBoxes::setNextAnswer(QMessageBox::Yes);
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(search.Button4, Qt::LeftButton);
    data.db().exec("PRAGMA query_only = OFF");
    const auto shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1].title, "Ошибка удаления");
    EXPECT_TRUE(shown[1].text.startsWith("Не удалось удалить отмеченные пакеты"))
        << shown[1].text.toStdString();
    EXPECT_EQ(Rows(data.db(), "igpackage").size(), 2);
    EXPECT_EQ(search.FoundCount(), 2);
    EXPECT_TRUE(search.MarkOfRow(1)->Checked());
}

TEST_F(PackageSearchFormTest, DoubleClickOpensThePackageForEditing) {
    IGPackageFormData package;
    package.number = "0001";
    package.notes = "пакет для стройки";
    package.activeFrom = "01/06/2010";
    package.activeTo = "31/05/2011";
    permits::InsertPackage(data.db(), package, 11, k12May2010);
    controls_testing::ShowActive(search);
    QTableWidget* grid = search.StringGrid1;
    find("13/05/2010");  // nothing found: the one empty row opens nothing
    const QRect created = grid->visualRect(grid->model()->index(0, TIGPkgSearchForm::kCreated));
    DoubleClick(grid->viewport(), created.center());
    EXPECT_FALSE(editor.isVisible());

    find();
    const QRect found = grid->visualRect(grid->model()->index(0, TIGPkgSearchForm::kCreated));
    DoubleClick(grid->viewport(), found.center());
    EXPECT_TRUE(editor.isVisible());
    EXPECT_TRUE(editor.IsEditing());
    EXPECT_EQ(editor.Memo2->toPlainText(), "пакет для стройки");
    EXPECT_EQ(editor.CustomPanel11->Text(), "01/06/2010");
}

TEST_F(PackageSearchFormTest, NumberLinkAsksForANewCitizenInThatPackage) {
    addPackage(1, 0);
    addPackage(2, 0);
    controls_testing::ShowActive(search);
    find();
    QSignalSpy requested(&search, &TIGPkgSearchForm::newCitizenInPackageRequested);
    QTest::mouseClick(search.LinkOfRow(1)->Label(), Qt::LeftButton);
    ASSERT_EQ(requested.count(), 1);
    EXPECT_EQ(requested[0][0].toInt(), 12);
    EXPECT_FALSE(editor.isVisible());
}

TEST_F(PackageSearchFormTest, ShowingAgainClearsTheResultsAndKeepsTheDays) {
    addPackage(1, 0);
    search.show();
    search.ComboBox1->SelectComboItemById(11);
    find("12/05/2010", "");
    EXPECT_EQ(search.FoundCount(), 1);
    QTest::mouseClick(search.Button2, Qt::LeftButton);
    EXPECT_FALSE(search.isVisible());
    addPackage(2, 0);

    search.show();
    EXPECT_EQ(search.FoundCount(), 0);
    EXPECT_EQ(search.StringGrid1->rowCount(), 1);
    EXPECT_EQ(search.MarkOfRow(0), nullptr);
    EXPECT_EQ(search.ComboBox1->SelectedComboItemId(), -1);
    EXPECT_EQ(packageChoices().size(), 3);
    EXPECT_EQ(search.RNPDateFrom->Text(), "12/05/2010");
}

TEST_F(PackageSearchFormTest, EnterSearchesAndEscapeCloses) {
    addPackage(1, 0);
    controls_testing::ShowActive(search);
    search.RNPDateTo->Edit()->setFocus();
    controls_testing::Press(Qt::Key_Return);
    EXPECT_EQ(search.FoundCount(), 1);
    controls_testing::Press(Qt::Key_Escape);
    EXPECT_FALSE(search.isVisible());
}

TEST_F(PackageSearchFormTest, F1AndTheQuestionButtonOpenThePackageSearchPage) {
    help_testing::CopyManual(folder);
    search.show();
    help_testing::ExpectHelpTopic(search.StringGrid1, search.Button8, gui::topic::kPackageSearch);
}
