#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>

#include "citizens/TTerritoryEditForm.h"
#include "controls/ControlTesting.h"
#include "controls/GridEditors.h"
#include "controls/TExtSrchComboBox.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "gui/TerritoryOwner.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using citizens::TTerritoryEditForm;
using controls_testing::Press;
using controls_testing::Type;
using dictionaries::ComboItem;
using gui::TerritoryOwner;

namespace {

// A record whose territories the dialog edits; a window of its own, as the citizen, permit
// and package dialogs are.
class Owner : public QWidget, public TerritoryOwner {
public:
    Owner(Kind kind, QList<int> ids, int limit = 0) : kind_(kind), ids_(ids), limit_(limit) {}

    Kind territoryOwnerKind() const override { return kind_; }
    QList<int> territoryIds() const override { return ids_; }
    int territoryLimit() const override { return limit_; }
    void setTerritories(const QList<int>& ids, const QString& names) override {
        ids_ = ids;
        names_ = names;
        ++given_;
    }

    const QList<int>& ids() const { return ids_; }
    const QString& names() const { return names_; }
    int given() const { return given_; }

private:
    Kind kind_;
    QList<int> ids_;
    int limit_;
    QString names_ = QStringLiteral("(untouched)");
    int given_ = 0;
};

struct Shown {
    QString title;
    QString text;
};

class TerritoryDialogTest : public ::testing::Test {
protected:
    TerritoryDialogTest() {
        context.lists.territories = {{QStringLiteral("Москва"), ComboItem(5)},
                                     {QStringLiteral("Тверская область"), ComboItem(9)},
                                     {QStringLiteral("Тульская область"), ComboItem(71)},
                                     {QStringLiteral("Калужская область"), ComboItem(40)}};
    }

    // Opens the dialog for the owner and runs `inside` once it is up; `inside` ends it with
    // one of its buttons. Returns what EditTerritories returned.
    bool Edit(Owner& owner, const std::function<void()>& inside) {
        controls_testing::ShowActive(owner);  // the owner's window opens the dialog
        bool ran = false;
        int polls = 0;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            // Up and active; a window system that is slow to activate gets a second.
            const bool up = QApplication::activeModalWidget() == &form && form.isVisible();
            if (!up || (!form.isActiveWindow() && ++polls < 200))
                return;
            poll.stop();
            ran = true;
            inside();
            if (form.isVisible()) {
                ADD_FAILURE() << "the dialog stayed open";
                form.reject();
            }
        });
        poll.start();
        const bool saved = form.EditTerritories(owner);
        EXPECT_TRUE(ran) << "the dialog never came up";
        return saved;
    }

    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    int Rows() const { return form.StringGrid1->rowCount(); }

    controls::DelType1GridEditor* Mark(int row) const {
        return static_cast<controls::DelType1GridEditor*>(
            controls::GridEditorAt(form.StringGrid1, row, TTerritoryEditForm::kMarkColumn));
    }
    controls::TExtSrchComboBox* RowList(int row) const {
        return static_cast<controls::ComboBoxType1GridEditor*>(
                   controls::GridEditorAt(form.StringGrid1, row,
                                          TTerritoryEditForm::kTerritoryColumn))
            ->Control();
    }

    // Answers the next box with `answer` and presses `button`; returns the box shown.
    Shown PressExpectingBox(QAbstractButton* button,
                            QMessageBox::StandardButton answer = QMessageBox::Ok) {
        gui::MessageBoxes::setNextAnswer(answer);
        Click(button);
        const auto shown = gui::MessageBoxes::takeShown();
        EXPECT_EQ(shown.size(), 1);
        return shown.isEmpty() ? Shown{} : Shown{shown[0].title, shown[0].text};
    }

    void ChooseToAdd(int id) {
        form.ComboBox11->SelectComboItemById(id);
        ASSERT_EQ(form.ComboBox11->SelectedComboItemId(), id);
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    QWidget mainWindow;
    TTerritoryEditForm& form = *new TTerritoryEditForm(context, &mainWindow);
};

}  // namespace

