#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/Forms.h"
#include "app/TMainForm.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "output/TDocumentsFillStatusForm.h"
#include "output/TReportReestrPP.h"
#include "permits/PackageStore.h"
#include "permits/TIGPkgSearchForm.h"
#include "permits/TPackageEditForm.h"
#include "settings/OrganisationStore.h"
#include "settings/TFMSMemberForm.h"
#include "settings/TOptionOrganizationForm.h"
#include "settings/TOptionRegionForm.h"
#include "settings/TSettingsForm.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

namespace {

class MainFormTest : public ::testing::Test {
protected:
    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    app::Forms forms{context};
    app::TMainForm& form = *forms.MainForm;

    QAction* item(const char* name) {
        auto* action = form.findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
};

}  // namespace

TEST_F(MainFormTest, CaptionAndRightToLeftOnTheWindowOnly) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Вельтар\u00A0Ортис"));
    EXPECT_EQ(form.objectName(), "MainForm");
    EXPECT_EQ(form.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(QApplication::layoutDirection(), Qt::LeftToRight);
}

TEST_F(MainFormTest, MenuInDisplayOrderWithFourItemsHidden) {
    struct Item {
        const char* name;
        const char* caption;
        bool visible;
    };
    const Item items[] = {
        {"N6", "Добавить", true},
        {"fdgdfg1", "Добавить ИГ (безвизовые)", true},
        {"N10", "Добавить ИГ (визовые)", true},
        {"N13", "Добавить пакет ИГ", false},
        {"N7", "Добавить РНП ИРС", true},
        {"N1", "Поиск", true},
        {"N8", "Поиск по ИГ", true},
        {"N9", "Поиск по РНП ИРС", true},
        {"N14", "Поиск по пакету ИГ", false},
        {"N4", "Администрирование", true},
        {"N5", "Данные об организации и доверенном лице", true},
        {"N2", "Регион", true},
        {"N16", "Орган ФМС", true},
        {"N17", "Настройки", true},
        {"N11", "Отчеты", false},
        {"N15", "Реестр ПД", false},
        {"N12", "Справка", true},
        {"N3", "Выход", true},
    };
    // Walk the menu bar as it displays.
    QStringList order;
    for (QAction* top : form.MainMenu1->actions()) {
        order << top->objectName();
        if (top->menu()) {
            for (QAction* sub : top->menu()->actions())
                order << sub->objectName();
        }
    }
    QStringList expected;
    for (const Item& entry : items) {
        expected << QString::fromLatin1(entry.name);
        QAction* action = item(entry.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QString::fromUtf8(entry.caption)) << entry.name;
        EXPECT_EQ(action->isVisible(), entry.visible) << entry.name;
    }
    EXPECT_EQ(order, expected);
}

TEST_F(MainFormTest, ExitEndsTheMessageLoop) {
    form.show();
    QTimer::singleShot(0, [&] { item("N3")->trigger(); });
    // A loop that does not end would hang here; the test's time limit catches it.
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(MainFormTest, FirstShowingIsAnnouncedOnceInsideTheLoop) {
    int announced = 0;
    QObject::connect(&form, &app::TMainForm::firstShown, [&] { ++announced; });
    form.show();
    EXPECT_EQ(announced, 0);
    QCoreApplication::processEvents();
    form.hide();
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(announced, 1);
}

TEST_F(MainFormTest, VisaCitizensAreRefusedForATrustedPersonOnly) {
    item("N10")->trigger();
    EXPECT_TRUE(gui::MessageBoxes::takeShown().isEmpty());  // no organisation counts as type 1

    settings::OrgFormData trusted;
    trusted.type = settings::kTrustedPerson;
    settings::SaveOrganisation(data.db(), trusted);
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    item("N10")->trigger();
    const auto shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Ошибка!!!");
    EXPECT_EQ(
        shown[0].text,
        "В настойках установлена работа с доверенными лицом.\n\tОформление визовых невозможно.");
    EXPECT_EQ(shown[0].buttons, QMessageBox::Ok);
}

TEST_F(MainFormTest, AdministrationCommandsShowTheirDialogsModeless) {
    form.show();
    const std::pair<const char*, QWidget*> commands[] = {
        {"N5", forms.OptionOrganizationForm},
        {"N2", forms.OptionRegionForm},
        {"N16", forms.FMSMemberForm},
        {"N17", forms.SettingsForm},
    };
    for (const auto& [name, dialog] : commands) {
        item(name)->trigger();
        EXPECT_TRUE(dialog->isVisible()) << name;
        EXPECT_FALSE(dialog->isModal()) << name;
        // The main window reads from the right; its dialogs do not.
        EXPECT_EQ(dialog->layoutDirection(), Qt::LeftToRight) << name;
        dialog->close();
        EXPECT_FALSE(dialog->isVisible()) << name;
    }
}

TEST_F(MainFormTest, HelpItemOpensTheFirstPageOfTheManual) {
    help_testing::CopyManual(folder);
    item("N12")->trigger();
    EXPECT_EQ(help_testing::ShownHelpPage(), "/about.htm");
    help_testing::CloseHelpWindow();
}

// Both items stay hidden in the menu; their commands work all the same.
TEST_F(MainFormTest, PackageCommandsOpenTheEntryInAddModeAndTheSearchOnce) {
    form.show();
    forms.PackageEditForm->Memo2->setPlainText("осталось от прошлого раза");
    item("N13")->trigger();
    EXPECT_TRUE(forms.PackageEditForm->isVisible());
    EXPECT_FALSE(forms.PackageEditForm->IsEditing());
    EXPECT_EQ(forms.PackageEditForm->Memo2->toPlainText(), "");

    permits::IGPackageFormData package;
    package.number = "0001";
    permits::InsertPackage(data.db(), package, 1);
    item("N14")->trigger();
    EXPECT_TRUE(forms.IGPkgSearchForm->isVisible());
    QTest::mouseClick(forms.IGPkgSearchForm->Button1, Qt::LeftButton);
    EXPECT_EQ(forms.IGPkgSearchForm->FoundCount(), 1);
    item("N14")->trigger();  // already shown: its results stay
    EXPECT_EQ(forms.IGPkgSearchForm->FoundCount(), 1);
    EXPECT_EQ(forms.PackageEditForm->layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(forms.IGPkgSearchForm->layoutDirection(), Qt::LeftToRight);
}

TEST_F(MainFormTest, HiddenRegisterCommandShowsTheRegisterModally) {
    form.show();
    QWidget* shownModal = nullptr;
    QTimer::singleShot(0, [&] {
        shownModal = QApplication::activeModalWidget();
        forms.ReportReestrPP->Button2->click();
    });
    item("N15")->trigger();
    EXPECT_EQ(shownModal, forms.ReportReestrPP);
    EXPECT_EQ(forms.ReportReestrPP->objectName(), "ReportReestrPP");
    EXPECT_EQ(forms.ReportReestrPP->parentWidget(), &form);
    EXPECT_FALSE(forms.ReportReestrPP->isVisible());
    // The progress window of the forms is there, shown only during a run.
    ASSERT_NE(forms.DocumentsFillStatusForm, nullptr);
    EXPECT_EQ(forms.DocumentsFillStatusForm->parentWidget(), &form);
    EXPECT_FALSE(forms.DocumentsFillStatusForm->isVisible());
}
