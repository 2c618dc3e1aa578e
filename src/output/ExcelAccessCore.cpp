#include "output/ExcelAccessCore.h"

#include <array>
#include <cmath>
#include <com/sun/star/awt/FontUnderline.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>
#include <com/sun/star/table/TableBorder2.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <optional>

#include "output/OfficeDocument.h"

namespace output {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

// The default palette of Excel 97 workbooks: colour index 1 to 56 as RGB.
constexpr std::array<sal_Int32, 56> kPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};
constexpr int kNoColour = -4142;

// Alignment codes as the spreadsheet automation understands them: the small codes of its
// macro language and the named constants.
std::optional<css::table::CellHoriJustify> HorizontalJustify(int code) {
    switch (code) {
        case 1:
            return css::table::CellHoriJustify_STANDARD;
        case 2:
        case -4131:
            return css::table::CellHoriJustify_LEFT;
        case 3:
        case 7:  // centre across the selection: the office centres in the cell
        case -4108:
            return css::table::CellHoriJustify_CENTER;
        case 4:
        case -4152:
            return css::table::CellHoriJustify_RIGHT;
        case 5:
            return css::table::CellHoriJustify_REPEAT;
        case 6:
        case 8:
        case -4130:
        case -4117:
            return css::table::CellHoriJustify_BLOCK;
        default:
            return std::nullopt;
    }
}

std::optional<sal_Int32> VerticalJustify(int code) {
    namespace Vert = css::table::CellVertJustify2;
    switch (code) {
        case 1:
        case -4160:
            return Vert::TOP;
        case 2:
        case -4108:
            return Vert::CENTER;
        case 3:
        case -4107:
            return Vert::BOTTOM;
        case 4:
        case 5:
        case -4130:
        case -4117:
            return Vert::BLOCK;
        default:
            return std::nullopt;
    }
}

// A thin line (0.26 mm, the thin border of Excel files) of the given line style code.
std::optional<css::table::BorderLine2> BorderLine(int lineStyle) {
    namespace Style = css::table::BorderLineStyle;
    css::table::BorderLine2 line;
    line.LineWidth = 26;
    line.OuterLineWidth = 26;
    switch (lineStyle) {
        case 1:
            line.LineStyle = Style::SOLID;
            break;
        case -4115:
            line.LineStyle = Style::DASHED;
            break;
        case -4118:
            line.LineStyle = Style::DOTTED;
            break;
        case 4:
        case 13:
            line.LineStyle = Style::DASH_DOT;
            break;
        case 5:
            line.LineStyle = Style::DASH_DOT_DOT;
            break;
        case -4119:
            line.LineStyle = Style::DOUBLE;
            line.LineWidth = 79;
            break;
        case -4142:
            line = css::table::BorderLine2();
            line.LineStyle = Style::NONE;
            break;
        default:
            return std::nullopt;
    }
    return line;
}

// Number format codes may use the Russian date letters; the office reads the English ones.
QString EnglishFormatCode(const QString& code) {
    QString english;
    bool quoted = false;
    for (const QChar ch : code) {
        if (ch == QLatin1Char('"'))
            quoted = !quoted;
        QChar out = ch;
        if (!quoted) {
            switch (ch.toUpper().unicode()) {
                case u'Д':
                    out = QLatin1Char('D');
                    break;
                case u'М':
                    out = QLatin1Char('M');
                    break;
                case u'Г':
                    out = QLatin1Char('Y');
                    break;
                case u'Ч':
                    out = QLatin1Char('h');
                    break;
                case u'С':
                    out = QLatin1Char('s');
                    break;
                default:
                    break;
            }
        }
        english.append(out);
    }
    return english;
}

}  // namespace

struct ExcelAccessCore::Impl {
    explicit Impl(OfficeRun& run) : document(run, OfficeError::Application::Calc) {}

