#include "dates/DateConventions.h"

namespace dates {

namespace {

// 30 December 1899, a constant so that it is ready before any other file's globals use it.
constexpr QDate kEpoch = QDate::fromJulianDay(2415019);

// A decimal integer made of digits only; -1 for anything else, the empty text included.
int DigitsValue(const QString& text) {
    if (text.isEmpty())
        return -1;
    int value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

bool IsLeapYear(int year) {
    if (year % 4 != 0)
        return false;
    return year <= 1581 || year % 100 != 0 || year % 400 == 0;
}

int DaysInMonth(int month, int year) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

int DateToNumber(const QDate& date) {
    return static_cast<int>(kEpoch.daysTo(date));
}

QDate NumberToDate(int number) {
    return kEpoch.addDays(number);
}

int Today() {
    return DateToNumber(QDate::currentDate());
}

int CurrentHour() {
    return QTime::currentTime().hour();
}

int DateTextToNumber(const QString& text) {
    if (text == QLatin1String(kCurrentDateKeyword))
        return Today();
    if (text.isEmpty())
        return -1;
    // Signs and blanks are accepted in the parts as an integer conversion accepts them.
    bool dayOk = false, monthOk = false, yearOk = false;
    const int day = text.mid(0, 2).toInt(&dayOk);
    const int month = text.mid(3, 2).toInt(&monthOk);
    const int year = text.mid(6, 4).toInt(&yearOk);
    const QDate date(year, month, day);
    if (!dayOk || !monthOk || !yearOk || !date.isValid())
        throw DateTextError("not a date: " + text.toStdString());
    return DateToNumber(date);
}

QString DateNumberToText(int number) {
    if (number == -1 || number == 0)
        return {};
    const QDate date = NumberToDate(number);
    return QStringLiteral("%1/%2/%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year());
}

DateTextCheck IsValidDateText(const QString& text) {
    DateTextCheck check;
    QString dayPart, monthPart, yearPart;
    bool yearWritten = true;
    if (text.contains(QLatin1Char('/'))) {
        dayPart = text.mid(0, 2);
        monthPart = text.mid(3, 2);
        yearPart = text.mid(6, 4);
    } else {
        dayPart = text.mid(0, 2);
        monthPart = text.mid(2, 2);
        yearPart = text.mid(4, 4);
        check.twoDigitYear = yearPart.size() == 2;
        yearWritten = yearPart.size() == 2 || yearPart.size() == 4;
    }
    const int day = DigitsValue(dayPart);
    const int month = DigitsValue(monthPart);
    const int year = DigitsValue(yearPart);
    check.valid = yearWritten && day >= 0 && year >= 0 && month >= 1 && month <= 12 && day >= 1 &&
                  day <= DaysInMonth(month, year);
    // A date written with its whole year is also one that can be kept as a date number: the
    // year 0 and the 29th of February of the years only the old rule makes leap years
    // (1500, 1300, ...) cannot, and taking them would end the save in an error.
    if (check.valid && !check.twoDigitYear)
        check.valid = QDate(year, month, day).isValid() && year >= 1;
    return check;
}

int CheckPeriod(int from, int to, int bounded, int boundStart, int boundEnd, int today) {
    if (to <= from)
        return 1;
    if (today >= to)
        return 2;
    if (bounded != 1)
        return 0;
    if (from < boundStart)
        return 3;
    if (to > boundEnd)
        return 4;
    return 0;
}

int CheckPeriod(int from, int to, int bounded, int boundStart, int boundEnd) {
    return CheckPeriod(from, to, bounded, boundStart, boundEnd, Today());
}

int PeriodEnd(int start, int years, int capped, int cap) {
    const QDate first = NumberToDate(start);
    const int year = first.year() + years;
    const int end = first.day() == 29 ? DateToNumber(QDate(year, first.month(), 28))
                                      : DateToNumber(QDate(year, first.month(), first.day())) - 1;
    return capped == 1 && end > cap ? cap : end;
}

}  // namespace dates
