#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

#include "controls/ControlTesting.h"
#include "controls/GridEditors.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "permits/PermitEntrySave.h"
#include "permits/TRNPIRSEditForm.h"
#include "settings/RegionSetting.h"
#include "storage/Database.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace permits;
using controls_testing::Press;
using controls_testing::Type;
using dictionaries::ComboItem;

namespace {

struct Box {
    QString title;
    QString text;
    bool operator==(const Box&) const = default;
};

void PrintTo(const Box& box, std::ostream* out) {
    *out << box.title.toStdString() << ": " << box.text.toStdString();
}

QString Date(int number) {
    return dates::DateNumberToText(number);
}

class PermitDialogTest : public ::testing::Test {
protected:
    PermitDialogTest() {
        context.lists.allCountries = {{QStringLiteral("Армения"), ComboItem(51)},
                                      {QStringLiteral("Молдова"), ComboItem(498)},
                                      {QStringLiteral("Таджикистан"), ComboItem(762)},
                                      {QStringLiteral("Узбекистан"), ComboItem(860)}};
        context.lists.professions = {{QStringLiteral("Маляр"), ComboItem(1)},
                                     {QStringLiteral("Плотник"), ComboItem(2)},
                                     {QStringLiteral("Штукатур"), ComboItem(3)}};
        context.lists.professionPrefixes = {{QStringLiteral("Помощник"), ComboItem(7, 1)},
                                            {QStringLiteral("Старший"), ComboItem(8, 0)}};
        context.lists.territories = {{QStringLiteral("Москва"), ComboItem(77)},
                                     {QStringLiteral("Тверская область"), ComboItem(69)}};
    }

