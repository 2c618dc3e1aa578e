#pragma once

#include <QDateTime>
#include <QString>
#include <stdexcept>

namespace dates {

// Dates are kept as date numbers: whole days since 30 December 1899 (that day is 0), -1 for
// no date. Users see and type date texts: DD/MM/YYYY.

// A text that DateTextToNumber cannot read as a calendar date.
class DateTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Stands for today wherever a date text is converted.
inline constexpr char kCurrentDateKeyword[] = "#CURRENTDATE#";

// "#CURRENTDATE#" gives today, the empty text -1; otherwise day, month and year are read from
// characters 1-2, 4-5 and 7-10 (the separators are not examined). Throws DateTextError for a
// text whose parts are not numbers or not a calendar date.
int DateTextToNumber(const QString& text);

// -1 and 0 give the empty text; any other number "DD/MM/YYYY".
QString DateNumberToText(int number);

// The date number of a calendar date, and back.
int DateToNumber(const QDate& date);
QDate NumberToDate(int number);

// Today's date number and the hour of the day (0 to 23), local time.
int Today();
int CurrentHour();

struct DateTextCheck {
    bool valid = false;
    bool twoDigitYear = false;
};

// Whether a typed date is a calendar date: "DD/MM/YYYY" when the text holds a "/", otherwise
// "DDMMYY" or "DDMMYYYY". Leap years follow the Gregorian rule, with every year divisible by
// 4 a leap year up to 1581; a two-digit year is judged as written. A four-digit year must also
// give a date that can be kept as a date number (not the year 0, not 29/02/1500).
DateTextCheck IsValidDateText(const QString& text);

// Whether a period is acceptable; T is today:
// 1 the end is not after the start; 2 the end is not after today; 3 the start lies before the
// bound's start; 4 the end lies after the bound's end; 0 acceptable. The bound applies only
// when `bounded` is 1.
int CheckPeriod(int from, int to, int bounded, int boundStart, int boundEnd);

// The default end of a period of `years` from `start`: the day before the same date `years`
// later (the 28th for a start on the 29th), no later than `cap` when `capped` is 1.
int PeriodEnd(int start, int years, int capped, int cap);

// The same with an explicit today, for callers and tests that fix the day.
int CheckPeriod(int from, int to, int bounded, int boundStart, int boundEnd, int today);

}  // namespace dates
