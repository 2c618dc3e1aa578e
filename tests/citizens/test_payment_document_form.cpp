#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "citizens/DialogTesting.h"
#include "citizens/TPPEditForm.h"
#include "controls/ControlTesting.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "storage/Options.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using citizens::PPFormData;
using dialog_testing::DoInModal;

namespace {

const QString kPayer = QStringLiteral("Иванов Иван Иванович");

// A payment document as the citizen dialog may hold one; the fields this system never fills
// are set, to see that a save empties them (INN and KPP stay).
PPFormData HeldDocument() {
    PPFormData held;
    held.payer = QStringLiteral("Петров Пётр");
    held.inn = QStringLiteral("7701234567");
    held.kpp = QStringLiteral("770101001");
    held.number = QStringLiteral("17");
    held.bik = QStringLiteral("044525225");
    held.date = QStringLiteral("05/03/2008");
    held.bank = QStringLiteral("Сбербанк");
    held.sum = QStringLiteral("2500");
    held.correspondentAccount = QStringLiteral("30101810400000000225");
    held.account = QStringLiteral("40702810");
    held.okato = QStringLiteral("45286555000");
    held.paymentKind = QStringLiteral("01");
    held.basis = QStringLiteral("ТП");
    held.remainder = 5;
    held.documentKind = 2;
    return held;
}

class PaymentDocumentFormTest : public ::testing::Test {
protected:
    PaymentDocumentFormTest() {
        opener.resize(500, 400);
        controls_testing::ShowActive(opener);
    }

    // Opens the dialog over the opener for `held`, does `act` in it (which closes it), and
    // returns what the dialog returned.
    bool Edit(std::optional<PPFormData>& held, std::function<void()> act) {
        return DoInModal(&form, act, [&] { return form.EditPaymentDocument(held, kPayer); });
    }

    void SetNumberRequired(const QString& value) {
        storage::SetOption(data.db(), storage::kPaymentNumberRequiredKey, value);
    }

    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    QWidget opener;
    citizens::TPPEditForm form{context};
};

}  // namespace

TEST_F(PaymentDocumentFormTest, NewDocumentStartsWithThePayerTheSumAndTheKindAndIsSaved) {
    std::optional<PPFormData> held;
    const bool saved = Edit(held, [&] {
        EXPECT_EQ(form.windowTitle(), "Реквизиты платежного документа");
        EXPECT_EQ(form.parentWidget(), &opener);
        EXPECT_EQ(form.windowModality(), Qt::WindowModal);
        EXPECT_EQ(form.Edit1->text(), kPayer);
        EXPECT_EQ(form.MaskEdit3->text(), "1000");
        EXPECT_TRUE(form.RadioButton1->isChecked());
        EXPECT_FALSE(form.RadioButton2->isChecked() || form.RadioButton3->isChecked());
        EXPECT_TRUE(form.MaskEdit1->text().isEmpty());
        EXPECT_TRUE(form.MaskEdit2->text().isEmpty());
        EXPECT_TRUE(form.CustomPanel11->Text().isEmpty());
        EXPECT_FALSE(form.NumberAsterisk->isVisible()) << "the number is not required";
        form.MaskEdit1->setText("Сбербанк");
        form.CustomPanel11->SetText("05/03/2008");
        form.RadioButton3->click();
        Click(form.Button2);
    });

    ASSERT_TRUE(saved);
    ASSERT_TRUE(held.has_value());
    PPFormData expected;
    expected.payer = kPayer;
    expected.date = "05/03/2008";
    expected.bank = "Сбербанк";
    expected.sum = "1000";
    expected.documentKind = 3;
    EXPECT_EQ(*held, expected) << "no number: the setting does not ask for one";
}

TEST_F(PaymentDocumentFormTest, HeldDocumentIsShownAndSavedWithTheFixedEmptyFields) {
    std::optional<PPFormData> held = HeldDocument();
    const bool saved = Edit(held, [&] {
        EXPECT_EQ(form.Edit1->text(), "Петров Пётр") << "not the citizen's names";
        EXPECT_EQ(form.MaskEdit2->text(), "17");
        EXPECT_EQ(form.CustomPanel11->Text(), "05/03/2008");
        EXPECT_EQ(form.MaskEdit1->text(), "Сбербанк");
        EXPECT_EQ(form.MaskEdit3->text(), "2500");
        EXPECT_TRUE(form.RadioButton2->isChecked()) << "kind 2 is \"кв.\"";
        form.MaskEdit3->setText("3000");
        Click(form.Button2);
    });

    ASSERT_TRUE(saved);
    PPFormData expected = HeldDocument();
    expected.sum = "3000";
    expected.bik.clear();
    expected.correspondentAccount.clear();
    expected.account.clear();
    expected.okato.clear();
    expected.paymentKind.clear();
    expected.basis.clear();
    expected.remainder = 0;
    EXPECT_EQ(held, expected);
}

TEST_F(PaymentDocumentFormTest, CancelLeavesTheHeldDocumentAsItWas) {
    std::optional<PPFormData> held = HeldDocument();
    EXPECT_FALSE(Edit(held, [&] {
        form.MaskEdit1->setText("Другой банк");
        form.RadioButton1->click();
        Click(form.Button1);  // "Очистить"
        Click(form.Button3);
    }));
    EXPECT_EQ(held, HeldDocument());

    std::optional<PPFormData> none;
    EXPECT_FALSE(Edit(none, [&] {
        form.MaskEdit1->setText("Сбербанк");
        QTest::keyClick(form.MaskEdit1, Qt::Key_Escape);
    }));
    EXPECT_FALSE(none.has_value());
}