TEST_F(TerritoryDialogTest, OwnersListShownInOrderAndSavedBackWithItsNames) {
    Owner citizen(TerritoryOwner::Kind::Citizen, {9, 5}, 200);
    const bool saved = Edit(citizen, [&] {
        EXPECT_EQ(form.windowTitle(), "Добавление / Редактирование территорий действия");
        // Modal over the owner's window, not over the whole program.
        EXPECT_EQ(form.parentWidget(), &citizen);
        EXPECT_EQ(form.windowModality(), Qt::WindowModal);
        ASSERT_EQ(Rows(), 2);
        EXPECT_EQ(RowList(0)->currentText(), "Тверская область");
        EXPECT_EQ(RowList(1)->currentText(), "Москва");
        EXPECT_FALSE(Mark(0)->CheckBox()->isChecked());
        EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), -1);
        Click(form.Button2);
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(citizen.ids(), QList<int>({9, 5}));
    EXPECT_EQ(citizen.names(), "Тверская область,Москва");
    EXPECT_EQ(Rows(), 0);  // nothing stays in the grid for the next owner
    EXPECT_EQ(form.parentWidget(), &mainWindow);
}

TEST_F(TerritoryDialogTest, AddingChecksTheChoiceAndDuplicatesAndCancelKeepsTheOwnersList) {
    Owner permit(TerritoryOwner::Kind::Permit, {5});
    const bool saved = Edit(permit, [&] {
        Shown box = PressExpectingBox(form.Button1);
        EXPECT_EQ(box.title, "ошибка ввода данных");
        EXPECT_EQ(box.text, "Должна быть задана территория");
        EXPECT_TRUE(form.ComboBox11->hasFocus());

        ChooseToAdd(5);
        box = PressExpectingBox(form.Button1);
        EXPECT_EQ(box.title, "Ошибка ввода данных");
        EXPECT_EQ(box.text, "Данная территория уже имеется в списке");
        EXPECT_EQ(Rows(), 1);

        // The list is typed into, as a user does.
        form.ComboBox11->setFocus();
        Type(QStringLiteral("тул"));
        Press(Qt::Key_Return, QStringLiteral("\r"));  // the open list takes its item
        Click(form.Button1);
        ASSERT_EQ(Rows(), 2);
        EXPECT_EQ(form.ListedTerritories(), QList<int>({5, 71}));
        EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), -1);
        EXPECT_EQ(form.ComboBox11->SearchText(), "");
        Click(form.Button3);
    });
    EXPECT_FALSE(saved);
    EXPECT_EQ(permit.given(), 0);
    EXPECT_EQ(permit.ids(), QList<int>{5});
    EXPECT_EQ(Rows(), 0);
}

TEST_F(TerritoryDialogTest, RemovingMarkedRowsAndMarkingAll) {
    Owner package(TerritoryOwner::Kind::Package, {5, 9, 71, 40});
    Edit(package, [&] {
        Shown box = PressExpectingBox(form.Button4);
        EXPECT_EQ(box.title, "Ошибка удаления");
        EXPECT_EQ(box.text, "Не выбраны территории для удаления");
        EXPECT_EQ(Rows(), 4);

        // Two rows ticked one by one go; those between them move up.
        Click(Mark(0)->CheckBox());
        Click(Mark(2)->CheckBox());
        Click(form.Button4);
        EXPECT_EQ(form.ListedTerritories(), QList<int>({9, 40}));
        EXPECT_FALSE(Mark(0)->CheckBox()->isChecked());

        Click(form.CheckBox1);
        EXPECT_TRUE(Mark(0)->CheckBox()->isChecked());
        EXPECT_TRUE(Mark(1)->CheckBox()->isChecked());
        Click(form.CheckBox1);
        EXPECT_FALSE(Mark(1)->CheckBox()->isChecked());
        Click(form.CheckBox1);
        Click(form.Button4);
        EXPECT_EQ(Rows(), 0);
        EXPECT_FALSE(form.CheckBox1->isChecked());
        Click(form.Button2);
    });
    EXPECT_EQ(package.given(), 1);
    EXPECT_TRUE(package.ids().isEmpty());
    EXPECT_EQ(package.names(), "");
}

