#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

#include "output/OfficeError.h"

namespace output {

class OfficeRun;

// One workbook in the office of a run, with one working worksheet: cells written as text,
// ranges formatted, a text box filled, the workbook saved in the Excel 97 format (.xls).
//
// Every operation returns false when it fails. A workbook that cannot be opened or saved, or
// an office that went away, ends the object: error() tells why, and every later call fails
// at once without reaching the office. A failed write into a cell of a live workbook (a cell
// outside the sheet) leaves the object usable.
//
// Cells are numbered from 1. Ranges are given by their corner cells in A1 notation.
class ExcelAccessCore {
public:
    explicit ExcelAccessCore(OfficeRun& run);
    ~ExcelAccessCore();
    ExcelAccessCore(const ExcelAccessCore&) = delete;
    ExcelAccessCore& operator=(const ExcelAccessCore&) = delete;

    // Opens the workbook `path` as a template (the file itself is never changed), or a new
    // workbook when the path is empty, and makes worksheet `sheet` (from 1) the working one.
    bool open(const QString& path, int sheet);
    bool isOpen() const;
    const OfficeError& error() const;

    // The text number format first, then the text: the office keeps "007" as it is.
    bool setCell(int row, int column, const QString& text);
    // The same for a block of cells in one call, `rows` from (row, column) down and to the
    // right; every row of the block has the same number of cells. Writing many cells this way
    // costs microseconds per cell instead of more than a millisecond.
    bool setCells(int row, int column, const QList<QStringList>& rows);

    bool mergeCells(const QString& from, const QString& to);
    // A colour of the 56-colour palette of Excel workbooks (48 is 40 % grey).
    bool setInteriorColorIndex(const QString& from, const QString& to, int colorIndex);
    bool setBold(const QString& from, const QString& to);
    // A number format code; the Russian date letters (ДД.ММ.ГГГГ) are understood.
    bool setNumberFormat(const QString& from, const QString& to, const QString& format);
    // Every edge and inner line of the range: 1 continuous, -4115 dashes, -4118 dots,
    // 4 dash-dot, 5 dash-dot-dot, -4119 double, 13 slanted dash-dot, -4142 none.
    bool setBorderLineStyle(const QString& from, const QString& to, int lineStyle);
    // 1 general, 2 left, 3 centre, 4 right, 5 fill, 6 justify, 7 centre across selection,
    // 8 distributed; the named constants (-4131 left, -4108 centre, -4152 right, ...) too.
    bool setHorizontalAlignment(const QString& from, const QString& to, int code);
    // 1 top, 2 centre, 3 bottom, 4 justify, 5 distributed; -4160 top, -4108 centre,
    // -4107 bottom, -4130 justify, -4117 distributed too.
    bool setVerticalAlignment(const QString& from, const QString& to, int code);
    bool setRowHeight(int row, double points);
    // How the working sheet prints: across the page (landscape) or down it, its columns
    // scaled to the width of one page, as many pages down as the rows need, without header
    // and footer.
    bool fitToPageWidth(bool landscape);

    // The characters `start` (from 1) to start + length - 1 of the text box named `shape` (on
    // any worksheet) are replaced by `text`, or underlined. A range beyond the end of the
    // text stops at the end.
    bool setTextBoxCharacters(const QString& shape, int start, int length, const QString& text);
    bool underlineTextBoxCharacters(const QString& shape, int start, int length);

    // Fits the widths of columns A to E of the working sheet, then writes the whole workbook
    // to `fileName` in the Excel 97 format, replacing an existing file without asking. A
    // failed save closes the workbook.
    bool saveAs(const QString& fileName);
    // Closes the workbook without saving; the office itself stays for the rest of the run.
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace output
