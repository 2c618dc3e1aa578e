#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>

#include "citizens/CitizenStore.h"
#include "controls/ControlTesting.h"
#include "controls/TEditSD.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "permits/PermitStore.h"
#include "permits/TRNPIRSEditForm.h"
#include "permits/TRNPSearchForm.h"
#include "storage/Database.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace permits;
using controls_testing::Press;

namespace {

// A double click as the window system delivers it: a click, then the second press as a
// double click, then its release.
void DoubleClickOrClick(QWidget* widget, QPoint at, bool twice) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    if (!twice)
        return;
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

class PermitSearchTest : public ::testing::Test {
protected:
    PermitSearchTest() {
        for (const char* number : {"12", "112", "А12", "5"})
            InsertPermit(db, QString::fromUtf8(number), 40000, 40364, {{51, 2}}, {{1, 2, -1}}, -1);
        form.UsePermitEditor(&editor);
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    void AddCitizen(int key, const QString& permit, const QString& surname, const QString& name,
                    const QString& patronymic) {
        citizens::IGFormData citizen;
        citizen.permitNumber = permit;
        citizen.surname = surname;
        citizen.givenName = name;
        citizen.patronymic = patronymic;
        citizens::InsertCitizen(db, citizen, key);
    }

    void SearchFor(const QString& text) {
        form.Edit1->setText(text);
        QTest::mouseClick(form.Button2, Qt::LeftButton);
    }

    void ClickCell(int row, int column, bool twice = false) {
        const QPoint at =
            form.ProfGrid1->visualRect(form.ProfGrid1->model()->index(row, column)).center();
        DoubleClickOrClick(form.ProfGrid1->viewport(), at, twice);
    }

    // Ctrl with a key as a layout reports it, sent where the focus is.
    void SendCtrl(int key, quint32 scanCode, quint32 symbol) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, scanCode, symbol, 0x4);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    }

    QStringList AnswerAll(QAbstractButton* button,
                          std::initializer_list<QMessageBox::StandardButton> answers) {
        for (QMessageBox::StandardButton answer : answers)
            gui::MessageBoxes::setNextAnswer(answer);
        QTest::mouseClick(button, Qt::LeftButton);
        QStringList texts;
        for (const auto& shown : gui::MessageBoxes::takeShown())
            texts << shown.title + QStringLiteral(": ") + shown.text;
        return texts;
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    storage::Database& db = data.db();
    gui::Context context{folder.path(), db};
    TRNPIRSEditForm editor{context};
    TRNPSearchForm form{context};
};

const QString kFirstQuestion = "удаление: Вы уверены, что хотите удалить выбранные записи?";
const QString kSetQuestion =
    "Удаление набора РНП: действительно хотите удалить все выбранные РНП ИРС?";

}  // namespace

TEST_F(PermitSearchTest, NumbersFoundAllContainingOrExactly) {
    EXPECT_EQ(form.windowTitle(), "Поиск РНП ИРС");
    const struct {
        const char* pattern;
        QStringList found;
    } cases[] = {
        {"", {"12", "112", "А12", "5"}},
        {"%12", {"12", "112", "А12"}},
        {"%а", {}},  // letter case counts
        {"12", {"12"}},
        {"%", {}},
    };
    for (const auto& c : cases) {
        SearchFor(QString::fromUtf8(c.pattern));
        EXPECT_EQ(form.ListedNumbers(), c.found) << c.pattern;
    }
    EXPECT_EQ(form.ProfGrid1->model()->rowCount(), 0);
    EXPECT_EQ(form.ProfGrid1->columnWidth(TRNPSearchForm::kNumberColumn), 350);
}

