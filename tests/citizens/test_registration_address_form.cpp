#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "citizens/DialogTesting.h"
#include "citizens/TRegistrationAddr.h"
#include "controls/ControlTesting.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "settings/RegionSetting.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using citizens::RegAddrFormData;
using dialog_testing::DoInModal;
using dictionaries::ComboItem;

namespace {

constexpr int kMoscow = 77;
constexpr int kTver = 69;

// The names a combo box offers, in order (the empty entry as "").
QStringList Offered(const controls::TExtSrchComboBox* box) {
    QStringList names;
    for (int i = 0; i < box->count(); ++i)
        names.append(box->itemText(i));
    return names;
}

RegAddrFormData FullAddress() {
    RegAddrFormData address;
    address.postalIndex = "125009";
    address.region = kMoscow;
    address.district = 2;
    address.city = "Москва";
    address.street = "Тверская";
    address.cityDistrict = "Центральный";
    address.house = "7";
    address.building = "2";
    address.flat = "15";
    address.registeredFrom = "01/05/2010";
    address.registeredTo = "30/04/2011";
    return address;
}

class RegistrationAddressFormTest : public ::testing::Test {
protected:
    RegistrationAddressFormTest() {
        context.lists.regions = {{"Москва", ComboItem(kMoscow)},
                                 {"Тверская область", ComboItem(kTver)}};
        context.lists.districts = {{"Тверской", ComboItem(1, kMoscow)},
                                   {"Арбат", ComboItem(2, kMoscow)},
                                   {"Калининский", ComboItem(3, kTver)}};
        opener.resize(500, 400);
        controls_testing::ShowActive(opener);
    }

    bool Edit(RegAddrFormData& held, std::function<void()> act) {
        return DoInModal(&form, act, [&] { return form.EditAddress(held); });
    }

    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Saves with the dates given and expects the message `box` (none when empty).
    void SaveWithDates(const QString& from, const QString& to, const QString& box) {
        RegAddrFormData held = FullAddress();
        if (!box.isEmpty())
            gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        const bool saved = Edit(held, [&] {
            form.CustomPanel11->SetText(from);
            form.CustomPanel12->SetText(to);
            Click(form.Button1);
            if (form.isVisible())
                Click(form.Button2);
        });
        const auto shown = gui::MessageBoxes::takeShown();
        const QString what = from + " - " + to;
        if (box.isEmpty()) {
            EXPECT_TRUE(saved) << what.toStdString();
            EXPECT_TRUE(shown.isEmpty()) << what.toStdString();
            EXPECT_EQ(held.registeredFrom, from) << what.toStdString();
            EXPECT_EQ(held.registeredTo, to) << what.toStdString();
        } else {
            EXPECT_FALSE(saved) << what.toStdString();
            ASSERT_EQ(shown.size(), 1) << what.toStdString();
            EXPECT_EQ(shown[0].title, "Ошибка введенных данных");
            EXPECT_EQ(shown[0].text, box) << what.toStdString();
            EXPECT_EQ(held, FullAddress()) << "nothing invalid is stored";
        }
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    QWidget opener;
    citizens::TRegistrationAddr form{context};
};

}  // namespace

TEST_F(RegistrationAddressFormTest, NewCitizenWithOwnRegionOffersItsDistricts) {
    settings::SaveRegionSetting(data.db(), settings::kOwnRegion, kMoscow);
    RegAddrFormData held = form.ResetRecord();
    EXPECT_EQ(held.region, kMoscow);
    EXPECT_EQ(held.district, -1);
    EXPECT_TRUE(held.city.isEmpty() && held.registeredFrom.isEmpty());
    Edit(held, [&] {
        EXPECT_EQ(form.windowTitle(), "Адрес регистрации");
        EXPECT_EQ(form.parentWidget(), &opener);
        EXPECT_EQ(form.windowModality(), Qt::WindowModal);
        EXPECT_EQ(Offered(form.ComboBox11), (QStringList{"", "Москва", "Тверская область"}));
        EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), kMoscow);
        EXPECT_TRUE(form.ComboBox12->isEnabled());
        EXPECT_EQ(Offered(form.ComboBox12), (QStringList{"", "Тверской", "Арбат"}));
        EXPECT_EQ(form.ComboBox12->SelectedComboItemId(), -1);
        EXPECT_TRUE(form.Edit1->hasFocus());
        Click(form.Button2);
    });
}

TEST_F(RegistrationAddressFormTest, NewCitizenAtTheMoscowCentreHasNoRegionAndNoDistricts) {
    settings::SaveRegionSetting(data.db(), settings::kMoscowIssuingCentre, kMoscow);
    RegAddrFormData held = form.ResetRecord();
    EXPECT_EQ(held.region, -1);
    const bool saved = Edit(held, [&] {
        EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), -1);
        EXPECT_FALSE(form.ComboBox12->isEnabled());
        EXPECT_EQ(form.ComboBox12->SelectedComboItemId(), -1);
        Click(form.Button1);
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(held, RegAddrFormData());
}

