#pragma once

#include "output/OfficeError.h"

class QWidget;

namespace output {

class OfficeRun;

// Tells the user why an office object failed, in two boxes titled "Ошибка" with the error
// icon: what failed ("Ошибка открытия книги LibreOffice Calc!", ...), then that the output
// stops, naming the file. Nothing is shown when there is no error.
void ShowOfficeError(QWidget* parent, const OfficeError& error);

// While an output is made through the office of `run`, the pointer shows that the program is
// busy, and the windows are still painted while the office starts (some seconds); they take
// no input meanwhile.
class OfficeBusy {
public:
    explicit OfficeBusy(OfficeRun& run);
    ~OfficeBusy();
    OfficeBusy(const OfficeBusy&) = delete;
    OfficeBusy& operator=(const OfficeBusy&) = delete;

private:
    OfficeRun& run_;
};

}  // namespace output