TEST_F(PermitSearchTest, EnterAndCtrlGInEitherLayoutSearchAndMoveToTheGrid) {
    form.Edit1->setText("%1");
    form.Edit1->setFocus();
    Press(Qt::Key_Return, "\r");
    EXPECT_EQ(form.ListedNumbers().size(), 3);
    EXPECT_TRUE(form.ProfGrid1->hasFocus());

    // Latin layout: G; Russian layout: the same key gives П.
    const struct {
        int key;
        quint32 symbol;
    } layouts[] = {{Qt::Key_G, 0x67}, {0x041F, 0x6d0}};
    for (const auto& layout : layouts) {
        form.Edit1->setText("5");
        form.Edit1->setFocus();
        SendCtrl(layout.key, 0, 0);
        EXPECT_EQ(form.ListedNumbers(), QStringList{"5"}) << layout.key;
        EXPECT_TRUE(form.ProfGrid1->hasFocus());
        form.Edit1->setText("12");
        form.Edit1->setFocus();
        SendCtrl(0, 0, layout.symbol);  // known by its symbol alone
        EXPECT_EQ(form.ListedNumbers(), QStringList{"12"}) << layout.symbol;
    }
    EXPECT_EQ(form.Edit1->text(), "12");  // nothing typed into the field
}

TEST_F(PermitSearchTest, MarksFollowClicksInTheirColumnAndTheHeadingBox) {
    SearchFor("");
    ClickCell(1, TRNPSearchForm::kNumberColumn);
    EXPECT_FALSE(form.IsMarked(1));
    EXPECT_EQ(form.ProfGrid1->currentIndex().row(), 1);
    ClickCell(1, TRNPSearchForm::kMarkColumn);
    EXPECT_TRUE(form.IsMarked(1));
    QTest::keyClick(form.ProfGrid1, Qt::Key_Down);  // keys move without marking
    EXPECT_FALSE(form.IsMarked(2));

    QTest::mouseClick(form.HeaderBox, Qt::LeftButton);
    for (int row = 0; row < 4; ++row)
        EXPECT_TRUE(form.IsMarked(row)) << row;
    ClickCell(3, TRNPSearchForm::kMarkColumn);
    EXPECT_FALSE(form.IsMarked(3));
    EXPECT_FALSE(form.HeaderBox->isChecked());
    EXPECT_TRUE(form.IsMarked(0));

    // The heading takes the selection away.
    QHeaderView* heading = form.ProfGrid1->horizontalHeader();
    QTest::mouseClick(heading->viewport(), Qt::LeftButton, {},
                      QPoint(heading->sectionViewportPosition(1) + 20, heading->height() / 2));
    EXPECT_FALSE(form.ProfGrid1->selectionModel()->hasSelection());
}

TEST_F(PermitSearchTest, DoubleClickOpensThePermitForEditingAndTheHeadingOpensNothing) {
    SearchFor("%12");
    QHeaderView* heading = form.ProfGrid1->horizontalHeader();
    DoubleClickOrClick(heading->viewport(),
                       QPoint(heading->sectionViewportPosition(1) + 20, heading->height() / 2),
                       true);
    EXPECT_FALSE(editor.isVisible());

    ClickCell(2, TRNPSearchForm::kNumberColumn, true);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_TRUE(editor.EditMode());
    EXPECT_EQ(editor.Edit1->text(), "А12");
}

TEST_F(PermitSearchTest, DeletingAsksFirstAndNeedsAMark) {
    SearchFor("");
    EXPECT_EQ(AnswerAll(form.Button1, {QMessageBox::No}), QStringList{kFirstQuestion});
    EXPECT_EQ(AnswerAll(form.Button1, {QMessageBox::Yes, QMessageBox::Ok}),
              QStringList({kFirstQuestion, "ошибка удаления: Нет выбранных РНП ИРС для удаления"}));
    EXPECT_EQ(form.ListedNumbers().size(), 4);
}

