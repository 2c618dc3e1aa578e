#pragma once

#include <QList>
#include <QString>

#include "citizens/CitizenStore.h"
#include "dictionaries/ReferenceLists.h"
#include "output/ApplicationForm.h"
#include "output/OfficeError.h"
#include "output/PaymentRegister.h"

namespace output {

class ExcelAccessCore;
class OfficeRun;
class WordAccessCore;

// The outputs written through the office. Each returns what failed (no error on success); a
// write into a cell that the office refuses while the workbook lives is passed over, as the
// automation calls always were.

// The citizen list in a new workbook: the header and one row per citizen on the first sheet,
// every cell as text, the birth dates' cells B2 to B(N + 1) in the format "ДД.ММ.ГГГГ", the
// widths of columns A to E fitted, printed across the page in its width; saved as `fileName`
// in the Excel 97 format.
OfficeError WriteCitizenListWorkbook(OfficeRun& run, const QString& fileName,
                                     const QList<citizens::IGFormData>& citizens,
                                     const dictionaries::ReferenceLists& lists);

// Writes a citizen's values into the open application template (its worksheet 4), one
// character to a cell, puts the FMS office's name into the line of the text box and saves
// the workbook as `fileName`. The template stays open for the next citizen. False when the
// workbook ended (workbook.error() tells why).
bool FillApplicationWorkbook(ExcelAccessCore& workbook, const QList<FormSlot>& formSlots,
                             const QString& fmsOffice, const QString& fileName);

// Sets the bookmarks "profess", "place" and "fromto" of the open reverse side; a bookmark the
// document lacks is passed over. False when the document ended.
bool FillReverseSideDocument(WordAccessCore& document, const ReverseSideTexts& texts);

// The payment documents register in a new workbook: the merged title in A1:G1, the header
// row in grey and bold, one numbered row per document from row 3, the dates in column C in
// the format "ДД.ММ.ГГГГ", thin borders round every cell of the table and everything centred,
// printed across the page in its width; saved as `fileName`.
OfficeError WritePaymentRegisterWorkbook(OfficeRun& run, const QString& fileName,
                                         const QString& fromText, const QString& toText,
                                         const QList<PPReportUnit>& units);

// The columns of a worksheet that a saved .xls keeps; characters beyond are not written.
inline constexpr int kWorkbookColumns = 256;

}  // namespace output
