#pragma once

#include <QString>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/text/XText.hpp>

#include "output/UnoSupport.h"

namespace output {
class OfficeRun;
}

// A saved workbook or document opened read-only in the office of a run, to check what was
// written into it.
class OfficeReadBack {
public:
    OfficeReadBack(output::OfficeRun& run, const QString& path);
    ~OfficeReadBack();
    OfficeReadBack(const OfficeReadBack&) = delete;
    OfficeReadBack& operator=(const OfficeReadBack&) = delete;

    bool isOpen() const { return document_.is(); }
    // The import filter the office chose for the file, which names its format.
    QString filterName() const;

    // Workbooks; sheets from 1, cells in A1 notation.
    int sheetCount() const;
    QString sheetName(int sheet) const;
    bool sheetVisible(int sheet) const;
    // A property of the page style the sheet prints with ("IsLandscape", ...).
    css::uno::Any pageStyleProperty(int sheet, const char* property) const;
    QString cellText(int sheet, const QString& cell) const;
    QString cellText(int sheet, int row, int column) const;
    // The texts of `count` cells of a row from `column` on, joined, with "·" for an empty cell
    // and the blanks and empty cells at the end dropped.
    QString rowText(int sheet, int row, int column, int count) const;
    QString cellFormula(int sheet, const QString& cell) const;
    // The format code of the cell's number format ("@" for text).
    QString cellFormatCode(int sheet, const QString& cell) const;
    css::uno::Any cellProperty(int sheet, const QString& cell, const char* property) const;
    // The merged area the cell lies in ("A1:G1"), or the cell alone.
    QString mergedArea(int sheet, const QString& cell) const;
    double rowHeightPoints(int sheet, int row) const;
    // The row of a printable page of an application form whose first box shows the cell of
    // the data sheet given ("A33"), 0 when none does.
    int pageRowShowing(int sheet, const QString& dataCell) const;
    // The sheet (from 1) that holds the named shape, 0 when none does.
    int shapeSheet(const QString& name) const;
    QString textBoxText(const QString& name) const;
    // For each character of the text box: '_' when underlined, '.' when not.
    QString textBoxUnderlines(const QString& name) const;

    // Documents.
    QStringList bookmarkNames() const;
    QString bookmarkText(const QString& name) const;
    QString documentText() const;

private:
    css::uno::Reference<css::sheet::XSpreadsheet> sheet(int number) const;
    css::uno::Reference<css::text::XText> textBox(const QString& name) const;

    css::uno::Reference<css::lang::XComponent> document_;
};