TEST_F(PermitSearchTest, PermitWithCitizensGoesWithExactlyThemOnlyWhenTheUserAgrees) {
    AddCitizen(1, "112", "Иванов", "Иван", "Иванович");
    AddCitizen(2, "5", "Другой", "Пётр", "");
    AddCitizen(3, "112", "Рахимов", "Алишер", "Каримович");
    SearchFor("");
    ClickCell(1, TRNPSearchForm::kMarkColumn);  // 112, with two citizens
    ClickCell(2, TRNPSearchForm::kMarkColumn);  // А12, with none
    const QString citizensQuestion =
        "Удаление РНП: РНП ИРС №112 связан с ИГ: Иванов Иван Иванович,Рахимов Алишер Каримович.\n"
        "Внимание! В случае, если вы ответите \"Да\", будет удалён РНП ИРС вместе со всеми "
        "прикреплёнными к нему ИГ.\nЕсли ответите \"Нет\", то РНП ИРС не будет удалён.";

    EXPECT_EQ(AnswerAll(form.Button1, {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::No}),
              QStringList({kFirstQuestion, kSetQuestion, citizensQuestion}));
    EXPECT_EQ(form.ListedNumbers(), QStringList({"12", "112", "5"}));  // searched again
    EXPECT_FALSE(form.IsMarked(1));
    EXPECT_EQ(Rows(db, "ig", "igid"), QStringList({"1", "2", "3"}));

    ClickCell(1, TRNPSearchForm::kMarkColumn);
    EXPECT_EQ(AnswerAll(form.Button1, {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes}),
              QStringList({kFirstQuestion, kSetQuestion, citizensQuestion}));
    EXPECT_EQ(form.ListedNumbers(), QStringList({"12", "5"}));
    EXPECT_EQ(Rows(db, "ig", "igid"), QStringList{"2"});
    EXPECT_EQ(Rows(db, "rnpirsCOUNTRY", "c_rnp_pid"), QStringList({"12", "5"}));
}

TEST_F(PermitSearchTest, NoToTheSetKeepsEverythingAndAFreshSearchFollows) {
    SearchFor("");
    QTest::mouseClick(form.HeaderBox, Qt::LeftButton);
    form.Edit1->setText("%12");  // the search afterwards takes the current text
    EXPECT_EQ(AnswerAll(form.Button1, {QMessageBox::Yes, QMessageBox::No}),
              QStringList({kFirstQuestion, kSetQuestion}));
    EXPECT_EQ(form.ListedNumbers(), QStringList({"12", "112", "А12"}));
    EXPECT_FALSE(form.HeaderBox->isChecked());
    EXPECT_EQ(Rows(db, "rnpirs").size(), 4);
}

TEST_F(PermitSearchTest, RefusedDeletionIsReportedAndThePermitStays) {
    SearchFor("5");
    ClickCell(0, TRNPSearchForm::kMarkColumn);
    db.exec("PRAGMA query_only = ON");
    const QStringList shown =
        AnswerAll(form.Button1, {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok});
    db.exec("PRAGMA query_only = OFF");
    ASSERT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown[2].startsWith("Ошибка удаления: "));
    EXPECT_TRUE(shown[2].contains("Не удалось удалить РНП ИРС №5"));
    EXPECT_EQ(form.ListedNumbers(), QStringList{"5"});
    EXPECT_TRUE(PermitExists(db, "5"));
}

TEST_F(PermitSearchTest, EveryMatchIsListedAndEmptyingKeepsTheNumberTyped) {
    storage::Transaction many(db);  // one commit, not 150
    for (int i = 0; i < 150; ++i)
        InsertPermit(db, QStringLiteral("Н%1").arg(i), 1, 2, {}, {}, -1);
    many.commit();
    SearchFor("%Н");
    EXPECT_EQ(form.ListedNumbers().size(), 150);
    EXPECT_EQ(form.ProfGrid1->model()->rowCount(), 150);

    QTest::mouseClick(form.HeaderBox, Qt::LeftButton);
    form.EmptyResults();
    EXPECT_TRUE(form.ListedNumbers().isEmpty());
    EXPECT_FALSE(form.HeaderBox->isChecked());
    EXPECT_EQ(form.Edit1->text(), "%Н");
}

TEST_F(PermitSearchTest, CancelClosesAndF1AndTheQuestionButtonOpenTheSearchPage) {
    help_testing::CopyManual(folder);
    help_testing::ExpectHelpTopic(form.Edit1, form.Button8, gui::topic::kPermitSearch);
    QTest::mouseClick(form.Button3, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}
