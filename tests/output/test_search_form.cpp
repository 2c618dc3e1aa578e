#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "app/Forms.h"
#include "app/TMainForm.h"
#include "citizens/CitizenStore.h"
#include "citizens/PaymentDocumentStore.h"
#include "controls/ControlTesting.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "gui/Context.h"
#include "gui/FileDialogs.h"
#include "gui/MessageBoxes.h"
#include "output/TSearchForm.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using citizens::IGFormData;
using dictionaries::ComboItem;
using output::TSearchForm;

namespace {

IGFormData Citizen(const QString& surname, int sex = 1, int citizenship = 22) {
    IGFormData r;
    r.surname = surname;
    r.givenName = QStringLiteral("Иван");
    r.patronymic = QStringLiteral("Иванович");
    r.birthDate = QStringLiteral("01/01/1980");
    r.sex = sex;
    r.citizenship = citizenship;
    r.passportSeries = QStringLiteral("AB");
    r.passportNumber = QStringLiteral("123456");
    r.passportIssueDate = QStringLiteral("05/03/2008");
    r.orgName = QStringLiteral("Ромашка");
    r.orgInn = QStringLiteral("7701");
    return r;
}

class SearchFormTest : public ::testing::Test {
protected:
    SearchFormTest() {
        context.lists.allCountries = {{QStringLiteral("Узбекистан"), ComboItem(22)},
                                      {QStringLiteral("Таджикистан"), ComboItem(7)}};
        form.Reset();
    }

    int add(const IGFormData& record) {
        return citizens::InsertCitizen(data.db(), record, ++lastKey);
    }

    void addFive() {
        for (const char* surname : {"Алиев", "Бабаев", "Валиев", "Гасанов", "Давлатов"}) {
            const int key = add(Citizen(QString::fromUtf8(surname)));
            citizens::InsertPaymentDocument(data.db(), {}, key, key);
        }
    }

    QTableWidget* grid() const { return form.StringGrid1; }
    int rows() const { return grid()->rowCount(); }
    QString cell(int row, int column) const { return grid()->item(row, column)->text(); }
    bool marked(int row) const {
        return grid()->item(row, TSearchForm::MarkColumn)->checkState() == Qt::Checked;
    }
    void mark(int row, bool on = true) {
        grid()->item(row, TSearchForm::MarkColumn)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    QList<bool> marks() const {
        QList<bool> all;
        for (int row = 0; row < rows(); ++row)
            all << marked(row);
        return all;
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    TSearchForm form{context};
    int lastKey = 0;
};

}  // namespace

TEST_F(SearchFormTest, ResetEmptiesTheFilterAndTheGridOfNineColumns) {
    EXPECT_EQ(form.windowTitle(), "Поиск иностранного гражданина");
    EXPECT_EQ(form.objectName(), "SearchForm");
    add(Citizen(QStringLiteral("Иванов")));
    form.Edit1->setText(QStringLiteral("Ив"));
    form.Edit2->setText(QStringLiteral("Ив"));
    form.CustomPanel11->SetText(QStringLiteral("01/01/1980"));
    form.CustomPanel12->SetText(QStringLiteral("01/01/2000"));
    form.CustomPanel13->SetText(QStringLiteral("01/01/2030"));
    form.ComboBox11->SelectComboItemById(22);
    form.hour1->setValue(5);
    form.hour2->setValue(6);
    form.RunSearch();
    ASSERT_EQ(rows(), 1);

    form.Reset();
    EXPECT_EQ(form.Edit1->text(), "");
    EXPECT_EQ(form.Edit2->text(), "");
    EXPECT_EQ(form.CustomPanel11->Text(), "");
    EXPECT_EQ(form.CustomPanel12->Text(), "");
    EXPECT_EQ(form.CustomPanel13->Text(), "");
    EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), -1);
    EXPECT_EQ(form.ComboBox11->count(), 3);  // the empty entry and the two countries
    EXPECT_EQ(form.hour1->text(), "0");
    EXPECT_EQ(form.hour2->text(), "23");
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(form.ResultCount(), 0);

    // The hours stop at their ends.
    form.hour2->stepUp();
    EXPECT_EQ(form.hour2->value(), 23);
    form.hour1->stepDown();
    EXPECT_EQ(form.hour1->value(), 0);