TEST_F(RegistrationAddressFormTest, HeldAddressIsShownAndSavedAsEdited) {
    RegAddrFormData held = FullAddress();
    const bool saved = Edit(held, [&] {
        EXPECT_EQ(form.Edit1->text(), "125009");
        EXPECT_EQ(form.ComboBox11->currentText(), "Москва");
        EXPECT_EQ(form.ComboBox12->currentText(), "Арбат");
        EXPECT_EQ(form.Edit2->text(), "Москва");
        EXPECT_EQ(form.Edit3->text(), "Тверская");
        EXPECT_EQ(form.Edit4->text(), "Центральный");
        EXPECT_EQ(form.Edit5->text(), "7");
        EXPECT_EQ(form.Edit6->text(), "2");
        EXPECT_EQ(form.Edit7->text(), "15");
        EXPECT_EQ(form.CustomPanel11->Text(), "01/05/2010");
        EXPECT_EQ(form.CustomPanel12->Text(), "30/04/2011");
        form.Edit7->setText("16");
        form.ComboBox12->SelectComboItemById(1);
        Click(form.Button1);
    });
    EXPECT_TRUE(saved);
    RegAddrFormData expected = FullAddress();
    expected.flat = "16";
    expected.district = 1;
    EXPECT_EQ(held, expected);
}

TEST_F(RegistrationAddressFormTest, CancelLeavesTheHeldAddress) {
    RegAddrFormData held = FullAddress();
    EXPECT_FALSE(Edit(held, [&] {
        form.Edit2->setText("Тверь");
        form.ComboBox11->SelectComboItemById(kTver);
        Click(form.Button2);
    }));
    EXPECT_EQ(held, FullAddress());
}

// By the list (selection), Enter and Space the district list follows the region, without a
// choice; typing alone moves the choice too.
TEST_F(RegistrationAddressFormTest, AnotherRegionEmptiesTheDistrictAndOffersItsOwn) {
    const auto expectTver = [this](const char* how) {
        EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), kTver) << how;
        EXPECT_EQ(Offered(form.ComboBox12), (QStringList{"", "Калининский"})) << how;
        EXPECT_EQ(form.ComboBox12->SelectedComboItemId(), -1) << how;
    };
    RegAddrFormData held = FullAddress();
    Edit(held, [&] {
        form.ComboBox11->setFocus();
        controls_testing::Press(Qt::Key_Down);  // the next entry of the closed list
        expectTver("selection");
        form.ComboBox11->SelectComboItemById(kMoscow);
        form.ComboBox12->SelectComboItemById(2);
        form.Edit1->setFocus();
        form.ComboBox11->setFocus();  // entering the list starts a new search
        controls_testing::Type(QStringLiteral("тв"));
        form.ComboBox11->hidePopup();
        expectTver("typing");
        controls_testing::Type(QStringLiteral(" "));
        expectTver("space");
        form.ComboBox11->SelectComboItemById(-1);
        EXPECT_FALSE(form.ComboBox12->isEnabled()) << "no region";
        EXPECT_EQ(form.ComboBox12->SelectedComboItemId(), -1);
        form.Edit1->setFocus();
        form.ComboBox11->setFocus();
        controls_testing::Type(QStringLiteral("тв"));
        form.ComboBox11->hidePopup();
        // Enter chooses, and saves as Enter does in every dialog.
        QTest::keyClick(form.ComboBox11, Qt::Key_Return);
    });
    EXPECT_EQ(held.region, kTver);
    EXPECT_EQ(held.district, -1);
}

TEST_F(RegistrationAddressFormTest, RegistrationPeriodMustEndAfterItsStart) {
    const QString order =
        QStringLiteral("Поле 'Дата регистрации По' не может быть раньше 'Даты регистрации C'");
    SaveWithDates("01/05/2010", "01/05/2010", order);
    SaveWithDates("02/05/2010", "01/05/2010", order);
    SaveWithDates("01/05/2010", "02/05/2010", {});
    SaveWithDates("01/05/2010", "", {});
    SaveWithDates("", "01/05/2010", {});
    SaveWithDates("", "", {});
}

TEST_F(RegistrationAddressFormTest, DateThatIsNoDateIsRefusedNamingItsField) {
    SaveWithDates("31022010", "",
                  "Поле 'Дата регистрации C' должно содержать дату в формате ДД/ММ/ГГГГ");
    SaveWithDates("01/05/2010", "0105",
                  "Поле 'Дата регистрации По' должно содержать дату в формате ДД/ММ/ГГГГ");
    SaveWithDates("01/05/201", "",
                  "Поле 'Дата регистрации C' должно содержать дату в формате ДД/ММ/ГГГГ");
    // A date typed as digits is kept as the date text it stands for.
    RegAddrFormData held = FullAddress();
    Edit(held, [&] {
        form.CustomPanel11->SetText("010510");
        form.CustomPanel12->SetText("30042011");
        Click(form.Button1);
    });
    EXPECT_EQ(held.registeredFrom, "01/05/2010");
    EXPECT_EQ(held.registeredTo, "30/04/2011");
}

TEST_F(RegistrationAddressFormTest, F1AndTheQuestionButtonOpenTheAddressPage) {
    help_testing::CopyManual(folder);
    RegAddrFormData held;
    Edit(held, [&] {
        help_testing::ExpectHelpTopic(form.Edit3, form.Button8, gui::topic::kRegistrationAddress);
        Click(form.Button2);
    });
}
