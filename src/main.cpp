#include <signal.h>

#include <QDir>

#include "app/Application.h"
#include "app/Program.h"

int main(int argc, char** argv) {
    // A write to an office that has died fails (and is reported) instead of ending the program.
    ::signal(SIGPIPE, SIG_IGN);
    app::Application application(argc, argv);
    app::Program program(QDir::currentPath());
    if (auto exitCode = program.start())
        return *exitCode;
    return app::Application::exec();
}