    ASSERT_EQ(grid()->columnCount(), 9);
    const QStringList headers{"",
                              "ФИО",
                              "Дата рождения",
                              "Пол",
                              "Гражданство",
                              "Паспорт серия",
                              "Паспорт номер",
                              "Дата выдачи",
                              ""};
    const int widths[] = {20, 153, 86, 55, 118, 97, 63, 115, 64};
    for (int column = 0; column < 9; ++column) {
        EXPECT_EQ(grid()->horizontalHeaderItem(column)->text(), headers[column]) << column;
        EXPECT_EQ(grid()->columnWidth(column), widths[column]) << column;
    }
    form.show();
    EXPECT_GE(grid()->columnViewportPosition(TSearchForm::KeyColumn), grid()->viewport()->width());
    EXPECT_LE(grid()->columnViewportPosition(TSearchForm::IssueColumn) + 115,
              grid()->viewport()->width());
    EXPECT_EQ(grid()->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(form.Button5->text(), "Экспорт в Excel");
    EXPECT_EQ(form.Button6->text(), "Заполнить заявления");
}

TEST_F(SearchFormTest, EachRowShowsItsCitizen) {
    IGFormData man = Citizen(QStringLiteral("Иванов"));
    const int manKey = add(man);
    const int womanKey = add(Citizen(QStringLiteral("Петрова"), 0, 99));
    form.RunSearch();

    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(form.ResultCount(), 2);
    const QStringList first{
        "Иванов Иван Иванович", "01/01/1980",           "муж", "Узбекистан", "AB", "123456",
        "05/03/2008",           QString::number(manKey)};
    for (int column = 1; column < 9; ++column)
        EXPECT_EQ(cell(0, column), first[column - 1]) << column;
    EXPECT_EQ(cell(1, TSearchForm::SexColumn), "жен");
    EXPECT_EQ(cell(1, TSearchForm::CountryColumn), "неизвестно");
    EXPECT_EQ(cell(1, TSearchForm::KeyColumn), QString::number(womanKey));
    EXPECT_EQ(grid()->currentRow(), 0);
    EXPECT_EQ(marks(), (QList<bool>{false, false}));
}

TEST_F(SearchFormTest, MarksGoWithEverySearchAndTheMarkAllBoxStaysAsItIs) {
    addFive();
    form.RunSearch();
    mark(1);
    mark(3);
    EXPECT_EQ(form.CollectMarkedKeys(), (QList<int>{2, 4}));
    form.RunSearch();
    EXPECT_EQ(form.CollectMarkedKeys(), QList<int>{});

    form.CheckBox1->setChecked(true);
    EXPECT_EQ(form.CollectMarkedKeys(), (QList<int>{1, 2, 3, 4, 5}));
    // Unmarking one row unticks the box and leaves every other mark.
    mark(2, false);
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_EQ(form.CollectMarkedKeys(), (QList<int>{1, 2, 4, 5}));

    form.CheckBox1->setChecked(true);
    form.RunSearch();
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_EQ(form.CollectMarkedKeys(), QList<int>{});
    form.CheckBox1->setChecked(false);
    EXPECT_EQ(form.CollectMarkedKeys(), QList<int>{});
}

TEST_F(SearchFormTest, SpaceTogglesTheCurrentRowOnly) {
    addFive();
    controls_testing::ShowActive(form);
    form.RunSearch();
    form.CheckBox1->setChecked(true);
    grid()->setFocus();
    grid()->setCurrentCell(2, TSearchForm::NameColumn);

    controls_testing::Press(Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(marks(), (QList<bool>{true, true, false, true, true}));
    EXPECT_FALSE(form.CheckBox1->isChecked());
    controls_testing::Press(Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(marks(), (QList<bool>{true, true, true, true, true}));
    EXPECT_FALSE(form.CheckBox1->isChecked());
}

TEST_F(SearchFormTest, EnterAndTheSearchKeyOfEitherLayoutSearchFromTheGrid) {
    controls_testing::ShowActive(form);
    const struct {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {
        {"Enter", Qt::Key_Return, Qt::NoModifier},
        {"Ctrl+G", Qt::Key_G, Qt::ControlModifier},
        {"Ctrl+П", Qt::Key(0x041F), Qt::ControlModifier},
    };
    for (const auto& k : keys) {
        add(Citizen(QStringLiteral("Иванов")));
        form.Edit1->setFocus();
        QTest::sendKeyEvent(QTest::Click, form.Edit1, k.key, QString(), k.modifiers);
        EXPECT_EQ(rows(), lastKey) << k.what;
        EXPECT_TRUE(grid()->hasFocus()) << k.what;
        EXPECT_EQ(form.Edit1->text(), "") << k.what;
    }
}

TEST_F(SearchFormTest, TheExportKeyOfEitherLayoutStartsTheExport) {
    controls_testing::ShowActive(form);
    for (Qt::Key key : {Qt::Key_Apostrophe, Qt::Key_QuoteDbl, Qt::Key(0x042D)}) {
        form.Edit2->setFocus();
        gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        QTest::sendKeyEvent(QTest::Click, form.Edit2, key, QString(), Qt::ControlModifier);
        const auto shown = gui::MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1) << key;
        EXPECT_EQ(shown[0].text, "Не найдено ИГ для экспортирования.");
        EXPECT_TRUE(grid()->hasFocus());
        EXPECT_EQ(form.Edit2->text(), "");
    }
}

TEST_F(SearchFormTest, DoubleClickAsksToOpenTheRowsCitizen) {
    add(Citizen(QStringLiteral("Иванов")));
    const int second = add(Citizen(QStringLiteral("Петров")));
    QSignalSpy opened(&form, &TSearchForm::editCitizenRequested);
    controls_testing::ShowActive(form);
    form.RunSearch();
    const QRect rect = grid()->visualItemRect(grid()->item(1, TSearchForm::NameColumn));
    // A double click as the window system delivers it: a click, then the double click.
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened[0][0].toInt(), second);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(SearchFormTest, DeletingTwoOfFiveKeepsTheirPaymentDocuments) {
    addFive();
    form.RunSearch();
    mark(1);
    mark(3);

    gui::MessageBoxes::setNextAnswer(QMessageBox::No);
    QTest::mouseClick(form.Button4, Qt::LeftButton);
    auto shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "удаление");
    EXPECT_EQ(shown[0].text, "Вы уверены, что хотите удалить выбранные записи?");
    EXPECT_EQ(shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(rows(), 5);
    EXPECT_EQ(form.CollectMarkedKeys(), (QList<int>{2, 4}));

    gui::MessageBoxes::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(form.Button4, Qt::LeftButton);
    EXPECT_EQ(gui::MessageBoxes::takeShown().size(), 1);
    ASSERT_EQ(rows(), 3);
    EXPECT_EQ(cell(0, TSearchForm::KeyColumn), "1");
    EXPECT_EQ(cell(1, TSearchForm::KeyColumn), "3");
    EXPECT_EQ(cell(2, TSearchForm::KeyColumn), "5");
    EXPECT_EQ(form.CollectMarkedKeys(), QList<int>{});
    EXPECT_EQ(data.db().queryInt("SELECT count(*) FROM pp"), 5);
}

TEST_F(SearchFormTest, ARefusedDeletionIsReportedAndTheListAndMarksStay) {
    addFive();
    form.RunSearch();
    mark(0);
    data.db().exec("PRAGMA query_only = ON");
    gui::MessageBoxes::setNextAnswer(QMessageBox::Yes);
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(form.Button4, Qt::LeftButton);
    data.db().exec("PRAGMA query_only = OFF");

    const auto shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1].title, "Ошибка удаления");
    EXPECT_TRUE(shown[1].text.startsWith("Не удалось удалить выбранные записи"))
        << shown[1].text.toStdString();
    EXPECT_EQ(rows(), 5);
    EXPECT_EQ(form.CollectMarkedKeys(), QList<int>{1});
    EXPECT_EQ(data.db().queryInt("SELECT count(*) FROM ig"), 5);
}

TEST_F(SearchFormTest, AFilterTextThatIsNoDateIsNamedAndThePreviousListStays) {
    addFive();
    controls_testing::ShowActive(form);
    form.RunSearch();
    mark(4);
    const struct {
        controls::TExtDateEdit* field;
        const char* message;
    } cases[] = {
        {form.CustomPanel11, "Поле 'Дата рождения' содержит неверную дату."},
        {form.CustomPanel12, "Поле 'Период добавления: С' содержит неверную дату."},
        {form.CustomPanel13, "Поле 'Период добавления: ПО' содержит неверную дату."},
    };
    for (const auto& c : cases) {
        c.field->SetText(QStringLiteral("31/02/2009"));
        gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        const auto shown = gui::MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].title, "Ошибка ввода данных");
        EXPECT_EQ(shown[0].text, c.message);
        EXPECT_EQ(QApplication::focusWidget(), c.field->Edit());
        EXPECT_EQ(rows(), 5);
        EXPECT_EQ(form.CollectMarkedKeys(), QList<int>{5});
        c.field->SetText({});
    }
}