    void OpenNew() {
        form.OpenNewPermit();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    void OpenStored(const QString& number) {
        form.OpenPermitForEditing(number);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    // Presses the button answering the one box it brings up; returns that box.
    Box PressAnswering(QAbstractButton* button,
                       QMessageBox::StandardButton answer = QMessageBox::Ok) {
        gui::MessageBoxes::setNextAnswer(answer);
        QTest::mouseClick(button, Qt::LeftButton);
        const auto shown = gui::MessageBoxes::takeShown();
        EXPECT_EQ(shown.size(), 1);
        return shown.isEmpty() ? Box{} : Box{shown[0].title, shown[0].text};
    }

    void AddCountry(int country, const QString& quota) {
        form.ComboBox11->SelectComboItemById(country);
        form.Edit2->setText(quota);
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    }

    void AddProfession(int profession, int prefix, const QString& quota) {
        form.ComboBox12->SelectComboItemById(profession);
        form.ComboBox13->SelectComboItemById(prefix);
        form.Edit3->setText(quota);
        QTest::mouseClick(form.Button3, Qt::LeftButton);
    }

    // A dialog that passes every check of saving once its number is typed.
    void FillValid(const QString& number) {
        form.Edit1->setText(number);
        form.CustomPanel11->SetText(Date(dates::Today() - 10));
        form.CustomPanel12->SetText(Date(dates::Today() + 300));
        form.setTerritories({77}, QStringLiteral("Москва"));
        AddCountry(51, "3");
        AddProfession(1, -1, "3");
    }

    template <class Editor>
    Editor* EditorAt(QTableWidget* grid, int row, int column) {
        return static_cast<Editor*>(controls::GridEditorAt(grid, row, column));
    }
    controls::TEditSD* QuotaEdit(QTableWidget* grid, int row) {
        const int column = grid == form.StringGrid1 ? int(TRNPIRSEditForm::kCountryQuota)
                                                    : int(TRNPIRSEditForm::kProfessionQuota);
        return EditorAt<controls::TextEditGridEditor>(grid, row, column)->Control();
    }
    controls::DelType1GridEditor* DeleteEditor(QTableWidget* grid, int row) {
        const int column = grid == form.StringGrid1 ? int(TRNPIRSEditForm::kCountryDelete)
                                                    : int(TRNPIRSEditForm::kProfessionDelete);
        return EditorAt<controls::DelType1GridEditor>(grid, row, column);
    }

    QList<CountryQuota> Countries() { return form.Entry().permit.countries; }
    QList<ProfessionQuota> Professions() { return form.Entry().permit.professions; }

    TestFolder folder;
    TestDatabase data{folder.path()};
    storage::Database& db = data.db();
    gui::Context context{folder.path(), db};
    TRNPIRSEditForm form{context};
};

}  // namespace

TEST_F(PermitDialogTest, EditModeIsFilledFromTheStoreAndAddModeComesBackCleared) {
    SavePermitEntry(
        db,
        {"РНП 7", {40000, 40364, 39990, {{51, 2}, {860, 3}}, {{1, 4, 7}, {2, 1, -1}}}, {69, 77}},
        false);
    // Another permit open before, with a row marked: its rows and marks do not survive.
    SavePermitEntry(db, {"Другой", {40000, 40364, -1, {{762, 1}, {498, 2}, {51, 3}}, {}}, {}},
                    false);
    OpenStored("Другой");
    QTest::mouseClick(DeleteEditor(form.StringGrid1, 0)->CheckBox(), Qt::LeftButton);
    OpenStored("РНП 7");
    EXPECT_EQ(form.windowTitle(),
              "Форма редактирования разрешения на привлечение и использование ИРС");
    EXPECT_TRUE(form.EditMode());
    EXPECT_FALSE(form.Edit1->isEnabled());
    EXPECT_EQ(form.Edit1->text(), "РНП 7");
    EXPECT_EQ(form.CustomPanel11->Text(), Date(40000));
    EXPECT_EQ(form.CustomPanel12->Text(), Date(40364));
    EXPECT_EQ(form.CustomPanel13->Text(), Date(39990));
    EXPECT_EQ(Countries(), (QList<CountryQuota>{{51, 2}, {860, 3}}));
    EXPECT_EQ(Professions(), (QList<ProfessionQuota>{{1, 4, 7}, {2, 1, -1}}));
    EXPECT_EQ(form.Label11->text(), "5");
    EXPECT_EQ(form.Label12->text(), "5");
    EXPECT_EQ(form.territoryIds(), QList<int>({69, 77}));
    EXPECT_EQ(form.Memo1->toPlainText(), "Тверская область,Москва");
    EXPECT_TRUE(form.Button7->isVisible());
    // The editors show the rows' values.
    EXPECT_EQ(
        EditorAt<controls::ComboBoxType1GridEditor>(form.StringGrid2, 0, TRNPIRSEditForm::kPrefix)
            ->Control()
            ->currentText(),
        "Помощник");
    EXPECT_EQ(QuotaEdit(form.StringGrid1, 1)->text(), "3");
    EXPECT_FALSE(DeleteEditor(form.StringGrid1, 0)->CheckBox()->isChecked());
    EXPECT_EQ(
        EditorAt<controls::ComboBoxType1GridEditor>(form.StringGrid1, 0, TRNPIRSEditForm::kCountry)
            ->Control()
            ->currentText(),
        "Армения");

    form.OpenNewPermit();
    EXPECT_EQ(form.windowTitle(), "Форма ввода разрешения на привлечение и использование ИРС");
    EXPECT_FALSE(form.EditMode());
    EXPECT_TRUE(form.Edit1->isEnabled());
    EXPECT_EQ(form.Entry(), PermitEntry());
    EXPECT_EQ(form.Memo1->toPlainText(), "");
    EXPECT_EQ(form.Label11->text(), "0");
    EXPECT_EQ(form.StringGrid1->rowCount(), 0);
}

TEST_F(PermitDialogTest, NumberAndQuotaFieldsKeepOnlyTheirCharactersTypedOrPasted) {
    OpenNew();
    AddCountry(51, "1");
    struct Case {
        QLineEdit* edit;
        QString typed, pasted, kept;
    };
    const Case cases[] = {
        {form.Edit1, "Ab 1Ёё-я", "№ 2/Жz", " 1я 2Ж"},
        {form.Edit2, "1a2-", "3 4x5", "12345"},
        {form.Edit3, "9.8", "76", "9876"},
        {QuotaEdit(form.StringGrid1, 0), "4f", "0,5", "405"},
    };
    for (const Case& c : cases) {
        c.edit->setFocus();
        c.edit->clear();
        Type(c.typed);
        QApplication::clipboard()->setText(c.pasted);
        QTest::keyClick(c.edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(c.edit->text(), c.kept.left(c.edit->maxLength())) << c.kept.toStdString();
    }
    EXPECT_EQ(form.Edit1->maxLength(), 50);
    EXPECT_EQ(form.Edit2->maxLength(), 5);
    EXPECT_EQ(QuotaEdit(form.StringGrid1, 0)->maxLength(), 5);
}

TEST_F(PermitDialogTest, AddingACountryChecksItsChoiceQuotaAndDuplicate) {
    OpenNew();
    EXPECT_EQ(PressAnswering(form.Button1),
              (Box{"ошибка ввода данных", "Должна быть задана страна"}));
    EXPECT_TRUE(form.ComboBox11->hasFocus());

    form.ComboBox11->SelectComboItemById(498);
    EXPECT_EQ(PressAnswering(form.Button1),
              (Box{"ошибка ввода данных", "Должна быть задана квота"}));
    EXPECT_TRUE(form.Edit2->hasFocus());

    form.Edit2->setText("12");
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(Countries(), (QList<CountryQuota>{{498, 12}}));
    EXPECT_EQ(form.Label11->text(), "12");
    EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), -1);
    EXPECT_EQ(form.Edit2->text(), "");
    EXPECT_TRUE(form.ComboBox11->hasFocus());

