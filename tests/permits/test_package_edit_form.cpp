#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "controls/ControlTesting.h"
#include "controls/TExtDateEdit.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "permits/PackageStore.h"
#include "permits/TPackageEditForm.h"
#include "settings/RegionSetting.h"
#include "storage/Database.h"
#include "storage/Sequences.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using dictionaries::ComboItem;
using permits::IGPackageFormData;

namespace {

QString Day(int dateNumber) {
    return dates::DateNumberToText(dateNumber);
}

class PackageEditFormTest : public ::testing::Test {
protected:
    PackageEditFormTest() {
        context.lists.territories = {{QStringLiteral("Москва"), ComboItem(77)},
                                     {QStringLiteral("Тверская область"), ComboItem(69)},
                                     {QStringLiteral("Калужская область"), ComboItem(40)}};
        // Stands in for the territory dialog: "Сохранить" with the list chosen below.
        form.SetTerritoryEditor([this](gui::TerritoryOwner& owner) {
            EXPECT_EQ(owner.territoryOwnerKind(), gui::TerritoryOwner::Kind::Package);
            EXPECT_EQ(owner.territoryLimit(), 0);
            shownToEditor = owner.territoryIds();
            owner.setTerritories(chosen, chosenNames);
            return true;
        });
    }

    // A period that starts in ten days and lasts the usual year.
    void enterValidPeriod() {
        form.CustomPanel11->SetText(Day(dates::Today() + 10));
        form.CustomPanel12->SetText(Day(dates::PeriodEnd(dates::Today() + 10, 1, 0, 0)));
    }

    void chooseTerritories(const QList<int>& ids, const QString& names) {
        chosen = ids;
        chosenNames = names;
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    }

    void ownRegion() { settings::SaveRegionSetting(data.db(), settings::kOwnRegion, 77); }

    // Presses "Сохранить" expecting one box; returns it.
    gui::MessageBoxes::Record saveWithOneMessage() {
        gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        const auto shown = gui::MessageBoxes::takeShown();
        EXPECT_EQ(shown.size(), 1);
        return shown.value(0);
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    permits::TPackageEditForm form{context};
    QList<int> chosen;
    QString chosenNames;
    QList<int> shownToEditor;
};

}  // namespace

TEST_F(PackageEditFormTest, AddModeOpensClearedWithTerritoriesByTheRegionSetting) {
    form.OpenNewPackage();
    EXPECT_EQ(form.windowTitle(), "Добавление пакета");
    EXPECT_EQ(form.objectName(), "PackageEditForm");
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isModal());
    EXPECT_TRUE(form.Button1->isVisible());  // no region stored: the Moscow centre
    EXPECT_TRUE(form.Memo1->isVisible());
    EXPECT_TRUE(form.Memo1->isReadOnly());

    enterValidPeriod();
    form.Memo2->setPlainText("заметка");
    chooseTerritories({69}, "Тверская область");
    form.hide();
    ownRegion();
    form.OpenNewPackage();
    EXPECT_EQ(form.CustomPanel11->Text(), "");
    EXPECT_EQ(form.CustomPanel12->Text(), "");
    EXPECT_EQ(form.Memo1->toPlainText(), "");
    EXPECT_EQ(form.Memo2->toPlainText(), "");
    EXPECT_TRUE(form.territoryIds().isEmpty());
    EXPECT_FALSE(form.Button1->isVisible());
    EXPECT_FALSE(form.Memo1->isVisible());
}

TEST_F(PackageEditFormTest, LeavingTheFirstDayProposesTheLastDayOfTheYear) {
    form.OpenNewPackage();
    controls_testing::ShowActive(form);
    const struct {
        QString typed, proposed;
    } cases[] = {
        {"10042008", "09/04/2009"},
        {"29022008", "28/02/2009"},
        {"290308", "28/03/2009"},
        {"31022008", "01/01/2001"},  // not a date: nothing proposed
    };
    for (const auto& c : cases) {
        form.CustomPanel12->SetText("01/01/2001");
        form.CustomPanel11->SetText(QString());
        form.CustomPanel11->Edit()->setFocus();
        controls_testing::Type(c.typed);
        form.Memo2->setFocus();
        EXPECT_EQ(form.CustomPanel12->Text(), c.proposed) << c.typed.toStdString();
    }
}

