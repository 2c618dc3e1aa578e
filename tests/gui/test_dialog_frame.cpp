#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/ControlTesting.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "controls/TForm2.h"
#include "gui/DialogFrame.h"

using namespace controls_testing;

namespace {

// A dialog with the controls that take Enter for themselves and the usual foot.
struct FramedDialog {
    FramedDialog() {
        auto* layout = new QVBoxLayout(&dialog);
        for (QWidget* control : QList<QWidget*>{edit, list, date, notes})
            layout->addWidget(control);
        layout->addLayout(gui::DialogButtonRow(help, {save, cancel}));
        gui::InstallDialogKeys(&dialog, save, cancel);
        list->LoadList({{QStringLiteral("Армения"), dictionaries::ComboItem(51)},
                        {QStringLiteral("Германия"), dictionaries::ComboItem(276)}});
        QObject::connect(save, &QPushButton::clicked, [this] { ++saves; });
        QObject::connect(cancel, &QPushButton::clicked, [this] { ++cancels; });
        ShowActive(dialog);
    }

    QDialog dialog;
    controls::TEditSD* edit = new controls::TEditSD;
    controls::TExtSrchComboBox* list = new controls::TExtSrchComboBox;
    controls::TExtDateEdit* date = new controls::TExtDateEdit;
    QPlainTextEdit* notes = new QPlainTextEdit;
    QPushButton* help = new QPushButton(QStringLiteral("?"));
    QPushButton* save = new QPushButton(QStringLiteral("Сохранить"));
    QPushButton* cancel = new QPushButton(QStringLiteral("Отмена"));
    int saves = 0;
    int cancels = 0;
};

}  // namespace

TEST(DialogFrame, ButtonRowPutsHelpLeftAndTheDialogsButtonsRightInOrder) {
    FramedDialog d;
    EXPECT_LT(d.help->x(), d.save->x());
    EXPECT_LT(d.save->x(), d.cancel->x());
    EXPECT_TRUE(d.save->isDefault());
    for (QPushButton* button : {d.help, d.save, d.cancel})
        EXPECT_FALSE(button->autoDefault());
}

TEST(DialogFrame, EnterSavesFromAnyControlAndEscapeCancels) {
    FramedDialog d;
    for (QWidget* focus : QList<QWidget*>{d.edit, d.cancel, d.help}) {
        focus->setFocus();
        Press(Qt::Key_Return, QStringLiteral("\r"));
    }
    d.edit->setFocus();
    Press(Qt::Key_Enter, QStringLiteral("\r"));  // the keypad's Enter
    EXPECT_EQ(d.saves, 4);
    EXPECT_EQ(d.cancels, 0);

    Press(Qt::Key_Escape);
    EXPECT_EQ(d.cancels, 1);
    EXPECT_EQ(d.saves, 4);
}

TEST(DialogFrame, EnterThatPicksAListItemOrADayOrStartsALineNeverSaves) {
    FramedDialog d;
    d.list->setFocus();
    Type(QChar(u'г'));
    ASSERT_TRUE(d.list->view()->isVisible());
    Press(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(d.list->SelectedComboItemId(), 276);
    EXPECT_FALSE(d.list->view()->isVisible());

    d.notes->setFocus();
    Press(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(d.notes->toPlainText(), "\n");
    EXPECT_EQ(d.saves, 0);

    // Esc in an open list gives back the whole list and leaves the dialog open.
    d.list->setFocus();
    Type(QChar(u'а'));
    ASSERT_TRUE(d.list->view()->isVisible());
    Press(Qt::Key_Escape);
    EXPECT_EQ(d.list->SearchText(), QString());
    EXPECT_EQ(d.cancels, 0);

    // Last: the offscreen platform does not give the window back when the picker closes.
    d.date->Edit()->setFocus();
    d.date->SetVisible(true);
    ASSERT_TRUE(d.date->Edit()->Picker()->isVisible());
    Press(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_FALSE(d.date->Edit()->Picker()->isVisible());

    EXPECT_EQ(d.saves, 0);
}
