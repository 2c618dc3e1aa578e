#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>

#include "OfficeReadBack.h"
#include "output/ExcelAccessCore.h"
#include "output/OfficeProcess.h"
#include "output/OfficeRun.h"
#include "output/WordAccessCore.h"
#include "support/TestFolder.h"

using output::ExcelAccessCore;
using output::OfficeError;
using output::OfficeRun;
using output::WordAccessCore;

namespace {

QString TemplatePath(const QString& name) {
    return QStringLiteral(VELTAR_SOURCE_DIR "/data/template/") + name;
}

QByteArray FileHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// The characters of `text`, one to a cell, followed by `blanks` blanks: how the forms are
// written.
QStringList Characters(const QString& text, int blanks = 0) {
    QStringList cells;
    for (const QChar ch : text)
        cells.append(QString(ch));
    for (int i = 0; i < blanks; ++i)
        cells.append(QStringLiteral(" "));
    return cells;
}

// The characters of row `row` of the data sheet from column 1, trailing blanks dropped.
QString GridText(const OfficeReadBack& workbook, int row, int columns) {
    return workbook.rowText(4, row, 1, columns);
}

// The characters the boxes of a printable page show in `row` from `column` on.
QString BoxesText(const OfficeReadBack& workbook, int sheet, int row, int column, int count) {
    QString text;
    for (int i = 0; i < count; ++i)
        text.append(workbook.cellText(sheet, row, column + i));
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// True once the process has ended (a zombie nobody reaps counts as ended), waiting up to
// 20 seconds for it.
bool ProcessGone(qint64 pid) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 20000) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray fields = stat.readAll();
        if (fields.mid(fields.lastIndexOf(')') + 2, 1) == "Z")
            return true;
        QThread::msleep(50);
    }
    return false;
}

// The environment variables and the arguments of a running process.
QStringList ProcessStrings(qint64 pid, const char* what) {
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(what)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList strings;
    for (const QByteArray& item : file.readAll().split('\0'))
        strings.append(QString::fromLocal8Bit(item));
    return strings;
}

// One office for all tests of the suite.
class OfficeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { run_ = std::make_unique<OfficeRun>(); }
    static void TearDownTestSuite() { run_.reset(); }
    static OfficeRun& run() { return *run_; }

    TestFolder folder_;

private:
    static inline std::unique_ptr<OfficeRun> run_;
};

TEST_F(OfficeTest, NewWorkbookKeepsTextsFormatsAndRanges) {
    ExcelAccessCore excel(run());
    ASSERT_TRUE(excel.open({}, 1)) << excel.error().detail.toStdString();
    EXPECT_TRUE(excel.mergeCells("A1", "G1"));
    EXPECT_TRUE(excel.setInteriorColorIndex("A2", "G2", 48));
    EXPECT_TRUE(excel.setBold("A2", "G2"));
    EXPECT_TRUE(excel.setRowHeight(1, 30));
    EXPECT_TRUE(excel.setCell(1, 1, "Реестр"));
    EXPECT_TRUE(excel.setCell(3, 1, "007"));
    EXPECT_TRUE(excel.setCells(3, 2, {{"1", "=A1", "05/03/2009"}, {"x", "", "0,5"}}));
    EXPECT_TRUE(excel.setNumberFormat("C3", "C4", "ДД.ММ.ГГГГ"));
    EXPECT_TRUE(excel.setBorderLineStyle("A2", "G4", 1));
    EXPECT_TRUE(excel.setHorizontalAlignment("A1", "G4", 3));
    EXPECT_TRUE(excel.setVerticalAlignment("A1", "G4", 2));
    ASSERT_TRUE(excel.saveAs(folder_.file("out.xls")));
    excel.close();

    OfficeReadBack saved(run(), folder_.file("out.xls"));
    ASSERT_TRUE(saved.isOpen());
    EXPECT_EQ(saved.filterName(), "MS Excel 97");
    EXPECT_EQ(saved.cellText(1, "A1"), "Реестр");
    EXPECT_EQ(saved.mergedArea(1, "A1"), "A1:G1");
    EXPECT_EQ(saved.cellText(1, "A3"), "007");
    EXPECT_EQ(saved.cellFormatCode(1, "A3"), "@");
    EXPECT_EQ(saved.cellText(1, "C3"), "=A1");
    EXPECT_EQ(saved.cellText(1, "D3"), "05/03/2009");
    EXPECT_EQ(saved.cellFormatCode(1, "C3"), "DD.MM.YYYY");
    EXPECT_NEAR(saved.rowHeightPoints(1, 1), 30, 0.5);
    EXPECT_EQ(saved.cellProperty(1, "G2", "CellBackColor").get<sal_Int32>(), 0x969696);
    EXPECT_EQ(saved.cellProperty(1, "G2", "CharWeight").get<float>(), css::awt::FontWeight::BOLD);
    EXPECT_EQ(saved.cellProperty(1, "A3", "CharWeight").get<float>(), css::awt::FontWeight::NORMAL);
    EXPECT_EQ(saved.cellProperty(1, "D4", "HoriJustify").get<css::table::CellHoriJustify>(),
              css::table::CellHoriJustify_CENTER);
    EXPECT_EQ(saved.cellProperty(1, "D4", "VertJustify").get<sal_Int32>(),
              css::table::CellVertJustify2::CENTER);
    // Every edge and inner line of A2:G4, as thin continuous lines.
    for (const char* edge : {"TopBorder2", "LeftBorder2", "RightBorder2", "BottomBorder2"}) {
        for (const QString cell : {"A2", "D3", "G4"}) {
            const auto line = saved.cellProperty(1, cell, edge).get<css::table::BorderLine2>();
            EXPECT_EQ(line.LineStyle, css::table::BorderLineStyle::SOLID)
                << edge << " " << cell.toStdString();
            EXPECT_GT(line.OuterLineWidth, 0) << edge << " " << cell.toStdString();
        }
    }
}

