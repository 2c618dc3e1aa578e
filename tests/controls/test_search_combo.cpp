#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>

#include "ControlTesting.h"
#include "controls/TExtSrchComboBox.h"

using controls::TExtSrchComboBox;
using dictionaries::ComboItem;
using dictionaries::ReferenceList;
using namespace controls_testing;

namespace {

ReferenceList Countries() {
    return {{QStringLiteral("Армения"), ComboItem(51)},
            {QStringLiteral("Германия"), ComboItem(276)},
            {QStringLiteral("Румыния"), ComboItem(642)}};
}

QStringList Items(const TExtSrchComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items.append(box.itemText(i));
    return items;
}

// A searchable list and an edit to take the focus away, in an active window.
struct ComboWindow {
    explicit ComboWindow(const ReferenceList& list, bool withEmptyEntry = true) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(other);
        box->LoadList(list, withEmptyEntry);
        ShowActive(window);
        box->setFocus();
    }
    bool DropDownOpen() const { return box->view()->isVisible(); }

    QWidget window;
    TExtSrchComboBox* box = new TExtSrchComboBox;
    QLineEdit* other = new QLineEdit;
};

const QStringList kRList = {QStringLiteral("Румыния"), QStringLiteral("Армения"),
                            QStringLiteral("Германия")};
const QStringList kFullList = {QString(), QStringLiteral("Армения"), QStringLiteral("Германия"),
                               QStringLiteral("Румыния")};

}  // namespace

TEST(SearchCombo, LoadedListLeadsWithTheEmptyEntryAndNothingSelected) {
    TExtSrchComboBox box;
    EXPECT_EQ(box.LoadList(Countries()), 3);
    EXPECT_TRUE(box.EmptyEntry());
    EXPECT_EQ(Items(box), kFullList);
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.SelectedComboItemId(), -1);

    box.SelectComboItemById(276);
    EXPECT_EQ(box.currentText(), QStringLiteral("Германия"));
    EXPECT_EQ(box.SelectedComboItemId(), 276);
    box.setCurrentIndex(0);  // the empty entry
    EXPECT_EQ(box.SelectedComboItemId(), -1);
    box.SelectComboItemById(999);
    EXPECT_EQ(box.currentIndex(), -1);

    EXPECT_EQ(box.LoadList(Countries(), false), 3);
    EXPECT_FALSE(box.EmptyEntry());
    EXPECT_EQ(Items(box), kFullList.mid(1));
}

TEST(SearchCombo, TypingNarrowsRefusesWhatNothingContainsAndEscapeRestores) {
    ComboWindow w(Countries());
    Type(QChar(u'р'));
    EXPECT_EQ(Items(*w.box), kRList);  // begins with р first, then contains it later
    EXPECT_EQ(w.box->SelectedComboItemId(), 642);
    EXPECT_TRUE(w.DropDownOpen());

    Type(QChar(u'ю'));  // no name contains "рю"
    EXPECT_EQ(w.box->SearchText(), QStringLiteral("р"));
    EXPECT_EQ(Items(*w.box), kRList);

    Press(Qt::Key_Escape);
    EXPECT_EQ(w.box->SearchText(), QString());
    EXPECT_EQ(Items(*w.box), kFullList);
    EXPECT_EQ(w.box->currentIndex(), 0);

    Type(QStringLiteral("ГЕР"));  // letter case does not matter, Cyrillic included
    EXPECT_EQ(Items(*w.box), QStringList{QStringLiteral("Германия")});
}

TEST(SearchCombo, WithoutTheEmptyEntryFlagTheEmptyEntryNeverReturns) {
    ComboWindow w(Countries(), false);
    Type(QChar(u'р'));
    Press(Qt::Key_Escape);
    EXPECT_EQ(Items(*w.box), kFullList.mid(1));
    w.box->UpdateDrop();
    EXPECT_EQ(Items(*w.box), kFullList.mid(1));
    EXPECT_FALSE(w.DropDownOpen());
}

TEST(SearchCombo, EnterAndSpaceStayInTheSearchTextWithoutNarrowing) {
    ComboWindow w(Countries());
    QSignalSpy typed(w.box, &TExtSrchComboBox::characterTyped);
    Type(QChar(u'р'));
    Press(Qt::Key_Return, QStringLiteral("\r"));  // chooses the highlighted Румыния
    EXPECT_FALSE(w.DropDownOpen());
    EXPECT_EQ(w.box->SelectedComboItemId(), 642);
    EXPECT_EQ(w.box->SearchText(), QStringLiteral("р\r"));

    Type(QChar(u'у'));  // "р\rу" is in no name: refused
    EXPECT_EQ(w.box->SearchText(), QStringLiteral("р\r"));
    Press(Qt::Key_Backspace);  // takes back only the Enter
    EXPECT_EQ(w.box->SearchText(), QStringLiteral("р"));
    EXPECT_EQ(Items(*w.box), kRList);
    Type(QChar(u'у'));
    EXPECT_EQ(Items(*w.box), QStringList{QStringLiteral("Румыния")});

    Type(QChar(u' '));
    EXPECT_EQ(w.box->SearchText(), QStringLiteral("ру "));
    EXPECT_EQ(Items(*w.box), QStringList{QStringLiteral("Румыния")});
    ASSERT_GE(typed.size(), 2);
    EXPECT_EQ(typed.at(1).at(0).toString(), QStringLiteral("\r"));
    EXPECT_EQ(typed.last().at(0).toString(), QStringLiteral(" "));
}

