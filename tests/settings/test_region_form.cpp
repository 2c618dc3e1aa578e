#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "controls/TExtSrchComboBox.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "settings/RegionSetting.h"
#include "settings/TOptionRegionForm.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using dictionaries::ComboItem;

namespace {

class RegionFormTest : public ::testing::Test {
protected:
    RegionFormTest() {
        context.lists.territories = {{QStringLiteral("Москва"), ComboItem(77)},
                                     {QStringLiteral("Тверская область"), ComboItem(69)}};
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    settings::TOptionRegionForm form{context};
};

}  // namespace

TEST_F(RegionFormTest, EmptyDatabaseMeansTheMoscowCentreWithTheListDisabled) {
    form.show();
    EXPECT_EQ(form.windowTitle(), "Выбор региона");
    EXPECT_TRUE(form.RadioButton2->isChecked());
    EXPECT_FALSE(form.ComboBox11->isEnabled());
    EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), -1);
}

TEST_F(RegionFormTest, OwnRegionWithoutARegionIsRefusedAndTheOldSettingKept) {
    settings::SaveRegionSetting(data.db(), settings::kMoscowIssuingCentre, -1);
    form.show();
    form.RadioButton1->setChecked(true);
    EXPECT_TRUE(form.ComboBox11->isEnabled());
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(form.Button2, Qt::LeftButton);

    const auto shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Ошибка ввода данных");
    EXPECT_EQ(shown[0].text, "Поле 'Регион' является обязательным для заполнения.");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Rows(data.db(), "optionRegion"), QStringList{"2|-1"});
}

TEST_F(RegionFormTest, SavedRegionIsHandedOnAndShownAgain) {
    QSignalSpy saved(&form, &settings::TOptionRegionForm::regionTypeSaved);
    form.show();
    form.RadioButton1->setChecked(true);
    form.ComboBox11->SelectComboItemById(69);
    QTest::mouseClick(form.Button2, Qt::LeftButton);

    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Rows(data.db(), "optionRegion"), QStringList{"1|69"});
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved[0][0].toInt(), settings::kOwnRegion);

    form.show();
    EXPECT_TRUE(form.RadioButton1->isChecked());
    EXPECT_TRUE(form.ComboBox11->isEnabled());
    EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), 69);
}

TEST_F(RegionFormTest, ChoiceLeftInTheDisabledListIsSavedWithTheMoscowCentre) {
    form.show();
    form.RadioButton1->setChecked(true);
    form.ComboBox11->SelectComboItemById(77);
    form.RadioButton2->setChecked(true);
    EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), 77);
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_EQ(Rows(data.db(), "optionRegion"), QStringList{"2|77"});
    EXPECT_EQ(settings::LoadRegionId(data.db()), -1);
}

TEST_F(RegionFormTest, F1AndTheQuestionButtonOpenTheRegionPage) {
    help_testing::CopyManual(folder);
    form.show();
    help_testing::ExpectHelpTopic(form.RadioButton2, form.Button8, gui::topic::kRegion);
}
