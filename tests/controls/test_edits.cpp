#include <gtest/gtest.h>

#include <QVBoxLayout>

#include "ControlTesting.h"
#include "controls/TExtEdit.h"

using controls::TEditSD;
using controls::TExtEdit;
using namespace controls_testing;

TEST(ExtEdit, LetterCaseFollowsTheEditStyleAsTheUserTypes) {
    struct Case {
        int style;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {0, "анна мария", "анна мария"},
        {1, "анна мария", "Анна Мария"},
        {1, "иванов-петров", "Иванов-Петров"},
        {1, "o'neil smith", "O'neil Smith"},
        {2, "abc", "ABC"},
        {2, "ёлкин-щукин ii", "ЁЛКИН-ЩУКИН II"},
    };
    for (const Case& c : cases) {
        QWidget window;
        auto* edit = new TExtEdit(&window);
        edit->SetEditStyle(c.style);
        ShowActive(window);
        edit->setFocus();
        Type(QString::fromUtf8(c.typed));
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.shown)) << c.style << " " << c.typed;
        EXPECT_EQ(edit->cursorPosition(), edit->text().size());
    }
}

TEST(ExtEdit, StyleOneCapitalisesOnlyTheLastWordTyped) {
    TExtEdit edit;
    edit.SetEditStyle(1);
    edit.setText(QStringLiteral("фон дер"));  // a stored text is taken as it is...
    EXPECT_EQ(edit.text(), QStringLiteral("фон дер"));
    edit.setText(QStringLiteral("фон дер в"));  // ...but a new word at its end is capitalised
    EXPECT_EQ(edit.text(), QStringLiteral("фон дер В"));
    EXPECT_EQ(edit.property("EditStyle").toInt(), 1);
}

TEST(EditSD, GreyWhileDisabledThenItsOwnColoursAgain) {
    QWidget window;
    auto* edit = new TEditSD(&window);
    const QPalette inherited = edit->palette();
    edit->setEnabled(false);
    EXPECT_EQ(edit->palette().color(QPalette::Disabled, QPalette::Base), QColor("#C0C0C0"));
    EXPECT_EQ(edit->palette().color(QPalette::Disabled, QPalette::Text), QColor("#808080"));
    edit->setEnabled(true);
    EXPECT_EQ(edit->palette().color(QPalette::Base), inherited.color(QPalette::Base));
    EXPECT_FALSE(edit->testAttribute(Qt::WA_SetPalette));

    // A colour given while disabled shows once enabled; disabling the parent greys it too.
    window.setEnabled(false);
    edit->SetColor(QColor(0xFF, 0xFF, 0xEE));
    EXPECT_EQ(edit->palette().color(QPalette::Disabled, QPalette::Base), QColor("#C0C0C0"));
    window.setEnabled(true);
    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xEE));
    EXPECT_EQ(edit->palette().color(QPalette::Text), inherited.color(QPalette::Text));
}
