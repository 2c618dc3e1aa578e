#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "app/Forms.h"
#include "citizens/CitizenStore.h"
#include "citizens/TIGEditForm.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "output/TSearchForm.h"
#include "permits/PackageStore.h"
#include "permits/TIGPkgSearchForm.h"
#include "settings/RegionSetting.h"
#include "settings/TOptionRegionForm.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using dictionaries::ComboItem;

// What the windows of different folders ask of each other, as the program connects them.
namespace {

class WindowsMeetTest : public ::testing::Test {
protected:
    WindowsMeetTest() {
        context.lists.visaFreeCountries = {{QStringLiteral("Узбекистан"), ComboItem(860)}};
        context.lists.allCountries = context.lists.visaFreeCountries;
        context.lists.territories = {{QStringLiteral("Москва"), ComboItem(77)},
                                     {QStringLiteral("Московская область"), ComboItem(50)}};
        forms.IGEditForm->TakeReferenceLists();
    }

    int storeCitizen(const QString& surname) {
        citizens::IGFormData citizen;
        citizen.surname = surname;
        citizen.givenName = QStringLiteral("Алишер");
        citizen.passportNumber = QStringLiteral("1");
        citizen.birthDate = QStringLiteral("01/01/1980");
        citizen.citizenship = 860;
        return citizens::InsertCitizen(data.db(), citizen, ++lastKey);
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    app::Forms forms{context};
    int lastKey = 0;
};

}  // namespace

TEST_F(WindowsMeetTest, PackageLinkOpensANewVisaFreeCitizenWithThePackagesPeriodAndTerritories) {
    settings::SaveRegionSetting(data.db(), settings::kMoscowIssuingCentre, -1);
    forms.IGEditForm->SetRegionType(settings::kMoscowIssuingCentre);
    permits::IGPackageFormData package;
    package.number = QStringLiteral("0007");
    package.activeFrom = dates::DateNumberToText(dates::Today());
    package.activeTo = dates::DateNumberToText(dates::Today() + 200);
    package.territories = {50, 77};
    permits::InsertPackage(data.db(), package, 7);

    emit forms.IGPkgSearchForm->newCitizenInPackageRequested(7);

    citizens::TIGEditForm& citizen = *forms.IGEditForm;
    EXPECT_TRUE(citizen.isVisible());
    EXPECT_FALSE(citizen.VisaMode());
    EXPECT_FALSE(citizen.EditMode());
    EXPECT_EQ(citizen.RNPDateFrom->Text(), package.activeFrom);
    EXPECT_EQ(citizen.RNPDateTo->Text(), package.activeTo);
    EXPECT_EQ(citizen.territoryIds(), (QList<int>{50, 77}));
    EXPECT_EQ(citizen.Memo1->toPlainText(), "Московская область,Москва");
}

TEST_F(WindowsMeetTest, SearchOpensACitizenForEditingAndListsAgainAfterItsSave) {
    const int key = storeCitizen(QStringLiteral("Каримов"));
    output::TSearchForm& search = *forms.SearchForm;
    search.Reset();
    search.show();
    search.RunSearch();
    ASSERT_EQ(search.ResultCount(), 1);

    emit search.editCitizenRequested(key);
    citizens::TIGEditForm& citizen = *forms.IGEditForm;
    EXPECT_TRUE(citizen.isVisible());
    EXPECT_TRUE(citizen.EditMode());
    EXPECT_EQ(citizen.Edit14->text(), "Каримов");

    // The citizen dialog's save in edit mode runs the search again with its filter.
    storeCitizen(QStringLiteral("Каримова"));
    emit citizen.citizenEdited();
    EXPECT_EQ(search.ResultCount(), 2);
    EXPECT_TRUE(search.isVisible());
}

TEST_F(WindowsMeetTest, RegionDialogHandsTheNewRegionTypeToTheCitizenEntry) {
    settings::TOptionRegionForm& region = *forms.OptionRegionForm;
    region.show();
    region.RadioButton1->setChecked(true);
    region.ComboBox11->SelectComboItemById(77);
    QTest::mouseClick(region.Button2, Qt::LeftButton);
    EXPECT_EQ(forms.IGEditForm->RegionType(), settings::kOwnRegion);

    region.show();
    region.RadioButton2->setChecked(true);
    QTest::mouseClick(region.Button2, Qt::LeftButton);
    EXPECT_EQ(forms.IGEditForm->RegionType(), settings::kMoscowIssuingCentre);
}
