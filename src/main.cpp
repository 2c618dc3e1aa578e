#include <QDir>

#include "app/Application.h"
#include "app/Program.h"

int main(int argc, char** argv) {
    app::Application application(argc, argv);
    app::Program program(QDir::currentPath());
    if (auto exitCode = program.start())
        return *exitCode;
    return app::Application::exec();
}
