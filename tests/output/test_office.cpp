#include <gtest/gtest.h>

#include <QFile>

#include "OfficeReadBack.h"
#include "output/ExcelAccessCore.h"
#include "output/OfficeRun.h"
#include "output/WordAccessCore.h"
#include "support/TestFolder.h"

using output::ExcelAccessCore;
using output::OfficeError;
using output::OfficeRun;
using output::WordAccessCore;

namespace {

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
    EXPECT_EQ(saved.cellText(1, "A1"), "Реестр");
    EXPECT_EQ(saved.mergedArea(1, "A1"), "A1:G1");
    EXPECT_EQ(saved.cellText(1, "A3"), "007");
    EXPECT_EQ(saved.cellFormatCode(1, "A3"), "@");
    EXPECT_EQ(saved.cellText(1, "C3"), "=A1");
    EXPECT_EQ(saved.cellText(1, "D3"), "05/03/2009");
    EXPECT_EQ(saved.cellFormatCode(1, "C3"), "DD.MM.YYYY");
    EXPECT_NEAR(saved.rowHeightPoints(1, 1), 30, 0.5);
}

TEST_F(OfficeTest, NewDocumentSavedAsWord97) {
    WordAccessCore word(run());
    ASSERT_TRUE(word.open({}));
    EXPECT_TRUE(word.setBookmark("missing", "text"));
    ASSERT_TRUE(word.saveAs(folder_.file("out.doc")));
    word.close();
    EXPECT_TRUE(QFile::exists(folder_.file("out.doc")));
}

}  // namespace