TEST_F(OfficeTest, NewDocumentSavedAsWord97) {
    WordAccessCore word(run());
    ASSERT_TRUE(word.open({}));
    EXPECT_TRUE(word.setBookmark("missing", "text"));
    ASSERT_TRUE(word.saveAs(folder_.file("out.doc")));
    word.close();
    OfficeReadBack saved(run(), folder_.file("out.doc"));
    ASSERT_TRUE(saved.isOpen());
    EXPECT_EQ(saved.filterName(), "MS Word 97");
}

TEST_F(OfficeTest, VisaTemplateFilledThroughItsDataSheet) {
    const QString path = TemplatePath("visaapplication.xls");
    const QByteArray original = FileHash(path);
    ExcelAccessCore excel(run());
    ASSERT_TRUE(excel.open(path, 4)) << excel.error().detail.toStdString();
    // As a citizen's form is written: padding blanks, overlapping boxes, one cell alone.
    ASSERT_TRUE(excel.setCells(3, 1, {Characters("Иванов", 20)}));
    ASSERT_TRUE(excel.setCells(3, 26, {Characters("Пётр", 41)}));
    ASSERT_TRUE(excel.setCells(11, 1, {Characters("05031980", 41)}));
    ASSERT_TRUE(excel.setCell(12, 1, "x"));
    ASSERT_TRUE(excel.setCells(14, 1, {Characters("0012", 41)}));
    ASSERT_TRUE(excel.setCells(20, 1, {Characters("ООО \"Ромашка\"", 41)}));
    const QString office = "ОУФМС России по г. Москве";
    const int blanks = (70 - static_cast<int>(office.size())) / 2 + 1;
    const QString line = QString(blanks, ' ') + office + QString(blanks, ' ');
    ASSERT_TRUE(excel.setTextBoxCharacters("Text Box 1868", 2, 58, line));
    ASSERT_TRUE(excel.underlineTextBoxCharacters("Text Box 1868", 2, 70));
    ASSERT_TRUE(excel.saveAs(folder_.file("first.xls")));
    // The same open template serves the next citizen; the padding clears what was there.
    ASSERT_TRUE(excel.setCells(3, 1, {Characters("Ли", 24)}));
    ASSERT_TRUE(excel.setCells(3, 26, {Characters("Мин", 41)}));
    ASSERT_TRUE(excel.saveAs(folder_.file("second.xls")));
    excel.close();

    EXPECT_EQ(FileHash(path), original);
    EXPECT_EQ(QDir(TemplatePath("")).entryList(QDir::Files | QDir::Hidden).size(), 3);

    OfficeReadBack first(run(), folder_.file("first.xls"));
    ASSERT_TRUE(first.isOpen());
    ASSERT_EQ(first.sheetCount(), 4);
    EXPECT_EQ(GridText(first, 3, 80), "Иванов                   Пётр");
    EXPECT_EQ(first.cellFormatCode(4, "A3"), "@");
    EXPECT_EQ(GridText(first, 11, 60), "05031980");
    EXPECT_EQ(GridText(first, 14, 60), "0012");
    EXPECT_EQ(GridText(first, 20, 60), "ООО \"Ромашка\"");
    EXPECT_EQ(first.cellText(4, 12, 1), "x");

    // The printable pages show the characters in their boxes.
    const int surnameRow = first.pageRowShowing(1, "A3");
    ASSERT_GT(surnameRow, 0);
    EXPECT_EQ(BoxesText(first, 1, surnameRow, 8, 25), "Иванов");
    EXPECT_EQ(BoxesText(first, 1, first.pageRowShowing(1, "Z3"), 8, 30), "Пётр");
    const int permitRow = first.pageRowShowing(2, "A14");
    ASSERT_GT(permitRow, 0);
    EXPECT_EQ(BoxesText(first, 2, permitRow, 8, 15), "0012");
    EXPECT_GT(first.pageRowShowing(2, "A20"), 0);
    EXPECT_GT(first.pageRowShowing(2, "A21"), 0);
    EXPECT_GT(first.pageRowShowing(2, "A22"), 0);
    EXPECT_GT(first.pageRowShowing(2, "A23"), 0);
    EXPECT_GT(first.pageRowShowing(2, "A15"), 0);
    EXPECT_EQ(first.pageRowShowing(1, "A6"), 0) << "no permanent address on the visa form";

    EXPECT_EQ(first.shapeSheet("Text Box 1868"), 1);
    const QString boxText = first.textBoxText("Text Box 1868");
    EXPECT_TRUE(boxText.startsWith("В" + line)) << boxText.toStdString();
    const QString underlines = first.textBoxUnderlines("Text Box 1868");
    EXPECT_EQ(underlines.left(71), "." + QString(70, '_')) << underlines.toStdString();
    EXPECT_FALSE(underlines.mid(71).contains('_')) << underlines.toStdString();

    OfficeReadBack second(run(), folder_.file("second.xls"));
    EXPECT_EQ(GridText(second, 3, 80), "Ли                       Мин");
}

