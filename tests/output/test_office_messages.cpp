#include <gtest/gtest.h>

#include "gui/MessageBoxes.h"
#include "output/ExcelAccessCore.h"
#include "output/OfficeMessages.h"
#include "output/OfficeRun.h"
#include "output/WordAccessCore.h"

using output::OfficeError;
using output::OfficeRun;

namespace {

const QString kTitle = QStringLiteral("Ошибка");

QString TemplatePath(const QString& name) {
    return QStringLiteral(VELTAR_SOURCE_DIR "/data/template/") + name;
}

// A failure shows two boxes, each answered with OK.
void ExpectTwoBoxes() {
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
}

// The two boxes shown for a failure: its message, then the stop naming the file.
void ExpectBoxes(const QString& message, const QString& file) {
    const QList<gui::MessageBoxes::Record> shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 2);
    for (const gui::MessageBoxes::Record& box : shown) {
        EXPECT_EQ(box.title, kTitle);
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_EQ(box.buttons, QMessageBox::Ok);
    }
    EXPECT_EQ(shown[0].text, message);
    EXPECT_TRUE(shown[1].text.contains("'" + file + "'")) << shown[1].text.toStdString();
}

// An office that is not installed: the program's folder holds nothing.
class MissingOffice : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = OfficeRun::programFolder();
        OfficeRun::setProgramFolder(QStringLiteral("/nonexistent/libreoffice/program"));
    }
    void TearDown() override { OfficeRun::setProgramFolder(saved_); }

private:
    QString saved_;
};

TEST_F(MissingOffice, WorkbookAndDocumentReportTheOffice) {
    OfficeRun run;
    output::ExcelAccessCore excel(run);
    const QString workbook = TemplatePath("visaapplication.xls");
    EXPECT_FALSE(excel.open(workbook, 4));
    EXPECT_EQ(excel.error().kind, OfficeError::Kind::OfficeNotStarted);
    ExpectTwoBoxes();
    output::ShowOfficeError(nullptr, excel.error());
    ExpectBoxes(
        "Невозможно открыть LibreOffice Calc!\n"
        "Возможно LibreOffice не установлен на компьютере.",
        workbook);
    EXPECT_FALSE(excel.setCell(1, 1, "a"));

    output::WordAccessCore word(run);
    const QString document = TemplatePath("revert.doc");
    EXPECT_FALSE(word.open(document));
    ExpectTwoBoxes();
    output::ShowOfficeError(nullptr, word.error());
    ExpectBoxes(
        "Невозможно открыть LibreOffice Writer!\n"
        "Возможно LibreOffice не установлен на компьютере.",
        document);
    EXPECT_EQ(run.processId(), 0);
}

TEST_F(MissingOffice, MissingFilesReportedBeforeTheOfficeIsNeeded) {
    OfficeRun run;
    output::ExcelAccessCore excel(run);
    EXPECT_FALSE(excel.open("/nonexistent/form.xls", 4));
    ExpectTwoBoxes();
    output::ShowOfficeError(nullptr, excel.error());
    ExpectBoxes("Ошибка открытия книги LibreOffice Calc!", "/nonexistent/form.xls");

    output::WordAccessCore word(run);
    EXPECT_FALSE(word.open("/nonexistent/form.doc"));
    ExpectTwoBoxes();
    output::ShowOfficeError(nullptr, word.error());
    ExpectBoxes("Ошибка открытия документа LibreOffice Writer!", "/nonexistent/form.doc");
}

TEST(OfficeMessages, SaveAndOfficeFailuresNameTheFile) {
    const QString file = QStringLiteral("/home/user/Иванов.xls");
    ExpectTwoBoxes();
    output::ShowOfficeError(
        nullptr, {OfficeError::Kind::SaveFailed, OfficeError::Application::Calc, file, {}});
    ExpectBoxes("Ошибка сохранения книги LibreOffice Calc!", file);
    ExpectTwoBoxes();
    output::ShowOfficeError(
        nullptr, {OfficeError::Kind::OfficeFailed, OfficeError::Application::Writer, file, {}});
    ExpectBoxes("Ошибка работы LibreOffice Writer!", file);
    output::ShowOfficeError(nullptr, {});
    EXPECT_TRUE(gui::MessageBoxes::takeShown().isEmpty());
}

}  // namespace
