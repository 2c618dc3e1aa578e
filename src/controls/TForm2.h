#pragma once

#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QComboBox;
class QSpinBox;

namespace controls {

// The date picker of a date edit: a month list, a year field and a month calendar in a
// borderless drop-down window. It closes when the user clicks outside it, presses Escape,
// or another window becomes the active one.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);

    // Shows this date in the calendar, the month list and the year field.
    void ShowDate(const QDate& date);

    QCalendarWidget* CCalendar1;
    QComboBox* ComboBox1;  // the twelve month names
    QSpinBox* CSpinEdit1;  // the year, 1800 to 3000

signals:
    // The user clicked a day of the calendar.
    void dayChosen(const QDate& date);

private:
    void MonthChosen(int index);
    void YearTextChanged(const QString& text);
    void ShowMonth(int month, int year);
    void HideWhenAnotherWindowIsActive(QWindow* window);
};

}  // namespace controls
