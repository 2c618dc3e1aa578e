#pragma once

#include <QString>

class QAbstractButton;
class QLabel;
class QPushButton;
class QWidget;

namespace controls {

// The label of an input field; a mandatory field's label ends in a red asterisk.
QLabel* FieldLabel(const QString& text, QWidget* parent, bool mandatory = false);

// A push button whose object name is the control's name in the dialog.
QPushButton* NamedButton(const char* name, const QString& caption, QWidget* parent);

// A button as narrow as its caption allows ("?", "+", "-"), instead of the style's
// minimum width for buttons.
void FitToCaption(QAbstractButton* button);

// Gives a control its name in the dialog as object name, and returns it.
template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace controls