TEST_F(SearchFormTest, ExportOfAnEmptyListStopsBeforeTheFileDialog) {
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    const auto shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Ошибка экспорта");
    EXPECT_EQ(shown[0].text, "Не найдено ИГ для экспортирования.");
    EXPECT_TRUE(gui::FileDialogs::takeShown().isEmpty());  // asked before the file dialog
}

TEST_F(SearchFormTest, ExportWritesTheMarkedCitizensUnderTheChosenNameWithTheirCount) {
    addFive();
    form.RunSearch();

    gui::FileDialogs::setNextFileName({});  // cancelled
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    const auto dialogs = gui::FileDialogs::takeShown();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].kind, gui::FileDialogs::Kind::Save);
    EXPECT_EQ(dialogs[0].filter, "XML File (*.xml);;All Files (*.*)");
    EXPECT_TRUE(dialogs[0].directory.startsWith(folder.file(QStringLiteral(" "))))
        << dialogs[0].directory.toStdString();
    EXPECT_TRUE(dialogs[0].directory.endsWith(QStringLiteral(".xml")));

    gui::FileDialogs::setNextFileName(folder.file(QStringLiteral("list.xml")));
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(form.Button1, Qt::LeftButton);  // nothing marked
    auto shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Экспорт");
    EXPECT_EQ(shown[0].text, "Не отмечено ИГ для экспортирования");

    mark(1);
    mark(4);
    gui::FileDialogs::setNextFileName(folder.file(QStringLiteral("list.xml")));
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Операция завершена");
    EXPECT_EQ(shown[0].text, "Экспорт результатов завершен");
    const QByteArray written = folder.read(QStringLiteral("list - 2.xml"));
    EXPECT_EQ(written.count("<ig "), 2);
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("list.xml"))));

    // A name typed without extension gets ".xml".
    gui::FileDialogs::setNextFileName(folder.file(QStringLiteral("список")));
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(gui::MessageBoxes::takeShown().size(), 1);
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("список - 2.xml"))));

    // The file under the final name exists: asked about, and kept on "Нет".
    folder.write(QStringLiteral("list - 2.xml"), "earlier");
    gui::FileDialogs::setNextFileName(folder.file(QStringLiteral("list.xml")));
    gui::MessageBoxes::setNextAnswer(QMessageBox::No);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("list - 2.xml")));
    EXPECT_EQ(folder.read(QStringLiteral("list - 2.xml")), "earlier");
    gui::FileDialogs::setNextFileName(folder.file(QStringLiteral("list.xml")));
    gui::MessageBoxes::setNextAnswer(QMessageBox::Yes);
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(gui::MessageBoxes::takeShown().size(), 2);
    EXPECT_EQ(folder.read(QStringLiteral("list - 2.xml")).count("<ig "), 2);
}