TEST_F(PackageEditFormTest, ChecksOfSavingInOrderWithTheirMessagesAndFocus) {
    const int today = dates::Today();
    const struct {
        QString from, to;
        const char* title;
        const char* text;
        const char* focused;
    } cases[] = {
        {"", "", "Ошибка ввода данных",
         "Поле 'Период действия С' является обязательным для заполнения.", "CustomPanel11"},
        {"31/02/2030", "", "сохранение", "Ошибка заполнения даты ('Поле период с') ",
         "CustomPanel11"},
        {Day(today + 1), "", "Ошибка ввода данных",
         "Поле 'Период действия По' является обязательным для заполнения.", "CustomPanel12"},
        {Day(today + 1), "32/01/2030", "сохранение", "Ошибка заполнения даты ('Поле период по')",
         "CustomPanel12"},
        {Day(today + 5), Day(today + 5), "Ошибка ввода данных",
         "Поле 'Период действия По' не может быть раньше 'Периода действия C'", nullptr},
        {Day(today + 5), Day(today + 4), "Ошибка ввода данных",
         "Поле 'Период действия По' не может быть раньше 'Периода действия C'", nullptr},
        {Day(today - 30), Day(today), "Ошибка ввода данных",
         "Поле 'Период действия По' не может быть раньше настоящей даты", nullptr},
        {Day(today - 30), Day(today + 1), "Ошибка ввода данных",
         "Поле 'Территории действия' является обязательным для заполнения.", nullptr},
    };
    form.OpenNewPackage();
    controls_testing::ShowActive(form);
    for (const auto& c : cases) {
        form.Memo2->setFocus();
        form.CustomPanel11->SetText(c.from);
        form.CustomPanel12->SetText(c.to);
        const gui::MessageBoxes::Record shown = saveWithOneMessage();
        EXPECT_EQ(shown.title, c.title) << c.text;
        EXPECT_EQ(shown.text, c.text);
        EXPECT_EQ(shown.buttons, QMessageBox::Ok);
        if (c.focused) {
            ASSERT_NE(QApplication::focusWidget(), nullptr) << c.text;
            EXPECT_EQ(QApplication::focusWidget()->parentWidget()->objectName(), c.focused)
                << c.text;
        }
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.CustomPanel11->Text(), c.from);
    }
    EXPECT_TRUE(Rows(data.db(), "igpackage").isEmpty());
}

TEST_F(PackageEditFormTest, OwnRegionAsksNoTerritoryAndStoresNone) {
    ownRegion();
    form.OpenNewPackage();
    enterValidPeriod();
    form.Memo2->setPlainText("первая\nвторая строка");
    const gui::MessageBoxes::Record shown = saveWithOneMessage();
    EXPECT_EQ(shown.title, "Добавление пакета ИГ");
    EXPECT_EQ(shown.text, "Сформирован пакет №0001");
    EXPECT_FALSE(form.isVisible());
    IGPackageFormData stored;
    ASSERT_TRUE(permits::LoadPackageByNumber(data.db(), "0001", stored));
    EXPECT_EQ(stored.notes, "первая\nвторая строка");
    EXPECT_EQ(stored.created, Day(dates::Today()));
    EXPECT_TRUE(Rows(data.db(), "pkgterritory").isEmpty());
}

TEST_F(PackageEditFormTest, TwoNewPackagesGetConsecutiveNumbersAndTheirTerritories) {
    form.OpenNewPackage();
    enterValidPeriod();
    chooseTerritories({69, 77}, "Тверская область,Москва");
    EXPECT_TRUE(shownToEditor.isEmpty());
    EXPECT_EQ(form.Memo1->toPlainText(), "Тверская область,Москва");
    EXPECT_EQ(saveWithOneMessage().text, "Сформирован пакет №0001");
    // A save closes without clearing: the editor sees the list until the next opening.
    EXPECT_EQ(form.territoryIds(), QList<int>({69, 77}));

    form.OpenNewPackage();
    enterValidPeriod();
    chooseTerritories({40}, "Калужская область");
    EXPECT_TRUE(shownToEditor.isEmpty());
    EXPECT_EQ(saveWithOneMessage().text, "Сформирован пакет №0002");

    EXPECT_EQ(Rows(data.db(), "igpackage", "package_id, pkgnumber"),
              QStringList({"1|0001", "2|0002"}));
    EXPECT_EQ(Rows(data.db(), "pkgterritory"), QStringList({"1|69", "1|77", "2|40"}));
    EXPECT_EQ(Rows(data.db(), storage::kPackageGenerator), QStringList{"2"});
}