TEST_F(OfficeTest, VisaFreeTemplateShowsThePermanentAddress) {
    ExcelAccessCore excel(run());
    ASSERT_TRUE(excel.open(TemplatePath("nonvisaapplication.xls"), 4));
    const QString address = "Республика Узбекистан, г. Ташкент, ул. Навои, д. 1, кв. 2";
    ASSERT_TRUE(excel.setCells(6, 1, {Characters(address, 81)}));
    ASSERT_TRUE(excel.saveAs(folder_.file("visa-free.xls")));
    excel.close();

    OfficeReadBack saved(run(), folder_.file("visa-free.xls"));
    const int row = saved.pageRowShowing(1, "A6");
    ASSERT_GT(row, 0);
    EXPECT_EQ(BoxesText(saved, 1, row, 8, 30), address.left(30));
    EXPECT_EQ(BoxesText(saved, 1, row + 1, 8, 30), address.mid(30));
    EXPECT_EQ(saved.pageRowShowing(2, "A14"), 0) << "no permit on the visa-free form";
    EXPECT_EQ(saved.shapeSheet("Text Box 1868"), 1);
}

TEST_F(OfficeTest, ReverseSideBookmarksFilled) {
    const QString path = TemplatePath("revert.doc");
    const QByteArray original = FileHash(path);
    WordAccessCore word(run());
    ASSERT_TRUE(word.open(path)) << word.error().detail.toStdString();
    EXPECT_TRUE(word.setBookmark("profess", "Каменщик"));
    EXPECT_TRUE(word.setBookmark("place", "125009,_Москва,_Тверская,_1"));
    EXPECT_TRUE(word.setBookmark("fromto", "01.02.2009 - 31.12.2009"));
    EXPECT_TRUE(word.setBookmark("nosuchmark", "ignored"));
    ASSERT_TRUE(word.saveAs(folder_.file("reverse.doc")));
    word.close();
    EXPECT_EQ(FileHash(path), original);

    OfficeReadBack saved(run(), folder_.file("reverse.doc"));
    ASSERT_TRUE(saved.isOpen());
    EXPECT_EQ(saved.bookmarkText("profess"), "Каменщик");
    EXPECT_EQ(saved.bookmarkText("place"), "125009,_Москва,_Тверская,_1");
    EXPECT_EQ(saved.bookmarkText("fromto"), "01.02.2009 - 31.12.2009");
    EXPECT_FALSE(saved.bookmarkNames().contains("nosuchmark"));
    const QString text = saved.documentText();
    EXPECT_TRUE(text.contains("вид трудовой деятельности): Каменщик.")) << text.toStdString();
    EXPECT_TRUE(
        text.contains("Срок осуществления трудовой деятельности: 01.02.2009 - 31.12.2009."));
}