    Reference<css::table::XCellRange> range(const QString& from, const QString& to) const {
        return sheet->getCellRangeByName(uno::ToOUString(from + QLatin1Char(':') + to));
    }
    Reference<css::beans::XPropertySet> rangeProperties(const QString& from,
                                                        const QString& to) const {
        return Reference<css::beans::XPropertySet>(range(from, to), UNO_QUERY_THROW);
    }
    sal_Int32 formatKey(const QString& code, const css::lang::Locale& locale) const;
    sal_Int32 textFormat() {
        if (textFormatKey < 0)
            textFormatKey = formatKey(QStringLiteral("@"), css::lang::Locale());
        return textFormatKey;
    }
    // The text of the named shape on any sheet: a hidden workbook does not know which sheet
    // was active when it was saved.
    Reference<css::text::XText> textBox(const QString& name) const;
    // A cursor over the characters start to start + length - 1 of the text box.
    Reference<css::text::XTextCursor> characters(const QString& shape, int start, int length) const;

    bool open(const QString& path, int sheetNumber);

    OfficeDocument document;
    Reference<css::sheet::XSpreadsheetDocument> workbook;
    Reference<css::sheet::XSpreadsheet> sheet;
    sal_Int32 textFormatKey = -1;
};

sal_Int32 ExcelAccessCore::Impl::formatKey(const QString& code,
                                           const css::lang::Locale& locale) const {
    Reference<css::util::XNumberFormatsSupplier> supplier(workbook, UNO_QUERY_THROW);
    const Reference<css::util::XNumberFormats> formats = supplier->getNumberFormats();
    const rtl::OUString text = uno::ToOUString(code);
    const sal_Int32 key = formats->queryKey(text, locale, false);
    return key >= 0 ? key : formats->addNew(text, locale);
}

Reference<css::text::XText> ExcelAccessCore::Impl::textBox(const QString& name) const {
    const rtl::OUString wanted = uno::ToOUString(name);
    Reference<css::drawing::XDrawPagesSupplier> supplier(workbook, UNO_QUERY_THROW);
    // One drawing page per sheet.
    const Reference<css::container::XIndexAccess> pages(supplier->getDrawPages(), UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < pages->getCount(); ++i) {
        Reference<css::container::XIndexAccess> shapes(pages->getByIndex(i), UNO_QUERY_THROW);
        for (sal_Int32 j = 0; j < shapes->getCount(); ++j) {
            Reference<css::container::XNamed> named(shapes->getByIndex(j), UNO_QUERY);
            if (named.is() && named->getName() == wanted)
                return Reference<css::text::XText>(named, UNO_QUERY);
        }
    }
    return {};
}

Reference<css::text::XTextCursor> ExcelAccessCore::Impl::characters(const QString& shape, int start,
                                                                    int length) const {
    const Reference<css::text::XText> text = textBox(shape);
    if (!text.is() || start < 1 || length < 0)
        return {};
    const Reference<css::text::XTextCursor> cursor = text->createTextCursor();
    cursor->gotoStart(false);
    // Moves of more than the text has stop at its end.
    cursor->goRight(static_cast<sal_Int16>(std::min(start - 1, 0x7FFF)), false);
    cursor->goRight(static_cast<sal_Int16>(std::min(length, 0x7FFF)), true);
    return cursor;
}

bool ExcelAccessCore::Impl::open(const QString& path, int sheetNumber) {
    if (!document.load(path, "private:factory/scalc"))
        return false;
    const OfficeError::Kind notOpened = OfficeError::Kind::WorkbookNotOpened;
    workbook.set(document.component(), UNO_QUERY);
    if (!workbook.is())
        return document.fail(notOpened, path, QStringLiteral("not a spreadsheet"));
    try {
        Reference<css::container::XIndexAccess> sheets(workbook->getSheets(), UNO_QUERY_THROW);
        if (sheetNumber < 1 || sheetNumber > sheets->getCount())
            return document.fail(notOpened, path,
                                 QStringLiteral("no worksheet %1").arg(sheetNumber));
        sheet.set(sheets->getByIndex(sheetNumber - 1), UNO_QUERY_THROW);
    } catch (const css::uno::Exception& e) {
        return document.fail(notOpened, path, uno::ExceptionText(e));
    }
    return true;
}

ExcelAccessCore::ExcelAccessCore(OfficeRun& run) : impl_(std::make_unique<Impl>(run)) {}

ExcelAccessCore::~ExcelAccessCore() = default;

bool ExcelAccessCore::open(const QString& path, int sheet) {
    close();
    if (impl_->open(path, sheet))
        return true;
    close();
    return false;
}

bool ExcelAccessCore::isOpen() const {
    return impl_->document.isOpen();
}

const OfficeError& ExcelAccessCore::error() const {
    return impl_->document.error();
}

