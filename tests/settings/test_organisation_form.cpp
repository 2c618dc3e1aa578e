#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "settings/TOptionOrganizationForm.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using settings::OrgFormData;
using settings::TOptionOrganizationForm;

namespace {

// Cyrillic reaches a field one key at a time.
void Type(QWidget* widget, const QString& text) {
    for (QChar ch : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(ch.toUpper().unicode()), QString(ch),
                            Qt::NoModifier);
    }
}

class OrganisationFormTest : public ::testing::Test {
protected:
    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    TOptionOrganizationForm form{context};

    qint64 storedRows() { return data.db().queryInt("SELECT count(*) FROM org"); }

    QList<QWidget*> organisationFields() {
        return {form.Edit1, form.Edit2, form.EditSD1, form.EditSD2, form.CustomPanel11};
    }
    QList<QWidget*> personFields() {
        return {form.Edit3, form.Edit6, form.Edit7, form.Edit4, form.Edit5};
    }
};

}  // namespace

TEST_F(OrganisationFormTest, EmptyDatabaseShowsTheOrganisationSelectedAndEveryFieldEmpty) {
    form.show();
    EXPECT_EQ(form.windowTitle(), "Данные об организации и доверенном лице");
    EXPECT_TRUE(form.RadioButton1->isChecked());
    for (QWidget* field : organisationFields())
        EXPECT_TRUE(field->isEnabled()) << field->objectName().toStdString();
    for (QWidget* field : personFields())
        EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
    for (auto* edit : {form.Edit1, form.Edit2, form.EditSD1, form.EditSD2, form.Edit3, form.Edit6,
                       form.Edit7, form.Edit4, form.Edit5})
        EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(form.CustomPanel11->Text(), "");
}

TEST_F(OrganisationFormTest, RequiredFieldsAreCheckedInOrderAndNothingIsWritten) {
    struct Case {
        bool trusted;
        QString name, inn, surname, givenName, number;
        const char* message;
        const char* focused;
    };
    const Case cases[] = {
        {false, "", "", "", "", "",
         "Поле 'Наименование организации' является обязательным для заполнения.", "Edit1"},
        {false, "ООО Ромашка", "", "", "", "", "Поле 'ИНН' является обязательным для заполнения.",
         "Edit2"},
        {true, "", "", "", "", "", "Поле 'Фамилия' является обязательным для заполнения.", "Edit3"},
        {true, "", "", "Иванов", "", "", "Поле 'Имя' является обязательным для заполнения.",
         "Edit6"},
        {true, "", "", "Иванов", "Иван", "",
         "Поле 'Номер паспорта' является обязательным для заполнения.", "Edit5"},
    };
    for (const Case& c : cases) {
        form.show();
        (c.trusted ? form.RadioButton2 : form.RadioButton1)->setChecked(true);
        form.Edit1->setText(c.name);
        form.Edit2->setText(c.inn);
        form.Edit3->setText(c.surname);
        form.Edit6->setText(c.givenName);
        form.Edit5->setText(c.number);
        gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(form.Button2, Qt::LeftButton);

        const auto shown = gui::MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1) << c.message;
        EXPECT_EQ(shown[0].title, "Ошибка ввода данных");
        EXPECT_EQ(shown[0].text, QString::fromUtf8(c.message));
        ASSERT_NE(form.focusWidget(), nullptr);
        EXPECT_EQ(form.focusWidget()->objectName(), c.focused);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(storedRows(), 0);
        form.hide();
    }
}

TEST_F(OrganisationFormTest, BlanksCountAsFilled) {
    form.show();
    form.Edit1->setText(" ");
    form.Edit2->setText(" ");
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_TRUE(gui::MessageBoxes::takeShown().isEmpty());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(settings::LoadOrganisation(data.db()).name, " ");
}

