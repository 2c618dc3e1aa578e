#pragma once

#include <initializer_list>

class QAbstractButton;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace gui {

// The foot of a dialog: its "?" button (may be null) at the left, its own buttons at the
// right in the order given ("Сохранить", "Отмена").
QHBoxLayout* DialogButtonRow(QAbstractButton* help, std::initializer_list<QAbstractButton*> right);

// Enter and Esc as every window of the program takes them:
// - Enter presses `defaultButton` (the dialog's "Сохранить" or "Поиск") wherever the focus
//   is, a focused button included (Space presses that one); a control that takes the key
//   itself keeps it: an open list picks its item, an open date picker takes its day, a
//   multi-line text starts a new line.
// - Esc presses `cancelButton`: the window closes without saving, as by its "Отмена".
// Push buttons of the window stop being "auto default", so that the default button is the
// only one drawn as such. Either button may be null (the key then does nothing).
void InstallDialogKeys(QWidget* window, QPushButton* defaultButton, QAbstractButton* cancelButton);

}  // namespace gui