TEST_F(OfficeTest, FilesThatCannotBeOpenedAreReportedWithTheirName) {
    struct Case {
        QString path;
        int sheet;
    };
    const QList<Case> workbooks = {
        {folder_.file("missing.xls"), 4},
        {TemplatePath("revert.doc"), 1},
        {TemplatePath("visaapplication.xls"), 5},
        {TemplatePath("visaapplication.xls"), 0},
    };
    ExcelAccessCore excel(run());
    for (const Case& workbook : workbooks) {
        SCOPED_TRACE(workbook.path.toStdString() + " sheet " + std::to_string(workbook.sheet));
        EXPECT_FALSE(excel.open(workbook.path, workbook.sheet));
        EXPECT_EQ(excel.error().kind, OfficeError::Kind::WorkbookNotOpened);
        EXPECT_EQ(excel.error().file, workbook.path);
        EXPECT_FALSE(excel.isOpen());
        EXPECT_FALSE(excel.setCell(1, 1, "a"));
    }
    WordAccessCore word(run());
    for (const QString& path : {folder_.file("missing.doc"), TemplatePath("visaapplication.xls")}) {
        EXPECT_FALSE(word.open(path));
        EXPECT_EQ(word.error().kind, OfficeError::Kind::DocumentNotOpened);
        EXPECT_EQ(word.error().file, path);
        EXPECT_FALSE(word.setBookmark("profess", "a"));
    }
}

TEST_F(OfficeTest, FailedSaveEndsTheObject) {
    // A folder cannot be made where a file stands.
    folder_.write("file", "x");
    const QString target = folder_.file("file/out.xls");
    ExcelAccessCore excel(run());
    ASSERT_TRUE(excel.open({}, 1));
    EXPECT_FALSE(excel.saveAs(target));
    EXPECT_EQ(excel.error().kind, OfficeError::Kind::SaveFailed);
    EXPECT_EQ(excel.error().file, target);
    EXPECT_FALSE(excel.isOpen());
    EXPECT_FALSE(excel.setCell(1, 1, "a"));

    WordAccessCore word(run());
    ASSERT_TRUE(word.open(TemplatePath("revert.doc")));
    EXPECT_FALSE(word.saveAs(folder_.file("file/out.doc")));
    EXPECT_EQ(word.error().kind, OfficeError::Kind::SaveFailed);
    EXPECT_FALSE(word.isOpen());
}

TEST_F(OfficeTest, RejectedCallsLeaveTheWorkbookUsable) {
    ExcelAccessCore excel(run());
    ASSERT_TRUE(excel.open({}, 1));
    EXPECT_FALSE(excel.setCell(0, 1, "a"));
    EXPECT_FALSE(excel.setCells(1, 1, {{"a", "b"}, {"c"}}));
    EXPECT_FALSE(excel.setCell(1, 5000000, "a"));
    EXPECT_FALSE(excel.setHorizontalAlignment("A1", "B2", 99));
    EXPECT_FALSE(excel.setInteriorColorIndex("A1", "B2", 57));
    EXPECT_FALSE(excel.mergeCells("A1", "nonsense"));
    EXPECT_FALSE(excel.setTextBoxCharacters("Text Box 1", 2, 5, "x"));
    EXPECT_TRUE(excel.isOpen());
    EXPECT_FALSE(excel.error().isError());
    EXPECT_TRUE(excel.setCell(1, 1, "a"));
    EXPECT_TRUE(excel.saveAs(folder_.file("still.xls")));
}

