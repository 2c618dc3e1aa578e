#include "output/OfficeOutputs.h"

#include <QStringList>

#include "output/CitizenList.h"
#include "output/ExcelAccessCore.h"
#include "output/WordAccessCore.h"

namespace output {

namespace {

const QString kDateFormat = QStringLiteral("ДД.ММ.ГГГГ");

// The characters of a text, one to a cell (a character outside the 16-bit range stays whole),
// as many as fit from `column` to the last column of the sheet.
QStringList Characters(const QString& text, int column) {
    QStringList cells;
    const qsizetype room = kWorkbookColumns - column + 1;
    for (qsizetype i = 0; i < text.size() && cells.size() < room; ++i) {
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        cells.append(text.mid(i, pair ? 2 : 1));
        if (pair)
            ++i;
    }
    return cells;
}

// The workbook saved and closed; what failed, if anything.
OfficeError SaveAndClose(ExcelAccessCore& excel, const QString& fileName) {
    if (!excel.isOpen() || !excel.saveAs(fileName))
        return excel.error();
    excel.close();
    return {};
}

QString Cell(const char* column, qsizetype row) {
    return QLatin1String(column) + QString::number(row);
}

}  // namespace

OfficeError WriteCitizenListWorkbook(OfficeRun& run, const QString& fileName,
                                     const QList<citizens::IGFormData>& citizens,
                                     const dictionaries::ReferenceLists& lists) {
    ExcelAccessCore excel(run);
    if (!excel.open({}, 1))
        return excel.error();
    excel.setCells(1, 1, CitizenListRows(citizens, lists));
    excel.fitToPageWidth(true);
    if (!citizens.isEmpty())
        excel.setNumberFormat(QStringLiteral("B2"), Cell("B", citizens.size() + 1), kDateFormat);
    return SaveAndClose(excel, fileName);
}

bool FillApplicationWorkbook(ExcelAccessCore& workbook, const QList<FormSlot>& formSlots,
                             const QString& fmsOffice, const QString& fileName) {
    for (const FormSlot& slot : formSlots) {
        const QStringList cells = Characters(slot.text, slot.column);
        if (!cells.isEmpty())
            workbook.setCells(slot.row, slot.column, {cells});
    }
    const QString shape = QString::fromLatin1(kFmsTextBox);
    workbook.setTextBoxCharacters(shape, kFmsLineStart, kFmsLineReplaced, FmsOfficeLine(fmsOffice));
    workbook.underlineTextBoxCharacters(shape, kFmsLineStart, kFmsLineUnderlined);
    return workbook.isOpen() && workbook.saveAs(fileName);
}

bool FillReverseSideDocument(WordAccessCore& document, const ReverseSideTexts& texts) {
    document.setBookmark(QString::fromLatin1(kProfessionBookmark), texts.profession);
    document.setBookmark(QString::fromLatin1(kPlaceBookmark), texts.place);
    document.setBookmark(QString::fromLatin1(kPeriodBookmark), texts.period);
    return document.isOpen();
}

OfficeError WritePaymentRegisterWorkbook(OfficeRun& run, const QString& fileName,
                                         const QString& fromText, const QString& toText,
                                         const QList<PPReportUnit>& units) {
    ExcelAccessCore excel(run);
    if (!excel.open({}, 1))
        return excel.error();
    const qsizetype last = units.size() + 2;
    const QString a1 = QStringLiteral("A1");
    const QString a2 = QStringLiteral("A2");
    excel.mergeCells(a1, QStringLiteral("G1"));
    excel.setInteriorColorIndex(a2, QStringLiteral("G2"), 48);
    excel.setBold(a2, QStringLiteral("G2"));
    excel.setRowHeight(1, 30);
    excel.setRowHeight(2, 30);
    excel.setCell(1, 1, PaymentRegisterTitle(fromText, toText));
    excel.setCells(2, 1, PaymentRegisterRows(units));
    if (!units.isEmpty())
        excel.setNumberFormat(QStringLiteral("C3"), Cell("C", last), kDateFormat);
    excel.setBorderLineStyle(a2, Cell("G", last), 1);
    excel.setHorizontalAlignment(a1, Cell("G", last), 3);
    excel.setVerticalAlignment(a1, Cell("G", last), 2);
    excel.fitToPageWidth(true);
    return SaveAndClose(excel, fileName);
}

}  // namespace output
