#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>

#include "app/Application.h"
#include "app/Forms.h"
#include "app/Program.h"
#include "app/StartUpLoading.h"
#include "app/TMainForm.h"
#include "app/TSplashForm.h"
#include "dictionaries/ReferenceLoader.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "storage/Backups.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using gui::MessageBoxes;

namespace {

const char* const kReferenceFiles[] = {
    dictionaries::kCountriesFile,          dictionaries::kProfessionsFile,
    dictionaries::kTerritoriesFile,        dictionaries::kRegionsFile,
    dictionaries::kDistrictsFile,          dictionaries::kPrefixesFile,
    dictionaries::kGenitiveProfessionsFile};
const char* const kTemplates[] = {"template/visaapplication.xls", "template/nonvisaapplication.xls",
                                  "template/revert.doc"};

// A start folder with the small reference files of tests/data and stand-ins for the form
// templates (only their presence is checked at start-up).
void LayOutStartFolder(const TestFolder& folder) {
    for (const char* name : kReferenceFiles)
        folder.copyFixture(QStringLiteral("dictionaries/") + QLatin1String(name));
    for (const char* name : kTemplates)
        folder.write(QLatin1String(name), "template");
}

bool NoListLoaded(const dictionaries::ReferenceLists& lists) {
    return lists.visaFreeCountries.isEmpty() && lists.allCountries.isEmpty() &&
           lists.professions.isEmpty() && lists.territories.isEmpty() && lists.regions.isEmpty() &&
           lists.districts.isEmpty() && lists.professionPrefixes.isEmpty() &&
           lists.genitiveProfessions.isEmpty();
}

class StartUpLoadingTest : public ::testing::Test {
protected:
    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    app::Forms forms{context};
};

}  // namespace

TEST_F(StartUpLoadingTest, SplashWindowIsBorderlessWithTitleAndProgressLine) {
    app::TSplashForm& splash = *forms.SplashForm;
    EXPECT_EQ(splash.objectName(), "SplashForm");
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.findChild<QLabel*>("Label1")->text(), app::ProductTitle());
    EXPECT_EQ(splash.findChild<QLabel*>("Label3")->text(), "загрузка данных...");
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(StartUpLoadingTest, FirstMissingFileIsReportedAloneAndNothingIsLoaded) {
    struct Case {
        QStringList missing;
        const char* message;
    };
    const Case cases[] = {
        {{"countries.xml", "template/revert.doc"},
         "Не найден файл стран 'countries.xml'. Приложение будет закрыто."},
        // The templates after it are not even looked at.
        {{"district.xml", "template/visaapplication.xls", "template/revert.doc"},
         "Не найден файл районов 'district.xml'. Приложение будет закрыто."},
        {{"professions_prefix.xml"},
         "Не найден файл префиксов профессий 'profession_prefix.xml'. Приложение будет "
         "закрыто."},
        {{"professions_case.xml"},
         "Не найден файл родительных падежей профессий 'profession_case.xml'. Приложение будет "
         "закрыто."},
        {{"template/nonvisaapplication.xls"},
         "Не найден файл шаблона заявлений для безвизовых ИГ 'template/nonvisaapplication.xls'. "
         "Приложение будет закрыто."},
        {{"template/revert.doc"},
         "Не найден файл шаблона обратной стороны заявления 'template/revert.doc'. Приложение "
         "будет закрыто."},
    };
    for (const Case& c : cases) {
        TestFolder start;
        LayOutStartFolder(start);
        for (const QString& name : c.missing)
            QFile::remove(start.file(name));
        gui::Context own{start.path(), data.db()};
        app::Forms windows{own};

        MessageBoxes::setNextAnswer(QMessageBox::Ok);
        app::RunStartUpLoading(windows, own);
        const auto shown = MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1) << c.message;
        EXPECT_EQ(shown[0].title, "Системная ошибка");
        EXPECT_EQ(shown[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(shown[0].buttons, QMessageBox::Ok);
        EXPECT_TRUE(NoListLoaded(own.lists)) << c.message;
    }
}

TEST_F(StartUpLoadingTest, AllFilesPresentLoadsTheListsAndHidesTheSplash) {
    LayOutStartFolder(folder);
    EXPECT_TRUE(app::CheckRequiredFiles(folder.path()));

    app::RunStartUpLoading(forms, context);
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());
    EXPECT_EQ(context.lists.allCountries.size(), 5);
    EXPECT_EQ(context.lists.districts.size(), 3);
    EXPECT_EQ(dictionaries::NameById(context.lists.genitiveProfessions, 13450), "маляра");
    // The progress line shows where the loading ended.
    EXPECT_EQ(forms.SplashForm->Label3->text(), "Загрузка падежей профессий...(66% )");
    EXPECT_FALSE(forms.SplashForm->isVisible());
}

