#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "app/Forms.h"
#include "app/TMainForm.h"
#include "citizens/TTerritoryEditForm.h"
#include "controls/TEditSD.h"
#include "controls/TExtSrchComboBox.h"
#include "gui/Context.h"
#include "permits/PermitStore.h"
#include "permits/TRNPIRSEditForm.h"
#include "permits/TRNPSearchForm.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using dictionaries::ComboItem;

// The permit windows as the program puts them together: the main window's commands and
// the territory dialog that the permit entry opens.
namespace {

class PermitCommandsTest : public ::testing::Test {
protected:
    PermitCommandsTest() {
        context.lists.territories = {{QStringLiteral("Москва"), ComboItem(77)},
                                     {QStringLiteral("Тверская область"), ComboItem(69)}};
        forms.MainForm->show();
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    app::Forms forms{context};
    permits::TRNPIRSEditForm& entry = *forms.RNPIRSEditForm;
    permits::TRNPSearchForm& search = *forms.RNPSearchForm;
};

}  // namespace

TEST_F(PermitCommandsTest, NewPermitCommandOpensTheEntryClearedInAddMode) {
    EXPECT_EQ(entry.objectName(), "RNPIRSEditForm");
    entry.Edit1->setText("Старый");
    forms.MainForm->N7->trigger();
    EXPECT_TRUE(entry.isVisible());
    EXPECT_FALSE(entry.isModal());
    EXPECT_FALSE(entry.EditMode());
    EXPECT_EQ(entry.Edit1->text(), "");
}

TEST_F(PermitCommandsTest, SearchCommandEmptiesTheResultsAndTheSearchOpensPermitsInTheEntry) {
    EXPECT_EQ(search.objectName(), "RNPSearchForm");
    permits::InsertPermit(data.db(), "7", 40000, 40364, {}, {}, -1);
    search.Edit1->setText("7");
    search.Search();
    ASSERT_EQ(search.ListedNumbers(), QStringList{"7"});

    forms.MainForm->N9->trigger();
    EXPECT_TRUE(search.isVisible());
    EXPECT_FALSE(search.isModal());
    EXPECT_TRUE(search.ListedNumbers().isEmpty());
    EXPECT_EQ(search.Edit1->text(), "7");

    search.Search();
    const QModelIndex cell =
        search.ProfGrid1->model()->index(0, permits::TRNPSearchForm::kNumberColumn);
    search.ProfGrid1->setCurrentIndex(cell);
    emit search.ProfGrid1->doubleClicked(cell);
    EXPECT_TRUE(entry.isVisible());
    EXPECT_TRUE(entry.EditMode());
    EXPECT_EQ(entry.Edit1->text(), "7");
}

TEST_F(PermitCommandsTest, TerritoriesButtonOpensTheTerritoryDialogOverTheEntry) {
    forms.MainForm->N7->trigger();
    entry.setTerritories({69}, QStringLiteral("Тверская область"));
    citizens::TTerritoryEditForm& dialog = *forms.TerritoryEditForm;
    bool ran = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != &dialog)
            return;
        poll.stop();
        ran = true;
        EXPECT_EQ(dialog.parentWidget(), &entry);
        EXPECT_EQ(dialog.ListedTerritories(), QList<int>{69});
        dialog.ComboBox11->SelectComboItemById(77);
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    });
    poll.start(5);
    QTest::mouseClick(entry.Button7, Qt::LeftButton);
    EXPECT_TRUE(ran);
    EXPECT_EQ(entry.territoryIds(), QList<int>({69, 77}));
    EXPECT_EQ(entry.Memo1->toPlainText(), "Тверская область,Москва");
    EXPECT_EQ(dialog.parentWidget(), forms.MainForm.get());
}