bool ExcelAccessCore::setCell(int row, int column, const QString& text) {
    if (row < 1 || column < 1)
        return false;
    return impl_->document.guard([&] {
        const Reference<css::table::XCell> cell =
            impl_->sheet->getCellByPosition(column - 1, row - 1);
        Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)
            ->setPropertyValue("NumberFormat", Any(impl_->textFormat()));
        Reference<css::text::XText>(cell, UNO_QUERY_THROW)->setString(uno::ToOUString(text));
    });
}

bool ExcelAccessCore::setCells(int row, int column, const QList<QStringList>& rows) {
    if (row < 1 || column < 1 || rows.isEmpty() || rows.first().isEmpty())
        return false;
    const qsizetype width = rows.first().size();
    css::uno::Sequence<css::uno::Sequence<Any>> data(static_cast<sal_Int32>(rows.size()));
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (rows[r].size() != width)
            return false;
        css::uno::Sequence<Any> values(static_cast<sal_Int32>(width));
        for (qsizetype c = 0; c < width; ++c)
            values[static_cast<sal_Int32>(c)] <<= uno::ToOUString(rows[r][c]);
        data[static_cast<sal_Int32>(r)] = values;
    }
    return impl_->document.guard([&] {
        const Reference<css::table::XCellRange> range = impl_->sheet->getCellRangeByPosition(
            column - 1, row - 1, column - 1 + static_cast<sal_Int32>(width) - 1,
            row - 1 + static_cast<sal_Int32>(rows.size()) - 1);
        Reference<css::beans::XPropertySet>(range, UNO_QUERY_THROW)
            ->setPropertyValue("NumberFormat", Any(impl_->textFormat()));
        Reference<css::sheet::XCellRangeData>(range, UNO_QUERY_THROW)->setDataArray(data);
    });
}

bool ExcelAccessCore::mergeCells(const QString& from, const QString& to) {
    return impl_->document.guard([&] {
        Reference<css::util::XMergeable>(impl_->range(from, to), UNO_QUERY_THROW)->merge(true);
    });
}

bool ExcelAccessCore::setInteriorColorIndex(const QString& from, const QString& to,
                                            int colorIndex) {
    const bool none = colorIndex == kNoColour;
    if (!none && (colorIndex < 1 || colorIndex > static_cast<int>(kPalette.size())))
        return false;
    return impl_->document.guard([&] {
        const Reference<css::beans::XPropertySet> properties = impl_->rangeProperties(from, to);
        properties->setPropertyValue("IsCellBackgroundTransparent", Any(none));
        if (!none)
            properties->setPropertyValue("CellBackColor",
                                         Any(kPalette[static_cast<size_t>(colorIndex - 1)]));
    });
}

bool ExcelAccessCore::setBold(const QString& from, const QString& to) {
    return impl_->document.guard([&] {
        impl_->rangeProperties(from, to)->setPropertyValue("CharWeight",
                                                           Any(css::awt::FontWeight::BOLD));
    });
}

bool ExcelAccessCore::setNumberFormat(const QString& from, const QString& to,
                                      const QString& format) {
    return impl_->document.guard([&] {
        const sal_Int32 key =
            impl_->formatKey(EnglishFormatCode(format), css::lang::Locale("en", "US", ""));
        impl_->rangeProperties(from, to)->setPropertyValue("NumberFormat", Any(key));
    });
}

bool ExcelAccessCore::setBorderLineStyle(const QString& from, const QString& to, int lineStyle) {
    const std::optional<css::table::BorderLine2> line = BorderLine(lineStyle);
    if (!line)
        return false;
    css::table::TableBorder2 border;
    border.TopLine = border.BottomLine = border.LeftLine = border.RightLine = *line;
    border.HorizontalLine = border.VerticalLine = *line;
    border.IsTopLineValid = border.IsBottomLineValid = true;
    border.IsLeftLineValid = border.IsRightLineValid = true;
    border.IsHorizontalLineValid = border.IsVerticalLineValid = true;
    return impl_->document.guard(
        [&] { impl_->rangeProperties(from, to)->setPropertyValue("TableBorder2", Any(border)); });
}