TEST_F(StartUpLoadingTest, BadReferenceEntryEndsTheStartWithItsMessage) {
    LayOutStartFolder(folder);
    folder.write("district.xml", "<districts><district id=\"1\" name=\"x\"/></districts>");

    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    app::RunStartUpLoading(forms, context);
    const auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Системная ошибка");
    EXPECT_TRUE(shown[0].text.startsWith("Ошибка в файле справочника 'district.xml': запись № 1"))
        << shown[0].text.toStdString();
    EXPECT_TRUE(NoListLoaded(context.lists));
}

TEST(StartUpLoadingProgram, EmptyFolderShowsTheMainWindowThenEndsAtTheFirstMissingFile) {
    TestFolder folder;
    app::Program program(folder.path());
    ASSERT_EQ(program.start(), std::nullopt);
    EXPECT_TRUE(MessageBoxes::shown().isEmpty());  // nothing before the loop runs

    // The check runs inside the message loop and ends it.
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    EXPECT_EQ(QApplication::exec(), 0);
    const auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, "Не найден файл стран 'countries.xml'. Приложение будет закрыто.");
    EXPECT_TRUE(NoListLoaded(program.context().lists));
}

TEST(StartUpLoadingProgram, ListsAreLoadedAtTheFirstShowing) {
    TestFolder folder;
    LayOutStartFolder(folder);
    app::Program program(folder.path());
    ASSERT_EQ(program.start(), std::nullopt);
    app::TMainForm& main = *program.forms().MainForm;
    // Runs after the program's own handler of the first showing.
    bool visibleAfterLoading = false;
    QObject::connect(&main, &app::TMainForm::firstShown, &main, [&] {
        visibleAfterLoading = main.isVisible() && !program.forms().SplashForm->isVisible();
        QCoreApplication::quit();
    });

    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());
    EXPECT_EQ(program.context().lists.professions.size(), 3);
    EXPECT_EQ(program.context().lists.regions.size(), 3);
    EXPECT_TRUE(visibleAfterLoading);
}

TEST(StartUpLoadingProgram, DailyCopyRunsBehindTheReadyWindowAndItsFailureIsToldOnce) {
    TestFolder folder;
    LayOutStartFolder(folder);
    // A file where the folder of the copies should be: the copy cannot be written.
    folder.write("backup", "not a folder");
    app::Program program(folder.path());
    ASSERT_EQ(program.start(), std::nullopt);
    app::TMainForm& main = *program.forms().MainForm;
    bool copyingBehindTheWindow = false;
    QObject::connect(&main, &app::TMainForm::firstShown, &main, [&] {
        storage::DailyBackup* backup = program.dailyBackup();
        ASSERT_NE(backup, nullptr);
        copyingBehindTheWindow =
            backup->copying() && main.isVisible() && !program.forms().SplashForm->isVisible();
        QObject::connect(backup, &storage::DailyBackup::finished, &main,
                         [] { QCoreApplication::quit(); });
    });

    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(copyingBehindTheWindow);
    const auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Резервная копия базы данных");
    EXPECT_EQ(shown[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(shown[0].text.startsWith(
        QStringLiteral("Не удалось записать резервную копию базы данных в папку «%1»: на месте "
                       "папки находится файл с тем же именем.")
            .arg(folder.file("backup"))))
        << shown[0].text.toStdString();
}
