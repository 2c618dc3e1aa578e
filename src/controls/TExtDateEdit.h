#pragma once

#include <QFrame>

#include "controls/TEditSD.h"

class QToolButton;

namespace controls {

class TForm2;

// The text a date edit shows once the focus has left it: a valid date typed as DDMMYYYY,
// DDMMYY or DD/MM/YYYY becomes DD/MM/YYYY (a two-digit year above 18 is of the 1900s, any
// other of the 2000s); anything else stays as typed.
QString DateTextOnLeaving(const QString& text);

// The digits of a valid date, as the user types it: DD/MM/YYYY becomes DDMMYYYY, a text of
// digits stays; anything else stays as it is.
QString DateTextOnEntering(const QString& text);

// The edit of a date edit: digits only at the end of the text, at most 10 characters; the
// bare digits while it has the focus, the date text once the focus leaves. It owns the
// date picker.
class TNewEdit : public TEditSD {
    Q_OBJECT

public:
    explicit TNewEdit(QWidget* parent = nullptr);

    // Opens the picker under the right end of the edit, showing the edit's date or today.
    void ShowPicker();
    TForm2* Picker() const { return picker_; }

signals:
    // The focus left the edit for another control; the text is already the date text.
    void exited();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void KeepDigitsAtTheEnd();
    void PlacePicker();
    void DayChosen(const QDate& date);

    TForm2* picker_;
};

// A date field: an edit for digits with a calendar button at its right end that opens the
// date picker. Dialogs read and write its text as it stands and check it with
// IsValidDateText before converting it.
class TExtDateEdit : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(QColor EditColor READ EditColor WRITE SetEditColor)

public:
    explicit TExtDateEdit(QWidget* parent = nullptr);
    ~TExtDateEdit() override;

    // The edit's text. While the user is still in the field, a date typed as digits is read
    // as the date text it becomes when the field is left, so that a dialog saving on Enter
    // reads the same as one saving on a click.
    QString Text() const;
    void SetText(const QString& text);

    QColor EditColor() const;
    void SetEditColor(const QColor& colour);

    // Opens or closes the date picker.
    void SetVisible(bool visible);

    TNewEdit* Edit() const { return edit_; }
    QToolButton* Button() const { return button_; }

signals:
    // The focus left the field for another control.
    void exited();

private:
    TNewEdit* edit_;
    QToolButton* button_;
};

}  // namespace controls
