#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace gui {

// Every message box of the program goes through here. In tests the boxes are scripted:
// nothing is shown, each box takes the next queued answer and is recorded with its title,
// text, icon and buttons. A box for which no answer was queued is one the test did not
// expect: it is reported to the handler the test set, and answered with its default button.
class MessageBoxes {
public:
    using Button = QMessageBox::StandardButton;
    using Buttons = QMessageBox::StandardButtons;

    struct Record {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        Buttons buttons;
    };

    // A modal box; returns the button pressed.
    static Button show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                       const QString& text, Buttons buttons = QMessageBox::Ok,
                       Button defaultButton = QMessageBox::NoButton);

    // The usual kinds, each with an OK button.
    static void information(QWidget* parent, const QString& title, const QString& text);
    static void warning(QWidget* parent, const QString& title, const QString& text);
    static void error(QWidget* parent, const QString& title, const QString& text);
    // A question with "Да" and "Нет"; true only for "Да".
    static bool askYesNo(QWidget* parent, const QString& title, const QString& text);

    // Scripting for tests.
    static void setScripted(bool scripted);
    static void setNextAnswer(Button answer);
    static const QList<Record>& shown();
    static QList<Record> takeShown();
    // Answers queued and not used yet.
    static int pendingAnswers();
    // Called with a description of every box shown while no answer was queued.
    static void setUnexpectedHandler(std::function<void(const QString&)> handler);
};

}  // namespace gui