TEST_F(OrganisationFormTest, TheDisabledGroupKeepsItsValuesThroughSaveAndReopening) {
    form.show();
    form.Edit1->setText("ООО \"Ромашка\"");
    form.Edit2->setText("7701234567");
    form.CustomPanel11->SetText("05/03/2008");
    form.RadioButton2->setChecked(true);
    EXPECT_FALSE(form.Edit1->isEnabled());
    EXPECT_EQ(form.Edit1->text(), "ООО \"Ромашка\"");
    form.Edit3->setText("Петров");
    form.Edit6->setText("Пётр");
    form.Edit4->setText("4500");
    form.Edit5->setText("123456");
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    ASSERT_FALSE(form.isVisible());

    const OrgFormData stored = settings::LoadOrganisation(data.db());
    EXPECT_EQ(stored.type, settings::kTrustedPerson);
    EXPECT_EQ(stored.name, "ООО \"Ромашка\"");
    EXPECT_EQ(stored.registrationDate, "05/03/2008");
    EXPECT_EQ(stored.passportNumber, "123456");

    form.show();
    EXPECT_TRUE(form.RadioButton2->isChecked());
    EXPECT_TRUE(form.Edit3->isEnabled());
    EXPECT_FALSE(form.Edit1->isEnabled());
    EXPECT_EQ(form.Edit1->text(), "ООО \"Ромашка\"");
    EXPECT_EQ(form.Edit2->text(), "7701234567");
    EXPECT_EQ(form.CustomPanel11->Text(), "05/03/2008");
}

TEST_F(OrganisationFormTest, ClosingClearsBothChoicesAndCancelWritesNothing) {
    form.show();
    form.Edit1->setText("Не сохранится");
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.RadioButton1->isChecked());
    EXPECT_FALSE(form.RadioButton2->isChecked());
    EXPECT_EQ(storedRows(), 0);
}

TEST_F(OrganisationFormTest, EnterSavesFromAnyFieldAndEscapeCancels) {
    form.show();
    form.Edit1->setText("Ромашка");
    form.Edit2->setText("12");
    form.EditSD2->setFocus();
    QTest::keyClick(form.EditSD2, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(storedRows(), 0);

    form.show();
    form.Edit1->setText("Ромашка");
    form.Edit2->setText("12");
    form.Button1->setFocus();  // even with the focus on "Отмена"
    QTest::keyClick(form.Button1, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(settings::LoadOrganisation(data.db()).inn, "12");
}

TEST_F(OrganisationFormTest, NameAndInnTakeOnlyWhatTheirKeysAllow) {
    form.show();
    form.Edit1->setFocus();
    Type(form.Edit1, QStringLiteral("ООО Zeta «Ёлка» \"Юг\" 1'"));
    EXPECT_EQ(form.Edit1->text(), "ООО  лка \"Юг\" 1'");

    form.Edit1->clear();
    QApplication::clipboard()->setText(QStringLiteral("Alpha Ромашка 7"));
    QTest::keyClick(form.Edit1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.Edit1->text(), " Ромашка 7");

    form.Edit2->setFocus();
    Type(form.Edit2, QStringLiteral("77a0б1"));
    EXPECT_EQ(form.Edit2->text(), "7701");
    form.Edit2->clear();
    QApplication::clipboard()->setText(QStringLiteral("ИНН 123-456"));
    QTest::keyClick(form.Edit2, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.Edit2->text(), "123456");
}

TEST_F(OrganisationFormTest, FieldsHaveTheirLengthLimits) {
    EXPECT_EQ(form.Edit1->maxLength(), 255);
    EXPECT_EQ(form.Edit2->maxLength(), 12);
    EXPECT_EQ(form.Edit4->maxLength(), 50);
    EXPECT_EQ(form.Edit5->maxLength(), 50);
    EXPECT_EQ(form.EditSD1->maxLength(), 255);
}

TEST_F(OrganisationFormTest, F1AndTheQuestionButtonOpenTheOrganisationPage) {
    help_testing::CopyManual(folder);
    form.show();
    help_testing::ExpectHelpTopic(form.Edit1, form.Button8, gui::topic::kOrganisation);
}

TEST_F(OrganisationFormTest, RefusedWriteIsReportedAndTheEnteredDataStay) {
    form.show();
    form.Edit1->setText("Ромашка");
    form.Edit2->setText("7701");
    data.db().exec("PRAGMA query_only = ON");  // every write now fails
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    data.db().exec("PRAGMA query_only = OFF");

    const auto shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Ошибка сохранения");
    EXPECT_TRUE(shown[0].text.startsWith(
        "Не удалось сохранить данные об организации и доверенном лице: ничего не записано."))
        << shown[0].text.toStdString();
    EXPECT_TRUE(shown[0].text.contains(folder.file("igdb.dat")));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Edit1->text(), "Ромашка");
    EXPECT_EQ(storedRows(), 0);

    QTest::mouseClick(form.Button2, Qt::LeftButton);  // once the cause is gone, it saves
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(settings::LoadOrganisation(data.db()).inn, "7701");
}
