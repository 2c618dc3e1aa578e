#include "OfficeReadBack.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <cmath>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRange.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include "output/OfficeProcess.h"
#include "output/OfficeRun.h"

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using output::uno::ToOUString;
using output::uno::ToQString;

namespace {

QString ColumnName(int column) {
    QString name;
    for (int n = column; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

}  // namespace

OfficeReadBack::OfficeReadBack(output::OfficeRun& run, const QString& path) {
    QString detail;
    const auto office = run.office(&detail);
    if (!office) {
        ADD_FAILURE() << "no office: " << detail.toStdString();
        return;
    }
    try {
        document_ = office->desktop()->loadComponentFromURL(
            output::uno::FileUrl(path), "_blank", 0,
            output::uno::Properties({{"Hidden", Any(true)}, {"ReadOnly", Any(true)}}));
    } catch (const css::uno::Exception& e) {
        ADD_FAILURE() << "cannot read " << path.toStdString() << ": "
                      << output::uno::ExceptionText(e).toStdString();
    }
}

OfficeReadBack::~OfficeReadBack() {
    output::uno::CloseDocument(document_);
}

QString OfficeReadBack::filterName() const {
    const Reference<css::frame::XModel> model(document_, UNO_QUERY_THROW);
    for (const css::beans::PropertyValue& argument : model->getArgs()) {
        if (argument.Name == "FilterName")
            return ToQString(argument.Value.get<rtl::OUString>());
    }
    return {};
}

Reference<css::sheet::XSpreadsheet> OfficeReadBack::sheet(int number) const {
    Reference<css::sheet::XSpreadsheetDocument> workbook(document_, UNO_QUERY_THROW);
    Reference<css::container::XIndexAccess> sheets(workbook->getSheets(), UNO_QUERY_THROW);
    return Reference<css::sheet::XSpreadsheet>(sheets->getByIndex(number - 1), UNO_QUERY_THROW);
}

int OfficeReadBack::sheetCount() const {
    Reference<css::sheet::XSpreadsheetDocument> workbook(document_, UNO_QUERY_THROW);
    return Reference<css::container::XIndexAccess>(workbook->getSheets(), UNO_QUERY_THROW)
        ->getCount();
}

QString OfficeReadBack::sheetName(int number) const {
    return ToQString(Reference<css::container::XNamed>(sheet(number), UNO_QUERY_THROW)->getName());
}

bool OfficeReadBack::sheetVisible(int number) const {
    return Reference<css::beans::XPropertySet>(sheet(number), UNO_QUERY_THROW)
        ->getPropertyValue("IsVisible")
        .get<bool>();
}

Any OfficeReadBack::pageStyleProperty(int number, const char* property) const {
    const rtl::OUString name = Reference<css::beans::XPropertySet>(sheet(number), UNO_QUERY_THROW)
                                   ->getPropertyValue("PageStyle")
                                   .get<rtl::OUString>();
    Reference<css::style::XStyleFamiliesSupplier> families(document_, UNO_QUERY_THROW);
    const Reference<css::container::XNameAccess> styles(
        families->getStyleFamilies()->getByName("PageStyles"), UNO_QUERY_THROW);
    return Reference<css::beans::XPropertySet>(styles->getByName(name), UNO_QUERY_THROW)
        ->getPropertyValue(rtl::OUString::createFromAscii(property));
}

QString OfficeReadBack::rowText(int number, int row, int column, int count) const {
    const Reference<css::table::XCellRange> cells =
        sheet(number)->getCellRangeByPosition(column - 1, row - 1, column + count - 2, row - 1);
    QString text;
    for (int i = 0; i < count; ++i) {
        const QString cell =
            ToQString(Reference<css::text::XText>(cells->getCellByPosition(i, 0), UNO_QUERY_THROW)
                          ->getString());
        text.append(cell.isEmpty() ? QStringLiteral("·") : cell);
    }
    while (text.endsWith(QLatin1Char(' ')) || text.endsWith(u'·'))
        text.chop(1);
    return text;
}

QString OfficeReadBack::cellText(int number, const QString& cell) const {
    const Reference<css::table::XCellRange> range =
        sheet(number)->getCellRangeByName(ToOUString(cell));
    return ToQString(
        Reference<css::text::XText>(range->getCellByPosition(0, 0), UNO_QUERY_THROW)->getString());
}

QString OfficeReadBack::cellText(int number, int row, int column) const {
    return cellText(number, ColumnName(column) + QString::number(row));
}

QString OfficeReadBack::cellFormula(int number, const QString& cell) const {
    const Reference<css::table::XCellRange> range =
        sheet(number)->getCellRangeByName(ToOUString(cell));
    return ToQString(range->getCellByPosition(0, 0)->getFormula());
}

Any OfficeReadBack::cellProperty(int number, const QString& cell, const char* property) const {
    const Reference<css::table::XCellRange> range =
        sheet(number)->getCellRangeByName(ToOUString(cell));
    return Reference<css::beans::XPropertySet>(range->getCellByPosition(0, 0), UNO_QUERY_THROW)
        ->getPropertyValue(rtl::OUString::createFromAscii(property));
}

QString OfficeReadBack::cellFormatCode(int number, const QString& cell) const {
    const sal_Int32 key = cellProperty(number, cell, "NumberFormat").get<sal_Int32>();
    Reference<css::util::XNumberFormatsSupplier> supplier(document_, UNO_QUERY_THROW);
    return ToQString(supplier->getNumberFormats()
                         ->getByKey(key)
                         ->getPropertyValue("FormatString")
                         .get<rtl::OUString>());
}

QString OfficeReadBack::mergedArea(int number, const QString& cell) const {
    const Reference<css::sheet::XSpreadsheet> table = sheet(number);
    Reference<css::sheet::XSheetCellRange> start(table->getCellRangeByName(ToOUString(cell)),
                                                 UNO_QUERY_THROW);
    const Reference<css::sheet::XSheetCellCursor> cursor = table->createCursorByRange(start);
    cursor->collapseToMergedArea();
    const css::table::CellRangeAddress address =
        Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
    const QString first =
        ColumnName(address.StartColumn + 1) + QString::number(address.StartRow + 1);
    const QString last = ColumnName(address.EndColumn + 1) + QString::number(address.EndRow + 1);
    return first == last ? first : first + QLatin1Char(':') + last;
}

double OfficeReadBack::rowHeightPoints(int number, int row) const {
    Reference<css::table::XColumnRowRange> table(sheet(number), UNO_QUERY_THROW);
    const sal_Int32 height =
        Reference<css::beans::XPropertySet>(table->getRows()->getByIndex(row - 1), UNO_QUERY_THROW)
            ->getPropertyValue("Height")
            .get<sal_Int32>();
    return height * 72.0 / 2540.0;
}

int OfficeReadBack::pageRowShowing(int number, const QString& dataCell) const {
    for (int row = 1; row <= 80; ++row) {
        if (cellFormula(number, QStringLiteral("H%1").arg(row)).contains(dataCell + "&"))
            return row;
    }
    return 0;
}

int OfficeReadBack::shapeSheet(const QString& name) const {
    Reference<css::drawing::XDrawPagesSupplier> supplier(document_, UNO_QUERY_THROW);
    const Reference<css::container::XIndexAccess> pages(supplier->getDrawPages(), UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < pages->getCount(); ++i) {
        Reference<css::container::XIndexAccess> shapes(pages->getByIndex(i), UNO_QUERY_THROW);
        for (sal_Int32 j = 0; j < shapes->getCount(); ++j) {
            Reference<css::container::XNamed> named(shapes->getByIndex(j), UNO_QUERY);
            if (named.is() && ToQString(named->getName()) == name)
                return i + 1;
        }
    }
    return 0;
}

Reference<css::text::XText> OfficeReadBack::textBox(const QString& name) const {
    const int number = shapeSheet(name);
    if (number == 0)
        return {};
    Reference<css::drawing::XDrawPagesSupplier> supplier(document_, UNO_QUERY_THROW);
    const Reference<css::container::XIndexAccess> pages(supplier->getDrawPages(), UNO_QUERY_THROW);
    Reference<css::container::XIndexAccess> shapes(pages->getByIndex(number - 1), UNO_QUERY_THROW);
    for (sal_Int32 j = 0; j < shapes->getCount(); ++j) {
        Reference<css::container::XNamed> named(shapes->getByIndex(j), UNO_QUERY);
        if (named.is() && ToQString(named->getName()) == name)
            return Reference<css::text::XText>(named, UNO_QUERY);
    }
    return {};
}

QString OfficeReadBack::textBoxText(const QString& name) const {
    const Reference<css::text::XText> text = textBox(name);
    return text.is() ? ToQString(text->getString()) : QString();
}

QString OfficeReadBack::textBoxUnderlines(const QString& name) const {
    const Reference<css::text::XText> text = textBox(name);
    if (!text.is())
        return {};
    QString marks;
    // Paragraphs, then their portions of equal formatting.
    Reference<css::container::XEnumerationAccess> paragraphs(text, UNO_QUERY_THROW);
    const Reference<css::container::XEnumeration> eachParagraph = paragraphs->createEnumeration();
    bool first = true;
    while (eachParagraph->hasMoreElements()) {
        if (!first)
            marks.append(QLatin1Char('.'));
        first = false;
        Reference<css::container::XEnumerationAccess> portions(eachParagraph->nextElement(),
                                                               UNO_QUERY_THROW);
        const Reference<css::container::XEnumeration> eachPortion = portions->createEnumeration();
        while (eachPortion->hasMoreElements()) {
            Reference<css::text::XTextRange> portion(eachPortion->nextElement(), UNO_QUERY_THROW);
            const sal_Int16 underline =
                Reference<css::beans::XPropertySet>(portion, UNO_QUERY_THROW)
                    ->getPropertyValue("CharUnderline")
                    .get<sal_Int16>();
            const QChar mark = underline != 0 ? QLatin1Char('_') : QLatin1Char('.');
            marks.append(QString(static_cast<int>(ToQString(portion->getString()).size()), mark));
        }
    }
    return marks;
}

QStringList OfficeReadBack::bookmarkNames() const {
    Reference<css::text::XBookmarksSupplier> supplier(document_, UNO_QUERY_THROW);
    QStringList names;
    for (const rtl::OUString& name : supplier->getBookmarks()->getElementNames())
        names.append(ToQString(name));
    return names;
}

QString OfficeReadBack::bookmarkText(const QString& name) const {
    Reference<css::text::XBookmarksSupplier> supplier(document_, UNO_QUERY_THROW);
    const Reference<css::container::XNameAccess> bookmarks = supplier->getBookmarks();
    if (!bookmarks->hasByName(ToOUString(name)))
        return QStringLiteral("<no bookmark>");
    Reference<css::text::XTextContent> bookmark(bookmarks->getByName(ToOUString(name)),
                                                UNO_QUERY_THROW);
    return ToQString(bookmark->getAnchor()->getString());
}

QString OfficeReadBack::documentText() const {
    Reference<css::text::XTextDocument> text(document_, UNO_QUERY_THROW);
    return ToQString(text->getText()->getString());
}
