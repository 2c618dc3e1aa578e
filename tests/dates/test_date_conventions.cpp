#include <gtest/gtest.h>

#include "dates/DateConventions.h"

using namespace dates;

TEST(DateConventions, TextToNumberAndBack) {
    struct Case {
        const char* text;
        int number;
    };
    const Case cases[] = {
        {"30/12/1899", 0},     {"31/12/1899", 1},     {"01/01/2000", 36526},
        {"29/02/2008", 39507}, {"05/03/2008", 39512}, {"01/03/1900", 61},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DateTextToNumber(QString::fromLatin1(c.text)), c.number) << c.text;
        if (c.number > 0) {
            EXPECT_EQ(DateNumberToText(c.number), QString::fromLatin1(c.text)) << c.text;
        }
    }
    EXPECT_EQ(DateTextToNumber("05.03.2008"), 39512);  // separators are not examined
    EXPECT_EQ(DateTextToNumber(""), -1);
    EXPECT_EQ(DateTextToNumber("#CURRENTDATE#"), Today());
    EXPECT_EQ(DateNumberToText(0), "");
    EXPECT_EQ(DateNumberToText(-1), "");
}

TEST(DateConventions, MalformedTextRaisesATypedError) {
    for (const char* text : {"ab/cd/efgh", "31/04/2008", "29/02/2007", "1/1/2000x"})
        EXPECT_THROW(DateTextToNumber(QString::fromLatin1(text)), DateTextError) << text;
}

TEST(DateConventions, ValidityOfTypedDates) {
    struct Case {
        const char* text;
        bool valid;
        bool twoDigitYear;
    };
    const Case cases[] = {
        {"29/02/2008", true, false},
        {"29/02/2007", false, false},
        {"29/02/1900", false, false},
        {"29/02/2000", true, false},
        {"29/02/1500", false, false},
        {"31/04/2008", false, false},
        {"00/01/2008", false, false},
        {"01/13/2008", false, false},
        {"010108", true, true},
        {"01012008", true, false},
        {"0101200", false, false},
        {"", false, false},
        {"290200", true, true},
        {"290201", false, true},
        {"1a/01/2008", false, false},
        // Dates no date number holds: refused before a conversion could fail.
        {"01/01/0000", false, false},
        {"29021500", false, false},
        {"28/02/1500", true, false},
    };
    for (const Case& c : cases) {
        const DateTextCheck check = IsValidDateText(QString::fromLatin1(c.text));
        EXPECT_EQ(check.valid, c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(check.twoDigitYear, c.twoDigitYear) << c.text;
        }
    }
}

TEST(DateConventions, PeriodChecksInOrder) {
    const int today = 40000;
    struct Case {
        int from, to, bounded, boundStart, boundEnd, result;
    };
    const Case cases[] = {
        {40100, 40100, 0, 0, 0, 1},          // end equals start
        {39000, today, 0, 0, 0, 2},          // end is today
        {39000, 40500, 0, 40400, 40450, 0},  // unbounded: the bound does not matter
        {39000, 40500, 1, 39500, 41000, 3},  // starts before the bound
        {39600, 41500, 1, 39500, 41000, 4},  // ends after the bound
        {39600, 40900, 1, 39500, 41000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckPeriod(c.from, c.to, c.bounded, c.boundStart, c.boundEnd, today), c.result);
}

TEST(DateConventions, PeriodEnds) {
    struct Case {
        const char* start;
        int years;
        int capped;
        const char* cap;
        const char* end;
    };
    const Case cases[] = {
        {"10/04/2008", 1, 0, "", "09/04/2009"},
        {"29/02/2008", 1, 0, "", "28/02/2009"},
        {"29/03/2008", 1, 0, "", "28/03/2009"},
        {"01/01/2008", 1, 0, "", "31/12/2008"},
        {"01/01/2008", 1, 1, "30/06/2008", "30/06/2008"},
        {"01/01/2008", 1, 1, "30/06/2010", "31/12/2008"},
    };
    for (const Case& c : cases) {
        const int cap = DateTextToNumber(QString::fromLatin1(c.cap));
        const int end =
            PeriodEnd(DateTextToNumber(QString::fromLatin1(c.start)), c.years, c.capped, cap);
        EXPECT_EQ(DateNumberToText(end), QString::fromLatin1(c.end)) << c.start;
    }
}