TEST_F(PackageEditFormTest, EditingKeepsTheNumberAndShowsNoMessage) {
    IGPackageFormData package;
    package.number = "0005";
    package.notes = "старое";
    package.activeFrom = Day(dates::Today() - 20);
    package.activeTo = Day(dates::Today() + 200);
    package.territories = {40, 99, 69};
    permits::InsertPackage(data.db(), package, 8, dates::Today() - 30);

    ASSERT_TRUE(form.OpenPackageForEditing(8));
    EXPECT_TRUE(form.IsEditing());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Memo2->toPlainText(), "старое");
    EXPECT_EQ(form.Memo1->toPlainText(), "Калужская область,,Тверская область");
    EXPECT_EQ(form.CustomPanel11->Text(), package.activeFrom);
    EXPECT_EQ(form.CustomPanel12->Text(), package.activeTo);

    chooseTerritories({77}, "Москва");
    EXPECT_EQ(shownToEditor, QList<int>({40, 99, 69}));
    form.Memo2->setPlainText("новое");
    form.CustomPanel12->SetText(Day(dates::Today() + 300));
    QTest::mouseClick(form.Button2, Qt::LeftButton);  // no box is expected
    EXPECT_FALSE(form.isVisible());

    IGPackageFormData stored;
    ASSERT_TRUE(permits::LoadPackage(data.db(), 8, stored));
    EXPECT_EQ(stored.number, "0005");
    EXPECT_EQ(stored.created, Day(dates::Today() - 30));
    EXPECT_EQ(stored.notes, "новое");
    EXPECT_EQ(stored.activeTo, Day(dates::Today() + 300));
    EXPECT_EQ(stored.territories, QList<int>{77});

    EXPECT_FALSE(form.OpenPackageForEditing(9));
    EXPECT_TRUE(form.IsEditing());
    form.OpenNewPackage();  // the main window's command goes back to add mode
    EXPECT_FALSE(form.IsEditing());
}

TEST_F(PackageEditFormTest, ChangesToAPackageDeletedMeanwhileAreReportedAndKept) {
    IGPackageFormData package;
    package.number = "0001";
    package.activeFrom = Day(dates::Today());
    package.activeTo = Day(dates::Today() + 100);
    package.territories = {77};
    permits::InsertPackage(data.db(), package, 1);
    ASSERT_TRUE(form.OpenPackageForEditing(1));
    permits::DeletePackage(data.db(), "0001");
    form.Memo2->setPlainText("не потерять");

    const gui::MessageBoxes::Record shown = saveWithOneMessage();
    EXPECT_EQ(shown.title, "Ошибка сохранения");
    EXPECT_TRUE(shown.text.contains("пакет удалён")) << shown.text.toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Memo2->toPlainText(), "не потерять");
    EXPECT_TRUE(Rows(data.db(), "igpackage").isEmpty());
}

TEST_F(PackageEditFormTest, RefusedWriteIsReportedAndTheEntriesStay) {
    form.OpenNewPackage();
    enterValidPeriod();
    chooseTerritories({69}, "Тверская область");
    form.Memo2->setPlainText("заметка");
    data.db().exec("PRAGMA query_only = ON");
    const gui::MessageBoxes::Record shown = saveWithOneMessage();
    data.db().exec("PRAGMA query_only = OFF");
    EXPECT_EQ(shown.title, "Ошибка сохранения");
    EXPECT_TRUE(shown.text.startsWith("Не удалось сохранить новый пакет: ничего не записано."))
        << shown.text.toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Memo2->toPlainText(), "заметка");
    EXPECT_EQ(form.Memo1->toPlainText(), "Тверская область");
    EXPECT_TRUE(Rows(data.db(), "igpackage").isEmpty());

    // Once the cause is gone the same entries are saved, with the first identifier.
    EXPECT_EQ(saveWithOneMessage().text, "Сформирован пакет №0001");
    EXPECT_EQ(Rows(data.db(), "pkgterritory"), QStringList{"1|69"});
}

TEST_F(PackageEditFormTest, CancelClearsAndCloses) {
    form.OpenNewPackage();
    enterValidPeriod();
    chooseTerritories({69}, "Тверская область");
    form.Memo2->setPlainText("заметка");
    QTest::mouseClick(form.Button3, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.CustomPanel11->Text(), "");
    EXPECT_EQ(form.CustomPanel12->Text(), "");
    EXPECT_EQ(form.Memo1->toPlainText(), "");
    EXPECT_EQ(form.Memo2->toPlainText(), "");
    EXPECT_TRUE(form.territoryIds().isEmpty());
    EXPECT_TRUE(Rows(data.db(), "igpackage").isEmpty());
}

TEST_F(PackageEditFormTest, F1AndTheQuestionButtonOpenThePackagePage) {
    help_testing::CopyManual(folder);
    form.OpenNewPackage();
    help_testing::ExpectHelpTopic(form.Memo2, form.Button7, gui::topic::kPackage);
}
