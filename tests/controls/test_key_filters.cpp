#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include "controls/KeyFilters.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"

using controls::KeyFilter;

namespace {

// Types one character, Cyrillic included.
void Type(QWidget* widget, QChar c) {
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c), {});
}

void Type(QWidget* widget, const QString& text) {
    for (QChar c : text)
        Type(widget, c);
}

struct FilteredEdit {
    explicit FilteredEdit(KeyFilter filter) {
        controls::InstallKeyFilter(&edit, filter);
        edit.show();
        edit.setFocus();
    }
    QLineEdit edit;
};

}  // namespace

TEST(KeyFilters, KeptCharacters) {
    struct Case {
        const char* characters;
        bool digits;
        bool russian;
        bool organisation;
    };
    const Case cases[] = {
        {"0123456789", true, true, true}, {"АБВЯабвэюя", false, true, true},
        {" ", false, true, true},         {"\"'", false, false, true},
        {"Ёё", false, false, false},      {"azAZ-+.,/\t«»", false, false, false},
        {"Ії", false, false, false},  // Cyrillic letters outside А to я
    };
    for (const Case& c : cases) {
        for (QChar ch : QString::fromUtf8(c.characters)) {
            EXPECT_EQ(KeepsCharacter(KeyFilter::DigitsOnly, ch), c.digits) << c.characters;
            EXPECT_EQ(KeepsCharacter(KeyFilter::RussianAndDigits, ch), c.russian) << c.characters;
            EXPECT_EQ(KeepsCharacter(KeyFilter::OrganisationName, ch), c.organisation)
                << c.characters;
        }
    }
}

TEST(KeyFilters, TypedKeysOutsideTheFilterNeverReachTheField) {
    FilteredEdit digits(KeyFilter::DigitsOnly);
    Type(&digits.edit, QStringLiteral("1a2 б-3"));
    EXPECT_EQ(digits.edit.text(), "123");

    FilteredEdit russian(KeyFilter::RussianAndDigits);
    Type(&russian.edit, QStringLiteral("Ёж 12-Аz"));
    EXPECT_EQ(russian.edit.text(), "ж 12А");
}

TEST(KeyFilters, EditingKeysAndTheProgramsOwnTextPass) {
    FilteredEdit digits(KeyFilter::DigitsOnly);
    digits.edit.setText(QStringLiteral("A-12"));  // a stored value is shown as it is
    EXPECT_EQ(digits.edit.text(), "A-12");
    QTest::keyClick(&digits.edit, Qt::Key_Backspace);
    QTest::keyClick(&digits.edit, Qt::Key_Home);
    QTest::keyClick(&digits.edit, Qt::Key_Delete);
    EXPECT_EQ(digits.edit.text(), "-1");
    QTest::keyClick(&digits.edit, Qt::Key_A, Qt::ControlModifier);  // select all
    Type(&digits.edit, QChar(u'7'));
    EXPECT_EQ(digits.edit.text(), "7");
}

TEST(KeyFilters, PastedTextArrivesFiltered) {
    FilteredEdit russian(KeyFilter::RussianAndDigits);
    russian.edit.setText(QStringLiteral("РНП "));
    QApplication::clipboard()->setText(QStringLiteral("№ 12/Ёлка-абв\n7"));
    QTest::keyClick(&russian.edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(russian.edit.text(), "РНП  12лкаабв 7");  // the line break became a blank

    // Shift+Insert is paste too; the paste replaces the selection and can be undone.
    FilteredEdit digits(KeyFilter::DigitsOnly);
    digits.edit.setText(QStringLiteral("99"));
    digits.edit.selectAll();
    QApplication::clipboard()->setText(QStringLiteral(" 1 000 "));
    QTest::keyClick(&digits.edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(digits.edit.text(), "1000");
    digits.edit.undo();
    EXPECT_EQ(digits.edit.text(), "99");
}

TEST(KeyFilters, OneLineFieldsTakeLineBreaksAndTabsAsBlanks) {
    EXPECT_EQ(controls::FilterText(KeyFilter::AnyText,
                                   QStringLiteral("ул. Ленина,\r\nд. 5\tкв. 1\nэт.\u2028 2")),
              "ул. Ленина, д. 5 кв. 1 эт.  2");

    // Every edit of the program, pasted into by the keyboard or dropped on.
    controls::TEditSD address;
    address.show();
    address.setFocus();
    QApplication::clipboard()->setText(QStringLiteral("Москва,\nул. Тверская\t1"));
    QTest::keyClick(&address, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(address.text(), "Москва, ул. Тверская 1");

    // A later filter replaces the edit's own and keeps the line rule.
    controls::InstallKeyFilter(&address, KeyFilter::DigitsOnly);
    address.clear();
    QApplication::clipboard()->setText(QStringLiteral("12\n34"));
    QTest::keyClick(&address, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(address.text(), "1234");
}

TEST(KeyFilters, DateFieldKeepsOnlyWhatADateTextHolds) {
    controls::TExtDateEdit date;
    date.show();
    date.Edit()->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("ab12/03/2008"));
    QTest::keyClick(date.Edit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(date.Edit()->text(), "12/03/2008");
    date.Edit()->clear();
    Type(date.Edit(), QStringLiteral("1x2.0-3"));
    EXPECT_EQ(date.Edit()->text(), "1203");
}