TEST_F(OfficeTest, CrashedOfficeEndsItsObjectsAndAnotherTakesOver) {
    WordAccessCore other(run());
    ASSERT_TRUE(other.open({}));

    OfficeRun own;
    // The program's windows are served while the office starts.
    int served = 0;
    own.setWhileStarting([&] { ++served; });
    ExcelAccessCore excel(own);
    ASSERT_TRUE(excel.open({}, 1));
    EXPECT_GT(served, 10);
    const qint64 pid = own.processId();
    ASSERT_NE(pid, run().processId());
    QString detail;
    const QString folder = own.office(&detail)->folder();
    ASSERT_NE(folder, run().office(&detail)->folder());
    // Its own home, temporary and profile folders, its own pipe, and no display.
    const QStringList environment = ProcessStrings(pid, "environ");
    EXPECT_TRUE(environment.contains("HOME=" + folder + "/home"));
    EXPECT_TRUE(environment.contains("TMPDIR=" + folder + "/tmp"));
    EXPECT_TRUE(environment.filter(QRegularExpression("^DISPLAY=")).isEmpty());
    const QStringList arguments = ProcessStrings(pid, "cmdline");
    EXPECT_EQ(arguments.filter("-env:UserInstallation=file://" + folder + "/profile").size(), 1);
    EXPECT_TRUE(ProcessStrings(run().processId(), "cmdline")
                    .filter(arguments.filter("--accept").value(0))
                    .isEmpty());

    const QString pipe = arguments.filter("--accept=pipe,name=")
                             .value(0)
                             .section(',', 1)
                             .section(';', 0, 0)
                             .section('=', 1);
    ASSERT_FALSE(pipe.isEmpty());
    const QString pipeFile = QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(pipe);
    EXPECT_TRUE(QFile::exists(pipeFile));

    ::kill(static_cast<pid_t>(pid), SIGKILL);
    EXPECT_FALSE(excel.setCell(1, 1, "a"));
    EXPECT_EQ(excel.error().kind, OfficeError::Kind::OfficeFailed);
    EXPECT_FALSE(excel.isOpen());
    EXPECT_FALSE(excel.setCell(1, 1, "a"));
    EXPECT_TRUE(ProcessGone(pid));

    // The other run's office goes on.
    EXPECT_TRUE(other.saveAs(folder_.file("other.doc")));

    // The next open starts a new office for the run.
    ASSERT_TRUE(excel.open({}, 1));
    const qint64 replacement = own.processId();
    EXPECT_NE(replacement, pid);
    EXPECT_TRUE(excel.setCell(1, 1, "a"));
    own.stop();
    EXPECT_TRUE(ProcessGone(replacement));
    EXPECT_FALSE(QFile::exists(folder));
    EXPECT_FALSE(QFile::exists(pipeFile));
    EXPECT_FALSE(excel.setCell(1, 1, "b"));
}

TEST(OfficeLifetime, NoOfficeOutlivesItsProgram) {
    // One holder is killed, the other leaves through exit() in the middle of its run.
    QProcess killed, exiting;
    for (QProcess* holder : {&killed, &exiting}) {
        holder->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        holder->start(QStringLiteral(OFFICE_HOLDER), {});
    }
    QList<qint64> offices;
    QStringList folders;
    for (QProcess* holder : {&killed, &exiting}) {
        ASSERT_TRUE(holder->waitForReadyRead(120000));
        const QStringList fields = QString::fromUtf8(holder->readLine()).trimmed().split(' ');
        ASSERT_EQ(fields.size(), 2);
        offices.append(fields[0].toLongLong());
        folders.append(fields[1]);
        ASSERT_GT(offices.last(), 0);
    }
    killed.kill();
    exiting.write("exit\n");
    exiting.closeWriteChannel();
    ASSERT_TRUE(killed.waitForFinished(30000));
    ASSERT_TRUE(exiting.waitForFinished(30000));
    EXPECT_EQ(exiting.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(ProcessGone(offices[0]));
    EXPECT_TRUE(ProcessGone(offices[1]));
    EXPECT_FALSE(QFile::exists(folders[1]));
}

}  // namespace
