#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/FileDialogs.h"
#include "app/MessageBoxes.h"

// Dialog tests: the program's own application object on the offscreen platform, with
// message boxes and file dialogs scripted for every test.
namespace {

class ScriptedDialogs : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        app::MessageBoxes::setScripted(true);
        app::FileDialogs::setScripted(true);
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