    form.ComboBox11->SelectComboItemById(498);
    form.Edit2->setText("1");
    EXPECT_EQ(PressAnswering(form.Button1),
              (Box{"Ошибка ввода данных",
                   "Данная страна уже имеется в списке. Вы можете поменять квоты"}));
    EXPECT_EQ(Countries().size(), 1);
}

TEST_F(PermitDialogTest, AProfessionMayComeAgainOnlyWithAnotherPrefix) {
    OpenNew();
    EXPECT_EQ(PressAnswering(form.Button3),
              (Box{"ошибка ввода данных", "Должна быть задана профессия"}));
    EXPECT_TRUE(form.ComboBox12->hasFocus());
    form.ComboBox12->SelectComboItemById(2);
    EXPECT_EQ(PressAnswering(form.Button3),
              (Box{"ошибка ввода данных", "Должна быть задана квота"}));
    EXPECT_TRUE(form.Edit3->hasFocus());

    AddProfession(2, 7, "1");
    AddProfession(2, 8, "2");
    AddProfession(2, -1, "3");
    EXPECT_EQ(Professions(), (QList<ProfessionQuota>{{2, 1, 7}, {2, 2, 8}, {2, 3, -1}}));
    EXPECT_EQ(form.Label12->text(), "6");
    EXPECT_EQ(form.ComboBox13->SelectedComboItemId(), -1);
    EXPECT_TRUE(form.ComboBox12->hasFocus());

    const Box duplicate{"Ошибка ввода данных",
                        "Данная профессия уже имеется в списке. Вы можете поменять квоты"};
    for (int prefix : {7, -1}) {
        form.ComboBox12->SelectComboItemById(2);
        form.ComboBox13->SelectComboItemById(prefix);
        form.Edit3->setText("1");
        EXPECT_EQ(PressAnswering(form.Button3), duplicate) << prefix;
    }
    EXPECT_EQ(Professions().size(), 3);
}

TEST_F(PermitDialogTest, MarkedRowsGoAfterOneQuestionAndARowsOwnButtonAsksForItself) {
    OpenNew();
    EXPECT_EQ(PressAnswering(form.Button2), (Box{"удаление", "Для удаления ничего не выбрано"}));
    for (int country : {51, 498, 762, 860})
        AddCountry(country, "1");
    QTest::mouseClick(DeleteEditor(form.StringGrid1, 3)->CheckBox(), Qt::LeftButton);
    form.StringGrid1->scrollToTop();
    for (int row : {0, 1})
        QTest::mouseClick(DeleteEditor(form.StringGrid1, row)->CheckBox(), Qt::LeftButton);

    const Box question{"удаление", "Вы действительно хотите удалить выбранные строки"};
    EXPECT_EQ(PressAnswering(form.Button2, QMessageBox::No), question);
    EXPECT_EQ(Countries().size(), 4);
    EXPECT_EQ(PressAnswering(form.Button2, QMessageBox::Yes), question);
    EXPECT_EQ(Countries(), (QList<CountryQuota>{{762, 1}}));
    EXPECT_EQ(form.Label11->text(), "1");

    AddProfession(1, -1, "2");
    AddProfession(3, -1, "5");
    const Box rowQuestion{"Удаление строки", "Вы уверены что хотите удалить данную строку"};
    EXPECT_EQ(PressAnswering(DeleteEditor(form.StringGrid2, 0)->Button(), QMessageBox::No),
              rowQuestion);
    EXPECT_EQ(Professions().size(), 2);
    EXPECT_EQ(PressAnswering(DeleteEditor(form.StringGrid2, 0)->Button(), QMessageBox::Yes),
              rowQuestion);
    EXPECT_EQ(Professions(), (QList<ProfessionQuota>{{3, 5, -1}}));
    EXPECT_EQ(form.Label12->text(), "5");
}

TEST_F(PermitDialogTest, ScrolledRowsAreEditedInTheirOwnCellsAndTotalsFollowOnLeaving) {
    QList<CountryQuota> countries;
    for (int i = 0; i < 10; ++i)
        countries.append({51, i + 1});
    SavePermitEntry(db, {"10", {40000, 40364, -1, countries, {{1, 55, -1}}}, {}}, false);
    OpenStored("10");
    EXPECT_EQ(form.Label11->text(), "55");

    form.StringGrid1->verticalScrollBar()->setValue(7);
    QApplication::processEvents();
    controls::TEditSD* quota = QuotaEdit(form.StringGrid1, 7);
    ASSERT_TRUE(quota != nullptr);
    EXPECT_TRUE(controls_testing::ShownIn(form.StringGrid1->viewport(), quota));
    EXPECT_EQ(quota->text(), "8");
    quota->setFocus();
    quota->selectAll();
    Type(QStringLiteral("20"));
    EXPECT_EQ(form.Label11->text(), "55");  // not while typing
    form.Edit2->setFocus();
    EXPECT_EQ(form.Label11->text(), "67");
    EXPECT_EQ(Countries()[7], (CountryQuota{51, 20}));
}

TEST_F(PermitDialogTest, LeavingTheFirstDayProposesTheLastDay) {
    OpenNew();
    const struct {
        QString typed, proposed;
    } cases[] = {
        {"29012010", "28/01/2011"},
        {"15/03/2010", "14/03/2011"},
        {"31022010", "01/01/2030"},  // not a date: nothing changes
        {"", "01/01/2030"},
    };
    for (const auto& c : cases) {
        form.CustomPanel12->SetText("01/01/2030");
        form.CustomPanel11->SetText(QString());
        form.CustomPanel11->Edit()->setFocus();
        Type(c.typed);
        form.Edit1->setFocus();
        EXPECT_EQ(form.CustomPanel12->Text(), c.proposed) << c.typed.toStdString();
    }
}

// Each step puts right what the step before refused, so every check is met in its order.
TEST_F(PermitDialogTest, SavingChecksInTheirOrderWithMessageTitleAndFocus) {
    SavePermitEntry(db, {"12", {1, 2, -1, {}, {}}, {}}, false);
    OpenNew();
    const int today = dates::Today();
    struct Step {
        std::function<void()> before;
        Box box;
        QWidget* focus;
    };
    const Step steps[] = {
        {[&] { AddCountry(51, "3"); },
         {"сохранение", "Суммы квот по странам и профессиям должны совпадать"},
         nullptr},
        {[&] { AddProfession(1, -1, "3"); },
         {"сохранение",
          "Поле \"Разрешение на привлечение 'Номер'\" является обязательным для заполнения. "},
         form.Edit1},
        {[&] { form.Edit1->setText("12"); },
         {"сохранение", "Поле 'Начала периода действия' обязательно для заполнения"},
         form.CustomPanel11->Edit()},
        {[&] { form.CustomPanel11->SetText("31022010"); },
         {"сохранение", "Поле 'Окончания периода действия' обязательно для заполнения"},
         form.CustomPanel12->Edit()},
        {[&] { form.CustomPanel12->SetText("1"); },
         {"сохранение", "Поле 'Территории действия' обязательно для заполнения"},
         form.Button7},
        {[&] { form.setTerritories({69}, "Тверская область"); },
         {"сохранение", "Ошибка заполнения даты 'Начала периода действия'"},
         form.CustomPanel11->Edit()},
        {[&] {
             // Set after leaving the field: leaving it with a date would propose the last day.
             form.Button6->setFocus();
             form.CustomPanel11->SetText(Date(today - 5));
         },
         {"сохранение", "Ошибка заполнения даты 'Окончания периода действия'"},
         form.CustomPanel12->Edit()},
        {[&] {
             form.CustomPanel12->SetText(Date(today - 5));
             form.CustomPanel13->SetText("32/01/2010");
         },
         {"сохранение", "Ошибка заполнения даты 'Дата выдачи РНП'"},
         form.CustomPanel13->Edit()},
        {[&] { form.CustomPanel13->SetText(""); },
         {"Сохранение", "Поле 'Период действия По' не может быть раньше 'Периода действия C'"},
         form.CustomPanel12->Edit()},
        {[&] { form.CustomPanel12->SetText(Date(today)); },
         {"Сохранение", "Поле 'Период действия По' не может быть раньше настоящей даты"},
         form.CustomPanel12->Edit()},
        {[&] { form.CustomPanel12->SetText(Date(today + 1)); },
         {"сохранение", "Разрешение на привлечение ИРС с таким номером уже есть в базе."},
         form.Edit1},
    };
    for (const Step& step : steps) {
        step.before();
        form.Button6->setFocus();
        EXPECT_EQ(PressAnswering(form.Button6), step.box);
        if (step.focus) {
            EXPECT_TRUE(step.focus->hasFocus()) << step.box.text.toStdString();
        }
        EXPECT_TRUE(form.isVisible());
    }
    EXPECT_EQ(Rows(db, "rnpirs"), QStringList{"12|1|2|-1"});

    form.Edit1->setText("13");
    form.CustomPanel13->SetText("05/03/2008");
    QTest::mouseClick(form.Button6, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Rows(db, "rnpirs").last(), QStringLiteral("13|%1|%2|%3")
                                             .arg(today - 5)
                                             .arg(today + 1)
                                             .arg(dates::DateTextToNumber("05/03/2008")));
    EXPECT_EQ(Rows(db, "rnpirsCOUNTRY"), QStringList{"13|51|3"});
    EXPECT_EQ(Rows(db, "rnpirsPROFESS"), QStringList{"13|1|3|-1"});
    EXPECT_EQ(Rows(db, "rnpterritory"), QStringList{"13|69"});
    EXPECT_EQ(form.Entry(), PermitEntry());  // cleared for the next one
}

TEST_F(PermitDialogTest, EmptyGridsPassTheSumCheckAndTodayIsRefusedInEditModeToo) {
    OpenNew();
    form.Edit1->setText("Б1");
    form.CustomPanel11->SetText(Date(dates::Today() - 1));
    form.CustomPanel12->SetText(Date(dates::Today() + 1));
    form.setTerritories({77}, "Москва");
    QTest::mouseClick(form.Button6, Qt::LeftButton);
    EXPECT_EQ(Rows(db, "rnpirs", "rnpnum"), QStringList{"Б1"});
    EXPECT_TRUE(Rows(db, "rnpirsCOUNTRY").isEmpty());

    OpenStored("Б1");
    form.CustomPanel12->SetText(Date(dates::Today()));
    EXPECT_EQ(PressAnswering(form.Button6).text,
              "Поле 'Период действия По' не может быть раньше настоящей даты");
    // An edit keeps its number, and the check of a new number does not apply to it.
    form.CustomPanel12->SetText(Date(dates::Today() + 2));
    QTest::mouseClick(form.Button6, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(
        Rows(db, "rnpirs"),
        QStringList(QStringLiteral("Б1|%1|%2|-1").arg(dates::Today() - 1).arg(dates::Today() + 2)));
}

TEST_F(PermitDialogTest, ARowWithoutQuotaOrCountryIsRefusedNamingItsGridAndRow) {
    OpenNew();
    FillValid("1");
    AddCountry(498, "2");
    AddProfession(2, -1, "2");
    controls::TEditSD* quota = QuotaEdit(form.StringGrid2, 1);
    quota->setFocus();
    quota->clear();
    form.Edit1->setFocus();
    EXPECT_EQ(PressAnswering(form.Button6),
              (Box{"сохранение",
                   "Поле 'Квота' в строке 2 списка 'По профессиям' обязательно для "
                   "заполнения"}));
    EXPECT_TRUE(quota->hasFocus());
    quota->setText("2");
    form.Edit1->setFocus();

    controls::TExtSrchComboBox* country =
        EditorAt<controls::ComboBoxType1GridEditor>(form.StringGrid1, 0, TRNPIRSEditForm::kCountry)
            ->Control();
    country->setFocus();
    Press(Qt::Key_Escape);  // the empty entry
    Press(Qt::Key_Return, "\r");
    EXPECT_EQ(Countries()[0].country, -1);
    EXPECT_EQ(PressAnswering(form.Button6).text,
              "Поле 'Страна' в строке 1 списка 'По странам' обязательно для заполнения");
    EXPECT_TRUE(Rows(db, "rnpirs").isEmpty());
}

TEST_F(PermitDialogTest, OwnRegionHidesTheTerritoriesAndANewPermitGetsNone) {
    settings::SaveRegionSetting(db, settings::kOwnRegion, 77);
    OpenNew();
    EXPECT_FALSE(form.TerritoriesInUse());
    EXPECT_FALSE(form.Button7->isVisible());
    EXPECT_FALSE(form.Memo1->isVisible());
    FillValid("5");
    form.setTerritories({}, "");
    QTest::mouseClick(form.Button6, Qt::LeftButton);
    EXPECT_EQ(Rows(db, "rnpirs", "rnpnum"), QStringList{"5"});
    EXPECT_TRUE(Rows(db, "rnpterritory").isEmpty());

    // A permit that has territories keeps them through an edit while they are hidden.
    SavePermitTerritories(db, "5", {69});
    OpenStored("5");
    QTest::mouseClick(form.Button6, Qt::LeftButton);
    EXPECT_EQ(LoadPermitTerritories(db, "5"), QList<int>{69});
}

TEST_F(PermitDialogTest, TerritoriesComeFromTheTerritoryEditor) {
    int asked = 0;
    form.SetTerritoryEditor([&](gui::TerritoryOwner& owner) {
        ++asked;
        EXPECT_EQ(owner.territoryOwnerKind(), gui::TerritoryOwner::Kind::Permit);
        EXPECT_EQ(owner.territoryLimit(), 0);
        owner.setTerritories(owner.territoryIds() + QList<int>{69}, "Москва,Тверская область");
        return true;
    });
    OpenNew();
    FillValid("8");
    QTest::mouseClick(form.Button7, Qt::LeftButton);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(form.Memo1->toPlainText(), "Москва,Тверская область");
    QTest::mouseClick(form.Button6, Qt::LeftButton);
    EXPECT_EQ(LoadPermitTerritories(db, "8"), QList<int>({77, 69}));
}

TEST_F(PermitDialogTest, RefusedEditSaveKeepsTheStoredPermitAndWhatWasEntered) {
    SavePermitEntry(db, {"9", {40000, 40364, -1, {{51, 1}}, {{1, 1, -1}}}, {77}}, false);
    const QStringList before = Rows(db, "rnpirs") + Rows(db, "rnpirsCOUNTRY") +
                               Rows(db, "rnpirsPROFESS") + Rows(db, "rnpterritory");
    OpenStored("9");
    form.CustomPanel12->SetText(Date(dates::Today() + 30));
    AddCountry(860, "4");
    AddProfession(2, 7, "4");
    // The new rows are refused after the old ones were deleted.
    db.exec(
        "CREATE TEMP TRIGGER refused BEFORE INSERT ON rnpirsPROFESS "
        "BEGIN SELECT RAISE(ABORT, 'refused for the test'); END");
    const Box box = PressAnswering(form.Button6);
    EXPECT_EQ(box.title, "Ошибка сохранения");
    EXPECT_TRUE(box.text.contains("разрешение на привлечение иностранной рабочей силы"));
    EXPECT_EQ(Rows(db, "rnpirs") + Rows(db, "rnpirsCOUNTRY") + Rows(db, "rnpirsPROFESS") +
                  Rows(db, "rnpterritory"),
              before);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Countries(), (QList<CountryQuota>{{51, 1}, {860, 4}}));

    db.exec("DROP TRIGGER refused");
    QTest::mouseClick(form.Button6, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Rows(db, "rnpirsCOUNTRY"), QStringList({"9|51|1", "9|860|4"}));
}

TEST_F(PermitDialogTest, CancelAndEscapeCloseWithoutWritingAndTheNextOpeningIsEmpty) {
    for (bool escape : {false, true}) {
        OpenNew();
        FillValid("77");
        if (escape) {
            form.Edit1->setFocus();  // a searchable list keeps Esc for its search
            Press(Qt::Key_Escape);
        } else {
            QTest::mouseClick(form.Button5, Qt::LeftButton);
        }
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.Entry(), PermitEntry());
    }
    EXPECT_TRUE(Rows(db, "rnpirs").isEmpty());
}

TEST_F(PermitDialogTest, F1AndTheQuestionButtonOpenThePermitPage) {
    help_testing::CopyManual(folder);
    OpenNew();
    help_testing::ExpectHelpTopic(form.Edit2, form.Button8, gui::topic::kPermit);
}
