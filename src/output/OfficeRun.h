#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace output {

class OfficeProcess;

// The office of one run of output (one export, one forms run, one register): a headless
// LibreOffice process started when the first workbook or document is opened, shared by every
// ExcelAccessCore and WordAccessCore made on the run, and stopped when the run object goes.
// Should the office end during the run, the next open starts a new one.
class OfficeRun {
public:
    OfficeRun();
    ~OfficeRun();
    OfficeRun(const OfficeRun&) = delete;
    OfficeRun& operator=(const OfficeRun&) = delete;

    // The running office, started when needed; nullptr, with the reason in `detail`, when it
    // cannot be started. Objects keep only a weak reference: the run decides when it stops.
    std::shared_ptr<OfficeProcess> office(QString* detail);
    // The id of the office process, 0 before the first start or after stop().
    qint64 processId() const;
    // Stops the office now; a later open starts a new one.
    void stop();
    // Called again and again while an office of the run starts (some seconds), so that the
    // windows of the program can be painted and a run be asked to stop meanwhile.
    void setWhileStarting(std::function<void()> whileStarting);

    // Where LibreOffice's programs lie (soffice.bin and the type libraries).
    static QString programFolder();
    // Tests point this elsewhere to play an office that is not installed.
    static void setProgramFolder(const QString& folder);

private:
    std::shared_ptr<OfficeProcess> office_;
    std::function<void()> whileStarting_;
};

}  // namespace output
