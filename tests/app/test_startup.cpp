#include <gtest/gtest.h>

#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/Application.h"
#include "app/Forms.h"
#include "app/Program.h"
#include "app/TMainForm.h"
#include "gui/MessageBoxes.h"
#include "storage/Database.h"
#include "storage/Options.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using gui::MessageBoxes;

TEST(StartUp, EmptyFolderGetsADatabaseAndTheMainWindow) {
    TestFolder folder;
    app::Program program(folder.path());
    EXPECT_EQ(program.start(), std::nullopt);
    EXPECT_TRUE(MessageBoxes::shown().isEmpty());
    EXPECT_EQ(storage::GetOption(program.connector().db(), "DATABASE_VERSION"), "2");
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Вельтар\u00A0Ортис"));
    const app::TMainForm& main = *program.forms().MainForm;
    EXPECT_TRUE(main.isVisible());
    // A strip of the menu bar's height across the whole screen.
    EXPECT_EQ(main.height(), main.MainMenu1->sizeHint().height());
    EXPECT_EQ(main.width(), main.screen()->availableGeometry().width());
}

TEST(StartUp, SecondCopyIsTurnedAwayWithExitCodeZero) {
    TestFolder folder;
    TestDatabase first(folder.path());

    app::Program second(folder.path());
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    EXPECT_EQ(second.start(), 0);
    const auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Ошибка базы данных");
    EXPECT_EQ(shown[0].text,
              "Файл базы данных используется другим приложением.\n"
              "Закройте его и перезапутите данное приложение.");
    EXPECT_EQ(shown[0].buttons, QMessageBox::Ok);

    storage::SetOption(first.db(), "FMSMEMBER", "работает");
    EXPECT_EQ(storage::GetOption(first.db(), "FMSMEMBER"), "работает");
}

TEST(StartUp, UnreadableDatabaseEndsTheProgramWithItsMessage) {
    TestFolder folder;
    folder.write("igdb.dat", "garbage");
    app::Program program(folder.path());
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    EXPECT_EQ(program.start(), 1);
    const auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(shown[0].text.contains(folder.file("igdb.dat")));
    EXPECT_EQ(folder.read("igdb.dat"), "garbage");
}

TEST(StartUp, FileOfTheEarlierProgramIsConvertedAndTheUserToldOnce) {
    TestFolder folder;
    folder.copyFixture("legacy/case_names.dat", "igdb.dat");
    {
        app::Program program(folder.path());
        MessageBoxes::setNextAnswer(QMessageBox::Ok);
        EXPECT_EQ(program.start(), std::nullopt);
        const auto shown = MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].icon, QMessageBox::Information);
        EXPECT_EQ(shown[0].title, "Преобразование базы данных");
        EXPECT_TRUE(shown[0].text.contains(folder.file("igdb_legacy_backup.dat")));
        EXPECT_TRUE(program.forms().MainForm->isVisible());
    }
    app::Program again(folder.path());
    EXPECT_EQ(again.start(), std::nullopt);
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());
}

TEST(StartUp, ExceptionEscapingAUserActionIsReportedAndTheProgramGoesOn) {
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked, [] { throw std::runtime_error("boom"); });
    button.show();
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(&button, Qt::LeftButton);

    const auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Системная ошибка");
    EXPECT_EQ(shown[0].text, "Произошла внутренняя ошибка приложения");
    EXPECT_EQ(shown[0].buttons, QMessageBox::Ok);

    // Events keep flowing afterwards.
    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    QTest::qWait(20);
    EXPECT_TRUE(later);
}

TEST(StartUp, DatabaseErrorEscapingAUserActionSaysWhatTheDatabaseMet) {
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked, [] {
        throw storage::DatabaseError("database is locked", 5, QStringLiteral("/data/igdb.dat"));
    });
    button.show();
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(&button, Qt::LeftButton);
    const auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Ошибка базы данных");
    EXPECT_EQ(shown[0].text,
              "Ошибка базы данных «/data/igdb.dat»: файл используется другой программой.");
}

TEST(StartUp, ExceptionFromATimerIsCaughtToo) {
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTimer::singleShot(0, [] { throw std::logic_error("late"); });
    QTest::qWait(20);
    EXPECT_EQ(MessageBoxes::takeShown().size(), 1);
}