TEST(SearchCombo, FocusEntryStartsANewSearchOverTheItemsLeftInPlace) {
    ComboWindow w(Countries());
    Type(QStringLiteral("ум"));
    w.other->setFocus();
    w.box->setFocus();
    EXPECT_EQ(w.box->SearchText(), QString());
    EXPECT_EQ(Items(*w.box), QStringList{QStringLiteral("Румыния")});
    EXPECT_FALSE(w.DropDownOpen());
    Type(QChar(u'г'));
    EXPECT_EQ(Items(*w.box), QStringList{QStringLiteral("Германия")});

    w.box->ClearChoice();
    EXPECT_EQ(w.box->SearchText(), QString());
    EXPECT_EQ(Items(*w.box), kFullList);
    EXPECT_EQ(w.box->currentIndex(), -1);
}

TEST(SearchCombo, LongListsAreCappedButSearchedWhole) {
    ReferenceList list;
    for (int i = 0; i < 10050; ++i)
        list.append({QStringLiteral("Профессия %1").arg(i), ComboItem(i)});
    list.append({QStringLiteral("Штукатур"), ComboItem(77777)});
    ComboWindow w(list);
    EXPECT_EQ(w.box->count(), 1 + TExtSrchComboBox::kLoadedItemsLimit);

    Press(Qt::Key_Escape);  // the empty entry and names until more than 10,000 are listed
    EXPECT_EQ(w.box->count(), TExtSrchComboBox::kFilteredItemsLimit + 1);

    Type(QChar(u'ш'));  // the last entry lies beyond the loaded items
    EXPECT_EQ(Items(*w.box), QStringList{QStringLiteral("Штукатур")});
    EXPECT_EQ(w.box->SelectedComboItemId(), 77777);
}

TEST(SearchCombo, DistrictsOfARegion) {
    const ReferenceList districts = {{QStringLiteral("Каширский"), ComboItem(1, 50)},
                                     {QStringLiteral("Пушкинский"), ComboItem(2, 78)},
                                     {QStringLiteral("Истринский"), ComboItem(3, 50)}};
    TExtSrchComboBox box;
    box.LoadEntriesWithExtra(districts, 50);
    EXPECT_EQ(Items(box),
              (QStringList{QString(), QStringLiteral("Каширский"), QStringLiteral("Истринский")}));
    EXPECT_EQ(box.ComboItemAt(2), ComboItem(3));
}

TEST(SearchCombo, GreyWhileDisabledThenItsOwnColoursAgain) {
    TExtSrchComboBox box;
    const QColor own(0xFF, 0xFF, 0xEE);
    box.SetColor(own);
    const QColor text = box.palette().color(QPalette::ButtonText);
    box.setEnabled(false);
    EXPECT_EQ(box.palette().color(QPalette::Disabled, QPalette::Button), QColor("#C0C0C0"));
    EXPECT_EQ(box.palette().color(QPalette::Disabled, QPalette::ButtonText), QColor("#808080"));
    box.setEnabled(true);
    EXPECT_EQ(box.palette().color(QPalette::Button), own);
    EXPECT_EQ(box.palette().color(QPalette::ButtonText), text);
    EXPECT_EQ(box.Color(), own);
}

// A keyboard user is never trapped in an open list: Tab takes the highlighted item and
// moves on, Shift+Tab back.
TEST(SearchCombo, TabInAnOpenListTakesTheItemAndGoesToTheNextField) {
    ComboWindow w(Countries());
    Type(QChar(u'г'));
    ASSERT_TRUE(w.DropDownOpen());
    Press(Qt::Key_Tab);
    EXPECT_FALSE(w.DropDownOpen());
    EXPECT_EQ(w.box->SelectedComboItemId(), 276);
    EXPECT_TRUE(w.other->hasFocus());

    w.box->setFocus();
    Type(QChar(u'а'));
    ASSERT_TRUE(w.DropDownOpen());
    QTest::sendKeyEvent(QTest::Click, KeyboardWindow(), Qt::Key_Backtab, QString(),
                        Qt::ShiftModifier);
    EXPECT_FALSE(w.DropDownOpen());
    EXPECT_EQ(w.box->SelectedComboItemId(), 51);
    EXPECT_FALSE(w.box->hasFocus());
}

// Disabled, the list is drawn as flat as a disabled edit: the same grey from top to bottom,
// not a shaded button face.
TEST(SearchCombo, DisabledListIsAFlatGreyField) {
    TExtSrchComboBox box;
    box.resize(200, 28);
    box.setEnabled(false);
    const QImage face = box.grab().toImage();
    const int x = 150;  // clear of the text and the arrow
    for (int y : {4, face.height() / 2, face.height() - 5})
        EXPECT_EQ(face.pixelColor(x, y), QColor("#C0C0C0")) << y;
}
