#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    // As in the program: a write to an office that has died fails instead of ending the test.
    ::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