TEST_F(PaymentDocumentFormTest, ClearKeepsThePayerAndMarksTheNumberByTheSetting) {
    std::optional<PPFormData> held = HeldDocument();
    SetNumberRequired("1");
    Edit(held, [&] {
        EXPECT_TRUE(form.NumberAsterisk->isVisible()) << "refreshed on opening too";
        SetNumberRequired("0");
        Click(form.Button1);
        EXPECT_FALSE(form.NumberAsterisk->isVisible());
        EXPECT_EQ(form.Edit1->text(), "Петров Пётр");
        EXPECT_TRUE(form.MaskEdit1->text().isEmpty());
        EXPECT_TRUE(form.MaskEdit2->text().isEmpty());
        EXPECT_TRUE(form.CustomPanel11->Text().isEmpty());
        EXPECT_EQ(form.MaskEdit3->text(), "1000");
        EXPECT_TRUE(form.RadioButton1->isChecked());
        Click(form.Button3);
    });
}

// Each case breaks one check while everything before it passes; the message is that check's,
// the dialog stays open and the held document is unchanged.
TEST_F(PaymentDocumentFormTest, ChecksComeInTheirOrderAndStopAtTheFirstFailure) {
    const struct {
        const char* what;
        const char* required;  // "PP_NUMBER_NESS"
        std::function<void(PPFormData&)> change;
        QString message;
    } cases[] = {
        {"no kind", "1",
         [](PPFormData& d) { d.documentKind = 0, d.number.clear(), d.bank.clear(); },
         "Обязательное поле 'Вид платежного документа' не заполнено"},
        {"no number", "1", [](PPFormData& d) { d.number.clear(), d.bank.clear(); },
         "Обязательное поле '№ Платежного документа' не заполнено"},
        {"no bank", "1", [](PPFormData& d) { d.bank.clear(), d.date.clear(); },
         "Обязательное поле 'Банк' не заполнено"},
        {"no date", "0", [](PPFormData& d) { d.number.clear(), d.date.clear(), d.sum.clear(); },
         "Обязательное поле 'Дата' не заполнено"},
        {"no sum", "0", [](PPFormData& d) { d.sum.clear(), d.date = "31022008"; },
         "Обязательное поле 'Сумма' не заполнено"},
        {"not a date", "0", [](PPFormData& d) { d.date = "31022008"; },
         "Фомат поля 'Дата' должен быть ДД/ММ/ГГГГ'"},
    };
    for (const auto& c : cases) {
        SetNumberRequired(c.required);
        PPFormData start = HeldDocument();
        c.change(start);
        std::optional<PPFormData> held = start;
        EXPECT_FALSE(Edit(held, [&] {
            gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
            Click(form.Button2);
            EXPECT_TRUE(form.isVisible()) << c.what;
            Click(form.Button3);
        }));
        const auto shown = gui::MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1) << c.what;
        EXPECT_EQ(shown[0].title, "Ошибка ввода данных") << c.what;
        EXPECT_EQ(shown[0].text, c.message) << c.what;
        EXPECT_EQ(held, start) << c.what;
    }
}

TEST_F(PaymentDocumentFormTest, NumberIsRequiredOnlyWhenTheSettingIsOne) {
    for (const char* value : {"0", "", "yes", "1"}) {
        SetNumberRequired(value);
        std::optional<PPFormData> held;
        const bool required = QString(value) == "1";
        if (required)
            gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        const bool saved = Edit(held, [&] {
            EXPECT_EQ(form.NumberAsterisk->isVisible(), required) << value;
            form.MaskEdit1->setText("Сбербанк");
            form.CustomPanel11->SetText("05/03/2008");
            Click(form.Button2);
            if (form.isVisible())
                Click(form.Button3);
        });
        EXPECT_EQ(saved, !required) << value;
        EXPECT_EQ(gui::MessageBoxes::takeShown().size(), required ? 1 : 0) << value;
    }
}

TEST_F(PaymentDocumentFormTest, NumberAndSumTakeDigitsOnlyTypedOrPasted) {
    std::optional<PPFormData> held;
    Edit(held, [&] {
        form.MaskEdit3->clear();
        form.MaskEdit3->setFocus();
        QTest::keyClicks(form.MaskEdit3, "12a3");
        controls_testing::Type(QStringLiteral("б"));
        EXPECT_EQ(form.MaskEdit3->text(), "123") << "a letter typed into the sum changes nothing";
        QApplication::clipboard()->setText("4-5 x6");
        form.MaskEdit2->setFocus();
        QTest::keyClick(form.MaskEdit2, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(form.MaskEdit2->text(), "456");
        EXPECT_EQ(form.MaskEdit2->maxLength(), 30);
        EXPECT_EQ(form.MaskEdit3->maxLength(), 22);
        EXPECT_EQ(form.MaskEdit1->maxLength(), 22);
        EXPECT_EQ(form.Edit1->maxLength(), 250);
        Click(form.Button3);
    });
}

TEST_F(PaymentDocumentFormTest, EnterSavesAndF1OrTheQuestionButtonOpenTheHelp) {
    help_testing::CopyManual(folder);
    std::optional<PPFormData> held;
    const bool saved = Edit(held, [&] {
        help_testing::ExpectHelpTopic(form.MaskEdit1, form.Button8, gui::topic::kPaymentDocument);
        form.MaskEdit1->setText("Сбербанк");
        form.CustomPanel11->SetText("05/03/2008");
        form.activateWindow();
        form.MaskEdit1->setFocus();
        QTest::keyClick(form.MaskEdit1, Qt::Key_Return);
    });
    EXPECT_TRUE(saved);
    EXPECT_TRUE(held.has_value());
}