TEST_F(TerritoryDialogTest, ARowsOwnButtonAsksBeforeRemovingIt) {
    Owner permit(TerritoryOwner::Kind::Permit, {5, 9, 71});
    Edit(permit, [&] {
        Shown box = PressExpectingBox(Mark(1)->Button(), QMessageBox::No);
        EXPECT_EQ(box.title, "удаление");
        EXPECT_EQ(box.text, "Вы действительно хотите удалить эту строку");
        EXPECT_EQ(Rows(), 3);
        EXPECT_EQ(form.StringGrid1->currentRow(), 1);

        PressExpectingBox(Mark(1)->Button(), QMessageBox::Yes);
        EXPECT_EQ(form.ListedTerritories(), QList<int>({5, 71}));
        // Enter on a row's button saves, as anywhere else in the dialog.
        Mark(0)->Button()->setFocus();
        Press(Qt::Key_Return, QStringLiteral("\r"));
    });
    EXPECT_EQ(permit.ids(), QList<int>({5, 71}));
}

TEST_F(TerritoryDialogTest, ARowsListChangesItsTerritoryWithoutADuplicateCheck) {
    Owner permit(TerritoryOwner::Kind::Permit, {5, 9});
    Edit(permit, [&] {
        RowList(1)->setFocus();
        Type(QStringLiteral("моск"));
        Press(Qt::Key_Return, QStringLiteral("\r"));  // the open list takes its item
        EXPECT_TRUE(form.isVisible());
        Press(Qt::Key_Return, QStringLiteral("\r"));  // Enter is "Сохранить"
    });
    EXPECT_EQ(permit.ids(), QList<int>({5, 5}));
    EXPECT_EQ(permit.names(), "Москва,Москва");
}

TEST_F(TerritoryDialogTest, ARowWithItsListEmptiedIsRefusedAtSaving) {
    Owner permit(TerritoryOwner::Kind::Permit, {5, 9});
    Edit(permit, [&] {
        RowList(1)->setFocus();
        Press(Qt::Key_Escape);  // the whole list again, its empty entry first
        Press(Qt::Key_Return, QStringLiteral("\r"));
        EXPECT_EQ(form.ListedTerritories(), QList<int>({5, -1}));
        const Shown box = PressExpectingBox(form.Button2);
        EXPECT_EQ(box.text, "Должна быть задана территория");
        EXPECT_TRUE(RowList(1)->hasFocus());
        EXPECT_TRUE(form.isVisible());
        Click(form.Button3);
    });
    EXPECT_EQ(permit.given(), 0);
}

TEST_F(TerritoryDialogTest, OnlyAnOwnerWithALimitIsRefusedMoreTerritories) {
    Owner citizen(TerritoryOwner::Kind::Citizen, {5, 9}, 2);
    Edit(citizen, [&] {
        ChooseToAdd(71);
        const Shown box = PressExpectingBox(form.Button1);
        EXPECT_EQ(box.title, "Ошибка ввода данных");
        EXPECT_EQ(box.text, "Можно задать не более 2 территорий действия");
        EXPECT_EQ(Rows(), 2);
        Click(form.Button3);
    });
    Owner permit(TerritoryOwner::Kind::Permit, {5, 9});
    Edit(permit, [&] {
        ChooseToAdd(71);
        Click(form.Button1);
        EXPECT_EQ(Rows(), 3);
        Press(Qt::Key_Escape);  // "Отменить"
    });
    EXPECT_EQ(permit.given(), 0);
}

TEST_F(TerritoryDialogTest, F1AndTheQuestionButtonOpenTheTerritoriesPage) {
    help_testing::CopyManual(folder);
    Owner permit(TerritoryOwner::Kind::Permit, {});
    Edit(permit, [&] {
        help_testing::ExpectHelpTopic(form.ComboBox11, form.Button8, gui::topic::kTerritories);
        Click(form.Button3);
    });
}
