// Writes the three form templates of the program (data/template/) through LibreOffice:
//
//   visaapplication.xls, nonvisaapplication.xls
//       The application for a work permit, for citizens who came with a visa and for those
//       who came without one. Worksheets 1 to 3 are the printable pages: labelled rows of
//       character boxes, each box showing one cell of worksheet 4 ("Данные"), the grid into
//       which the program writes one character per cell, rows 3 to 33 from column 1 on; it is
//       hidden, so that only the pages print.
//       Page 1 carries the text box "Text Box 1868", the line for the name of the FMS office.
//   revert.doc
//       The reverse side of the application, with the bookmarks "profess", "place" and
//       "fromto" over the blanks for the profession, the address and the period of work.
//
// Usage: make_templates <output folder>. The generated files are committed, so that the
// program runs without LibreOffice; run this (cmake --build build --target templates) after
// changing the layout below.

#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/FillStyle.hpp>
#include <com/sun/star/drawing/LineStyle.hpp>
#include <com/sun/star/drawing/TextVerticalAdjust.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/style/ParagraphAdjust.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>
#include <com/sun/star/table/TableBorder2.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <cstdio>
#include <vector>

#include "output/OfficeProcess.h"
#include "output/OfficeRun.h"
#include "output/UnoSupport.h"

