// Starts an office for a run that is never ended, prints the office's process id and its
// folder, then waits: killed, or told "exit" on its input (it then leaves through exit(), past
// the run). The office must not outlive it either way.

#include <signal.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "output/OfficeProcess.h"
#include "output/OfficeRun.h"
#include "output/WordAccessCore.h"

int main(int argc, char** argv) {
    ::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);
    auto* run = new output::OfficeRun;
    auto* word = new output::WordAccessCore(*run);
    if (!word->open({}))
        return 1;
    QString detail;
    std::printf("%lld %s\n", static_cast<long long>(run->processId()),
                qUtf8Printable(run->office(&detail)->folder()));
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    std::exit(line == "exit" ? 0 : 1);
}
