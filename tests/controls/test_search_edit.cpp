#include <gtest/gtest.h>

#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "ControlTesting.h"
#include "controls/TExtSrchEdit.h"

using controls::TExtSrchEdit;
using dictionaries::ComboItem;
using dictionaries::ReferenceList;
using namespace controls_testing;

namespace {

ReferenceList Names(const QStringList& names) {
    ReferenceList list;
    for (const QString& name : names)
        list.append({name, ComboItem(static_cast<int>(list.size()))});
    return list;
}

QStringList Listed(const TExtSrchEdit& edit) {
    QStringList listed;
    for (int i = 0; i < edit.ListBox()->count(); ++i)
        listed.append(edit.ListBox()->item(i)->text());
    return listed;
}

struct EditWindow {
    explicit EditWindow(const QStringList& suggestions) {
        window.resize(300, 200);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        layout->addStretch();
        edit->LoadList(Names(suggestions));
        ShowActive(window);
        edit->setFocus();
    }
    bool Open() const { return edit->DropDown()->isVisible(); }

    QWidget window;
    TExtSrchEdit* edit = new TExtSrchEdit;
    QLineEdit* other = new QLineEdit;
};

const QStringList kOffices = {QStringLiteral("ОВД Марьино"), QStringLiteral("УФМС по г. Москве"),
                              QStringLiteral("Отдел УФМС района Митино"),
                              QStringLiteral("уфмс по Московской обл.")};

}  // namespace

TEST(SearchEdit, DropDownListsBeginningsFirstAndIsSixRowsHighAtMost) {
    QStringList many;
    for (int i = 0; i < 10; ++i)
        many.append(QStringLiteral("Посольство %1").arg(i));
    EditWindow w(many);
    Type(QChar(u'п'));
    ASSERT_TRUE(w.Open());
    EXPECT_EQ(w.edit->ListBox()->count(), 10);
    EXPECT_EQ(w.edit->DropDown()->height(), 6 * 12 + 8);
    EXPECT_EQ(w.edit->DropDown()->width(), w.edit->width());
    EXPECT_EQ(w.edit->DropDown()->mapToGlobal(QPoint(0, 0)),
              w.edit->mapToGlobal(QPoint(0, w.edit->height())));

    EditWindow offices(kOffices);
    Type(QStringLiteral("Уфмс"));
    EXPECT_EQ(Listed(*offices.edit), (QStringList{kOffices[1], kOffices[3], kOffices[2]}));
    EXPECT_EQ(offices.edit->DropDown()->height(), 3 * 12 + 8);
    Type(QChar(u'ж'));  // nothing matches: the text stays, the list is empty
    EXPECT_EQ(offices.edit->text(), QStringLiteral("Уфмсж"));
    EXPECT_EQ(offices.edit->DropDown()->height(), 0);
    offices.edit->clear();
    EXPECT_FALSE(offices.Open());
}

TEST(SearchEdit, KeysChooseASuggestion) {
    EditWindow w(kOffices);
    Type(QStringLiteral("уфмс"));
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);  // stays on the last
    EXPECT_EQ(w.edit->ListBox()->currentRow(), 2);
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);  // stays on the first
    EXPECT_EQ(w.edit->ListBox()->currentRow(), 0);
    Press(Qt::Key_Down);
    Press(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(w.edit->text(), kOffices[3]);
    EXPECT_FALSE(w.Open());
    EXPECT_EQ(w.edit->cursorPosition(), kOffices[3].size());

    // Without a selected suggestion the space bar types a blank; Left and Right hide the
    // list, the next key shows it again.
    w.edit->clear();
    Type(QStringLiteral("овд "));
    EXPECT_EQ(w.edit->text(), QStringLiteral("овд "));
    Press(Qt::Key_Left);
    EXPECT_FALSE(w.Open());
    Press(Qt::Key_End);
    EXPECT_TRUE(w.Open());
    Press(Qt::Key_Down);
    Press(Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(w.edit->text(), kOffices[0]);
}

TEST(SearchEdit, ClickTakesASuggestionAndLeavingHidesTheList) {
    EditWindow w(kOffices);
    Type(QStringLiteral("мит"));
    QListWidget* list = w.edit->ListBox();
    ASSERT_EQ(list->count(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(w.edit->text(), kOffices[2]);
    EXPECT_FALSE(w.Open());
    EXPECT_TRUE(w.edit->hasFocus());

    Type(QChar(u'о'));
    EXPECT_TRUE(w.Open());
    w.other->setFocus();
    EXPECT_FALSE(w.Open());
    w.edit->setText(QStringLiteral("ОВД"));  // a text set by the program opens nothing
    EXPECT_FALSE(w.Open());
}
