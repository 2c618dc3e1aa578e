#include <gtest/gtest.h>
#include <signal.h>

#include "app/Application.h"
#include "gui/FileDialogs.h"
#include "gui/MessageBoxes.h"

// Dialog tests: the program's own application object on the offscreen platform, with
// message boxes and file dialogs scripted for every test. A test queues the answer of every
// box and the name of every file dialog it expects; a box or dialog it did not expect, and
// an answer it queued that nothing asked for, fail it.
namespace {

class ScriptedDialogs : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        gui::MessageBoxes::setScripted(true);
        gui::FileDialogs::setScripted(true);
        gui::MessageBoxes::setUnexpectedHandler([](const QString& box) {
            ADD_FAILURE() << "unexpected message box " << box.toStdString();
        });
        gui::FileDialogs::setUnexpectedHandler([](const QString& dialog) {
            ADD_FAILURE() << "unexpected file dialog " << dialog.toStdString();
        });
    }

    void OnTestEnd(const ::testing::TestInfo&) override {
        EXPECT_EQ(gui::MessageBoxes::pendingAnswers(), 0) << "queued answers were not used";
        EXPECT_EQ(gui::FileDialogs::pendingNames(), 0) << "queued file names were not used";
        gui::MessageBoxes::setScripted(true);
        gui::FileDialogs::setScripted(true);
    }
};

}  // namespace

int main(int argc, char** argv) {
    // As in the program: a write to an office that has died fails instead of ending the test.
    ::signal(SIGPIPE, SIG_IGN);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app::Application application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScriptedDialogs);
    return RUN_ALL_TESTS();
}