namespace {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using output::uno::ToOUString;

// ---------------------------------------------------------------------------------------------
// The application form: what each page shows.

enum class Form { Visa, VisaFree };

enum class ItemKind {
    Heading,    // a bold line across the page
    Text,       // a line of plain text across the page
    Boxes,      // a label and lines of character boxes
    Date,       // a label and eight boxes: day, month, year
    Sex,        // the two boxes "мужской" and "женский"
    Signature,  // a label and a line to sign on
    Space,      // an empty row
};

// One line of character boxes: the cells of row `gridRow` of the data sheet from column
// `firstColumn` on.
struct BoxLine {
    int gridRow;
    int firstColumn;
};

// One row (or block of rows) of a printable page: a label and its lines of boxes, `perLine`
// boxes to a line.
struct Item {
    ItemKind kind;
    const char* label = "";
    std::vector<BoxLine> lines;
    int perLine = 0;
};

Item Heading(const char* text) {
    return {ItemKind::Heading, text, {}, 0};
}
Item Text(const char* text) {
    return {ItemKind::Text, text, {}, 0};
}
// `count` lines of one grid row, the characters following on from line to line.
Item Boxes(const char* label, int gridRow, int firstColumn, int perLine, int count = 1) {
    Item item{ItemKind::Boxes, label, {}, perLine};
    for (int line = 0; line < count; ++line)
        item.lines.push_back({gridRow, firstColumn + line * perLine});
    return item;
}
Item Date(const char* label, int gridRow) {
    return {ItemKind::Date, label, {{gridRow, 1}}, 8};
}
Item Sex(const char* label, int maleRow, int femaleRow) {
    return {ItemKind::Sex, label, {{maleRow, 1}, {femaleRow, 1}}, 1};
}
Item Signature(const char* label) {
    return {ItemKind::Signature, label, {}, 0};
}
Item Space() {
    return {ItemKind::Space, "", {}, 0};
}

std::vector<Item> PageOne(Form form) {
    std::vector<Item> items = {
        Heading("1. Сведения об иностранном гражданине (лице без гражданства)"),
        Boxes("Фамилия", 3, 1, 25),
        Boxes("Имя", 3, 26, 30),
        Boxes("Отчество (при наличии)", 4, 1, 30),
        Boxes("Гражданство (подданство)", 5, 1, 30, 2),
    };
    if (form == Form::VisaFree)
        items.push_back(Boxes("Место постоянного проживания", 6, 1, 30, 3));
    const std::vector<Item> rest = {
        Text("Документ, удостоверяющий личность:"),
        Boxes("вид документа", 7, 1, 20),
        Boxes("серия", 8, 1, 10),
        Boxes("номер", 9, 1, 15),
        Date("дата выдачи", 10),
        Date("Дата рождения", 11),
        Sex("Пол", 12, 13),
    };
    items.insert(items.end(), rest.begin(), rest.end());
    return items;
}

std::vector<Item> PageTwo(Form form) {
    if (form == Form::VisaFree) {
        return {
            Heading("2. Срок осуществления трудовой деятельности"),
            Date("с", 18),
            Date("по", 19),
        };
    }
    return {
        Heading("2. Сведения о разрешении на привлечение и использование иностранных работников"),
        Boxes("Номер разрешения", 14, 1, 15),
        Date("Дата выдачи разрешения", 15),
        Space(),
        Heading("3. Сведения о работодателе"),
        Boxes("Наименование организации", 20, 1, 30, 3),
        Boxes("Юридический адрес", 21, 1, 30, 3),
        Boxes("ОГРН", 22, 1, 15),
        Date("Дата государственной регистрации", 23),
        Space(),
        Heading("4. Срок осуществления трудовой деятельности"),
        Date("с", 18),
        Date("по", 19),
    };
}

std::vector<Item> PageThree(Form form) {
    return {
        Heading(form == Form::Visa ? "5. Сведения о трудовой деятельности"
                                   : "3. Сведения о трудовой деятельности"),
        // The first 30 characters in row 32, the rest in row 33: the rest of the longest
        // profession of the lists (79 characters) and " Разрешение на временное проживание"
        // take 84 boxes.
        {ItemKind::Boxes,
         "Профессия (специальность, должность)",
         {{32, 1}, {33, 1}, {33, 31}, {33, 61}},
         30},
        Boxes("Территория, в пределах которой разрешена трудовая деятельность", 31, 1, 30, 2),
        Space(),
        Text("Достоверность представленных сведений подтверждаю."),
        Date("Дата заполнения", 17),
        Signature("Подпись иностранного гражданина"),
        Space(),
        Heading("Отметки территориального органа ФМС России"),
        Signature("Заявление принято, дата"),
        Signature("Регистрационный номер"),
        Signature("Должностное лицо (подпись, Ф.И.О.)"),
    };
}

const char* Title(Form form) {
    return form == Form::Visa
               ? "о выдаче разрешения на работу иностранному гражданину (лицу без гражданства), "
                 "прибывшему в Российскую Федерацию в порядке, требующем получения визы"
               : "о выдаче разрешения на работу иностранному гражданину (лицу без гражданства), "
                 "прибывшему в Российскую Федерацию в порядке, не требующем получения визы";
}

// ---------------------------------------------------------------------------------------------
// Sizes of the printable pages, in hundredths of a millimetre: A4, 37 columns of 5 mm between
// margins of 15 and 10 mm. Columns 1 to 7 hold the labels, columns 8 to 37 up to 30 boxes.

constexpr int kColumns = 37;
constexpr int kLabelColumns = 7;
constexpr int kFirstBoxColumn = kLabelColumns + 1;
constexpr sal_Int32 kColumnWidth = 500;
constexpr sal_Int32 kBoxRowHeight = 620;
constexpr sal_Int32 kGapRowHeight = 150;
constexpr sal_Int32 kTextRowHeight = 520;
const QString kDataSheet = QStringLiteral("Данные");
const QString kFont = QStringLiteral("Arial");
const QString kTextBoxName = QStringLiteral("Text Box 1868");
// The text box: "В", the 58 characters the program replaces by the office's name centred in
// blanks, and the caption under the line.
constexpr int kOfficeLineLength = 58;

QString ColumnName(int column) {
    QString name;
    for (int n = column; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

css::table::BorderLine2 ThinLine() {
    css::table::BorderLine2 line;
    line.LineStyle = css::table::BorderLineStyle::SOLID;
    line.LineWidth = 26;
    line.OuterLineWidth = 26;
    return line;
}

// One worksheet being laid out, row by row.
class SheetWriter {
public:
    SheetWriter(const Reference<css::sheet::XSpreadsheet>& sheet) : sheet_(sheet) {}

    Reference<css::table::XCellRange> range(int row, int firstColumn, int lastColumn,
                                            int lastRow = 0) const {
        return sheet_->getCellRangeByPosition(firstColumn - 1, row - 1, lastColumn - 1,
                                              (lastRow > 0 ? lastRow : row) - 1);
    }
    static Reference<css::beans::XPropertySet> properties(
        const Reference<css::table::XCellRange>& range) {
        return Reference<css::beans::XPropertySet>(range, UNO_QUERY_THROW);
    }
    void setText(int row, int column, const QString& text) const {
        Reference<css::text::XText>(sheet_->getCellByPosition(column - 1, row - 1), UNO_QUERY_THROW)
            ->setString(ToOUString(text));
    }
    void setFormula(int row, int column, const QString& formula) const {
        sheet_->getCellByPosition(column - 1, row - 1)->setFormula(ToOUString(formula));
    }
    void setColumnWidths(int count, sal_Int32 width) const {
        Reference<css::table::XColumnRowRange> table(sheet_, UNO_QUERY_THROW);
        const Reference<css::container::XIndexAccess> columns(table->getColumns(), UNO_QUERY_THROW);
        for (int column = 0; column < count; ++column)
            Reference<css::beans::XPropertySet>(columns->getByIndex(column), UNO_QUERY_THROW)
                ->setPropertyValue("Width", Any(width));
    }
    void setRowHeight(int row, sal_Int32 height) const {
        Reference<css::table::XColumnRowRange> table(sheet_, UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet>(table->getRows()->getByIndex(row - 1), UNO_QUERY_THROW)
            ->setPropertyValue("Height", Any(height));
    }
    // A text in merged cells, with the font size given and wrapped lines.
    void label(int row, int firstColumn, int lastColumn, const QString& text, float size, bool bold,
               css::table::CellHoriJustify justify, int lastRow = 0) const {
        const Reference<css::table::XCellRange> cells =
            range(row, firstColumn, lastColumn, lastRow);
        if (lastColumn > firstColumn || lastRow > row)
            Reference<css::util::XMergeable>(cells, UNO_QUERY_THROW)->merge(true);
        const Reference<css::beans::XPropertySet> format = properties(cells);
        format->setPropertyValue("CharFontName", Any(ToOUString(kFont)));
        format->setPropertyValue("CharHeight", Any(size));
        format->setPropertyValue(
            "CharWeight", Any(bold ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL));
        format->setPropertyValue("HoriJustify", Any(justify));
        format->setPropertyValue("VertJustify", Any(css::table::CellVertJustify2::CENTER));
        format->setPropertyValue("IsTextWrapped", Any(true));
        setText(row, firstColumn, text);
    }
    // Bordered boxes, each showing one character of the data sheet.
    void boxes(int row, int firstColumn, int gridRow, int firstGridColumn, int count) const {
        const Reference<css::table::XCellRange> cells =
            range(row, firstColumn, firstColumn + count - 1);
        css::table::TableBorder2 border;
        border.TopLine = border.BottomLine = border.LeftLine = border.RightLine = ThinLine();
        border.VerticalLine = ThinLine();
        border.IsTopLineValid = border.IsBottomLineValid = true;
        border.IsLeftLineValid = border.IsRightLineValid = border.IsVerticalLineValid = true;
        const Reference<css::beans::XPropertySet> format = properties(cells);
        format->setPropertyValue("TableBorder2", Any(border));
        format->setPropertyValue("CharFontName", Any(ToOUString(kFont)));
        format->setPropertyValue("CharHeight", Any(10.0f));
        format->setPropertyValue("HoriJustify", Any(css::table::CellHoriJustify_CENTER));
        format->setPropertyValue("VertJustify", Any(css::table::CellVertJustify2::CENTER));
        for (int i = 0; i < count; ++i) {
            // Joined to an empty text, an empty cell shows nothing instead of 0.
            setFormula(row, firstColumn + i,
                       QStringLiteral("=$'%1'.%2%3&\"\"")
                           .arg(kDataSheet, ColumnName(firstGridColumn + i))
                           .arg(gridRow));
        }
    }

private:
    Reference<css::sheet::XSpreadsheet> sheet_;
};

// Lays out one printable page from row `row` on; returns the next free row.
int WriteItems(const SheetWriter& page, int row, const std::vector<Item>& items) {
    const auto left = css::table::CellHoriJustify_LEFT;
    for (const Item& item : items) {
        const QString label = QString::fromUtf8(item.label);
        switch (item.kind) {
            case ItemKind::Heading:
                page.setRowHeight(row, kBoxRowHeight);
                page.label(row, 1, kColumns, label, 9.5f, true, left);
                ++row;
                break;
            case ItemKind::Text:
                page.setRowHeight(row, kTextRowHeight);
                page.label(row, 1, kColumns, label, 8.5f, false, left);
                ++row;
                break;
            case ItemKind::Space:
                page.setRowHeight(row, kTextRowHeight);
                ++row;
                break;
            case ItemKind::Boxes: {
                const int last = row + static_cast<int>(item.lines.size()) - 1;
                for (int line = row; line <= last; ++line) {
                    const BoxLine& boxes = item.lines[static_cast<size_t>(line - row)];
                    page.setRowHeight(line, kBoxRowHeight);
                    page.boxes(line, kFirstBoxColumn, boxes.gridRow, boxes.firstColumn,
                               item.perLine);
                }
                page.label(row, 1, kLabelColumns, label, 7.5f, false, left, last);
                page.setRowHeight(last + 1, kGapRowHeight);
                row = last + 2;
                break;
            }
            case ItemKind::Date: {
                // Day, month and year boxes with a dot between them.
                page.setRowHeight(row, kBoxRowHeight);
                page.label(row, 1, kLabelColumns, label, 7.5f, false, left);
                const int gridRow = item.lines.front().gridRow;
                page.boxes(row, kFirstBoxColumn, gridRow, 1, 2);
                page.label(row, kFirstBoxColumn + 2, kFirstBoxColumn + 2, QStringLiteral("."),
                           10.0f, false, css::table::CellHoriJustify_CENTER);
                page.boxes(row, kFirstBoxColumn + 3, gridRow, 3, 2);
                page.label(row, kFirstBoxColumn + 5, kFirstBoxColumn + 5, QStringLiteral("."),
                           10.0f, false, css::table::CellHoriJustify_CENTER);
                page.boxes(row, kFirstBoxColumn + 6, gridRow, 5, 4);
                page.label(row, kFirstBoxColumn + 11, kColumns,
                           QStringLiteral("(число, месяц, год)"), 7.0f, false, left);
                page.setRowHeight(row + 1, kGapRowHeight);
                row += 2;
                break;
            }
            case ItemKind::Sex:
                page.setRowHeight(row, kBoxRowHeight);
                page.label(row, 1, kLabelColumns, label, 7.5f, false, left);
                page.boxes(row, kFirstBoxColumn, item.lines[0].gridRow, 1, 1);
                page.label(row, kFirstBoxColumn + 1, kFirstBoxColumn + 6, QStringLiteral("мужской"),
                           8.0f, false, left);
                page.boxes(row, kFirstBoxColumn + 8, item.lines[1].gridRow, 1, 1);
                page.label(row, kFirstBoxColumn + 9, kFirstBoxColumn + 14,
                           QStringLiteral("женский"), 8.0f, false, left);
                page.setRowHeight(row + 1, kGapRowHeight);
                row += 2;
                break;
            case ItemKind::Signature: {
                page.setRowHeight(row, kBoxRowHeight);
                page.label(row, 1, 14, label, 8.0f, false, left);
                css::table::TableBorder2 border;
                border.BottomLine = ThinLine();
                border.IsBottomLineValid = true;
                SheetWriter::properties(page.range(row, 16, kColumns))
                    ->setPropertyValue("TableBorder2", Any(border));
                ++row;
                break;
            }
        }
    }
    return row;
}

// ---------------------------------------------------------------------------------------------
// The workbook.

Reference<css::lang::XComponent> NewDocument(const Reference<css::frame::XDesktop2>& desktop,
                                             const char* factory) {
    return desktop->loadComponentFromURL(rtl::OUString::createFromAscii(factory), "_blank", 0,
                                         output::uno::Properties({{"Hidden", Any(true)}}));
}

void Store(const Reference<css::lang::XComponent>& document, const QString& path,
           const char* filter) {
    QFile::remove(path);
    Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)
        ->storeToURL(
            output::uno::FileUrl(path),
            output::uno::Properties({{"FilterName", Any(rtl::OUString::createFromAscii(filter))},
                                     {"Overwrite", Any(true)}}));
}

css::lang::Locale Russian() {
    return css::lang::Locale("ru", "RU", "");
}

// The page style of the printable pages: A4, narrow margins, each sheet on one page. The data
// sheet keeps the default style, without the header and footer.
void AddPageStyle(const Reference<css::lang::XComponent>& document, const QString& name) {
    Reference<css::style::XStyleFamiliesSupplier> families(document, UNO_QUERY_THROW);
    Reference<css::container::XNameContainer> pageStyles(
        families->getStyleFamilies()->getByName("PageStyles"), UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet> standard(pageStyles->getByName("Default"), UNO_QUERY_THROW);
    standard->setPropertyValue("HeaderIsOn", Any(false));
    standard->setPropertyValue("FooterIsOn", Any(false));
    Reference<css::lang::XMultiServiceFactory> factory(document, UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet> style(
        factory->createInstance("com.sun.star.style.PageStyle"), UNO_QUERY_THROW);
    pageStyles->insertByName(ToOUString(name), Any(style));
    style->setPropertyValue("Width", Any(sal_Int32(21000)));
    style->setPropertyValue("Height", Any(sal_Int32(29700)));
    style->setPropertyValue("IsLandscape", Any(false));
    style->setPropertyValue("LeftMargin", Any(sal_Int32(1500)));
    style->setPropertyValue("RightMargin", Any(sal_Int32(800)));
    style->setPropertyValue("TopMargin", Any(sal_Int32(1000)));
    style->setPropertyValue("BottomMargin", Any(sal_Int32(1000)));
    style->setPropertyValue("HeaderIsOn", Any(false));
    style->setPropertyValue("FooterIsOn", Any(false));
    style->setPropertyValue("ScaleToPagesX", Any(sal_Int16(1)));
    style->setPropertyValue("ScaleToPagesY", Any(sal_Int16(1)));
}

// The line for the name of the FMS office, over the title on page 1.
void AddOfficeTextBox(const Reference<css::lang::XComponent>& document,
                      const Reference<css::drawing::XShapes>& drawPage) {
    Reference<css::lang::XMultiServiceFactory> factory(document, UNO_QUERY_THROW);
    Reference<css::drawing::XShape> shape(factory->createInstance("com.sun.star.drawing.TextShape"),
                                          UNO_QUERY_THROW);
    drawPage->add(shape);
    shape->setPosition(css::awt::Point(500, 200));
    shape->setSize(css::awt::Size(17500, 1300));
    Reference<css::container::XNamed>(shape, UNO_QUERY_THROW)->setName(ToOUString(kTextBoxName));
    Reference<css::beans::XPropertySet> format(shape, UNO_QUERY_THROW);
    format->setPropertyValue("TextAutoGrowHeight", Any(false));
    format->setPropertyValue("TextVerticalAdjust", Any(css::drawing::TextVerticalAdjust_TOP));
    format->setPropertyValue("FillStyle", Any(css::drawing::FillStyle_NONE));
    format->setPropertyValue("LineStyle", Any(css::drawing::LineStyle_NONE));

    const Reference<css::text::XText> text(shape, UNO_QUERY_THROW);
    const Reference<css::text::XTextCursor> cursor = text->createTextCursor();
    const Reference<css::text::XTextRange> at(cursor.get());
    Reference<css::beans::XPropertySet> style(cursor, UNO_QUERY_THROW);
    style->setPropertyValue("CharFontName", Any(ToOUString(kFont)));
    style->setPropertyValue("CharHeight", Any(10.0f));
    text->insertString(at, ToOUString(QStringLiteral("В") + QString(kOfficeLineLength, u'_')),
                       false);
    text->insertControlCharacter(at, css::text::ControlCharacter::PARAGRAPH_BREAK, false);
    style->setPropertyValue("CharHeight", Any(7.0f));
    text->insertString(
        at,
        ToOUString(QStringLiteral("           (наименование территориального органа ФМС "
                                  "России)")),
        false);
}

// Worksheet 4: the grid the program writes, with a legend under it.
void WriteDataSheet(const SheetWriter& data, const Reference<css::lang::XComponent>& document,
                    Form form) {
    data.setColumnWidths(256, 450);
    // Text format for the whole grid, as the program writes it.
    Reference<css::util::XNumberFormatsSupplier> supplier(document, UNO_QUERY_THROW);
    const Reference<css::util::XNumberFormats> formats = supplier->getNumberFormats();
    sal_Int32 textFormat = formats->queryKey("@", css::lang::Locale(), false);
    if (textFormat < 0)
        textFormat = formats->addNew("@", css::lang::Locale());
    SheetWriter::properties(data.range(3, 1, 256, 33))
        ->setPropertyValue("NumberFormat", Any(textFormat));
    data.setText(1, 1,
                 QStringLiteral("Данные заявления: по одному символу в ячейке, строки 3–33. "
                                "Страницы 1–3 показывают эти ячейки; заполняет программа."));

    struct Legend {
        int row;
        const char* text;
    };
    std::vector<Legend> legend = {
        {3, "фамилия (столбцы 1–25), имя (с 26-го столбца)"},
        {4, "отчество"},
        {5, "гражданство"},
        {7, "вид документа, удостоверяющего личность"},
        {8, "серия документа"},
        {9, "номер документа"},
        {10, "дата выдачи документа (ДДММГГГГ)"},
        {11, "дата рождения (ДДММГГГГ)"},
        {12, "пол мужской (x)"},
        {13, "пол женский (x)"},
        {17, "дата заполнения (ДДММГГГГ)"},
        {18, "срок трудовой деятельности с (ДДММГГГГ)"},
        {19, "срок трудовой деятельности по (ДДММГГГГ)"},
        {31, "территория"},
        {32, "профессия (первые 30 символов)"},
        {33, "профессия (продолжение)"},
    };
    if (form == Form::VisaFree) {
        legend.push_back({6, "место постоянного проживания"});
    } else {
        const std::vector<Legend> visa = {
            {14, "номер разрешения на привлечение иностранных работников"},
            {15, "дата выдачи разрешения (ДДММГГГГ)"},
            {20, "наименование организации"},
            {21, "юридический адрес организации"},
            {22, "ОГРН"},
            {23, "дата государственной регистрации (ДДММГГГГ)"},
        };
        legend.insert(legend.end(), visa.begin(), visa.end());
    }
    std::sort(legend.begin(), legend.end(),
              [](const Legend& a, const Legend& b) { return a.row < b.row; });
    int row = 36;
    data.setText(row++, 1, QStringLiteral("Строки данных:"));
    for (const Legend& line : legend) {
        data.setText(
            row++, 1,
            QStringLiteral("строка %1 — %2").arg(line.row).arg(QString::fromUtf8(line.text)));
    }
}

void MakeApplicationWorkbook(const Reference<css::frame::XDesktop2>& desktop, Form form,
                             const QString& path) {
    const Reference<css::lang::XComponent> document = NewDocument(desktop, "private:factory/scalc");
    Reference<css::sheet::XSpreadsheetDocument> workbook(document, UNO_QUERY_THROW);
    const Reference<css::sheet::XSpreadsheets> sheets = workbook->getSheets();
    Reference<css::container::XIndexAccess> byIndex(sheets, UNO_QUERY_THROW);
    // Names with Cyrillic letters go through QString: a plain string literal would be read as
    // Latin-1.
    Reference<css::container::XNamed>(byIndex->getByIndex(0), UNO_QUERY_THROW)
        ->setName(ToOUString(QStringLiteral("Страница 1")));
    sheets->insertNewByName(ToOUString(QStringLiteral("Страница 2")), 1);
    sheets->insertNewByName(ToOUString(QStringLiteral("Страница 3")), 2);
    sheets->insertNewByName(ToOUString(kDataSheet), 3);

    Reference<css::beans::XPropertySet>(document, UNO_QUERY_THROW)
        ->setPropertyValue("CharLocale", Any(Russian()));
    const QString pageStyle = QStringLiteral("Заявление");
    AddPageStyle(document, pageStyle);
    const std::vector<Item> pages[] = {PageOne(form), PageTwo(form), PageThree(form)};
    for (int index = 0; index < 3; ++index) {
        Reference<css::sheet::XSpreadsheet> sheet(byIndex->getByIndex(index), UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet>(sheet, UNO_QUERY_THROW)
            ->setPropertyValue("PageStyle", Any(ToOUString(pageStyle)));
        SheetWriter page(sheet);
        page.setColumnWidths(kColumns, kColumnWidth);
        int row = 1;
        if (index == 0) {
            // Room for the text box with the office's name, then the title.
            page.setRowHeight(row++, 1500);
            page.setRowHeight(row, 600);
            page.label(row++, 1, kColumns, QStringLiteral("ЗАЯВЛЕНИЕ"), 12.0f, true,
                       css::table::CellHoriJustify_CENTER);
            page.setRowHeight(row, 900);
            page.label(row++, 1, kColumns, QString::fromUtf8(Title(form)), 9.0f, false,
                       css::table::CellHoriJustify_CENTER);
            page.setRowHeight(row++, kGapRowHeight);
        } else {
            page.setRowHeight(row, kTextRowHeight);
            page.label(row++, 1, kColumns,
                       QStringLiteral("Заявление о выдаче разрешения на работу, страница %1")
                           .arg(index + 1),
                       7.5f, false, css::table::CellHoriJustify_RIGHT);
        }
        WriteItems(page, row, pages[index]);
    }
    Reference<css::drawing::XDrawPagesSupplier> drawPages(document, UNO_QUERY_THROW);
    AddOfficeTextBox(document, Reference<css::drawing::XShapes>(
                                   drawPages->getDrawPages()->getByIndex(0), UNO_QUERY_THROW));
    Reference<css::sheet::XSpreadsheet> dataSheet(byIndex->getByIndex(3), UNO_QUERY_THROW);
    WriteDataSheet(SheetWriter(dataSheet), document, form);
    // The grid is the program's, not the user's: a hidden sheet is never printed, and the
    // form prints as its three pages.
    Reference<css::beans::XPropertySet>(dataSheet, UNO_QUERY_THROW)
        ->setPropertyValue("IsVisible", Any(false));

    Store(document, path, "MS Excel 97");
    output::uno::CloseDocument(document);
}

// ---------------------------------------------------------------------------------------------
// The reverse side.

// A paragraph of the reverse side: pieces of text, some of them under a bookmark.
struct Piece {
    const char* text;
    const char* bookmark = nullptr;
};

struct Paragraph {
    std::vector<Piece> pieces;
    float size = 12.0f;
    bool bold = false;
    css::style::ParagraphAdjust adjust = css::style::ParagraphAdjust_LEFT;
};

const char* const kBlank = "____________________________________________";

std::vector<Paragraph> ReverseSide() {
    const auto center = css::style::ParagraphAdjust_CENTER;
    return {
        {{{"Оборотная сторона заявления о выдаче разрешения на работу"}}, 11.0f, false, center},
        {{{""}}},
        {{{"Сведения о предполагаемой трудовой деятельности"}}, 12.0f, true, center},
        {{{""}}},
        {{{"Профессия (специальность, должность, вид трудовой деятельности): "},
          {kBlank, "profess"},
          {"."}}},
        {{{""}}},
        {{{"Адрес места пребывания (регистрации) иностранного гражданина в Российской "
           "Федерации: "},
          {kBlank, "place"},
          {"."}}},
        {{{""}}},
        {{{"Срок осуществления трудовой деятельности: "}, {"______________", "fromto"}, {"."}}},
        {{{""}}},
        {{{"К заявлению прилагаются: документ, удостоверяющий личность; миграционная карта; "
           "документ об уплате государственной пошлины; фотография; медицинские документы."}},
         11.0f},
        {{{""}}},
        {{{"Достоверность представленных сведений и подлинность документов подтверждаю."}}},
        {{{""}}},
        {{{"Подпись иностранного гражданина ______________"}}},
        {{{"Дата «___» ______________ 20___ г."}}},
        {{{""}}},
        {{{"Отметки территориального органа ФМС России"}}, 12.0f, true},
        {{{"Заявление и документы приняты «____» ____________ 20___ г."}}},
        {{{"Регистрационный номер ______________"}}},
        {{{"Должностное лицо ____________ (подпись)  _____________________ (Ф.И.О.)"}}},
    };
}

void MakeReverseSide(const Reference<css::frame::XDesktop2>& desktop, const QString& path) {
    const Reference<css::lang::XComponent> document =
        NewDocument(desktop, "private:factory/swriter");
    Reference<css::text::XTextDocument> textDocument(document, UNO_QUERY_THROW);
    const Reference<css::text::XText> text = textDocument->getText();
    Reference<css::lang::XMultiServiceFactory> factory(document, UNO_QUERY_THROW);

    Reference<css::style::XStyleFamiliesSupplier> families(document, UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet> page(
        Reference<css::container::XNameContainer>(
            families->getStyleFamilies()->getByName("PageStyles"), UNO_QUERY_THROW)
            ->getByName("Standard"),
        UNO_QUERY_THROW);
    page->setPropertyValue("Width", Any(sal_Int32(21000)));
    page->setPropertyValue("Height", Any(sal_Int32(29700)));
    for (const char* margin : {"LeftMargin", "RightMargin", "TopMargin", "BottomMargin"})
        page->setPropertyValue(rtl::OUString::createFromAscii(margin), Any(sal_Int32(2000)));

    const Reference<css::text::XTextCursor> cursor = text->createTextCursor();
    const Reference<css::text::XTextRange> at(cursor.get());
    Reference<css::beans::XPropertySet> style(cursor, UNO_QUERY_THROW);
    bool first = true;
    for (const Paragraph& paragraph : ReverseSide()) {
        if (!first)
            text->insertControlCharacter(at, css::text::ControlCharacter::PARAGRAPH_BREAK, false);
        first = false;
        style->setPropertyValue("CharFontName", Any(rtl::OUString("Times New Roman")));
        style->setPropertyValue("CharLocale", Any(Russian()));
        style->setPropertyValue("CharHeight", Any(paragraph.size));
        style->setPropertyValue("CharWeight", Any(paragraph.bold ? css::awt::FontWeight::BOLD
                                                                 : css::awt::FontWeight::NORMAL));
        style->setPropertyValue("ParaAdjust", Any(sal_Int16(paragraph.adjust)));
        for (const Piece& piece : paragraph.pieces) {
            const rtl::OUString words = ToOUString(QString::fromUtf8(piece.text));
            if (!piece.bookmark) {
                text->insertString(at, words, false);
                continue;
            }
            // The blank goes in, then the bookmark over it.
            text->insertString(at, words, false);
            const Reference<css::text::XTextCursor> marked = text->createTextCursorByRange(at);
            marked->goLeft(static_cast<sal_Int16>(words.getLength()), true);
            Reference<css::text::XTextContent> bookmark(
                factory->createInstance("com.sun.star.text.Bookmark"), UNO_QUERY_THROW);
            Reference<css::container::XNamed>(bookmark, UNO_QUERY_THROW)
                ->setName(rtl::OUString::createFromAscii(piece.bookmark));
            text->insertTextContent(Reference<css::text::XTextRange>(marked.get()), bookmark, true);
        }
    }
    Store(document, path, "MS Word 97");
    output::uno::CloseDocument(document);
}

}  // namespace

int main(int argc, char** argv) {
    // A write to an office that has died fails instead of ending the program.
    ::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_templates <output folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    output::OfficeRun run;
    QString detail;
    const auto office = run.office(&detail);
    if (!office) {
        std::fprintf(stderr, "make_templates: LibreOffice did not start: %s\n",
                     qUtf8Printable(detail));
        return 1;
    }
    try {
        MakeApplicationWorkbook(office->desktop(), Form::Visa,
                                folder + QStringLiteral("/visaapplication.xls"));
        MakeApplicationWorkbook(office->desktop(), Form::VisaFree,
                                folder + QStringLiteral("/nonvisaapplication.xls"));
        MakeReverseSide(office->desktop(), folder + QStringLiteral("/revert.doc"));
    } catch (const css::uno::Exception& e) {
        std::fprintf(stderr, "make_templates: %s\n", qUtf8Printable(output::uno::ExceptionText(e)));
        return 1;
    }
    std::printf("Templates written to %s\n", qUtf8Printable(folder));
    return 0;
}
