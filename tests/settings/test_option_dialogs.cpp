#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "controls/TEditSD.h"
#include "gui/Context.h"
#include "settings/TFMSMemberForm.h"
#include "settings/TSettingsForm.h"
#include "storage/Options.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

namespace {

class OptionDialogsTest : public ::testing::Test {
protected:
    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};

    qint64 rowsOf(const char* key) {
        storage::Statement count =
            data.db().prepare("SELECT count(*) FROM app_options WHERE key = ?1");
        count.bind(1, QString::fromLatin1(key));
        count.step();
        return count.columnInt64(0);
    }
};

}  // namespace

TEST_F(OptionDialogsTest, FmsOfficeIsStoredAsTypedAndShownAgain) {
    settings::TFMSMemberForm form(context);
    form.show();
    EXPECT_EQ(form.Edit1->text(), "");
    form.Edit1->setText("ОУФМС России по г. Москве");
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(storage::GetOption(data.db(), "FMSMEMBER"), "ОУФМС России по г. Москве");

    form.show();
    EXPECT_EQ(form.Edit1->text(), "ОУФМС России по г. Москве");
    form.Edit1->setText("другой");
    QTest::mouseClick(form.Button3, Qt::LeftButton);  // "Отмена" stores nothing
    EXPECT_EQ(storage::GetOption(data.db(), "FMSMEMBER"), "ОУФМС России по г. Москве");
}

TEST_F(OptionDialogsTest, EmptyFmsOfficeIsStoredAsAnEmptyValue) {
    storage::SetOption(data.db(), "FMSMEMBER", "старое");
    settings::TFMSMemberForm form(context);
    form.show();
    form.Edit1->clear();
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_EQ(rowsOf("FMSMEMBER"), 1);
    EXPECT_EQ(storage::GetOption(data.db(), "FMSMEMBER"), "");
}

TEST_F(OptionDialogsTest, SettingsCheckBoxStoresOneAndZeroInOneRow) {
    settings::TSettingsForm form(context);
    form.show();
    EXPECT_EQ(form.PPNumberNessCheckBox->text(), "Обязательное поле \" № платежного документа\"");
    EXPECT_FALSE(form.PPNumberNessCheckBox->isChecked());

    form.PPNumberNessCheckBox->setChecked(true);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(storage::GetOption(data.db(), "PP_NUMBER_NESS"), "1");

    form.show();
    EXPECT_TRUE(form.PPNumberNessCheckBox->isChecked());
    form.PPNumberNessCheckBox->setChecked(false);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(storage::GetOption(data.db(), "PP_NUMBER_NESS"), "0");
    EXPECT_EQ(rowsOf("PP_NUMBER_NESS"), 1);
}

TEST_F(OptionDialogsTest, EnterSavesAndEscapeCancels) {
    settings::TFMSMemberForm form(context);
    form.show();
    form.Edit1->setText("сохранено клавишей");
    form.Edit1->setFocus();
    QTest::keyClick(form.Edit1, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(storage::GetOption(data.db(), "FMSMEMBER"), "");

    form.show();
    form.Edit1->setText("сохранено клавишей");
    QTest::keyClick(form.Edit1, Qt::Key_Return);
    EXPECT_EQ(storage::GetOption(data.db(), "FMSMEMBER"), "сохранено клавишей");
}
