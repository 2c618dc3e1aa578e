#pragma once

#include <sys/types.h>

#include <QString>
#include <QTemporaryDir>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <functional>
#include <memory>

#include "output/UnoSupport.h"

namespace output {

// One headless LibreOffice process and the bridge to it. The process runs in its own process
// group with its own profile folder, temporary folder, home folder and pipe name, so that two
// copies of the program, or two tests, never meet in one office. It needs no display. It is
// stopped when the object goes, killed when this program ends (also by a crash or a kill),
// and reaped when it crashes itself. Offices are started from the user-interface thread: the
// kernel kills an office when the thread that started it ends.
class OfficeProcess {
public:
    // Starts the office of `programFolder` (where soffice.bin lies) and waits until it
    // answers; nullptr, with the reason in `detail`, when it cannot be started. `whileWaiting`
    // (may be empty) is called between the attempts to reach it.
    static std::unique_ptr<OfficeProcess> start(const QString& programFolder, QString* detail,
                                                const std::function<void()>& whileWaiting = {});

    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    const css::uno::Reference<css::frame::XDesktop2>& desktop() const { return desktop_; }
    const css::uno::Reference<css::uno::XComponentContext>& context() const { return context_; }
    pid_t processId() const { return pid_; }
    // The folder that holds the profile and temporary folders of this office.
    QString folder() const { return folder_.path(); }

    // False once the process has ended (it is then reaped).
    bool isRunning();
    // Asks the office to end, waits a while, then kills it. Idempotent.
    void stop();

private:
    explicit OfficeProcess(const QString& folderTemplate);
    bool spawn(const QString& program, QString* detail);
    bool connect(const css::uno::Reference<css::uno::XComponentContext>& local,
                 const QString& program, QString* detail,
                 const std::function<void()>& whileWaiting);
    void reap();

    QTemporaryDir folder_;
    QString pipeName_;
    pid_t pid_ = 0;
    bool ended_ = false;
    int exitCode_ = 0;
    css::uno::Reference<css::uno::XComponentContext> context_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
};

}  // namespace output
