#include "output/OfficeRun.h"

#include "output/OfficeProcess.h"

namespace output {

namespace {

QString& ProgramFolderSetting() {
    static QString folder = QStringLiteral(VELTAR_OFFICE_PROGRAM_DIR);
    return folder;
}

}  // namespace

OfficeRun::OfficeRun() = default;

OfficeRun::~OfficeRun() {
    stop();
}

std::shared_ptr<OfficeProcess> OfficeRun::office(QString* detail) {
    if (office_ && !office_->isRunning())
        stop();
    if (!office_)
        office_ = OfficeProcess::start(programFolder(), detail, whileStarting_);
    return office_;
}

qint64 OfficeRun::processId() const {
    return office_ ? office_->processId() : 0;
}

void OfficeRun::stop() {
    if (office_)
        office_->stop();
    office_.reset();
}

void OfficeRun::setWhileStarting(std::function<void()> whileStarting) {
    whileStarting_ = std::move(whileStarting);
}

QString OfficeRun::programFolder() {
    return ProgramFolderSetting();
}

void OfficeRun::setProgramFolder(const QString& folder) {
    ProgramFolderSetting() = folder;
}

}  // namespace output