bool ExcelAccessCore::setHorizontalAlignment(const QString& from, const QString& to, int code) {
    const std::optional<css::table::CellHoriJustify> justify = HorizontalJustify(code);
    if (!justify)
        return false;
    return impl_->document.guard(
        [&] { impl_->rangeProperties(from, to)->setPropertyValue("HoriJustify", Any(*justify)); });
}

bool ExcelAccessCore::setVerticalAlignment(const QString& from, const QString& to, int code) {
    const std::optional<sal_Int32> justify = VerticalJustify(code);
    if (!justify)
        return false;
    return impl_->document.guard(
        [&] { impl_->rangeProperties(from, to)->setPropertyValue("VertJustify", Any(*justify)); });
}

bool ExcelAccessCore::setRowHeight(int row, double points) {
    if (row < 1 || points < 0)
        return false;
    // Points to hundredths of a millimetre.
    const auto height = static_cast<sal_Int32>(std::lround(points * 2540.0 / 72.0));
    return impl_->document.guard([&] {
        Reference<css::table::XColumnRowRange> table(impl_->sheet, UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet>(table->getRows()->getByIndex(row - 1), UNO_QUERY_THROW)
            ->setPropertyValue("Height", Any(height));
    });
}

bool ExcelAccessCore::fitToPageWidth(bool landscape) {
    return impl_->document.guard([&] {
        // The sheet prints with its page style, which only this workbook uses.
        const rtl::OUString name =
            Reference<css::beans::XPropertySet>(impl_->sheet, UNO_QUERY_THROW)
                ->getPropertyValue("PageStyle")
                .get<rtl::OUString>();
        Reference<css::style::XStyleFamiliesSupplier> families(impl_->workbook, UNO_QUERY_THROW);
        const Reference<css::container::XNameAccess> styles(
            families->getStyleFamilies()->getByName("PageStyles"), UNO_QUERY_THROW);
        const Reference<css::beans::XPropertySet> style(styles->getByName(name), UNO_QUERY_THROW);
        const auto width = style->getPropertyValue("Width").get<sal_Int32>();
        const auto height = style->getPropertyValue("Height").get<sal_Int32>();
        if (landscape != (width > height)) {
            style->setPropertyValue("Width", Any(height));
            style->setPropertyValue("Height", Any(width));
        }
        style->setPropertyValue("IsLandscape", Any(landscape));
        style->setPropertyValue("HeaderIsOn", Any(false));
        style->setPropertyValue("FooterIsOn", Any(false));
        style->setPropertyValue("ScaleToPagesX", Any(sal_Int16(1)));
        style->setPropertyValue("ScaleToPagesY", Any(sal_Int16(0)));
    });
}

bool ExcelAccessCore::setTextBoxCharacters(const QString& shape, int start, int length,
                                           const QString& text) {
    bool found = false;
    const bool done = impl_->document.guard([&] {
        const Reference<css::text::XTextCursor> cursor = impl_->characters(shape, start, length);
        found = cursor.is();
        if (found)
            cursor->setString(uno::ToOUString(text));
    });
    return done && found;
}

bool ExcelAccessCore::underlineTextBoxCharacters(const QString& shape, int start, int length) {
    bool found = false;
    const bool done = impl_->document.guard([&] {
        const Reference<css::text::XTextCursor> cursor = impl_->characters(shape, start, length);
        found = cursor.is();
        if (found)
            Reference<css::beans::XPropertySet>(cursor, UNO_QUERY_THROW)
                ->setPropertyValue("CharUnderline", Any(css::awt::FontUnderline::SINGLE));
    });
    return done && found;
}

bool ExcelAccessCore::saveAs(const QString& fileName) {
    const bool fitted = impl_->document.guard([&] {
        Reference<css::table::XColumnRowRange> table(impl_->sheet, UNO_QUERY_THROW);
        const Reference<css::container::XIndexAccess> columns(table->getColumns(), UNO_QUERY_THROW);
        for (sal_Int32 column = 0; column < 5; ++column)
            Reference<css::beans::XPropertySet>(columns->getByIndex(column), UNO_QUERY_THROW)
                ->setPropertyValue("OptimalWidth", Any(true));
    });
    if (!fitted && !isOpen())
        return false;
    return impl_->document.store(fileName, "MS Excel 97");
}

void ExcelAccessCore::close() {
    impl_->sheet.clear();
    impl_->workbook.clear();
    impl_->textFormatKey = -1;
    impl_->document.close();
}

}  // namespace output
