#pragma once

#include <QString>

namespace output {

// Why an office object could not do its work. The texts for the user are made from it by
// OfficeErrorText and OfficeStopText; `detail` is for the standard error stream only.
struct OfficeError {
    enum class Kind {
        None,
        // LibreOffice is not installed, or its process did not start or answer.
        OfficeNotStarted,
        WorkbookNotOpened,
        DocumentNotOpened,
        SaveFailed,
        // The office ended, or a call failed, while a file was being made.
        OfficeFailed,
    };
    // Which program the user was waiting for.
    enum class Application { Calc, Writer };

    Kind kind = Kind::None;
    Application application = Application::Calc;
    // The file concerned: the workbook or document being opened, or the file being saved.
    QString file;
    QString detail;

    bool isError() const { return kind != Kind::None; }
};

// The message box text for the failure, naming the office program that is used.
QString OfficeErrorText(const OfficeError& error);
// The message that stops the output, naming the file concerned.
QString OfficeStopText(const OfficeError& error);

}  // namespace output
