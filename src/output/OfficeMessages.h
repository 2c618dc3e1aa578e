#pragma once

#include "output/OfficeError.h"

class QWidget;

namespace output {

// Tells the user why an office object failed, in two boxes titled "Ошибка" with the error
// icon: what failed ("Ошибка открытия книги LibreOffice Calc!", ...), then that the output
// stops, naming the file. Nothing is shown when there is no error.
void ShowOfficeError(QWidget* parent, const OfficeError& error);

}  // namespace output
