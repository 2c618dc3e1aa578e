#pragma once

#include <QMainWindow>

class QAction;
class QMenu;
class QMenuBar;

namespace gui {
struct Context;
}

namespace app {

class Forms;

// The program's frame: a maximised window with the menu from which every piece of work
// starts. Closing it ends the program.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    TMainForm(Forms& forms, gui::Context& context);

    QMenuBar* MainMenu1;
    QMenu* N6;  // "Добавить"
    QAction* fdgdfg1;
    QAction* N10;
    QAction* N13;
    QAction* N7;
    QMenu* N1;  // "Поиск"
    QAction* N8;
    QAction* N9;
    QAction* N14;
    QMenu* N4;  // "Администрирование"
    QAction* N5;
    QAction* N2;
    QAction* N16;
    QAction* N17;
    QMenu* N11;  // "Отчеты"
    QAction* N15;
    QAction* N12;  // "Справка"
    QAction* N3;   // "Выход"

Q_SIGNALS:
    // Once, when the window is first shown and the message loop runs.
    void firstShown();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenu();
    void connectCommands();
    void newVisaCitizen();
    void citizenSearch();

    Forms& forms_;
    gui::Context& context_;
    bool shownBefore_ = false;
};

}  // namespace app
