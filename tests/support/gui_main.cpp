#include <gtest/gtest.h>

#include "app/Application.h"
#include "gui/FileDialogs.h"
#include "gui/MessageBoxes.h"

// Dialog tests: the program's own application object on the offscreen platform, with
// message boxes and file dialogs scripted for every test.
namespace {

class ScriptedDialogs : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        gui::MessageBoxes::setScripted(true);
        gui::FileDialogs::setScripted(true);
    }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app::Application application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScriptedDialogs);
    return RUN_ALL_TESTS();
}