TEST_F(SearchFormTest, MoreThanAThousandMarkedCitizensAreAllWritten) {
    {
        storage::Transaction transaction(data.db());
        for (int i = 0; i < 1001; ++i)
            add(Citizen(QStringLiteral("Гражданин")));
        transaction.commit();
    }
    form.RunSearch();
    form.CheckBox1->setChecked(true);
    gui::FileDialogs::setNextFileName(folder.file(QStringLiteral("all.xml")));
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    ASSERT_EQ(gui::MessageBoxes::takeShown().size(), 1);
    EXPECT_EQ(folder.read(QStringLiteral("all - 1001.xml")).count("<ig "), 1001);
}

TEST_F(SearchFormTest, AnExportThatCannotBeWrittenNamesTheFileAndReportsNoSuccess) {
    addFive();
    form.RunSearch();
    mark(0);
    gui::FileDialogs::setNextFileName(folder.file(QStringLiteral("нет/list.xml")));
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    const auto shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Ошибка экспорта");
    EXPECT_EQ(shown[0].text, QStringLiteral("Файл «%1» не записан: папка не найдена.")
                                 .arg(folder.file(QStringLiteral("нет/list - 1.xml"))));
}

TEST_F(SearchFormTest, CancelHidesTheWindowWithItsResults) {
    addFive();
    controls_testing::ShowActive(form);
    form.RunSearch();
    mark(2);
    QTest::mouseClick(form.Button3, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    controls_testing::ShowActive(form);
    QTest::keyClick(form.Edit1, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.CollectMarkedKeys(), QList<int>{3});
}

TEST_F(SearchFormTest, F1AndTheQuestionButtonOpenTheSearchPage) {
    help_testing::CopyManual(folder);
    form.show();
    help_testing::ExpectHelpTopic(form.Edit1, form.Button8, gui::topic::kCitizenSearch);
}

TEST(SearchFormCommand, TheMenuResetsTheSearchOnlyWhenItIsNotShown) {
    TestFolder folder;
    TestDatabase data(folder.path());
    gui::Context context{folder.path(), data.db()};
    app::Forms forms(context);
    TSearchForm& search = *forms.SearchForm;
    EXPECT_EQ(search.parentWidget(), forms.MainForm.get());
    QAction* command = forms.MainForm->N8;

    command->trigger();
    ASSERT_TRUE(search.isVisible());
    search.Edit1->setText(QStringLiteral("Ив"));
    search.hour1->setValue(4);
    command->trigger();
    EXPECT_EQ(search.Edit1->text(), "Ив");

    search.hide();
    command->trigger();
    EXPECT_TRUE(search.isVisible());
    EXPECT_EQ(search.Edit1->text(), "");
    EXPECT_EQ(search.hour1->value(), 0);
}
